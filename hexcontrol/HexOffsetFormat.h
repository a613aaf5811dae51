#pragma once
// The offset text of the gutter: its format grammar ("-!10:0x|" and the like) and printing.
#include <cstdint>
#include <string>

namespace quennet {

struct THexOffsetFormat {
    enum : std::uint8_t {
        AutoWidth = 0x01,
        UnitIsRow = 0x02,
        UnitIsColumn = 0x04,
        UnitIsRuler = 0x08,
    };
    std::string FormatText;
    std::string Prefix;
    std::string Suffix;
    int MinDigits = 1;
    std::uint8_t Flags = 0;
    std::uint8_t Radix = 16;
    std::uint8_t UnitSize = 1;
};

// The unit sizes a format may refer to.
struct HexOffsetUnits {
    int BytesPerRow;
    int BytesPerColumn;
    int RulerBytesPerUnit; // already resolved (-1 replaced by the bytes per unit)
};

// Parses text into format, starting from format's current fields (an empty text leaves them
// as they are). Throws EHexEditor on a malformed text; format may then be partly changed.
void ParseOffsetFormat(const std::string& text, const HexOffsetUnits& units, THexOffsetFormat& format);

// The number part alone: value in the format's radix, zero-padded to MinDigits.
std::string OffsetDigits(const THexOffsetFormat& format, std::int64_t value, bool lowerCase);

// Prefix + digits of position div UnitSize + suffix, or "" for an empty format.
std::string OffsetText(const THexOffsetFormat& format, std::int64_t position, bool lowerCase);

// Number of digits of value in radix (at least 1).
int DigitCount(std::int64_t value, int radix);

} // namespace quennet
