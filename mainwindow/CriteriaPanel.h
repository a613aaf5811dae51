// The criteria panel on the left of the main window: every control with its caption,
// default, bounds, anchors and tab order. Behaviour is wired by TForm1.
//
// The controls keep their names from the window's design. By role: Panel2 the scrolling
// panel that holds them all; fname the name fragment; Label3 the phrase's caption ("A word or
// phrase in the file:", "HEX String:" or "Regular expression:") and ss the phrase;
// typeText/typeHEX/typeRegex its kind;
// maxbuf and selfadj the buffer size; SpecSize, MinSize and MaxSize the size range; pathlist
// "Look in:"; search the Search/Stop button.
#pragma once

#include "controls/GlyphCheck.h"
#include "controls/GradientButton.h"
#include "controls/Spin.h"
#include "runtime/ComboBoxEx.h"
#include "runtime/ScrollBox.h"
#include "runtime/StdControls.h"

namespace quennet {

constexpr TColor kMoneyGreen = 0xC0DCC0; // RGB(192,220,192)

struct CriteriaPanel {
    explicit CriteriaPanel(TWinControl& form);

    TScrollBox& Panel2;
    TLabel& Label1;
    TBevel& Bevel1;
    TLabel& Label2;
    TEdit& fname;
    TBevel& Bevel4;
    TLabel& Label3;
    TEdit& ss;
    TGlyphCheck& CaseSensitive;
    TGroupBox& GroupBox1;
    TRadioButton& typeText;
    TRadioButton& typeHEX;
    TRadioButton& typeRegex;
    TBevel& Bevel3;
    TLabel& Label4;
    TSpinEdit& maxbuf;
    TGlyphCheck& selfadj;
    TGradientButton& BufferHelpButton;
    TBevel& Bevel5;
    TGlyphCheck& SpecSize;
    TLabel& Label6;
    TSpinEdit& MinSize;
    TLabel& Label7;
    TSpinEdit& MaxSize;
    TLabel& Label5;
    TComboBoxEx& pathlist;
    TGradientButton& search;
    TBevel& Bevel2;
    TGlyphCheck& IntegrateIntoShell;
    TGradientButton& AboutButton;
};

} // namespace quennet
