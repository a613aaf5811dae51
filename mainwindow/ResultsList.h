// The results list `files`: an owner-data list view over the window's own ResultStore, with
// the four columns (the last, "Match", holding the line around each file's match), the
// document icon, sorting by name and the header beeps.
//
// The list view keeps its selection by position. Whenever the store moves rows (a sort, a
// batch merged into name order, a removal) the selection, the focus and the shift-click
// anchor are carried over to the rows' new positions, so they stay with the files.
#pragma once

#include "mainwindow/MatchCellPainter.h"
#include "mainwindow/ResultStore.h"
#include "mainwindow/RowPath.h"
#include "runtime/ListView.h"
#include "runtime/Resources.h"
#include "runtime/Timer.h"

#include <functional>
#include <string>
#include <vector>

namespace quennet {

// Name, In Folder, Size, Match: together narrower than the list at the window's first size.
inline constexpr int kDefaultColumnWidths[4] = {150, 180, 65, 210};

// A row as the user chose it, kept apart from the list: the list may change under an action.
struct ChosenRow {
    RowKey Key;
    std::string Name;
    std::string Folder; // ends with a backslash
    std::int64_t MatchOffset = 0;
    std::int32_t MatchLength = 0; // bytes to select in the viewer
    std::string Path() const { return RowPath(Folder, Name); }
    // Empty when Path() reaches this very file; otherwise why not, for the user.
    std::string WhyNotItself() const { return WhyPathIsNotItself(Folder, Name); }
};

class ResultsList {
  public:
    explicit ResultsList(TListView& files);

    ResultStore& Store() { return store_; }
    const ResultStore& Store() const { return store_; }

    void Clear();
    void Append(const ResultRow& row); // shown at the next Commit
    // Shows every queued row with one count update; rows already shown are not repainted
    // unless name order moved them.
    void Commit();
    void RemoveRows(const std::vector<RowKey>& rows);

    int Count() const { return store_.Count(); }
    HWND Handle() const { return files_.HandleOrNull(); } // owner of the dialogs about rows
    int SelectedCount() const { return files_.SelectedCount(); }
    std::vector<ChosenRow> SelectedRows() const; // in list order
    int FirstSelected() const { return files_.ItemIndex(); }
    ChosenRow RowAt(int row) const;
    std::string CellText(int row, int column) const;

    void filesColumnClick(int column);
    void SelectAll() { files_.SelectAll(); }
    // The selected rows' full paths, one per line, as the clipboard's text.
    void CopySelectedPaths();

  private:
    // Runs `change`, which may move rows in the store (true when it did), and carries the
    // list view's selection over to the rows' new positions.
    void KeepSelectionWithRows(const std::function<bool()>& change);
    void sortDoneTimer();

    TListView& files_;
    ResultStore store_;
    TImageList ImageList1;
    MatchCellPainter matchCells_;
    TTimer sortDone_; // looks for a sort finished on its own thread
};

} // namespace quennet
