#include "hexcontrol/HexPagedData.h"

#include "hexcontrol/HexError.h"

#include <algorithm>
#include <cstring>

namespace quennet {

HexPagedData::HexPagedData(std::unique_ptr<HexPageReader> reader)
    : reader_(std::move(reader)), size_(std::max<HexPos>(0, reader_->Size())) {}

const HexPagedData::Page& HexPagedData::Fetch(HexPos index) const {
    // Painting asks for the bytes of one or two pages, cell by cell: the last hit first.
    if (pages_[lastHit_].Index == index) {
        pages_[lastHit_].LastUse = ++clock_;
        return pages_[lastHit_];
    }
    std::size_t victim = 0;
    for (std::size_t i = 0; i < PageCount; ++i) {
        if (pages_[i].Index == index) {
            lastHit_ = i;
            pages_[i].LastUse = ++clock_;
            return pages_[i];
        }
        if (pages_[i].LastUse < pages_[victim].LastUse)
            victim = i;
    }
    Page& page = pages_[victim];
    const HexPos start = index * static_cast<HexPos>(PageSize);
    const auto length = static_cast<std::size_t>(std::min<HexPos>(PageSize, size_ - start));
    page.Bytes.resize(length);
    const std::size_t got = reader_->ReadAt(start, page.Bytes.data(), length);
    // A file that shrank since it was opened reads as zeros past its new end; the size the
    // view was laid out for stays.
    if (got < length)
        std::memset(page.Bytes.data() + got, 0, length - got);
    page.Index = index;
    page.LastUse = ++clock_;
    lastHit_ = victim;
    return page;
}

std::uint8_t HexPagedData::At(HexPos pos) const {
    if (pos < 0 || pos >= size_)
        throw EHexEditor(hexmsg::OutOfBounds);
    const Page& page = Fetch(pos / static_cast<HexPos>(PageSize));
    return page.Bytes[static_cast<std::size_t>(pos % static_cast<HexPos>(PageSize))];
}

void HexPagedData::Read(HexPos pos, std::size_t count, std::uint8_t* dst) const {
    if (pos < 0 || pos > size_ || static_cast<HexPos>(count) > size_ - pos)
        throw EHexEditor(hexmsg::OutOfBounds);
    while (count > 0) {
        const Page& page = Fetch(pos / static_cast<HexPos>(PageSize));
        const auto offset = static_cast<std::size_t>(pos % static_cast<HexPos>(PageSize));
        const std::size_t n = std::min(count, page.Bytes.size() - offset);
        std::memcpy(dst, page.Bytes.data() + offset, n);
        dst += n;
        pos += static_cast<HexPos>(n);
        count -= n;
    }
}

} // namespace quennet
