// Text for other programs through the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace quennet {

// Replaces what the clipboard holds with `utf8` as Unicode text, so that every program reads
// the characters as they are, whatever its code page. `owner` is the window the clipboard
// names as its owner (may be null). False when the clipboard or the memory could not be had.
bool SetClipboardText(HWND owner, const std::string& utf8);

} // namespace quennet
