#include "mainwindow/StatusTexts.h"

namespace quennet {

std::string EndOfSearchNote(std::uint64_t filteredOut, const std::string& unread) {
    if (filteredOut == 0)
        return unread;
    const std::string filtered = std::to_string(filteredOut) + " files left out by the filters";
    return unread.empty() ? filtered + "." : filtered + "; " + unread;
}

} // namespace quennet
