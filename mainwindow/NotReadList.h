// The files and folders a search left out for a reason other than absence or denial, as the
// window lists them for the user to read and copy. A search of every drive can meet a great
// many: past kKept only the count grows.
#pragma once

#include "search/SearchSink.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quennet {

class NotReadList {
  public:
    static constexpr std::size_t kKept = 20000;

    void Clear();
    void Add(const SearchError& error);

    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    const SearchError& First() const { return first_; }
    // One "path: reason" a line (CR LF), in the order the search met them, and a last line
    // saying how many more were left out when there were more than kKept.
    std::string Text() const;

  private:
    std::vector<SearchError> kept_;
    SearchError first_;
    std::size_t count_ = 0;
};

} // namespace quennet
