// The last searches a box keeps between runs: most recent first, each value once, at most
// kMaxEntries. The stored form is the entries joined by line breaks, which a one-line box
// cannot hold; a stored value that is too large or holds odd entries is read as far as it
// makes sense, never trusted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quennet {

class SearchHistory {
  public:
    static constexpr std::size_t kMaxEntries = 20;
    // Longer values are not kept: nobody picks a page of text from a drop-down list.
    static constexpr std::size_t kMaxEntryLength = 1024;
    static constexpr std::size_t kMaxStoredLength = kMaxEntries * (kMaxEntryLength + 1);

    // Folders are one folder whatever the case of their letters; names and phrases are not.
    enum class Sameness { Exact, IgnoreCase };
    explicit SearchHistory(Sameness sameness = Sameness::Exact) : sameness_(sameness) {}

    // A search with `value` started: it goes to the front, an equal entry goes, the oldest
    // beyond the limit goes. Empty, multi-line or over-long values are not kept.
    void Add(const std::string& value);
    // The user removed an entry from the box's list; an index beyond the list is ignored.
    void Remove(std::size_t index);
    const std::vector<std::string>& Entries() const { return entries_; }

    std::string Stored() const;
    // Replaces the entries by those of a stored value, kept by the rules of Add in their
    // stored order; a value over kMaxStoredLength leaves the history empty.
    void Restore(const std::string& stored);

  private:
    bool Same(const std::string& a, const std::string& b) const;
    static bool Keepable(const std::string& value);

    Sameness sameness_;
    std::vector<std::string> entries_;
};

} // namespace quennet
