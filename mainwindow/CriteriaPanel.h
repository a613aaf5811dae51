// The criteria panel on the left of the main window: every control with its caption,
// default, bounds, anchors and tab order. Behaviour is wired by TForm1.
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
