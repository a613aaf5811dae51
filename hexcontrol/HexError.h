#pragma once
// Exceptions raised by the hex view control. Callers do not catch them: they travel to the
// message loop, whose error box shows what() to the user.
#include <stdexcept>
#include <string>

namespace quennet {

// Invalid property values and refused operations of the control.
class EHexEditor : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Bytes of the viewed file that cannot be read: they are never shown, copied or searched as data.
class EHexReadError : public EHexEditor {
  public:
    using EHexEditor::EHexEditor;
};

// A file that cannot be opened ("Cannot open %s.\r\n(%s.)").
class EFOpenError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A size that does not fit the control's 32-bit positions.
class ERangeError : public std::range_error {
  public:
    ERangeError() : std::range_error("Range check error") {}
};

// The data buffer could not be enlarged.
class EStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace hexmsg {
inline constexpr const char* BytesPerLine = "Invalid bytes per line argument";
inline constexpr const char* BytesPerColumn = "Invalid bytes per column argument";
inline constexpr const char* BytesPerUnit = "Invalid bytes per unit value %d, allowed: 1,2,4,8";
inline constexpr const char* RulerBytesPerUnit = "Invalid ruler bytes per unit value %d, allowed: -1,1,2,4,8";
inline constexpr const char* MissingFormatChar = "Missing char in offset format: %s";
inline constexpr const char* InvalidRadix = "Invalid radix in offset format (%xh), allowed: 02h..10h";
inline constexpr const char* InvalidDigit = "Invalid character %s, cannot convert using radix %xh";
inline constexpr const char* OutOfBounds = "Data position/length out of data bounds";
inline constexpr const char* SelectionStart = "Invalid selection start";
inline constexpr const char* SelectionEnd = "Invalid selection end";
inline constexpr const char* BookmarkIndex = "Invalid bookmark index";
inline constexpr const char* Cancelled = "Operation cancelled";
inline constexpr const char* CannotRead = "Some bytes from offset 0x%s cannot be read (%s)";
inline constexpr const char* CannotOpen = "Cannot open %s.\r\n(%s.)";
inline constexpr const char* StreamOutOfMemory = "Out of memory while expanding memory stream";
inline constexpr const char* SelectionTooLarge =
    "The selection (%s bytes) is too large to copy or drag. At most 64 MB (67108864 bytes) can be "
    "copied at once; select fewer bytes.";
} // namespace hexmsg

// printf-style filling of the messages above (one argument each).
std::string HexFormat(const char* fmt, int value);
std::string HexFormat(const char* fmt, const std::string& text);
std::string HexFormat(const char* fmt, const std::string& first, const std::string& second);
std::string HexFormat(const char* fmt, const std::string& text, int value);

} // namespace quennet
