#pragma once
// The control's data held in memory as one contiguous block, with 32-bit signed positions;
// the editing paths of the control work on it. The viewer pages the file instead
// (HexPagedData).
#include "hexcontrol/HexData.h"

#include <cstdint>
#include <vector>

namespace quennet {

class THexMemoryStream final : public HexData {
  public:
    static constexpr std::int64_t MaxSize = 2147483647;

    HexPos Size() const override { return static_cast<HexPos>(bytes_.size()); }
    // Throws ERangeError past MaxSize and EStreamError when memory runs out; keeps the old
    // content's prefix otherwise.
    void SetSize(std::int64_t size);
    void Clear();

    // The one accessor for the bytes: count bytes at pos, or EHexEditor when out of bounds.
    const std::uint8_t* Bytes(HexPos pos, HexPos count) const;
    std::uint8_t* WritableBytes(HexPos pos, HexPos count);
    std::uint8_t At(HexPos pos) const override { return *Bytes(pos, 1); }
    void Read(HexPos pos, std::size_t count, std::uint8_t* dst) const override;

  private:
    void Check(HexPos pos, HexPos count) const;
    std::vector<std::uint8_t> bytes_;
};

} // namespace quennet
