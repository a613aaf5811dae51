#include "hexcontrol/HexLayout.h"

#include "hexcontrol/HexError.h"

#include <cctype>
#include <utility>

namespace quennet {

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
    if (value == bytesPerRow_)
        return;
    bytesPerRow_ = value;
    Recompute();
}

void HexLayout::SetBytesPerColumn(int value) {
    if (value < 1 || value > 256)
        throw EHexEditor(hexmsg::BytesPerColumn);
    bytesPerColumn_ = value;
    Recompute();
}

void HexLayout::SetBytesPerBlock(int value) {
    bytesPerBlock_ = value;
    Recompute();
}

void HexLayout::SetSeparateBlocksInCharField(bool value) {
    separateBlocksInCharField_ = value;
    Recompute();
}

void HexLayout::SetBytesPerUnit(int value) {
    if (!IsUnit(value))
        throw EHexEditor(HexFormat(hexmsg::BytesPerUnit, value));
    bytesPerUnit_ = value;
    Recompute();
}

void HexLayout::SetRulerBytesPerUnit(int value) {
    if (value != -1 && !IsUnit(value))
        throw EHexEditor(HexFormat(hexmsg::RulerBytesPerUnit, value));
    rulerBytesPerUnit_ = value;
    Recompute();
}

void HexLayout::SetRulerNumberBase(int value) {
    rulerNumberBase_ = value >= 2 && value <= 16 ? value : 16;
    RebuildRulerTexts();
}

void HexLayout::SetShowRuler(bool value) {
    showRuler_ = value;
}

void HexLayout::SetGutterWidth(int value) {
    gutterWidth_ = value;
    RecomputeColumns();
}

void HexLayout::SetOffsetFormat(const std::string& text) {
    // Parsed into a copy: a refused format leaves the record as it was, including the digit
    // count that the automatic width worked out (parsing the old text again would reset it).
    THexOffsetFormat parsed = format_;
    ParseOffsetFormat(text, HexOffsetUnits{bytesPerRow_, bytesPerColumn_, RulerUnit()}, parsed);
    format_ = std::move(parsed);
    RecomputeOffsetWidth();
    RecomputeColumns();
}

void HexLayout::SetHexLowerCase(bool value) {
    hexLowerCase_ = value;
    RebuildRulerTexts();
}

void HexLayout::SetDataSize(HexPos size) {
    dataSize_ = size < 0 ? 0 : size;
    RecomputeOffsetWidth();
    RecomputeColumns();
}

void HexLayout::SetCharMetrics(int charWidth, int charHeight) {
    charWidth_ = charWidth > 0 ? charWidth : 1;
    charHeight_ = charHeight > 0 ? charHeight : 1;
    RecomputeColumns();
}

int HexLayout::RowHeight(HexPos row) const {
    if (row == 0)
        return showRuler_ ? charHeight_ + 3 : 0;
    if (row == 1)
        return 0;
    return charHeight_;
}

void HexLayout::UpdateFormatUnit() {
    if (format_.Flags & THexOffsetFormat::UnitIsRow)
        format_.UnitSize = static_cast<std::uint8_t>(bytesPerRow_);
    else if (format_.Flags & THexOffsetFormat::UnitIsColumn)
        format_.UnitSize = static_cast<std::uint8_t>(bytesPerColumn_);
    else if (format_.Flags & THexOffsetFormat::UnitIsRuler)
        format_.UnitSize = static_cast<std::uint8_t>(RulerUnit());
}

void HexLayout::RebuildRulerTexts() {
    int unit = RulerUnit();
    int count = bytesPerRow_ / unit;
    hexRuler_.clear();
    charRuler_.clear();
    for (int k = 0; k < count; ++k) {
        std::string digits = InBase(k, rulerNumberBase_);
        std::string hex = digits;
        if (static_cast<int>(hex.size()) < 2 * unit)
            hex.insert(0, static_cast<size_t>(2 * unit) - hex.size(), '0');
        hexRuler_ += hex.substr(hex.size() - static_cast<size_t>(2 * unit));
        std::string chars = digits;
        if (static_cast<int>(chars.size()) > unit)
            chars = chars.substr(chars.size() - static_cast<size_t>(unit));
        else
            chars.insert(0, static_cast<size_t>(unit) - chars.size(), ' ');
        charRuler_ += chars;
    }
    ApplyCase(hexRuler_, hexLowerCase_);
    ApplyCase(charRuler_, hexLowerCase_);
}

void HexLayout::RecomputeOffsetWidth() {
    std::int64_t lastRowStart = static_cast<std::int64_t>(RowCount() - 3) * bytesPerRow_;
    if (!format_.FormatText.empty() && (format_.Flags & THexOffsetFormat::AutoWidth)) {
        int unit = format_.UnitSize ? format_.UnitSize : 1;
        format_.MinDigits = DigitCount(lastRowStart / unit, format_.Radix);
    }
    offsetDisplayWidth_ = static_cast<int>(OffsetText(lastRowStart).size()) + 1;
}

void HexLayout::RecomputeColumns() {
    const int cw = charWidth_;
    const int b = bytesPerRow_;
    colWidths_.assign(static_cast<size_t>(ColCount()), cw);
    colWidths_[0] = gutterWidth_ != -1 ? gutterWidth_ : offsetDisplayWidth_ * cw + 21;
    colWidths_[1] = SeparatorWidth;
    const int digitsPerGroup = 2 * bytesPerColumn_;
    const bool blocks = bytesPerBlock_ > 1;
    for (int d = 0; d < 2 * b; ++d) {
        int w = cw;
        if ((d + 1) % digitsPerGroup == 0)
            w += cw;
        if (blocks && (d + 1) % (2 * bytesPerBlock_) == 0)
            w += cw;
        colWidths_[static_cast<size_t>(d + 2)] = w;
    }
    colWidths_[static_cast<size_t>(LastHexCol())] = 2 * cw;
    colWidths_[static_cast<size_t>(SpacerCol())] = cw;
    const int unit = RulerUnit();
    for (int i = 0; i < b; ++i) {
        int w = cw + 1;
        if (unit >= 2 && (i + 1) % unit == 0)
            w = (3 * cw) / 2 + 1;
        if (blocks && separateBlocksInCharField_ && (i + 1) % bytesPerBlock_ == 0)
            w += cw;
        colWidths_[static_cast<size_t>(FirstCharCol() + i)] = w;
    }
    colWidths_[static_cast<size_t>(LastCharCol())] = 2 * cw + 1;
}

void HexLayout::Recompute() {
    UpdateFormatUnit();
    RebuildRulerTexts();
    RecomputeOffsetWidth();
    RecomputeColumns();
}

HexPos HexLayout::PositionOfCell(int col, HexPos row) const {
    const int inRow = IsCharCol(col) ? col - FirstCharCol() : (col - 2) / 2;
    const HexPos p = (row - 2) * bytesPerRow_ + inRow;
    return p < 0 ? 0 : p;
}

HexCell HexLayout::CellOfPosition(HexPos position, HexField field) const {
    if (position < 0)
        return {2, 2};
    const HexPos row = position / bytesPerRow_ + 2;
    const int inRow = static_cast<int>(position % bytesPerRow_);
    return {field == HexField::Char ? inRow + FirstCharCol() : 2 * inRow + 2, row};
}

int HexLayout::TwinColumn(int col) const {
    if (col <= SpacerCol())
        return (col - 2) / 2 + FirstCharCol();
    return 2 * (col - FirstCharCol()) + 2;
}

std::string HexLayout::OffsetText(std::int64_t position) const {
    return quennet::OffsetText(format_, position, hexLowerCase_);
}

std::string HexLayout::RulerCellText(int col) const {
    size_t i;
    const std::string* text;
    if (col == SpacerCol())
        return "  ";
    if (IsCharCol(col)) {
        i = static_cast<size_t>(col - FirstCharCol());
        text = &charRuler_;
    } else {
        i = static_cast<size_t>(col - 2);
        text = &hexRuler_;
    }
    // A row that is not a whole number of ruler units has cells past the ruler text.
    return i < text->size() ? std::string(1, (*text)[i]) : std::string(" ");
}

std::uint8_t HexLayout::DisplayChar(std::uint8_t byte) const {
    // Only the as-is translation is reached by this program; the others show bytes as they are.
    if (maskChar_ != 0 && IsMasked(byte))
        return maskChar_;
    return byte;
}

char HexLayout::HexDigitOf(std::uint8_t byte, int col) const {
    const char* digits = hexLowerCase_ ? "0123456789abcdef" : "0123456789ABCDEF";
    bool second = IsSecondDigit(col);
    if (swapNibbles_)
        second = !second;
    return digits[second ? byte & 0x0F : byte >> 4];
}

} // namespace quennet
