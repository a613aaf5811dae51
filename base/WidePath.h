// The program's strings are UTF-8; Windows takes file names as UTF-16. These are the one place
// where the two meet, for every caller that hands a path to a wide-character Windows function:
//
//   FileHandle file(CreateFileW(LongPathW(path).c_str(), ...));   // any length, any script
//   rec.Name = WideToUtf8(data.cFileName);
//
// The ANSI functions stop at 260 characters and, where the UTF-8 code page is not in force,
// turn every name outside the code page into "?". Windows only.
#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

namespace quennet {

// Invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// `path` (UTF-8) in the form Windows accepts at any length: "\\?\C:\..." or
// "\\?\UNC\server\share\...". A relative path, one with "." or ".." steps or with forward
// slashes is made absolute first, since the "\\?\" form is taken literally. A path already in
// that form, or a device path ("\\.\"), is only converted.
std::wstring LongPathW(std::string_view path);

// A folder as a user types it (a search root), in the same form: a lone drive ("D:") is that
// drive's root, not the folder last current on it; anything else is resolved as the system
// resolves a typed path, so "D:\\sub" and "D:\sub." are "D:\sub". A "\\?\" path is taken
// literally.
std::wstring TypedFolderPathW(std::string_view path);

} // namespace quennet

#endif
