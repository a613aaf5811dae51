#include "search/MaskList.h"

namespace quennet {

MaskList::MaskList(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(";,");
        std::string_view mask = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!mask.empty() && mask.front() == ' ')
            mask.remove_prefix(1);
        while (!mask.empty() && mask.back() == ' ')
            mask.remove_suffix(1);
        if (!mask.empty())
            masks_.emplace_back(mask);
    }
}

bool MaskList::MatchesAny(std::string_view name) const {
    for (const TMask& mask : masks_)
        if (mask.Matches(name))
            return true;
    return false;
}

} // namespace quennet
