#include "mainwindow/CriteriaPanel.h"

#include "controls/ColorSchemes.h"

namespace quennet {

namespace {

constexpr unsigned kStretch = akLeft | akTop | akRight;
// A drop-down box's height is that of its open list: the 22-pixel field and eight entries of
// 16 pixels below it.
constexpr int kLookInDropHeight = 22 + 8 * 16 + 2;

// Places a control; a tab order below 0 leaves the control out of the Tab cycle.
template <class T>
T& Place(TWinControl& parent, int left, int top, int width, int height, bool stretch, int tab = -1) {
    T& control = parent.Add<T>();
    control.SetBounds(left, top, width, height);
    if (stretch)
        control.SetAnchors(kStretch);
    if (tab >= 0) {
        control.SetTabStop(true);
        control.SetTabOrder(tab);
    }
    return control;
}

// Labels get a fixed width rather than the size of their text: measured under a substituted
// font, the measure came out short and the last character (the colon) was cut off.
TLabel& Caption(TWinControl& parent, const char* text, int left, int top, int width, bool stretch = false) {
    TLabel& label = Place<TLabel>(parent, left, top, width, 13, stretch);
    label.SetAutoSize(false);
    label.SetCaption(text);
    return label;
}

TLabel& FilterCaption(TWinControl& parent, const char* text, int top) {
    return Caption(parent, text, 9, top + 3, 62);
}

TBevel& Frame(TWinControl& parent, int left, int top, int width, int height, TBevelShape shape) {
    TBevel& bevel = Place<TBevel>(parent, left, top, width, height, true);
    bevel.SetShape(shape);
    return bevel;
}

// A box that keeps its last searches: its height is that of its open list, eight entries.
TComboBox& HistoryBox(TWinControl& parent, int top, int tab) {
    return Place<TComboBox>(parent, 5, top, 144, 21 + 8 * 14 + 2, true, tab);
}

// ---- The filters' block: a frame with a heading, three mask boxes and two days.
constexpr int kFiltersTop = 392;
constexpr int kFilterBoxLeft = 72;
constexpr int kDayBoxLeft = 66;

TEdit& FilterEdit(TWinControl& parent, int row, int tab) {
    TEdit& edit = Place<TEdit>(parent, kFilterBoxLeft, kFiltersTop + 20 + 21 * row, 147 - kFilterBoxLeft, 19,
                               true, tab);
    edit.SetFlat(true);
    return edit;
}

TDateTimePicker& DayBox(TWinControl& parent, int row, int tab) {
    return Place<TDateTimePicker>(parent, kDayBoxLeft, kFiltersTop + 20 + 21 * 3 + 22 * row,
                                  147 - kDayBoxLeft, 21, true, tab);
}

// Below the filters' block everything keeps its design distances, moved down by the block.
constexpr int Below(int designTop) {
    return designTop + kFiltersHeight;
}

TGlyphCheck& Check(TWinControl& parent, const char* caption, bool checked, int left, int top, int width,
                   int tab) {
    TGlyphCheck& box = Place<TGlyphCheck>(parent, left, top, width, 19, true, tab);
    box.SetCaption(caption);
    box.SetChecked(checked);
    return box;
}

// The box that says whether the day beside it counts; it keeps its width, the day widens.
TGlyphCheck& DayCheck(TWinControl& parent, const char* caption, int row, int tab) {
    TGlyphCheck& box =
        Place<TGlyphCheck>(parent, 5, kFiltersTop + 21 + 21 * 3 + 22 * row, kDayBoxLeft - 6, 19, false, tab);
    box.SetCaption(caption);
    return box;
}

TGradientButton& Button(TWinControl& parent, const char* caption, int left, int top, int width, int height,
                        int tab) {
    TGradientButton& button = Place<TGradientButton>(parent, left, top, width, height, true, tab);
    button.SetColors(MainWindowButtonColors());
    button.SetHotTrack(true);
    button.SetGradient(false);
    button.SetLayout(TButtonLayout::blGlyphLeft);
    button.SetSpacing(4);
    button.SetTransparentGlyph(true);
    button.SetCaption(caption);
    return button;
}

TSpinEdit& SpinBox(TWinControl& parent, int left, int top, int width, bool stretch, std::int32_t min,
                   std::int32_t max, std::int32_t value, int tab) {
    TSpinEdit& spin = Place<TSpinEdit>(parent, left, top, width, 22, stretch, tab);
    spin.SetMinValue(min);
    spin.SetMaxValue(max);
    spin.SetValue(value);
    return spin;
}

TScrollBox& MakePanel(TWinControl& form) {
    TScrollBox& panel = form.Add<TScrollBox>();
    panel.SetBounds(0, 0, 157, 568 + kFiltersHeight); // the design height: no scroll bar at first
    panel.SetAlign(alLeft);
    panel.SetColor(kMoneyGreen);
    panel.SetParentColor(false);
    panel.SetTabOrder(2); // its place among the form's controls; the panel itself takes no stop
    return panel;
}

} // namespace

CriteriaPanel::CriteriaPanel(TWinControl& form)
    : Panel2(MakePanel(form)), Label1(Place<TLabel>(Panel2, 4, 4, 146, 26, true)),
      Bevel1(Frame(Panel2, 4, 34, 147, 2, bsTopLine)),
      Label2(Caption(Panel2, "All or part of the file name:", 5, 48, 144, true)),
      fname(HistoryBox(Panel2, 64, 0)), Bevel4(Frame(Panel2, 2, 86, 151, 131, bsFrame)),
      Label3(Caption(Panel2, "A word or phrase in the file:", 5, 90, 144)), ss(HistoryBox(Panel2, 104, 1)),
      CaseSensitive(Check(Panel2, "Case sensitive", false, 5, 126, 145, 2)),
      GroupBox1(Place<TGroupBox>(Panel2, 10, 150, 135, 61, true)),
      // Text and HEX share the first line, so the group keeps its height for the third.
      typeText(Place<TRadioButton>(GroupBox1, 16, 18, 52, 17, false, 0)),
      typeHEX(Place<TRadioButton>(GroupBox1, 74, 18, 52, 17, false, 1)),
      typeRegex(Place<TRadioButton>(GroupBox1, 16, 38, 114, 17, false, 2)),
      Bevel3(Frame(Panel2, 2, 222, 151, 81, bsFrame)),
      Label4(Caption(Panel2, "Maximum buffer size (MB):", 10, 226, 138)),
      maxbuf(SpinBox(Panel2, 10, 240, 138, true, 1, 200, 25, 4)),
      selfadj(Check(Panel2, "Adjust automatically", true, 10, 264, 138, 5)),
      BufferHelpButton(Button(Panel2, "What is this ?", 10, 284, 138, 15, 19)),
      Bevel5(Frame(Panel2, 3, 308, 149, 81, bsFrame)),
      SpecSize(Check(Panel2, "Specify size (in KB)", false, 9, 314, 138, 6)),
      Label6(Caption(Panel2, "Between:", 9, 342, 70)),
      MinSize(SpinBox(Panel2, 81, 338, 65, false, 0, 2147483646, 0, 7)),
      Label7(Caption(Panel2, "and (0=infinite)", 9, 366, 72)),
      MaxSize(SpinBox(Panel2, 81, 362, 65, false, 0, 2147483647, 0, 8)),
      // The filters' block.
      Bevel6(Frame(Panel2, 3, kFiltersTop, 149, kFiltersHeight - 3, bsFrame)),
      FiltersLabel(Caption(Panel2, "Filters", 9, kFiltersTop + 4, 138)),
      OnlyFilesLabel(FilterCaption(Panel2, "Only files:", kFiltersTop + 20)),
      OnlyFiles(FilterEdit(Panel2, 0, 9)),
      SkipFilesLabel(FilterCaption(Panel2, "Skip files:", kFiltersTop + 41)),
      SkipFiles(FilterEdit(Panel2, 1, 10)),
      SkipFoldersLabel(FilterCaption(Panel2, "Skip folders:", kFiltersTop + 62)),
      SkipFolders(FilterEdit(Panel2, 2, 11)), ModifiedAfterCheck(DayCheck(Panel2, "After", 0, 12)),
      ModifiedAfter(DayBox(Panel2, 0, 13)), ModifiedBeforeCheck(DayCheck(Panel2, "Before", 1, 14)),
      ModifiedBefore(DayBox(Panel2, 1, 15)),
      // Below the filters.
      Label5(Caption(Panel2, "Look in:", 7, Below(392), 140)),
      pathlist(Place<TComboBoxEx>(Panel2, 7, Below(406), 145, kLookInDropHeight, true, 16)),
      search(Button(Panel2, "Search", 5, Below(440), 143, 23, 17)),
      Bevel2(Frame(Panel2, 4, Below(469), 147, 2, bsTopLine)),
      IntegrateIntoShell(Check(Panel2, "Integrate into shell", false, 4, Below(478), 147, 18)),
      AboutButton(Button(Panel2, "About", 6, kAboutDesignTop, 143, 23, 20)) {
    TFont bold = Label1.Font();
    bold.Bold = true;
    Label1.SetFont(bold);
    Label1.SetAutoSize(false);
    Label1.SetWordWrap(true);
    Label1.SetCaption("Search by any or all the criteria below");
    FiltersLabel.SetFont(bold);
    // The group takes one stop, its checked button's; the arrow keys move among the three.
    GroupBox1.SetTabOrder(3);
    GroupBox1.SetCaption("Type");
    typeText.SetCaption("Text");
    typeText.SetChecked(true);
    typeHEX.SetCaption("HEX");
    typeHEX.SetTabStop(false);
    typeRegex.SetCaption("Regular expression");
    typeRegex.SetTabStop(false);
    MinSize.SetEnabled(false);
    MaxSize.SetEnabled(false);
    ModifiedAfter.SetEnabled(false);
    ModifiedBefore.SetEnabled(false);
}

} // namespace quennet
