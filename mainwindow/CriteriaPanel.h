// The criteria panel on the left of the main window: every control with its caption,
// default, bounds, anchors and tab order. Behaviour is wired by TForm1.
//
// The controls keep their names from the window's design. By role: Panel2 the scrolling
// panel that holds them all; fname the name fragment; Label3 the phrase's caption ("A word or
// phrase in the file:", "HEX String:" or "Regular expression:") and ss the phrase;
// typeText/typeHEX/typeRegex its kind;
// maxbuf and selfadj the buffer size; SpecSize, MinSize and MaxSize the size range; pathlist
// "Look in:"; search the Search/Stop button. The filters' block (OnlyFiles, SkipFiles,
// SkipFolders, ModifiedAfter and ModifiedBefore with their check boxes) sits between the
// size range and "Look in:".
#pragma once

#include "controls/GlyphCheck.h"
#include "controls/GradientButton.h"
#include "controls/Spin.h"
#include "runtime/ComboBox.h"
#include "runtime/ComboBoxEx.h"
#include "runtime/DateTimePicker.h"
#include "runtime/ScrollBox.h"
#include "runtime/StdControls.h"

namespace quennet {

constexpr TColor kMoneyGreen = 0xC0DCC0; // RGB(192,220,192)

// How far the filters' block moves the controls below it down the panel.
constexpr int kFiltersHeight = 133;
// "About" at its place in the design; the window moves it down only when there is room.
constexpr int kAboutDesignTop = 531 + kFiltersHeight;

struct CriteriaPanel {
    explicit CriteriaPanel(TWinControl& form);

    TScrollBox& Panel2;
    TLabel& Label1;
    TBevel& Bevel1;
    TLabel& Label2;
    TComboBox& fname; // with the last names searched
    TBevel& Bevel4;
    TLabel& Label3;
    TComboBox& ss; // with the last phrases searched
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

    // Filters: file masks, folder masks and the days of the last change.
    TBevel& Bevel6;
    TLabel& FiltersLabel;
    TLabel& OnlyFilesLabel;
    TEdit& OnlyFiles;
    TLabel& SkipFilesLabel;
    TEdit& SkipFiles;
    TLabel& SkipFoldersLabel;
    TEdit& SkipFolders;
    TGlyphCheck& ModifiedAfterCheck; // the day beside it counts only when ticked
    TDateTimePicker& ModifiedAfter;
    TGlyphCheck& ModifiedBeforeCheck;
    TDateTimePicker& ModifiedBefore;

    TLabel& Label5;
    TComboBoxEx& pathlist;
    TGradientButton& search;
    TBevel& Bevel2;
    TGlyphCheck& IntegrateIntoShell;
    TGradientButton& AboutButton;
};

} // namespace quennet
