#include "mainwindow/ResultStore.h"

#include "search/SearchSink.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace quennet {

ResultStore::ResultStore(SortKeyMaker makeKey, NameCompare compareNames, int sortAtOnceLimit)
    : makeKey_(makeKey), compareNames_(compareNames), sortAtOnceLimit_(sortAtOnceLimit) {}

ResultStore::~ResultStore() = default;

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

std::int32_t ResultStore::MatchLength(int row) const {
    return rows_[order_[row]].MatchLength;
}

MatchLineView ResultStore::Line(int row) const {
    const std::uint32_t index = order_[row];
    return index < lineOf_.size() ? lines_.At(lineOf_[index]) : MatchLineView{};
}

std::vector<int> ResultStore::PositionsOf(const std::vector<RowKey>& rows) const {
    // One pass over the order; the few rows asked for are marked so that most rows cost a bit.
    std::vector<bool> asked(rows_.size());
    for (const RowKey& key : rows)
        if (key.Generation == generation_ && key.Row < rows_.size())
            asked[key.Row] = true;
    std::unordered_map<std::uint32_t, int> found;
    for (std::size_t position = 0; position < order_.size(); ++position)
        if (asked[order_[position]])
            found[order_[position]] = static_cast<int>(position);
    std::vector<int> positions(rows.size(), -1);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].Generation == generation_) {
            auto at = found.find(rows[i].Row);
            if (at != found.end())
                positions[i] = at->second;
        }
    return positions;
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
    stored.MatchLength = row.MatchLength;
    stored.Folder = static_cast<std::uint32_t>(folders_.size() - 1);
    stored.Removed = false;
    names_.insert(names_.end(), row.Name.begin(), row.Name.end());
    names_.push_back('\0');
    rows_.push_back(stored);
    if (!row.Line.Text.empty() || !lineOf_.empty()) {
        lineOf_.resize(rows_.size(), MatchLineStore::kNoLine);
        lineOf_.back() = lines_.Add(row.Line);
    }
}

bool ResultStore::KeyLess(std::uint32_t a, std::uint32_t b) const {
    const int order = std::strcmp(keys_.data() + keyStart_[a], keys_.data() + keyStart_[b]);
    return order < 0 || (order == 0 && a < b);
}

bool ResultStore::NameLess(std::uint32_t a, std::uint32_t b) const {
    const int order = compareNames_(names_.data() + rows_[a].NameStart, names_.data() + rows_[b].NameStart);
    return order < 0 || (order == 0 && a < b);
}

void ResultStore::MakeKeys(const std::vector<std::uint32_t>& rows) {
    keyStart_.resize(rows_.size(), kNoKey);
    for (std::uint32_t row : rows) {
        keyStart_[row] = keys_.size();
        makeKey_(names_.data() + rows_[row].NameStart, keys_);
    }
}

void ResultStore::MergeIntoOrder(std::vector<std::uint32_t> batch) {
    MergeExactly(
        order_, std::move(batch), [this](std::uint32_t a, std::uint32_t b) { return KeyLess(a, b); },
        [this](std::uint32_t a, std::uint32_t b) { return NameLess(a, b); });
}

int ResultStore::Commit() {
    if (!retired_.empty())
        ReapRetired();
    const std::size_t added = rows_.size() - committed_;
    if (added == 0)
        return 0;
    std::vector<std::uint32_t> batch(added);
    for (std::size_t i = 0; i < added; ++i)
        batch[i] = static_cast<std::uint32_t>(committed_ + i);
    committed_ = rows_.size();
    if (sortedByName_)
        MakeKeys(batch);
    // While a sort runs, new rows wait at the end; they are merged when it is swapped in.
    if (!sortedByName_ || job_)
        order_.insert(order_.end(), batch.begin(), batch.end());
    else
        MergeIntoOrder(std::move(batch));
    return static_cast<int>(added);
}

void ResultStore::StopJob() {
    if (!job_)
        return;
    job_->Cancel();
    retired_.push_back(std::move(job_));
}

void ResultStore::Clear() {
    StopJob();
    rows_.clear();
    rows_.shrink_to_fit();
    order_.clear();
    order_.shrink_to_fit();
    names_.clear();
    names_.shrink_to_fit();
    folders_.clear();
    folders_.shrink_to_fit();
    keys_.clear();
    keys_.shrink_to_fit();
    keyStart_.clear();
    keyStart_.shrink_to_fit();
    lines_.Clear();
    lineOf_.clear();
    lineOf_.shrink_to_fit();
    committed_ = 0;
    ++generation_;
}

int ResultStore::RemoveRows(const std::vector<RowKey>& rows) {
    int removed = 0;
    for (const RowKey& key : rows)
        if (key.Generation == generation_ && key.Row < committed_ && !rows_[key.Row].Removed) {
            rows_[key.Row].Removed = true;
            ++removed;
        }
    if (removed)
        order_.erase(std::remove_if(order_.begin(), order_.end(),
                                    [this](std::uint32_t row) { return rows_[row].Removed; }),
                     order_.end());
    return removed;
}

void ResultStore::SortByName() {
    if (sortedByName_)
        return;
    sortedByName_ = true;
    if (Count() <= sortAtOnceLimit_) {
        MakeKeys(order_);
        SortExactly(
            order_, [this](std::uint32_t a, std::uint32_t b) { return KeyLess(a, b); },
            [this](std::uint32_t a, std::uint32_t b) { return NameLess(a, b); }, [] { return false; });
        return;
    }
    StartJob(0);
}

void ResultStore::StartJob(std::size_t inOrder) {
    // The job gets copies: the names go on growing here while it works.
    std::vector<std::uint64_t> nameStart(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row)
        nameStart[row] = rows_[row].NameStart;
    jobRows_ = committed_;
    job_ = std::make_unique<NameSortJob>(makeKey_, compareNames_, order_, inOrder, names_, std::move(nameStart));
}

void ResultStore::ReapRetired() {
    retired_.erase(std::remove_if(retired_.begin(), retired_.end(), [](const auto& job) { return job->Done(); }),
                   retired_.end());
}

bool ResultStore::TakeFinishedSort() {
    ReapRetired();
    if (!job_ || !job_->Done())
        return false;
    std::unique_ptr<NameSortJob> job = std::move(job_);
    std::vector<std::uint32_t> newcomers;
    for (std::uint32_t row : order_)
        if (row >= jobRows_)
            newcomers.push_back(row);
    order_.clear();
    for (std::uint32_t row : job->Sorted)
        if (!rows_[row].Removed)
            order_.push_back(row);
    if (static_cast<int>(newcomers.size()) > sortAtOnceLimit_) {
        // Placing this many rows here would hold the window (each costs about two calls of
        // lstrcmpA): they wait at the end, to be merged in on the job's thread. The store's
        // keys stay as they are: only rows placed here need them, and the next job brings
        // its own. Taking this job's (a copy of the newcomers' keys, up to 80 ms at a million
        // rows) would be wasted.
        const std::size_t inOrder = order_.size();
        order_.insert(order_.end(), newcomers.begin(), newcomers.end());
        StartJob(inOrder);
        return true;
    }
    // The job's keys replace the store's: a sort after a sort would otherwise keep every
    // row's key twice. The rows that came meanwhile bring theirs along.
    std::string keys = std::move(job->Keys);
    std::vector<std::uint64_t> keyStart(rows_.size(), kNoKey);
    for (std::uint32_t row : job->Sorted)
        keyStart[row] = job->KeyStart[row];
    for (std::uint32_t row : newcomers) {
        keyStart[row] = keys.size();
        keys.append(keys_.data() + keyStart_[row]);
        keys.push_back('\0');
    }
    keys_.swap(keys);
    keyStart_.swap(keyStart);
    MergeIntoOrder(std::move(newcomers));
    return true;
}

void ResultStore::StopSortingByName() {
    sortedByName_ = false;
    StopJob();
}

ListSnapshot ResultStore::Snapshot() const {
    ListSnapshot snapshot;
    snapshot.Rows.reserve(order_.size());
    for (std::uint32_t index : order_) {
        const Row& row = rows_[index];
        snapshot.Rows.push_back({row.NameStart, row.Size, row.MatchOffset, row.Folder,
                                 index < lineOf_.size() ? lineOf_[index] : MatchLineStore::kNoLine});
    }
    // Rows queued for the next Commit are not shown, but their names and folders come along:
    // cutting them off would cost more than the copy.
    snapshot.Names = names_;
    snapshot.Folders = folders_;
    snapshot.Lines = lines_;
    return snapshot;
}

std::size_t ResultStore::MemoryUse() const {
    std::size_t bytes = rows_.capacity() * sizeof(Row) + order_.capacity() * sizeof(std::uint32_t) +
                        names_.capacity() + folders_.capacity() * sizeof(std::string) + keys_.capacity() +
                        keyStart_.capacity() * sizeof(std::uint64_t) + lines_.Capacity() +
                        lineOf_.capacity() * sizeof(std::uint64_t);
    for (const std::string& folder : folders_)
        bytes += folder.capacity();
    return bytes;
}

} // namespace quennet
