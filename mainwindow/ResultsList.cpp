#include "mainwindow/ResultsList.h"

#include "mainwindow/NameOrder.h"
#include "output/SizeText.h"
#include "resources/resource.h"
#include "runtime/Clipboard.h"
#include "runtime/Handles.h"
#include "search/SearchWorker.h"

#include <algorithm>

namespace quennet {

namespace {

constexpr int kMatchColumn = 3;

} // namespace

ResultsList::ResultsList(TListView& files)
    : files_(files), store_(NameKey, CompareNames), ImageList1(16, 16), matchCells_(store_, kMatchColumn) {
    GdiBitmap document = LoadBitmapResource("DOCUMENT");
    ImageList1.AddMasked(document.get(), QUENNET_TRANSPARENT_RGB);
    files_.SetOwnerData(true);
    files_.SetMultiSelect(true);
    files_.SetRowSelect(true);
    files_.AddColumn("Name", kDefaultColumnWidths[0]);
    files_.AddColumn("In Folder", kDefaultColumnWidths[1]);
    files_.AddColumn("Size", kDefaultColumnWidths[2]);
    files_.AddColumn("Match", kDefaultColumnWidths[3]);
    files_.SetSmallImages(ImageList1.Handle());
    files_.OnGetText = [this](int item, int subItem) { return CellText(item, subItem); };
    files_.OnGetImage = [](int) { return 0; };
    files_.OnColumnClick = [this](TListView&, int column) { filesColumnClick(column); };
    files_.OnCustomDraw = [this](NMLVCUSTOMDRAW& draw) { return matchCells_.CustomDraw(draw); };
    sortDone_.SetInterval(30);
    sortDone_.OnTimer = [this](TTimer&) { sortDoneTimer(); };
}

std::string ResultsList::CellText(int row, int column) const {
    if (row < 0 || row >= store_.Count())
        return {};
    switch (column) {
    case 0:
        return store_.Name(row);
    case 1:
        return store_.Folder(row);
    case 2:
        return GetSize(store_.Size(row));
    default:
        return std::string(store_.Line(row).Text);
    }
}

ChosenRow ResultsList::RowAt(int row) const {
    ChosenRow chosen;
    chosen.Key = store_.KeyAt(row);
    chosen.Name = store_.Name(row);
    chosen.Folder = store_.Folder(row);
    chosen.MatchOffset = store_.MatchOffset(row);
    chosen.MatchLength = store_.MatchLength(row);
    return chosen;
}

std::vector<ChosenRow> ResultsList::SelectedRows() const {
    std::vector<ChosenRow> rows;
    if (store_.Count() > 0 && files_.SelectedCount() == store_.Count()) {
        // Everything (Ctrl+A): asking the control row by row costs a message a row.
        rows.reserve(static_cast<std::size_t>(store_.Count()));
        for (int row = 0; row < store_.Count(); ++row)
            rows.push_back(RowAt(row));
        return rows;
    }
    for (int row : files_.SelectedIndices())
        if (row < store_.Count())
            rows.push_back(RowAt(row));
    return rows;
}

void ResultsList::KeepSelectionWithRows(const std::function<bool()>& change) {
    const std::vector<int> selected = files_.SelectedIndices();
    const int focused = files_.FocusedIndex();
    const int mark = files_.SelectionMark();
    std::vector<RowKey> keys;
    keys.reserve(selected.size() + 2);
    for (int row : selected)
        if (row < store_.Count())
            keys.push_back(store_.KeyAt(row));
    const std::size_t selectedKeys = keys.size();
    for (int row : {focused, mark})
        keys.push_back(row >= 0 && row < store_.Count() ? store_.KeyAt(row) : RowKey{0, 0});

    if (!change())
        return;
    std::vector<int> positions = store_.PositionsOf(keys);
    files_.SetItemCount(store_.Count());
    if (!files_.HandleAllocated())
        return;
    std::vector<int> now(positions.begin(), positions.begin() + static_cast<std::ptrdiff_t>(selectedKeys));
    now.erase(std::remove(now.begin(), now.end(), -1), now.end());
    std::sort(now.begin(), now.end());
    // Compared with what the control shows after the count changed: Wine's list clears its
    // selection on a new count.
    if (now != files_.SelectedIndices()) {
        TListView::DrawingHeld held(files_);
        files_.SetSelected(-1, false);
        for (int row : now)
            files_.SetSelected(row, true);
    }
    files_.SetFocused(positions[selectedKeys]);
    files_.SetSelectionMark(positions[selectedKeys + 1]);
    files_.Invalidate();
}

void ResultsList::Clear() {
    store_.Clear();
    sortDone_.SetEnabled(false);
    files_.SetItemCount(0);
}

void ResultsList::Append(const ResultRow& row) {
    store_.Append(row);
}

void ResultsList::Commit() {
    if (!store_.SortedByName() && !store_.SortRunning()) {
        // In arrival order the new rows go after the shown ones, which keep their places, and
        // the control keeps its selection as it grows: nothing to move. Moving it anyway cost
        // one message per selected row, every batch: after Ctrl+A a search all but stopped.
        if (store_.Commit() > 0)
            files_.SetItemCount(store_.Count());
        return;
    }
    KeepSelectionWithRows([this] { return store_.Commit() > 0; });
}

void ResultsList::RemoveRows(const std::vector<RowKey>& rows) {
    KeepSelectionWithRows([&] { return store_.RemoveRows(rows) > 0; });
}

void ResultsList::sortDoneTimer() {
    KeepSelectionWithRows([this] { return store_.TakeFinishedSort(); });
    if (!store_.SortRunning())
        sortDone_.SetEnabled(false);
}

void ResultsList::filesColumnClick(int column) {
    if (column != 0) {
        MessageBeep(0); // sizes, folders and lines are never sorted
        return;
    }
    if (store_.SortedByName())
        return;
    KeepSelectionWithRows([this] {
        store_.SortByName();
        return !store_.SortRunning();
    });
    if (store_.SortRunning())
        sortDone_.SetEnabled(true);
}

void ResultsList::CopySelectedPaths() {
    const std::vector<ChosenRow> rows = SelectedRows();
    if (rows.empty())
        return;
    std::string lines;
    for (const ChosenRow& row : rows) {
        lines += row.Path();
        lines += "\r\n";
    }
    SetClipboardText(files_.HandleOrNull(), lines);
}

} // namespace quennet
