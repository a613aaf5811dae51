// The hex view on files larger than memory: pages read as they are shown, 64-bit positions
// through the model and layout, and the scroll bar's 32-bit range spread over the rows.
#include "hexcontrol/HexError.h"
#include "hexcontrol/HexFind.h"
#include "hexcontrol/HexModel.h"
#include "hexcontrol/HexPageReader.h"
#include "hexcontrol/HexScrollMap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <vector>

using namespace quennet;

namespace {
constexpr HexPos kTenGB = HexPos{10} << 30;

std::uint8_t ByteOf(HexPos i) {
    return static_cast<std::uint8_t>(i * 7 + (i >> 16) + (i >> 32));
}

// A file of any size whose byte i is ByteOf(i), counting the reads asked of it; it may be
// told that the file has shrunk since it was opened.
struct CountingReader : HexPageReader {
    HexPos size;
    HexPos shrunkTo;
    std::vector<HexPos>* reads;
    CountingReader(HexPos s, std::vector<HexPos>* log, HexPos shrunk = -1)
        : size(s), shrunkTo(shrunk < 0 ? s : shrunk), reads(log) {}
    std::int64_t Size() const override { return size; }
    std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t count) override {
        reads->push_back(offset);
        std::size_t n = 0;
        for (; n < count && offset + static_cast<HexPos>(n) < shrunkTo; ++n)
            static_cast<std::uint8_t*>(dst)[n] = ByteOf(offset + static_cast<HexPos>(n));
        return n;
    }
    std::string FaultText() const override { return "the device is not ready"; }
};

// The viewer's configuration on 9 x 17 pixel cells with ten rows in view.
struct PagedViewer {
    std::vector<HexPos> reads;
    HexModel model;
    explicit PagedViewer(HexPos size, HexPos shrunkTo = -1) {
        model.ReadOnlyView = true;
        model.Layout().SetShowRuler(true);
        model.Layout().SetHexLowerCase(true);
        model.SetBytesPerRow(20);
        model.SetCharMetrics(9, 17);
        model.SetClientSize(800, 20 + 10 * 17);
        model.OpenPaged("big.bin", std::make_unique<CountingReader>(size, &reads, shrunkTo));
    }
    // What painting reads: every byte of the rows in view.
    void ReadView() {
        const HexLayout& l = model.Layout();
        for (HexPos row = model.TopRow(); row < model.TopRow() + model.VisibleRowCount(); ++row)
            for (int i = 0; i < l.BytesPerRow(); ++i) {
                const HexPos p = l.PositionOfCell(l.FirstCharCol() + i, row);
                if (p < model.DataSize()) {
                    ASSERT_EQ(model.Data().At(p), ByteOf(p)) << p;
                }
            }
    }
};
} // namespace

TEST(PagedView, TenGigabytesOpenAtOnceAndTheMatchNearTheEndIsExact) {
    PagedViewer v(kTenGB);
    EXPECT_TRUE(v.reads.empty()); // opening reads nothing
    EXPECT_EQ(v.model.DataSize(), kTenGB);
    EXPECT_EQ(v.model.Layout().RowCount(), kTenGB / 20 + 2);
    // The gutter fits the largest offset: the last row starts 20 bytes before 0x280000000.
    EXPECT_EQ(v.model.Layout().OffsetText(kTenGB - 1 - (kTenGB - 1) % 20), "0x27fffffec");
    EXPECT_EQ(v.model.Layout().OffsetDisplayWidth(), 12);

    const HexPos match = kTenGB - 77;
    v.model.SetSelectionStart(match);
    v.model.SetSelectionEnd(match + 4);
    EXPECT_EQ(v.model.SelStart(), match);
    EXPECT_EQ(v.model.SelEnd(), match + 4);
    EXPECT_EQ(v.model.SelectionCount(), 5);
    EXPECT_EQ(v.model.CursorPosition(), match);
    EXPECT_EQ(v.model.Cursor().Row, match / 20 + 2);
    EXPECT_EQ(v.model.TopRow(), match / 20 + 2 - 9); // the least scrolling: its row the last in view
    v.ReadView();
    EXPECT_EQ(v.reads.size(), 1u); // the rows in view lie in one page
    EXPECT_EQ(v.reads[0], kTenGB - HexPos{HexPagedData::PageSize});

    // Keys move by rows and bytes in 64 bits: Ctrl+End, then up one row.
    v.model.KeyDown(hexkey::End, hsCtrl);
    EXPECT_EQ(v.model.CursorPosition(), kTenGB - 1);
    v.model.KeyDown(hexkey::Up, 0);
    EXPECT_EQ(v.model.CursorPosition(), kTenGB - 1 - 20);

    // Select all is a pair of numbers, not a read of the file.
    const size_t before = v.reads.size();
    v.model.SelectAllData();
    EXPECT_EQ(v.model.SelectionCount(), kTenGB);
    EXPECT_EQ(v.reads.size(), before);
    EXPECT_THROW(v.model.SetSelectionStart(kTenGB), EHexEditor);
}

TEST(PagedView, ScrollingThroughKeepsOnlyAFewPages) {
    PagedViewer v(kTenGB);
    // Sixty places spread over the file, each painted: the one or two pages it shows are read.
    for (int k = 0; k < 60; ++k) {
        const size_t before = v.reads.size();
        v.model.SetTopRow(2 + (kTenGB / 20) / 60 * k);
        v.ReadView();
        EXPECT_GE(v.reads.size(), before + 1);
        EXPECT_LE(v.reads.size(), before + 2);
    }
    // The last place painted is kept; the first was let go.
    const size_t kept = v.reads.size();
    v.model.SetTopRow(2 + (kTenGB / 20) / 60 * 59);
    v.ReadView();
    EXPECT_EQ(v.reads.size(), kept);
    v.model.SetTopRow(2);
    v.ReadView();
    EXPECT_EQ(v.reads.size(), kept + 1);

    // A range read across pages gives the bytes in order.
    std::vector<std::uint8_t> got(3 * HexPagedData::PageSize);
    const HexPos from = kTenGB - HexPos{HexPagedData::PageSize} * 3 + 5;
    v.model.Data().Read(from, got.size() - 5, got.data());
    for (size_t i = 0; i + 5 < got.size(); ++i)
        ASSERT_EQ(got[i], ByteOf(from + static_cast<HexPos>(i))) << i;
    EXPECT_THROW(v.model.Data().Read(kTenGB - 2, 3, got.data()), EHexEditor);
}

// A locked range, a lost share, a disk error or a file that shrank read as real 00 bytes,
// which painting, Copy and F3 then used.
TEST(PagedView, BytesThatCannotBeReadAreNeverZeros) {
    PagedViewer v(200000, 70000); // reads stop short at 70000, within the second page
    const HexData& data = v.model.Data();
    EXPECT_TRUE(data.Readable(69999));
    EXPECT_FALSE(data.Readable(70000));
    EXPECT_THROW(data.At(70000), EHexReadError);
    std::uint8_t bytes[16];
    try {
        data.Read(69990, 16, bytes);
        ADD_FAILURE() << "read";
    } catch (const EHexReadError& e) {
        EXPECT_STREQ(e.what(), "Some bytes from offset 0x11170 cannot be read (the device is not ready)");
    }
    // F3 fails over them instead of finding a match in zeros.
    EXPECT_THROW(HexFindNext(data, 0, PhraseFinder(std::string(2, '\0'), false)), EHexReadError);
}

TEST(PagedView, ClosingFreesTheFileAndTheDocumentIsEmpty) {
    PagedViewer v(kTenGB);
    v.model.SetSelectionStart(kTenGB - 1);
    v.model.ResetDocument();
    EXPECT_EQ(v.model.DataSize(), 0);
    EXPECT_FALSE(v.model.HasFile());
    EXPECT_EQ(v.model.TopRow(), 2);
    EXPECT_EQ(v.model.SelectionCount(), 0);
}

TEST(FileReader, ReadsASparseFileBeyondFourGigabytesAtItsOffsets) {
    const char* path = "quennet-hexpage-sparse.bin";
    const HexPos size = (HexPos{5} << 30) + 3;
    {
        // Written past a seek: the gap stays a hole and takes no room on disk.
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.seekp(static_cast<std::streamoff>(size - 3));
        out.write("end", 3);
        ASSERT_TRUE(out.good());
    }

    {
        HexFilePageReader reader;
        ASSERT_TRUE(reader.Open(path));
        EXPECT_EQ(reader.Size(), size);
        char got[8] = {};
        EXPECT_EQ(reader.ReadAt(size - 4, got, 8), 4u); // short at the end
        EXPECT_EQ(std::string(got, 4), std::string("\0end", 4));
    }
    ASSERT_EQ(std::remove(path), 0);
    HexFilePageReader missing;
    EXPECT_FALSE(missing.Open(path));
    EXPECT_EQ(missing.File().Fault(), ReadFault::Absent);
}

TEST(FileReader, AViewedFileCanBeRenamedAndDeletedWhileItIsShown) {
    const char* path = "quennet-hexpage-viewed.bin";
    const char* moved = "quennet-hexpage-moved.bin";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "viewed";
    }
    {
        HexFilePageReader reader;
        ASSERT_TRUE(reader.Open(path));
        std::error_code error;
        std::filesystem::rename(path, moved, error);
        EXPECT_FALSE(error) << error.message();
        std::filesystem::remove(error ? path : moved, error);
        EXPECT_FALSE(error) << error.message();
        // The pages still come from the file as it was opened.
        char got[6] = {};
        EXPECT_EQ(reader.ReadAt(0, got, 6), 6u);
        EXPECT_EQ(std::string(got, 6), "viewed");
    }
    std::remove(path);
    std::remove(moved);
}

TEST(ScrollMap, RowsBeyondTheBarsRangeAreSpreadOverItExactlyAtBothEnds) {
    // Within the range the bar counts rows, as it always did.
    const HexScrollMap small(1000, 10);
    EXPECT_FALSE(small.Scaled());
    EXPECT_EQ(small.BarMax(), 999);
    EXPECT_EQ(small.BarPage(), 10);
    EXPECT_EQ(small.BarPos(500), 500);
    EXPECT_EQ(small.TopOf(990), 990);
    EXPECT_EQ(small.TopOf(995), 990);

    // 10 GB at one byte per row on a bar of 2^30 positions, and on a bar of 1000.
    for (const int limit : {HexScrollMap::BarLimit, 1000}) {
        SCOPED_TRACE(limit);
        const HexScrollMap big(kTenGB, 10, limit);
        EXPECT_TRUE(big.Scaled());
        EXPECT_EQ(big.BarMax(), limit);
        EXPECT_EQ(big.MaxTop(), kTenGB - 10);
        const int range = big.BarMax() - big.BarPage() + 1;
        EXPECT_EQ(big.TopOf(0), 0);
        EXPECT_EQ(big.TopOf(range), kTenGB - 10); // the last page, exactly
        EXPECT_EQ(big.BarPos(kTenGB - 10), range);
        HexPos previous = -1;
        for (int p = 0; p <= range; p += range / 97 + 1) {
            const HexPos top = big.TopOf(p);
            EXPECT_GT(top, previous);
            EXPECT_LE(std::abs(big.BarPos(top) - p), 1) << p;
            previous = top;
        }
    }
}
