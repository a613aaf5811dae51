#pragma once
// The bytes the hex view shows, however they are held: a block in memory (THexMemoryStream)
// or pages read from the file as they are shown (HexPagedData). Positions are 64-bit, so a
// file of any size is addressed exactly.
#include <cstddef>
#include <cstdint>

namespace quennet {

using HexPos = std::int64_t;

class HexData {
  public:
    virtual ~HexData() = default;
    virtual HexPos Size() const = 0;
    // The byte at pos; EHexEditor outside 0 .. Size() - 1, EHexReadError where it cannot be read.
    virtual std::uint8_t At(HexPos pos) const = 0;
    // count bytes from pos into dst; EHexEditor when the range leaves the data, EHexReadError
    // when a byte of it cannot be read.
    virtual void Read(HexPos pos, std::size_t count, std::uint8_t* dst) const = 0;
    // False for a byte of the file that could not be read: it is not data, whatever it held.
    virtual bool Readable(HexPos /*pos*/) const { return true; }
    // Bytes changed since loading, which painting marks; the read-only view has none.
    virtual bool IsChanged(HexPos /*pos*/) const { return false; }
};

} // namespace quennet
