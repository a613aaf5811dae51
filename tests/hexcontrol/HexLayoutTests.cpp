#include "hexcontrol/HexCaret.h"
#include "hexcontrol/HexClipData.h"
#include "hexcontrol/HexError.h"
#include "hexcontrol/HexLayout.h"
#include "hexcontrol/HexMemoryStream.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quennet;

namespace {
// The viewer's configuration; the font cell is 9 x 17 pixels here.
HexLayout ViewerLayout(int dataSize) {
    HexLayout l;
    l.SetBytesPerRow(20);
    l.SetHexLowerCase(true);
    l.SetShowRuler(true);
    l.SetMaskChar(183);
    l.SetCharMetrics(9, 17);
    l.SetDataSize(dataSize);
    return l;
}

std::string ThrownBy(const std::function<void()>& f) {
    try {
        f();
    } catch (const EHexEditor& e) {
        return e.what();
    }
    return "(nothing thrown)";
}
} // namespace

TEST(OffsetFormat, ViewerFormatParsesToAutoWidthRulerUnit) {
    HexLayout l = ViewerLayout(5000);
    const THexOffsetFormat& f = l.OffsetFormatRecord();
    EXPECT_EQ(f.Flags, 0x09);
    EXPECT_EQ(f.Radix, 16);
    EXPECT_EQ(f.UnitSize, 1);
    EXPECT_EQ(f.Prefix, "0x");
    EXPECT_EQ(f.Suffix, "");
}

TEST(OffsetFormat, GutterOfA5000ByteFile) {
    HexLayout l = ViewerLayout(5000);
    EXPECT_EQ(l.RowCount(), 252);
    EXPECT_EQ(l.OffsetText(0), "0x0000");
    EXPECT_EQ(l.OffsetText(4980), "0x1374");
    EXPECT_EQ(l.GutterPixels(), 7 * 9 + 21);
}

TEST(OffsetFormat, SmallFilesNeedOneDigit) {
    for (int size : {0, 16, 20}) {
        HexLayout l = ViewerLayout(size);
        EXPECT_EQ(l.OffsetText(0), "0x0") << size;
        EXPECT_EQ(l.GutterPixels(), 4 * 9 + 21) << size;
    }
    // A 21-byte file starts its second row at 0x14: two digits everywhere.
    EXPECT_EQ(ViewerLayout(21).OffsetText(0), "0x00");
}

TEST(OffsetFormat, RowUnitFailsAt20BytesPerRowAndCountsRowsAt8) {
    HexLayout l = ViewerLayout(100);
    EXPECT_EQ(ThrownBy([&] { l.SetOffsetFormat("R%-!10:0x|"); }),
              "Invalid bytes per unit value 20, allowed: 1,2,4,8");
    EXPECT_EQ(l.OffsetFormat(), "-!10:0x|");
    EXPECT_EQ(l.OffsetFormatRecord().Flags, 0x09);
    EXPECT_EQ(l.OffsetText(40), "0x28");

    l.SetBytesPerRow(8);
    l.SetOffsetFormat("r%-!10:0x|");
    EXPECT_EQ(l.OffsetFormatRecord().Flags, 0x03);
    EXPECT_EQ(l.OffsetText(0), "0x0");
    EXPECT_EQ(l.OffsetText(96), "0xc"); // 100 bytes: 13 rows, the last starting at row 12
    // The unit follows a later change of the row length.
    l.SetBytesPerRow(4);
    EXPECT_EQ(l.OffsetFormatRecord().UnitSize, 4);
    EXPECT_EQ(l.OffsetText(96), "0x18");
}

TEST(OffsetFormat, FormatsAndTheirTexts) {
    struct Case {
        const char* format;
        int position;
        const char* text;
    };
    const Case cases[] = {
        {"8!10:|h", 0x1234, "00001234h"},
        {"-!2:|", 5, "0000000000101"},        // 5000 bytes: the last row, 4980, has 13 binary digits
        {"10!10:|", 255, "00000000000000ff"}, // format digits are hexadecimal: 0x10 = 16 digits
        {"!A:|", 255, "255"},
        {"2%4!10:$|", 0x20, "$0010"},
        {"%-!10:0x|x|", 16, "0x0010x|"},
        {"C%1!10:|", 10, "5"},
    };
    for (const Case& c : cases) {
        HexLayout l = ViewerLayout(5000);
        l.SetOffsetFormat(c.format);
        EXPECT_EQ(l.OffsetText(c.position), c.text) << c.format;
    }
}

TEST(OffsetFormat, MalformedFormatsKeepThePreviousOne) {
    struct Case {
        const char* format;
        const char* message;
    };
    const Case cases[] = {
        {"-!11:0x|", "Invalid radix in offset format (11h), allowed: 02h..10h"},
        {"-!1:0x|", "Invalid radix in offset format (1h), allowed: 02h..10h"},
        {"-!10:0x", "Missing char in offset format: |"},
        {"-!10;0x|", "Missing char in offset format: :"},
        {"-!:0x|", "Missing char in offset format: number radix"},
        {"3%-!10:|", "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
    };
    for (const Case& c : cases) {
        HexLayout l = ViewerLayout(5000);
        EXPECT_EQ(ThrownBy([&] { l.SetOffsetFormat(c.format); }), c.message) << c.format;
        EXPECT_EQ(l.OffsetFormat(), "-!10:0x|");
        EXPECT_EQ(l.OffsetText(4980), "0x1374");
        // The automatic width stays: the first offset keeps its padding.
        EXPECT_EQ(l.OffsetText(0), "0x0000") << c.format;
        EXPECT_EQ(l.OffsetFormatRecord().MinDigits, 4) << c.format;
        EXPECT_EQ(l.OffsetFormatRecord().Flags, 0x09) << c.format;
        EXPECT_EQ(l.GutterPixels(), 7 * 9 + 21);
    }
    // Also when the refused format had already parsed a width and a unit of its own.
    HexLayout l = ViewerLayout(5000);
    l.SetOffsetFormat("8!10:|h");
    EXPECT_EQ(ThrownBy([&] { l.SetOffsetFormat("2%-!11:0x|"); }),
              "Invalid radix in offset format (11h), allowed: 02h..10h");
    EXPECT_EQ(l.OffsetText(0x24), "00000024h");
    EXPECT_EQ(l.OffsetFormatRecord().UnitSize, 1);
}

TEST(OffsetFormat, EmptyFormatPrintsNothing) {
    HexLayout l = ViewerLayout(5000);
    l.SetOffsetFormat("");
    EXPECT_EQ(l.OffsetText(4980), "");
    EXPECT_EQ(l.GutterPixels(), 9 + 21);
}

TEST(Geometry, ViewerGridHas63Columns) {
    HexLayout l = ViewerLayout(21);
    ASSERT_EQ(l.ColCount(), 63);
    EXPECT_EQ(l.RowCount(), 4);
    EXPECT_EQ(l.ColWidth(1), 6);
    // Ten groups of four digits, each group followed by a one-character gap.
    for (int col = 2; col <= 41; ++col)
        EXPECT_EQ(l.ColWidth(col), (col - 2) % 4 == 3 ? 18 : 9) << col;
    EXPECT_EQ(l.ColWidth(42), 9); // spacer
    for (int col = 43; col < 62; ++col)
        EXPECT_EQ(l.ColWidth(col), 10) << col;
    EXPECT_EQ(l.ColWidth(62), 19);
    EXPECT_EQ(l.RowHeight(0), 20);
    EXPECT_EQ(l.RowHeight(1), 0);
    EXPECT_EQ(l.RowHeight(2), 17);
}

TEST(Geometry, RowsFollowTheDataSize) {
    EXPECT_EQ(ViewerLayout(0).RowCount(), 3);
    EXPECT_EQ(ViewerLayout(1).RowCount(), 3);
    EXPECT_EQ(ViewerLayout(20).RowCount(), 3);
    EXPECT_EQ(ViewerLayout(21).RowCount(), 4);
}

TEST(Geometry, BlocksAndUnitsWidenTheirLastColumns) {
    HexLayout l;
    l.SetCharMetrics(8, 16);
    l.SetBytesPerRow(8);
    l.SetBytesPerColumn(1);
    l.SetBytesPerBlock(4);
    l.SetRulerBytesPerUnit(2);
    EXPECT_EQ(l.ColWidth(2), 8);
    EXPECT_EQ(l.ColWidth(3), 16);  // group end
    EXPECT_EQ(l.ColWidth(9), 24);  // group end and block end
    EXPECT_EQ(l.ColWidth(17), 16); // the row's last digit is always two characters
    EXPECT_EQ(l.ColWidth(19), 9);  // first character
    EXPECT_EQ(l.ColWidth(20), 13); // end of a 2-byte ruler unit
    EXPECT_EQ(l.ColWidth(22), 21); // unit end and block end
    EXPECT_EQ(l.ColWidth(26), 17);
}

TEST(Geometry, InvalidSettingsAreRefused) {
    HexLayout l = ViewerLayout(100);
    EXPECT_EQ(ThrownBy([&] { l.SetBytesPerRow(0); }), "Invalid bytes per line argument");
    EXPECT_EQ(ThrownBy([&] { l.SetBytesPerRow(257); }), "Invalid bytes per line argument");
    EXPECT_EQ(l.BytesPerRow(), 20);
    EXPECT_EQ(l.ColCount(), 63);
    EXPECT_EQ(ThrownBy([&] { l.SetBytesPerColumn(0); }), "Invalid bytes per column argument");
    EXPECT_EQ(ThrownBy([&] { l.SetBytesPerUnit(3); }), "Invalid bytes per unit value 3, allowed: 1,2,4,8");
    EXPECT_EQ(ThrownBy([&] { l.SetRulerBytesPerUnit(0); }),
              "Invalid ruler bytes per unit value 0, allowed: -1,1,2,4,8");
    l.SetRulerNumberBase(17);
    EXPECT_EQ(l.RulerNumberBase(), 16);
}

TEST(Cells, PositionsTwinsAndBackAgain) {
    HexLayout l = ViewerLayout(100);
    EXPECT_EQ(l.PositionOfCell(2, 2), 0);
    EXPECT_EQ(l.PositionOfCell(3, 2), 0);
    EXPECT_EQ(l.PositionOfCell(41, 3), 39);
    EXPECT_EQ(l.PositionOfCell(43, 3), 20);
    EXPECT_EQ(l.PositionOfCell(62, 2), 19);
    EXPECT_EQ(l.PositionOfCell(2, 0), 0); // negative counts as 0
    EXPECT_EQ(l.CellOfPosition(25, HexField::Hex), (HexCell{12, 3}));
    EXPECT_EQ(l.CellOfPosition(25, HexField::Char), (HexCell{48, 3}));
    EXPECT_EQ(l.CellOfPosition(-4, HexField::Char), (HexCell{2, 2}));
    EXPECT_EQ(l.TwinColumn(12), 48);
    EXPECT_EQ(l.TwinColumn(13), 48);
    EXPECT_EQ(l.TwinColumn(48), 12);
    for (int p = 0; p < 100; ++p)
        for (HexField f : {HexField::Hex, HexField::Char}) {
            HexCell c = l.CellOfPosition(p, f);
            EXPECT_EQ(l.PositionOfCell(c.Col, c.Row), p);
            EXPECT_EQ(l.FieldOfCol(c.Col), f);
        }
}

TEST(Ruler, ViewerTexts) {
    HexLayout l = ViewerLayout(0);
    EXPECT_EQ(l.HexRulerText(), "000102030405060708090a0b0c0d0e0f10111213");
    EXPECT_EQ(l.CharRulerText(), "0123456789abcdef0123");
    EXPECT_EQ(l.RulerCellText(42), "  ");
    EXPECT_EQ(l.RulerCellText(43 + 10), "a");
    l.SetHexLowerCase(false);
    EXPECT_EQ(l.CharRulerText(), "0123456789ABCDEF0123");
}

TEST(Ruler, UnitsAndBases) {
    HexLayout l;
    l.SetBytesPerRow(8);
    l.SetRulerBytesPerUnit(2);
    EXPECT_EQ(l.HexRulerText(), "0000000100020003");
    EXPECT_EQ(l.CharRulerText(), " 0 1 2 3");
    l.SetRulerBytesPerUnit(1);
    l.SetRulerNumberBase(2);
    EXPECT_EQ(l.HexRulerText(), "0001101100011011"); // cut to the last two digits
    EXPECT_EQ(l.CharRulerText(), "01010101");
}

TEST(DisplayChar, ControlBytesAreMasked) {
    HexLayout l = ViewerLayout(0);
    EXPECT_EQ(l.DisplayChar(0x00), 183);
    EXPECT_EQ(l.DisplayChar(0x1F), 183);
    EXPECT_EQ(l.DisplayChar(0x20), 0x20);
    EXPECT_EQ(l.DisplayChar(0xE9), 0xE9);
    l.SetMaskChar(0);
    EXPECT_EQ(l.DisplayChar(0x05), 0x05);
    EXPECT_EQ(l.HexDigitOf(0xAB, 2), 'a');
    EXPECT_EQ(l.HexDigitOf(0xAB, 3), 'b');
    l.SetSwapNibbles(true);
    EXPECT_EQ(l.HexDigitOf(0xAB, 2), 'b');
}

TEST(MemoryStream, AccessorChecksBounds) {
    THexMemoryStream s;
    s.SetSize(7);
    EXPECT_NO_THROW(s.Bytes(0, 7));
    EXPECT_NO_THROW(s.Bytes(7, 0));
    EXPECT_THROW(s.Bytes(1, 7), EHexEditor);
    EXPECT_THROW(s.Bytes(-1, 1), EHexEditor);
    EXPECT_THROW(s.At(7), EHexEditor);
    EXPECT_THROW(s.SetSize(2147483648LL), ERangeError);
    EXPECT_EQ(s.Size(), 7);
}

TEST(ClipData, FormatsOfOneByteAndOfZeroBytes) {
    const std::vector<std::uint8_t> one{0x41};
    EXPECT_EQ(RenderHexClip(HexClipKind::Private, one, false, false, "", 0).size(), 13u);
    EXPECT_EQ(RenderHexClip(HexClipKind::RegEditHexData, one, false, false, "", 0).size(), 5u);
    const std::vector<std::uint8_t> zeroFirst{0, 'A', 'B'};
    EXPECT_EQ(RenderHexClip(HexClipKind::Text, zeroFirst, false, false, "", 0),
              (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(RenderHexClip(HexClipKind::FileContents, zeroFirst, false, false, "", 0), zeroFirst);
    EXPECT_EQ(RenderHexClip(HexClipKind::Text, {0xAB, 0x01}, true, false, "", 0),
              (std::vector<std::uint8_t>{'A', 'B', '0', '1', 0}));
    EXPECT_EQ(RenderHexClip(HexClipKind::Text, {0xAB}, true, true, "", 0),
              (std::vector<std::uint8_t>{'B', 'A', 0}));
    auto d = RenderHexClip(HexClipKind::FileGroupDescriptor, one, false, false, "Dump of x.bin",
                           0x0102030405060708ULL);
    ASSERT_EQ(d.size(), 336u);
    EXPECT_EQ(d[60], 0x08);
    EXPECT_EQ(d[67], 0x01);
    EXPECT_EQ(d[72], 1);
}

TEST(ClipData, VirtualFileNames) {
    EXPECT_EQ(HexVirtualFileName("C:\\data\\report.txt"), "Dump of report.bin");
    EXPECT_EQ(HexVirtualFileName("C:\\data\\README"), "Dump of README.bin");
    EXPECT_EQ(HexVirtualFileName("C:name.tar.gz"), "Dump of name.tar.bin");
    EXPECT_EQ(HexVirtualFileName("Untitled"), "Dump of Untitled.bin");
    EXPECT_EQ(HexVirtualFileName(std::string(300, 'n')).size(), 255u);
    // Cut to fit, never inside a character.
    EXPECT_EQ(HexVirtualFileName(std::string(246, 'n') + "\xC3\xA9\xC3\xA9.txt"), "Dump of " + std::string(246, 'n'));
}

TEST(Caret, UnderlineInTheReadOnlyViewOtherwiseBlockOrBar) {
    auto shape = [](THexCaretKind kind, bool readOnly, bool insert) {
        HexCaretBar b = HexCaretShape(kind, readOnly, insert, 9, 17); // a 9 x 15 caret
        return std::vector<int>{b.Left, b.Top, b.Right, b.Bottom};
    };
    const std::vector<int> underline{0, 13, 9, 15}, block{0, 0, 9, 15}, bar{0, 0, 2, 15};
    EXPECT_EQ(shape(THexCaretKind::ckAuto, true, false), underline);
    EXPECT_EQ(shape(THexCaretKind::ckAuto, false, false), block);
    EXPECT_EQ(shape(THexCaretKind::ckAuto, false, true), bar);
    EXPECT_EQ(shape(THexCaretKind::ckFull, true, false), block);
    EXPECT_EQ(shape(THexCaretKind::ckLeft, true, false), bar);
    EXPECT_EQ(shape(THexCaretKind::ckBottom, false, false), underline);
}
