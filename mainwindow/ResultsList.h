// The results list `files`: an owner-data list view over the window's own ResultStore, with
// the three columns, the document icon, sorting by name and the header beeps.
#pragma once

#include "mainwindow/ResultStore.h"
#include "runtime/ListView.h"
#include "runtime/Resources.h"

#include <vector>

namespace quennet {

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
    void RemoveRow(int row); // the list's selection of the other rows is kept

    int Count() const { return store_.Count(); }
    std::vector<int> SelectedRows() const { return files_.SelectedIndices(); }
    int FirstSelected() const { return files_.ItemIndex(); }
    std::string CellText(int row, int column) const;

    void filesColumnClick(int column);

  private:
    TListView& files_;
    ResultStore store_;
    TImageList ImageList1;
};

} // namespace quennet
