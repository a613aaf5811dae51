// The phrase as UTF-16 code units, for files that Windows tools save as "Unicode" text
// (.reg exports, PowerShell output, many logs).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quennet {

// The well-formed UTF-8 character that starts at `text[pos]`, and its length in bytes; nullopt
// for a byte that does not start one (overlong forms and encoded surrogates included).
std::optional<char32_t> DecodeUtf8At(std::string_view text, std::size_t pos, std::size_t& length);

// UTF-8 to UTF-16 code units, characters beyond U+FFFF as surrogate pairs. nullopt for bytes
// that are not well-formed UTF-8 (overlong forms and encoded surrogates included).
std::optional<std::u16string> Utf8ToUtf16(const std::string& text);

// The program's own narrow text as UTF-16: the ANSI code page on Windows, UTF-8 elsewhere.
// nullopt when the text cannot be converted.
std::optional<std::u16string> NarrowToUtf16(const std::string& text);

// The character that one byte stands for in the system's ANSI code page (Windows-1252 where
// there is no such page); U+FFFD for a byte that is not a character alone there (a lead byte
// of a double-byte page). For bytes of a text that are not UTF-8.
char32_t AnsiCharacter(unsigned char byte);

// A-Z become a-z, unit by unit; no folding outside ASCII, as in 8-bit text.
std::u16string FoldAsciiCase(std::u16string text);

} // namespace quennet
