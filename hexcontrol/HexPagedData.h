#pragma once
// The viewed file read in pages as they are shown: a few recently used pages are kept, the
// rest of the file stays on disk. A file of any size opens at once and costs at most
// PageCount pages of memory.
#include "hexcontrol/HexData.h"
#include "hexcontrol/HexPageReader.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quennet {

class HexPagedData final : public HexData {
  public:
    // 64 KB pages: one read serves a whole screen of rows at any row width, and sixteen of
    // them (1 MB) hold the screen, the rows around it and a match found elsewhere.
    static constexpr std::size_t PageSize = 64 * 1024;
    static constexpr std::size_t PageCount = 16;

    // onFault hears of each page that could not be read whole, with the text that says so.
    using FaultNote = std::function<void(const std::string&)>;
    explicit HexPagedData(std::unique_ptr<HexPageReader> reader, FaultNote onFault = nullptr);

    HexPos Size() const override { return size_; }
    std::uint8_t At(HexPos pos) const override;
    void Read(HexPos pos, std::size_t count, std::uint8_t* dst) const override;
    bool Readable(HexPos pos) const override;

  private:
    struct Page {
        HexPos Index = -1;
        std::uint64_t LastUse = 0;
        std::vector<std::uint8_t> Bytes;
        std::size_t Good = 0; // bytes read; the rest of the page could not be
        std::string Fault;    // why, when Good is short
    };
    const Page& Fetch(HexPos index) const;
    [[noreturn]] void Unreadable(const Page& page) const;

    std::unique_ptr<HexPageReader> reader_;
    FaultNote onFault_;
    HexPos size_;
    // Reading a page is not a change of the data: the cache is mutable behind const reads.
    mutable std::array<Page, PageCount> pages_;
    mutable std::uint64_t clock_ = 0;
    mutable std::size_t lastHit_ = 0;
};

} // namespace quennet
