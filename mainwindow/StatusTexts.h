// Texts of the status bar that depend on more than one count.
#pragma once

#include <cstdint>
#include <string>

namespace quennet {

// "3 files found." and, when the filters left files out, how many:
// "0 files found; 7 left out by the filters."
std::string FilesFoundText(std::int64_t found, std::uint64_t filteredOut);

} // namespace quennet
