#include "hexcontrol/HexLayout.h"

#include "hexcontrol/HexError.h"

#include <cctype>
#include <utility>

namespace {
bool IsUnit(int v) {
    return v == 1 || v == 2 || v == 4 || v == 8;
}

std::string InBase(int value, int base) {
    std::string s;
    do {
        s.insert(s.begin(), "0123456789ABCDEF"[value % base]);
        value /= base;
    } while (value > 0);
    return s;
}

void ApplyCase(std::string& s, bool lower) {
    for (char& c : s)
        c = static_cast<char>(lower ? std::tolower(static_cast<unsigned char>(c))
                                    : std::toupper(static_cast<unsigned char>(c)));
}
} // namespace

HexLayout::HexLayout() {
    SetOffsetFormat("-!10:0x|");
    Recompute();
}

void HexLayout::SetBytesPerRow(int value) {
    if (value < 1 || value > 256)
        throw EHexEditor(hexmsg::BytesPerLine);
    if (value == m_bytesPerRow)
        return;
    m_bytesPerRow = value;
    Recompute();
}

void HexLayout::SetBytesPerColumn(int value) {
    if (value < 1 || value > 256)
        throw EHexEditor(hexmsg::BytesPerColumn);
    m_bytesPerColumn = value;
    Recompute();
}

void HexLayout::SetBytesPerBlock(int value) {
    m_bytesPerBlock = value;
    Recompute();
}

void HexLayout::SetSeparateBlocksInCharField(bool value) {
    m_separateBlocksInCharField = value;
    Recompute();
}

void HexLayout::SetBytesPerUnit(int value) {
    if (!IsUnit(value))
        throw EHexEditor(HexFormat(hexmsg::BytesPerUnit, value));
    m_bytesPerUnit = value;
    Recompute();
}

void HexLayout::SetRulerBytesPerUnit(int value) {
    if (value != -1 && !IsUnit(value))
        throw EHexEditor(HexFormat(hexmsg::RulerBytesPerUnit, value));
    m_rulerBytesPerUnit = value;
    Recompute();
}

void HexLayout::SetRulerNumberBase(int value) {
    m_rulerNumberBase = value >= 2 && value <= 16 ? value : 16;
    RebuildRulerTexts();
}

void HexLayout::SetShowRuler(bool value) {
    m_showRuler = value;
}

void HexLayout::SetGutterWidth(int value) {
    m_gutterWidth = value;
    RecomputeColumns();
}

void HexLayout::SetOffsetFormat(const std::string& text) {
    // Parsed into a copy: a refused format leaves the record as it was, including the digit
    // count that the automatic width worked out (parsing the old text again would reset it).
    THexOffsetFormat parsed = m_format;
    ParseOffsetFormat(text, HexOffsetUnits{m_bytesPerRow, m_bytesPerColumn, RulerUnit()}, parsed);
    m_format = std::move(parsed);
    RecomputeOffsetWidth();
    RecomputeColumns();
}

void HexLayout::SetHexLowerCase(bool value) {
    m_hexLowerCase = value;
    RebuildRulerTexts();
}

void HexLayout::SetDataSize(int size) {
    m_dataSize = size < 0 ? 0 : size;
    RecomputeOffsetWidth();
    RecomputeColumns();
}

void HexLayout::SetCharMetrics(int charWidth, int charHeight) {
    m_charWidth = charWidth > 0 ? charWidth : 1;
    m_charHeight = charHeight > 0 ? charHeight : 1;
    RecomputeColumns();
}

int HexLayout::RowHeight(int row) const {
    if (row == 0)
        return m_showRuler ? m_charHeight + 3 : 0;
    if (row == 1)
        return 0;
    return m_charHeight;
}

void HexLayout::UpdateFormatUnit() {
    if (m_format.Flags & THexOffsetFormat::UnitIsRow)
        m_format.UnitSize = static_cast<std::uint8_t>(m_bytesPerRow);
    else if (m_format.Flags & THexOffsetFormat::UnitIsColumn)
        m_format.UnitSize = static_cast<std::uint8_t>(m_bytesPerColumn);
    else if (m_format.Flags & THexOffsetFormat::UnitIsRuler)
        m_format.UnitSize = static_cast<std::uint8_t>(RulerUnit());
}

void HexLayout::RebuildRulerTexts() {
    int unit = RulerUnit();
    int count = m_bytesPerRow / unit;
    m_hexRuler.clear();
    m_charRuler.clear();
    for (int k = 0; k < count; ++k) {
        std::string digits = InBase(k, m_rulerNumberBase);
        std::string hex = digits;
        if (static_cast<int>(hex.size()) < 2 * unit)
            hex.insert(0, static_cast<size_t>(2 * unit) - hex.size(), '0');
        m_hexRuler += hex.substr(hex.size() - static_cast<size_t>(2 * unit));
        std::string chars = digits;
        if (static_cast<int>(chars.size()) > unit)
            chars = chars.substr(chars.size() - static_cast<size_t>(unit));
        else
            chars.insert(0, static_cast<size_t>(unit) - chars.size(), ' ');
        m_charRuler += chars;
    }
    ApplyCase(m_hexRuler, m_hexLowerCase);
    ApplyCase(m_charRuler, m_hexLowerCase);
}

void HexLayout::RecomputeOffsetWidth() {
    std::int64_t lastRowStart = static_cast<std::int64_t>(RowCount() - 3) * m_bytesPerRow;
    if (!m_format.FormatText.empty() && (m_format.Flags & THexOffsetFormat::AutoWidth)) {
        int unit = m_format.UnitSize ? m_format.UnitSize : 1;
        m_format.MinDigits = DigitCount(lastRowStart / unit, m_format.Radix);
    }
    m_offsetDisplayWidth = static_cast<int>(OffsetText(lastRowStart).size()) + 1;
}

void HexLayout::RecomputeColumns() {
    const int cw = m_charWidth;
    const int b = m_bytesPerRow;
    m_colWidths.assign(static_cast<size_t>(ColCount()), cw);
    m_colWidths[0] = m_gutterWidth != -1 ? m_gutterWidth : m_offsetDisplayWidth * cw + 21;
    m_colWidths[1] = SeparatorWidth;
    const int digitsPerGroup = 2 * m_bytesPerColumn;
    const bool blocks = m_bytesPerBlock > 1;
    for (int d = 0; d < 2 * b; ++d) {
        int w = cw;
        if ((d + 1) % digitsPerGroup == 0)
            w += cw;
        if (blocks && (d + 1) % (2 * m_bytesPerBlock) == 0)
            w += cw;
        m_colWidths[static_cast<size_t>(d + 2)] = w;
    }
    m_colWidths[static_cast<size_t>(LastHexCol())] = 2 * cw;
    m_colWidths[static_cast<size_t>(SpacerCol())] = cw;
    const int unit = RulerUnit();
    for (int i = 0; i < b; ++i) {
        int w = cw + 1;
        if (unit >= 2 && (i + 1) % unit == 0)
            w = (3 * cw) / 2 + 1;
        if (blocks && m_separateBlocksInCharField && (i + 1) % m_bytesPerBlock == 0)
            w += cw;
        m_colWidths[static_cast<size_t>(FirstCharCol() + i)] = w;
    }
    m_colWidths[static_cast<size_t>(LastCharCol())] = 2 * cw + 1;
}

void HexLayout::Recompute() {
    UpdateFormatUnit();
    RebuildRulerTexts();
    RecomputeOffsetWidth();
    RecomputeColumns();
}

int HexLayout::PositionOfCell(int col, int row) const {
    int inRow = IsCharCol(col) ? col - FirstCharCol() : (col - 2) / 2;
    std::int64_t p = static_cast<std::int64_t>(row - 2) * m_bytesPerRow + inRow;
    if (p < 0)
        return 0;
    return p > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(p);
}

HexCell HexLayout::CellOfPosition(int position, HexField field) const {
    if (position < 0)
        return {2, 2};
    int row = position / m_bytesPerRow + 2;
    int inRow = position % m_bytesPerRow;
    return {field == HexField::Char ? inRow + FirstCharCol() : 2 * inRow + 2, row};
}

int HexLayout::TwinColumn(int col) const {
    if (col <= SpacerCol())
        return (col - 2) / 2 + FirstCharCol();
    return 2 * (col - FirstCharCol()) + 2;
}

std::string HexLayout::OffsetText(std::int64_t position) const {
    return ::OffsetText(m_format, position, m_hexLowerCase);
}

std::string HexLayout::RulerCellText(int col) const {
    size_t i;
    const std::string* text;
    if (col == SpacerCol())
        return "  ";
    if (IsCharCol(col)) {
        i = static_cast<size_t>(col - FirstCharCol());
        text = &m_charRuler;
    } else {
        i = static_cast<size_t>(col - 2);
        text = &m_hexRuler;
    }
    // A row that is not a whole number of ruler units has cells past the ruler text.
    return i < text->size() ? std::string(1, (*text)[i]) : std::string(" ");
}

std::uint8_t HexLayout::DisplayChar(std::uint8_t byte) const {
    // Only the as-is translation is reached by this program; the others show bytes as they are.
    if (m_maskChar != 0 && IsMasked(byte))
        return m_maskChar;
    return byte;
}

char HexLayout::HexDigitOf(std::uint8_t byte, int col) const {
    const char* digits = m_hexLowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    bool second = IsSecondDigit(col);
    if (m_swapNibbles)
        second = !second;
    return digits[second ? byte & 0x0F : byte >> 4];
}
