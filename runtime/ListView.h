// The report-style list view. In owner-data mode (SetOwnerData before the window exists)
// the list holds only a count and asks OnGetText for each cell it draws, so large lists
// cost nothing until shown; otherwise AddItem stores the texts in the control.
#pragma once

#include "runtime/Window.h"

#include <optional>
#include <string>
#include <vector>

namespace quennet {

class TListView : public TWinControl {
  public:
    TListView(); // a tab stop, with a sunken edge

    // Before the window exists.
    void SetOwnerData(bool value) { ownerData_ = value; }
    void SetMultiSelect(bool value) { multiSelect_ = value; }
    void SetRowSelect(bool value) { rowSelect_ = value; }
    // Enter goes to OnKeyDown instead of the form's default action.
    void SetWantReturn(bool value) { wantReturn_ = value; }

    int AddColumn(const std::string& caption, int width, int format = LVCFMT_LEFT);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    void SetSmallImages(HIMAGELIST images); // not owned

    // Owner-data mode.
    void SetItemCount(int count);
    void RedrawItems(int first, int last);
    std::function<std::string(int item, int subItem)> OnGetText;
    std::function<int(int item)> OnGetImage;
    // The list's custom drawing (NM_CUSTOMDRAW): the answer to give, or nullopt for the
    // control's own drawing.
    std::function<std::optional<LRESULT>(NMLVCUSTOMDRAW& draw)> OnCustomDraw;

    // Stored-data mode.
    int AddItem(const std::vector<std::string>& texts, int image = -1);
    std::string ItemText(int item, int subItem) const;

    void Clear();
    int ItemCount() const;
    std::vector<int> SelectedIndices() const;
    int ItemIndex() const;       // the first selected item, or -1
    void SetItemIndex(int item); // selects and focuses only this item
    bool Selected(int item) const;
    void SetSelected(int item, bool value);
    void MakeVisible(int item);
    int FocusedIndex() const; // -1 when no item has the focus
    int SelectedCount() const;
    void SetFocused(int item);
    // The anchor of a shift-click or shift-arrow selection, or -1.
    int SelectionMark() const;
    void SetSelectionMark(int item);
    void SelectAll();

    // Holds off the control's drawing while many items change state, and repaints it whole
    // when the last hold ends. Wine's list invalidates every changed item on its own, a call
    // to the display server each: selecting a million rows took minutes.
    class DrawingHeld {
      public:
        explicit DrawingHeld(TListView& list);
        ~DrawingHeld();
        DrawingHeld(const DrawingHeld&) = delete;
        DrawingHeld& operator=(const DrawingHeld&) = delete;

      private:
        TListView& list_;
    };

    std::function<void(TListView& Sender, int Column)> OnColumnClick;
    TNotifyEvent OnSelectItem; // the selection changed
    // OnDblClick (of TWinControl) runs for a double click anywhere in the list.

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Column {
        std::string caption;
        int width;
        int format;
    };
    void InsertColumn(int index);

    bool ownerData_ = false;
    bool multiSelect_ = false;
    bool rowSelect_ = false;
    bool wantReturn_ = false;
    int drawingHeld_ = 0;
    std::vector<Column> columns_;
    HIMAGELIST smallImages_ = nullptr;
    int pendingCount_ = 0;
    std::string textBuffer_; // the text handed to the control for one cell
};

} // namespace quennet
