#include "hexcontrol/HexPagedData.h"

#include "hexcontrol/HexError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quennet {

namespace {
std::string HexText(HexPos offset) {
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(offset));
    return text;
}
} // namespace

HexPagedData::HexPagedData(std::unique_ptr<HexPageReader> reader, FaultNote onFault)
    : reader_(std::move(reader)), onFault_(std::move(onFault)), size_(std::max<HexPos>(0, reader_->Size())) {}

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
    page.Good = std::min(length, reader_->ReadAt(start, page.Bytes.data(), length));
    page.Fault.clear();
    page.Index = index;
    page.LastUse = ++clock_;
    lastHit_ = victim;
    // The rest of the page is not data (a lock, a lost share, a disk error, or the file shrank
    // since it was opened): the size the view was laid out for stays, those bytes are marked.
    if (page.Good < length) {
        page.Fault = HexFormat(hexmsg::CannotRead, HexText(start + static_cast<HexPos>(page.Good)),
                               reader_->FaultText());
        if (onFault_)
            onFault_(page.Fault);
    }
    return page;
}

void HexPagedData::Unreadable(const Page& page) const {
    throw EHexReadError(page.Fault);
}

bool HexPagedData::Readable(HexPos pos) const {
    if (pos < 0 || pos >= size_)
        return false;
    const Page& page = Fetch(pos / static_cast<HexPos>(PageSize));
    return static_cast<std::size_t>(pos % static_cast<HexPos>(PageSize)) < page.Good;
}

std::uint8_t HexPagedData::At(HexPos pos) const {
    if (pos < 0 || pos >= size_)
        throw EHexEditor(hexmsg::OutOfBounds);
    const Page& page = Fetch(pos / static_cast<HexPos>(PageSize));
    const auto offset = static_cast<std::size_t>(pos % static_cast<HexPos>(PageSize));
    if (offset >= page.Good)
        Unreadable(page);
    return page.Bytes[offset];
}

void HexPagedData::Read(HexPos pos, std::size_t count, std::uint8_t* dst) const {
    if (pos < 0 || pos > size_ || static_cast<HexPos>(count) > size_ - pos)
        throw EHexEditor(hexmsg::OutOfBounds);
    while (count > 0) {
        const Page& page = Fetch(pos / static_cast<HexPos>(PageSize));
        const auto offset = static_cast<std::size_t>(pos % static_cast<HexPos>(PageSize));
        const std::size_t n = std::min(count, page.Bytes.size() - offset);
        if (offset + n > page.Good)
            Unreadable(page);
        std::memcpy(dst, page.Bytes.data() + offset, n);
        dst += n;
        pos += static_cast<HexPos>(n);
        count -= n;
    }
}

} // namespace quennet
