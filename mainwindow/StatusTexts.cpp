#include "mainwindow/StatusTexts.h"

namespace quennet {

std::string FilesFoundText(std::int64_t found, std::uint64_t filteredOut) {
    std::string text = std::to_string(found) + " files found";
    if (filteredOut > 0)
        text += "; " + std::to_string(filteredOut) + " left out by the filters";
    return text + ".";
}

} // namespace quennet
