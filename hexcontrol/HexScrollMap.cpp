#include "hexcontrol/HexScrollMap.h"

#include <algorithm>

namespace quennet {

HexScrollMap::HexScrollMap(HexPos dataRows, int pageRows, int barLimit)
    : scaled_(dataRows - 1 > barLimit), maxTop_(std::max<HexPos>(0, dataRows - pageRows)) {
    if (!scaled_) {
        barMax_ = static_cast<int>(std::max<HexPos>(0, dataRows - 1));
        barPage_ = pageRows;
        barRange_ = static_cast<int>(maxTop_);
        return;
    }
    // The thumb keeps its share of the bar; the platform draws it no smaller than it can grab.
    barMax_ = barLimit;
    barPage_ = static_cast<int>(std::max<HexPos>(1, static_cast<HexPos>(pageRows) * barLimit / dataRows));
    barRange_ = barMax_ - barPage_ + 1;
}

int HexScrollMap::BarPos(HexPos top) const {
    top = std::clamp<HexPos>(top, 0, maxTop_);
    if (!scaled_)
        return static_cast<int>(top);
    if (top == maxTop_)
        return barRange_;
    // Only the thumb's place: a close fraction is enough.
    const auto pos = static_cast<HexPos>(static_cast<long double>(top) * barRange_ / maxTop_);
    return static_cast<int>(std::min<HexPos>(pos, barRange_ - 1));
}

HexPos HexScrollMap::TopOf(int barPos) const {
    if (!scaled_)
        return std::clamp<HexPos>(barPos, 0, maxTop_);
    if (barPos <= 0)
        return 0;
    if (barPos >= barRange_)
        return maxTop_;
    // maxTop_ * barPos / barRange_ without overflowing: split maxTop_ by barRange_.
    return maxTop_ / barRange_ * barPos + maxTop_ % barRange_ * barPos / barRange_;
}

} // namespace quennet
