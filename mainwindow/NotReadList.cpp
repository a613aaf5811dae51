#include "mainwindow/NotReadList.h"

namespace quennet {

void NotReadList::Clear() {
    kept_.clear();
    kept_.shrink_to_fit();
    first_ = SearchError{};
    count_ = 0;
}

void NotReadList::Add(const SearchError& error) {
    // Counted first: one that finds no memory to be kept is still told among the "more".
    if (++count_ == 1)
        first_ = error;
    if (kept_.size() < kKept)
        kept_.push_back(error);
}

std::string NotReadList::Text() const {
    std::string text;
    for (const SearchError& error : kept_)
        text += error.Path + ": " + error.Message + "\r\n";
    if (count_ > kept_.size())
        text += "... and " + std::to_string(count_ - kept_.size()) + " more\r\n";
    return text;
}

} // namespace quennet
