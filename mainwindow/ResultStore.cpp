#include "mainwindow/ResultStore.h"

#include "search/SearchWorker.h"

#include <algorithm>

namespace quennet {

ResultStore::ResultStore(NameCompare compare) : compare_(compare) {}

const char* ResultStore::Name(int row) const {
    return names_.data() + rows_[order_[row]].NameStart;
}

const std::string& ResultStore::Folder(int row) const {
    return folders_[rows_[order_[row]].Folder];
}

std::int64_t ResultStore::Size(int row) const {
    return rows_[order_[row]].Size;
}

std::int64_t ResultStore::MatchOffset(int row) const {
    return rows_[order_[row]].MatchOffset;
}

void ResultStore::Append(const ResultRow& row) {
    // The walk hands over a folder's files one after another, so comparing with the last
    // folder is enough to share it.
    if (folders_.empty() || folders_.back() != row.Folder)
        folders_.push_back(row.Folder);
    Row stored;
    stored.NameStart = names_.size();
    stored.Size = row.Size;
    stored.MatchOffset = row.MatchOffset;
    stored.Folder = static_cast<std::uint32_t>(folders_.size() - 1);
    names_.insert(names_.end(), row.Name.begin(), row.Name.end());
    names_.push_back('\0');
    rows_.push_back(stored);
}

bool ResultStore::NameLess(std::uint32_t a, std::uint32_t b) const {
    return compare_(names_.data() + rows_[a].NameStart, names_.data() + rows_[b].NameStart) < 0;
}

int ResultStore::Commit() {
    const std::size_t added = rows_.size() - committed_;
    if (added == 0)
        return 0;
    std::vector<std::uint32_t> batch(added);
    for (std::size_t i = 0; i < added; ++i)
        batch[i] = static_cast<std::uint32_t>(committed_ + i);
    committed_ = rows_.size();
    if (!sortedByName_) {
        order_.insert(order_.end(), batch.begin(), batch.end());
        return static_cast<int>(added);
    }
    auto less = [this](std::uint32_t a, std::uint32_t b) { return NameLess(a, b); };
    std::stable_sort(batch.begin(), batch.end(), less);
    // Each new row goes after the shown rows of an equal name: binary searches find the
    // places, and the shown rows are copied across in blocks, one pass per batch.
    std::vector<std::uint32_t> merged;
    merged.reserve(order_.size() + batch.size());
    auto from = order_.begin();
    for (std::uint32_t row : batch) {
        auto place = std::upper_bound(from, order_.end(), row, less);
        merged.insert(merged.end(), from, place);
        merged.push_back(row);
        from = place;
    }
    merged.insert(merged.end(), from, order_.end());
    order_.swap(merged);
    return static_cast<int>(added);
}

void ResultStore::Clear() {
    rows_.clear();
    rows_.shrink_to_fit();
    order_.clear();
    order_.shrink_to_fit();
    names_.clear();
    names_.shrink_to_fit();
    folders_.clear();
    folders_.shrink_to_fit();
    committed_ = 0;
}

void ResultStore::RemoveRow(int row) {
    order_.erase(order_.begin() + row);
}

void ResultStore::SortByName() {
    if (sortedByName_)
        return;
    sortedByName_ = true;
    std::stable_sort(order_.begin(), order_.end(),
                     [this](std::uint32_t a, std::uint32_t b) { return NameLess(a, b); });
}

std::size_t ResultStore::MemoryUse() const {
    std::size_t bytes = rows_.capacity() * sizeof(Row) + order_.capacity() * sizeof(std::uint32_t) +
                        names_.capacity() + folders_.capacity() * sizeof(std::string);
    for (const std::string& folder : folders_)
        bytes += folder.capacity();
    return bytes;
}

} // namespace quennet
