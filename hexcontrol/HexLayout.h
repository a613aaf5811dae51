#pragma once
// The layout settings of the hex view and the grid they give: columns, rows, the mapping of
// cells to byte positions, the offset and ruler texts and the character shown for a byte.
// Pixel sizes come from the font metrics handed in by the window.
#include "hexcontrol/HexData.h"
#include "hexcontrol/HexOffsetFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

enum class HexField { Hex, Char };

enum class THexTranslationKind { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };

// Rows are 64-bit like positions: a file of many gigabytes has more rows than an int holds
// at small row widths.
struct HexCell {
    int Col;
    HexPos Row;
    bool operator==(const HexCell& o) const { return Col == o.Col && Row == o.Row; }
    bool operator!=(const HexCell& o) const { return !(*this == o); }
};

class HexLayout {
  public:
    static constexpr int FixedCols = 2;
    static constexpr int FixedRows = 2;
    static constexpr int SeparatorWidth = 6;

    HexLayout();

    // Settings. Setters validate (EHexEditor, previous value kept) and re-derive the geometry.
    int BytesPerRow() const { return bytesPerRow_; }
    void SetBytesPerRow(int value);
    int BytesPerColumn() const { return bytesPerColumn_; }
    void SetBytesPerColumn(int value);
    int BytesPerBlock() const { return bytesPerBlock_; }
    void SetBytesPerBlock(int value);
    bool SeparateBlocksInCharField() const { return separateBlocksInCharField_; }
    void SetSeparateBlocksInCharField(bool value);
    int BytesPerUnit() const { return bytesPerUnit_; }
    void SetBytesPerUnit(int value);
    int RulerBytesPerUnit() const { return rulerBytesPerUnit_; }
    void SetRulerBytesPerUnit(int value);
    int RulerUnit() const { return rulerBytesPerUnit_ == -1 ? bytesPerUnit_ : rulerBytesPerUnit_; }
    int RulerNumberBase() const { return rulerNumberBase_; }
    void SetRulerNumberBase(int value);
    bool ShowRuler() const { return showRuler_; }
    void SetShowRuler(bool value);
    int GutterWidth() const { return gutterWidth_; }
    void SetGutterWidth(int value);
    const std::string& OffsetFormat() const { return format_.FormatText; }
    void SetOffsetFormat(const std::string& text);
    const THexOffsetFormat& OffsetFormatRecord() const { return format_; }
    bool HexLowerCase() const { return hexLowerCase_; }
    void SetHexLowerCase(bool value);
    THexTranslationKind Translation() const { return translation_; }
    void SetTranslation(THexTranslationKind value) { translation_ = value; }
    std::uint8_t MaskChar() const { return maskChar_; }
    void SetMaskChar(std::uint8_t value) { maskChar_ = value; }
    bool SwapNibbles() const { return swapNibbles_; }
    void SetSwapNibbles(bool value) { swapNibbles_ = value; }

    // Inputs from outside: the number of bytes and the font's cell size.
    HexPos DataSize() const { return dataSize_; }
    void SetDataSize(HexPos size);
    int CharWidth() const { return charWidth_; }
    int CharHeight() const { return charHeight_; }
    void SetCharMetrics(int charWidth, int charHeight);

    // Grid.
    int ColCount() const { return 3 * bytesPerRow_ + 3; }
    HexPos RowCount() const { return dataSize_ == 0 ? 3 : (dataSize_ - 1) / bytesPerRow_ + 3; }
    int ColWidth(int col) const { return colWidths_[static_cast<size_t>(col)]; }
    int RowHeight(HexPos row) const;
    int RulerHeight() const { return RowHeight(0) + RowHeight(1); }
    int GutterPixels() const { return ColWidth(0); }
    int FixedWidth() const { return ColWidth(0) + ColWidth(1); }
    int FirstHexCol() const { return FixedCols; }
    int LastHexCol() const { return 2 * bytesPerRow_ + 1; }
    int SpacerCol() const { return 2 * bytesPerRow_ + 2; }
    int FirstCharCol() const { return 2 * bytesPerRow_ + 3; }
    int LastCharCol() const { return 3 * bytesPerRow_ + 2; }
    bool IsCharCol(int col) const { return col > SpacerCol(); }
    bool IsHexCol(int col) const { return col >= FixedCols && col <= LastHexCol(); }
    bool IsDataCell(int col, HexPos row) const { return row >= FixedRows && (IsHexCol(col) || IsCharCol(col)); }

    // Cells and positions.
    HexPos PositionOfCell(int col, HexPos row) const;
    HexField FieldOfCol(int col) const { return IsCharCol(col) ? HexField::Char : HexField::Hex; }
    HexCell CellOfPosition(HexPos position, HexField field) const;
    int TwinColumn(int col) const;
    bool IsSecondDigit(int col) const { return IsHexCol(col) && (col - FixedCols) % 2 == 1; }

    // Texts.
    std::string OffsetText(std::int64_t position) const;
    int OffsetDisplayWidth() const { return offsetDisplayWidth_; }
    const std::string& HexRulerText() const { return hexRuler_; }
    const std::string& CharRulerText() const { return charRuler_; }
    std::string RulerCellText(int col) const;
    std::uint8_t DisplayChar(std::uint8_t byte) const;
    char HexDigitOf(std::uint8_t byte, int col) const;
    bool IsMasked(std::uint8_t byte) const { return byte < 0x20; }

  private:
    void RebuildRulerTexts();
    void UpdateFormatUnit();
    void RecomputeOffsetWidth();
    void RecomputeColumns();
    void Recompute();

    int bytesPerRow_ = 16;
    int bytesPerColumn_ = 2;
    int bytesPerBlock_ = -1;
    bool separateBlocksInCharField_ = true;
    int bytesPerUnit_ = 1;
    int rulerBytesPerUnit_ = -1;
    int rulerNumberBase_ = 16;
    bool showRuler_ = false;
    int gutterWidth_ = -1;
    bool hexLowerCase_ = false;
    THexTranslationKind translation_ = THexTranslationKind::tkAsIs;
    std::uint8_t maskChar_ = '.';
    bool swapNibbles_ = false;
    THexOffsetFormat format_;

    HexPos dataSize_ = 0;
    int charWidth_ = 8;
    int charHeight_ = 16;
    int offsetDisplayWidth_ = 1;
    std::string hexRuler_;
    std::string charRuler_;
    std::vector<int> colWidths_;
};

// The first data row (rows 0 and 1 are the ruler and an empty row) and the first hex digit
// column, which is also the first column that scrolls (columns 0 and 1 are the gutter and the
// separator).
inline constexpr int kFirstDataRow = HexLayout::FixedRows;
inline constexpr int kFirstDataCol = HexLayout::FixedCols;

} // namespace quennet
