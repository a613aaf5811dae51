#pragma once
// The layout settings of the hex view and the grid they give: columns, rows, the mapping of
// cells to byte positions, the offset and ruler texts and the character shown for a byte.
// Pixel sizes come from the font metrics handed in by the window.
#include "hexcontrol/HexOffsetFormat.h"

#include <cstdint>
#include <string>
#include <vector>

enum class HexField { Hex, Char };

enum class THexTranslationKind { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };

struct HexCell {
    int Col;
    int Row;
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
    int BytesPerRow() const { return m_bytesPerRow; }
    void SetBytesPerRow(int value);
    int BytesPerColumn() const { return m_bytesPerColumn; }
    void SetBytesPerColumn(int value);
    int BytesPerBlock() const { return m_bytesPerBlock; }
    void SetBytesPerBlock(int value);
    bool SeparateBlocksInCharField() const { return m_separateBlocksInCharField; }
    void SetSeparateBlocksInCharField(bool value);
    int BytesPerUnit() const { return m_bytesPerUnit; }
    void SetBytesPerUnit(int value);
    int RulerBytesPerUnit() const { return m_rulerBytesPerUnit; }
    void SetRulerBytesPerUnit(int value);
    int RulerUnit() const { return m_rulerBytesPerUnit == -1 ? m_bytesPerUnit : m_rulerBytesPerUnit; }
    int RulerNumberBase() const { return m_rulerNumberBase; }
    void SetRulerNumberBase(int value);
    bool ShowRuler() const { return m_showRuler; }
    void SetShowRuler(bool value);
    int GutterWidth() const { return m_gutterWidth; }
    void SetGutterWidth(int value);
    const std::string& OffsetFormat() const { return m_format.FormatText; }
    void SetOffsetFormat(const std::string& text);
    const THexOffsetFormat& OffsetFormatRecord() const { return m_format; }
    bool HexLowerCase() const { return m_hexLowerCase; }
    void SetHexLowerCase(bool value);
    THexTranslationKind Translation() const { return m_translation; }
    void SetTranslation(THexTranslationKind value) { m_translation = value; }
    std::uint8_t MaskChar() const { return m_maskChar; }
    void SetMaskChar(std::uint8_t value) { m_maskChar = value; }
    bool SwapNibbles() const { return m_swapNibbles; }
    void SetSwapNibbles(bool value) { m_swapNibbles = value; }

    // Inputs from outside: the number of bytes and the font's cell size.
    int DataSize() const { return m_dataSize; }
    void SetDataSize(int size);
    int CharWidth() const { return m_charWidth; }
    int CharHeight() const { return m_charHeight; }
    void SetCharMetrics(int charWidth, int charHeight);

    // Grid.
    int ColCount() const { return 3 * m_bytesPerRow + 3; }
    int RowCount() const { return m_dataSize == 0 ? 3 : (m_dataSize - 1) / m_bytesPerRow + 3; }
    int ColWidth(int col) const { return m_colWidths[static_cast<size_t>(col)]; }
    int RowHeight(int row) const;
    int RulerHeight() const { return RowHeight(0) + RowHeight(1); }
    int GutterPixels() const { return ColWidth(0); }
    int FixedWidth() const { return ColWidth(0) + ColWidth(1); }
    int FirstHexCol() const { return FixedCols; }
    int LastHexCol() const { return 2 * m_bytesPerRow + 1; }
    int SpacerCol() const { return 2 * m_bytesPerRow + 2; }
    int FirstCharCol() const { return 2 * m_bytesPerRow + 3; }
    int LastCharCol() const { return 3 * m_bytesPerRow + 2; }
    bool IsCharCol(int col) const { return col > SpacerCol(); }
    bool IsHexCol(int col) const { return col >= FixedCols && col <= LastHexCol(); }
    bool IsDataCell(int col, int row) const { return row >= FixedRows && (IsHexCol(col) || IsCharCol(col)); }

    // Cells and positions.
    int PositionOfCell(int col, int row) const;
    HexField FieldOfCol(int col) const { return IsCharCol(col) ? HexField::Char : HexField::Hex; }
    HexCell CellOfPosition(int position, HexField field) const;
    int TwinColumn(int col) const;
    bool IsSecondDigit(int col) const { return IsHexCol(col) && (col - FixedCols) % 2 == 1; }

    // Texts.
    std::string OffsetText(std::int64_t position) const;
    int OffsetDisplayWidth() const { return m_offsetDisplayWidth; }
    const std::string& HexRulerText() const { return m_hexRuler; }
    const std::string& CharRulerText() const { return m_charRuler; }
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

    int m_bytesPerRow = 16;
    int m_bytesPerColumn = 2;
    int m_bytesPerBlock = -1;
    bool m_separateBlocksInCharField = true;
    int m_bytesPerUnit = 1;
    int m_rulerBytesPerUnit = -1;
    int m_rulerNumberBase = 16;
    bool m_showRuler = false;
    int m_gutterWidth = -1;
    bool m_hexLowerCase = false;
    THexTranslationKind m_translation = THexTranslationKind::tkAsIs;
    std::uint8_t m_maskChar = '.';
    bool m_swapNibbles = false;
    THexOffsetFormat m_format;

    int m_dataSize = 0;
    int m_charWidth = 8;
    int m_charHeight = 16;
    int m_offsetDisplayWidth = 1;
    std::string m_hexRuler;
    std::string m_charRuler;
    std::vector<int> m_colWidths;
};

// The first data row (rows 0 and 1 are the ruler and an empty row) and the first hex digit
// column, which is also the first column that scrolls (columns 0 and 1 are the gutter and the
// separator).
inline constexpr int kFirstDataRow = HexLayout::FixedRows;
inline constexpr int kFirstDataCol = HexLayout::FixedCols;
