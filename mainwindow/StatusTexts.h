// Texts of the status bar that depend on more than one count.
#pragma once

#include <cstdint>
#include <string>

namespace quennet {

// The note of the panel beside the count at a search's end: how many files the filters left
// out, when they did, then `unread` (what could not be read), joined by "; ".
// "7 files left out by the filters; Not read: C:\a.txt (...)"
std::string EndOfSearchNote(std::uint64_t filteredOut, const std::string& unread);

} // namespace quennet
