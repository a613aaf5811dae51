#include "mainwindow/SearchHistory.h"

#include <algorithm>

namespace quennet {

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool SearchHistory::Same(const std::string& a, const std::string& b) const {
    if (sameness_ == Sameness::Exact)
        return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

bool SearchHistory::Keepable(const std::string& value) {
    return !value.empty() && value.size() <= kMaxEntryLength &&
           value.find_first_of("\r\n") == std::string::npos;
}

void SearchHistory::Add(const std::string& value) {
    if (!Keepable(value))
        return;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const std::string& entry) { return Same(entry, value); }),
                   entries_.end());
    entries_.insert(entries_.begin(), value);
    if (entries_.size() > kMaxEntries)
        entries_.resize(kMaxEntries);
}

void SearchHistory::Remove(std::size_t index) {
    if (index < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string SearchHistory::Stored() const {
    std::string stored;
    for (const std::string& entry : entries_) {
        if (!stored.empty())
            stored += '\n';
        stored += entry;
    }
    return stored;
}

void SearchHistory::Restore(const std::string& stored) {
    entries_.clear();
    if (stored.size() > kMaxStoredLength)
        return;
    std::size_t start = 0;
    while (start <= stored.size() && entries_.size() < kMaxEntries) {
        std::size_t end = stored.find('\n', start);
        if (end == std::string::npos)
            end = stored.size();
        std::string entry = stored.substr(start, end - start);
        const bool seen = std::any_of(entries_.begin(), entries_.end(),
                                      [&](const std::string& kept) { return Same(kept, entry); });
        if (Keepable(entry) && !seen)
            entries_.push_back(std::move(entry));
        start = end + 1;
    }
}

} // namespace quennet
