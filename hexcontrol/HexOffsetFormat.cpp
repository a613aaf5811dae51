#include "hexcontrol/HexOffsetFormat.h"

#include "hexcontrol/HexError.h"

#include <cctype>

namespace quennet {

namespace {
bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

size_t HexRunEnd(const std::string& s, size_t from) {
    while (from < s.size() && IsHexDigit(s[from]))
        ++from;
    return from;
}

// Format digits are always read as hexadecimal, whatever radix the offsets use.
int ReadNumber(const std::string& run, int radix) {
    std::int64_t value = 0;
    for (char c : run) {
        char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        int digit = u >= '0' && u <= '9' ? u - '0' : u >= 'A' && u <= 'Z' ? u - 'A' + 10 : 99;
        if (digit >= radix)
            throw EHexEditor(HexFormat(hexmsg::InvalidDigit, std::string(1, u), radix));
        value = value * radix + digit;
        if (value > 0x7FFFFFFF)
            value = 0x7FFFFFFF;
    }
    return static_cast<int>(value);
}

bool StartsWithNoCase(const std::string& s, size_t at, const char* two) {
    return s.size() >= at + 2 && std::toupper(static_cast<unsigned char>(s[at])) == two[0] &&
           s[at + 1] == two[1];
}
} // namespace

void ParseOffsetFormat(const std::string& text, const HexOffsetUnits& units, THexOffsetFormat& format) {
    format.FormatText = text;
    format.Flags = 0;
    if (text.empty())
        return;
    size_t at = 0;

    int unit;
    if (StartsWithNoCase(text, at, "R%")) {
        unit = units.BytesPerRow;
        format.Flags |= THexOffsetFormat::UnitIsRow;
        at += 2;
    } else if (StartsWithNoCase(text, at, "C%")) {
        unit = units.BytesPerColumn;
        format.Flags |= THexOffsetFormat::UnitIsColumn;
        at += 2;
    } else {
        size_t end = HexRunEnd(text, at);
        if (end < text.size() && text[end] == '%' && end > at) {
            unit = ReadNumber(text.substr(at, end - at), 16);
            at = end + 1;
        } else {
            format.Flags |= THexOffsetFormat::UnitIsRuler;
            unit = units.RulerBytesPerUnit;
            if (end < text.size() && text[end] == '%')
                at = end + 1;
        }
    }
    if (unit != 1 && unit != 2 && unit != 4 && unit != 8)
        throw EHexEditor(HexFormat(hexmsg::BytesPerUnit, unit));
    format.UnitSize = static_cast<std::uint8_t>(unit);

    if (text.compare(at, 2, "-!") == 0) {
        format.Flags |= THexOffsetFormat::AutoWidth;
        format.MinDigits = 1;
        at += 2;
    } else {
        size_t end = HexRunEnd(text, at);
        if (end < text.size() && text[end] == '!') {
            format.MinDigits = end > at ? ReadNumber(text.substr(at, end - at), 16) : 1;
            at = end + 1;
        } else {
            format.MinDigits = 1;
        }
    }

    size_t end = HexRunEnd(text, at);
    if (end == at)
        throw EHexEditor(HexFormat(hexmsg::MissingFormatChar, std::string("number radix")));
    if (end >= text.size() || text[end] != ':')
        throw EHexEditor(HexFormat(hexmsg::MissingFormatChar, std::string(":")));
    int radix = ReadNumber(text.substr(at, end - at), 16);
    if (radix < 2 || radix > 16)
        throw EHexEditor(HexFormat(hexmsg::InvalidRadix, radix));
    format.Radix = static_cast<std::uint8_t>(radix);
    at = end + 1;

    size_t bar = text.find('|', at);
    if (bar == std::string::npos)
        throw EHexEditor(HexFormat(hexmsg::MissingFormatChar, std::string("|")));
    format.Prefix = text.substr(at, bar - at);
    format.Suffix = text.substr(bar + 1);
}

int DigitCount(std::int64_t value, int radix) {
    int n = 1;
    while (value >= radix) {
        value /= radix;
        ++n;
    }
    return n;
}

std::string OffsetDigits(const THexOffsetFormat& format, std::int64_t value, bool lowerCase) {
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    int radix = format.Radix >= 2 && format.Radix <= 16 ? format.Radix : 16;
    std::string out;
    for (std::int64_t v = value; v > 0; v /= radix)
        out.insert(out.begin(), digits[v % radix]);
    if (static_cast<int>(out.size()) < format.MinDigits)
        out.insert(0, static_cast<size_t>(format.MinDigits) - out.size(), '0');
    return out;
}

std::string OffsetText(const THexOffsetFormat& format, std::int64_t position, bool lowerCase) {
    if (format.FormatText.empty())
        return std::string();
    int unit = format.UnitSize ? format.UnitSize : 1;
    return format.Prefix + OffsetDigits(format, position / unit, lowerCase) + format.Suffix;
}

} // namespace quennet
