#include "hexcontrol/HexClipData.h"

#include "base/TextEncoding.h"

#include <algorithm>
#include <cstring>

namespace quennet {

namespace {
void PutU32(std::vector<std::uint8_t>& out, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
} // namespace

std::string HexVirtualFileName(const std::string& fileName) {
    size_t cut = fileName.find_last_of("\\:");
    std::string name = cut == std::string::npos ? fileName : fileName.substr(cut + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    std::string result = "Dump of " + name + ".bin";
    if (result.size() > 255) {
        std::size_t end = 255;
        while (end > 0 && (static_cast<unsigned char>(result[end]) & 0xC0) == 0x80)
            --end; // not inside a character
        result.resize(end);
    }
    return result;
}

std::vector<std::uint8_t> RenderHexClip(HexClipKind kind, const std::vector<std::uint8_t>& bytes,
                                        bool asHexText, bool swapNibbles, const std::string& virtualName,
                                        std::uint64_t fileTime) {
    const auto count = static_cast<std::uint32_t>(bytes.size());
    std::vector<std::uint8_t> out;
    switch (kind) {
    case HexClipKind::Private:
        out.assign(12, 0);
        out[0] = 0x4D, out[1] = 0x50, out[2] = 0x54, out[3] = 0x48;
        PutU32(out, 4, 0x00010001);
        PutU32(out, 8, count);
        out.insert(out.end(), bytes.begin(), bytes.end());
        break;
    case HexClipKind::Text:
        if (asHexText) {
            static const char digits[] = "0123456789ABCDEF";
            for (std::uint8_t b : bytes) {
                char hi = digits[b >> 4], lo = digits[b & 15];
                out.push_back(static_cast<std::uint8_t>(swapNibbles ? lo : hi));
                out.push_back(static_cast<std::uint8_t>(swapNibbles ? hi : lo));
            }
        } else {
            // Plain text ends at the first zero byte.
            out.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
        }
        out.push_back(0);
        break;
    case HexClipKind::FileGroupDescriptor:
    case HexClipKind::FileGroupDescriptorW: {
        const bool wide = kind == HexClipKind::FileGroupDescriptorW;
        out.assign(wide ? FileGroupDescriptorWSize : FileGroupDescriptorSize, 0);
        PutU32(out, 0, 1);
        PutU32(out, 4, 0x60); // write time and file size valid
        PutU32(out, 60, static_cast<std::uint32_t>(fileTime));
        PutU32(out, 64, static_cast<std::uint32_t>(fileTime >> 32));
        PutU32(out, 68, 0);
        PutU32(out, 72, count);
        if (!wide) {
            std::memcpy(out.data() + 76, virtualName.data(), std::min<size_t>(virtualName.size(), 259));
            break;
        }
        // UTF-16, little-endian.
        const std::u16string name = Utf8ToUtf16(virtualName).value_or(u"Dump.bin");
        for (size_t i = 0; i < std::min<size_t>(name.size(), 259); ++i) {
            out[76 + 2 * i] = static_cast<std::uint8_t>(name[i]);
            out[77 + 2 * i] = static_cast<std::uint8_t>(name[i] >> 8);
        }
        break;
    }
    case HexClipKind::FileContents:
        out = bytes;
        break;
    case HexClipKind::RegEditHexData:
        out.assign(4, 0);
        PutU32(out, 0, count);
        out.insert(out.end(), bytes.begin(), bytes.end());
        break;
    }
    return out;
}

} // namespace quennet
