#include "hexcontrol/HexMemoryStream.h"

#include "hexcontrol/HexError.h"

#include <cstring>
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
}

void THexMemoryStream::Check(HexPos pos, HexPos count) const {
    if (pos < 0 || count < 0 || pos > Size() || count > Size() - pos)
        throw EHexEditor(hexmsg::OutOfBounds);
}

const std::uint8_t* THexMemoryStream::Bytes(HexPos pos, HexPos count) const {
    Check(pos, count);
    return bytes_.data() + pos;
}

std::uint8_t* THexMemoryStream::WritableBytes(HexPos pos, HexPos count) {
    Check(pos, count);
    return bytes_.data() + pos;
}

void THexMemoryStream::Read(HexPos pos, std::size_t count, std::uint8_t* dst) const {
    const std::uint8_t* from = Bytes(pos, static_cast<HexPos>(count));
    if (count > 0)
        std::memcpy(dst, from, count);
}

} // namespace quennet
