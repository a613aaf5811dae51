#include "hexcontrol/HexMemoryStream.h"

#include "hexcontrol/HexError.h"

#include <new>

namespace quennet {

void THexMemoryStream::SetSize(std::int64_t size) {
    if (size < 0 || size > MaxSize)
        throw ERangeError();
    try {
        bytes_.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EStreamError(hexmsg::StreamOutOfMemory);
    } catch (const std::length_error&) {
        throw EStreamError(hexmsg::StreamOutOfMemory);
    }
}

void THexMemoryStream::Clear() {
    // Release the memory too: a viewed file can be hundreds of megabytes.
    std::vector<std::uint8_t>().swap(bytes_);
    changed_.clear();
}

void THexMemoryStream::Check(int pos, int count) const {
    if (pos < 0 || count < 0 || static_cast<std::int64_t>(pos) + count > Size())
        throw EHexEditor(hexmsg::OutOfBounds);
}

const std::uint8_t* THexMemoryStream::Bytes(int pos, int count) const {
    Check(pos, count);
    return bytes_.data() + pos;
}

std::uint8_t* THexMemoryStream::WritableBytes(int pos, int count) {
    Check(pos, count);
    return bytes_.data() + pos;
}

bool THexMemoryStream::IsChanged(int pos) const {
    return pos >= 0 && static_cast<size_t>(pos) < changed_.size() && changed_[static_cast<size_t>(pos)];
}

} // namespace quennet
