#pragma once
// The bytes of the clipboard and drag-out formats of the hex view, built without the platform
// so they are tested as plain data.
#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

// The five byte formats, then the descriptor with the name in UTF-16, which no code page limits.
enum class HexClipKind { Private, Text, FileGroupDescriptor, FileContents, RegEditHexData, FileGroupDescriptorW };

inline constexpr int HexClipKindCount = 6;
inline constexpr int FileGroupDescriptorSize = 336;
inline constexpr int FileGroupDescriptorWSize = 596; // the name in 260 UTF-16 units

// "Dump of %s.bin" with the file name stripped of folder and extension (at most 255 bytes of
// UTF-8, cut between characters).
std::string HexVirtualFileName(const std::string& fileName);

// The content of one format for bytes. fileTime is the descriptor's write time (a platform
// file time: 100-ns intervals since 1601). virtualName: in UTF-8, except for
// FileGroupDescriptor, whose receivers read it in the system's ANSI code page: the caller
// gives it already in that page.
std::vector<std::uint8_t> RenderHexClip(HexClipKind kind, const std::vector<std::uint8_t>& bytes,
                                        bool asHexText, bool swapNibbles, const std::string& virtualName,
                                        std::uint64_t fileTime);

} // namespace quennet
