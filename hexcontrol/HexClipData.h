#pragma once
// The bytes of the clipboard and drag-out formats of the hex view, built without the platform
// so they are tested as plain data.
#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

enum class HexClipKind { Private, Text, FileGroupDescriptor, FileContents, RegEditHexData };

inline constexpr int HexClipKindCount = 5;
inline constexpr int FileGroupDescriptorSize = 336;

// "Dump of %s.bin" with the file name stripped of folder and extension (at most 255 characters).
std::string HexVirtualFileName(const std::string& fileName);

// The content of one format for bytes. fileTime is the descriptor's write time (a platform
// file time: 100-ns intervals since 1601).
std::vector<std::uint8_t> RenderHexClip(HexClipKind kind, const std::vector<std::uint8_t>& bytes,
                                        bool asHexText, bool swapNibbles, const std::string& virtualName,
                                        std::uint64_t fileTime);

} // namespace quennet
