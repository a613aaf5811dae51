#include "mainwindow/ResultsList.h"

#include "resources/resource.h"
#include "search/SearchWorker.h"
#include "search/SizeText.h"

namespace quennet {

ResultsList::ResultsList(TListView& files) : files_(files), store_(lstrcmpA), ImageList1(16, 16) {
    GdiBitmap document = LoadBitmapResource("DOCUMENT");
    ImageList1.AddMasked(document.get(), QUENNET_TRANSPARENT_RGB);
    files_.SetOwnerData(true);
    files_.SetMultiSelect(true);
    files_.SetRowSelect(true);
    files_.AddColumn("Name", 200);
    files_.AddColumn("In Folder", 318);
    files_.AddColumn("Size", 105);
    files_.SetSmallImages(ImageList1.Handle());
    files_.OnGetText = [this](int item, int subItem) { return CellText(item, subItem); };
    files_.OnGetImage = [](int) { return 0; };
    files_.OnColumnClick = [this](TListView&, int column) { filesColumnClick(column); };
}

std::string ResultsList::CellText(int row, int column) const {
    if (row < 0 || row >= store_.Count())
        return {};
    switch (column) {
    case 0:
        return store_.Name(row);
    case 1:
        return store_.Folder(row);
    default:
        return GetSize(store_.Size(row));
    }
}

void ResultsList::Clear() {
    store_.Clear();
    files_.SetItemCount(0);
}

void ResultsList::Append(const ResultRow& row) {
    store_.Append(row);
}

void ResultsList::Commit() {
    if (store_.Commit() == 0)
        return;
    files_.SetItemCount(store_.Count());
    if (store_.SortedByName())
        files_.Invalidate();
}

void ResultsList::RemoveRow(int row) {
    store_.RemoveRow(row);
    // The control shifts its selection and focus past the removed row itself.
    if (files_.HandleAllocated())
        SendMessageA(files_.HandleOrNull(), LVM_DELETEITEM, row, 0);
}

void ResultsList::filesColumnClick(int column) {
    if (column != 0) {
        MessageBeep(0); // sizes and folders are never sorted
        return;
    }
    if (store_.SortedByName())
        return;
    store_.SortByName();
    files_.Invalidate();
}

} // namespace quennet
