#pragma once
// The control's data: the whole file as one contiguous block, with 32-bit signed positions.
#include <cstdint>
#include <vector>

namespace quennet {

class THexMemoryStream {
  public:
    static constexpr std::int64_t MaxSize = 2147483647;

    int Size() const { return static_cast<int>(bytes_.size()); }
    // Throws ERangeError past MaxSize and EStreamError when memory runs out; keeps the old
    // content's prefix otherwise.
    void SetSize(std::int64_t size);
    void Clear();

    // The one accessor for the bytes: count bytes at pos, or EHexEditor when out of bounds.
    const std::uint8_t* Bytes(int pos, int count) const;
    std::uint8_t* WritableBytes(int pos, int count);
    std::uint8_t At(int pos) const { return *Bytes(pos, 1); }

    // One bit per byte marks bytes changed since loading; the read-only view never sets it.
    bool IsChanged(int pos) const;
    void ClearChanged() { changed_.clear(); }

  private:
    void Check(int pos, int count) const;
    std::vector<std::uint8_t> bytes_;
    std::vector<bool> changed_;
};

} // namespace quennet
