#include "mainwindow/MatchLineStore.h"

#include "search/SearchSink.h"

#include <algorithm>

namespace quennet {

namespace {

constexpr std::size_t kHeader = 3 * sizeof(std::uint16_t);
constexpr std::size_t kLongest = 0xFFFF;

void Put(std::vector<char>& bytes, std::size_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
}

std::size_t Get(const char* at) {
    return static_cast<unsigned char>(at[0]) | static_cast<std::size_t>(static_cast<unsigned char>(at[1])) << 8;
}

} // namespace

std::uint64_t MatchLineStore::Add(const MatchLine& line) {
    if (line.Text.empty())
        return kNoLine;
    // A text line is at most a few hundred bytes; only a HEX phrase of thousands of bytes
    // could pass this, and its end is not worth a wider header on every row.
    const std::size_t size = std::min(line.Text.size(), kLongest);
    const std::size_t start = std::min(static_cast<std::size_t>(line.Start), size);
    const std::size_t length = std::min(static_cast<std::size_t>(line.Length), size - start);
    const std::uint64_t where = bytes_.size();
    Put(bytes_, size);
    Put(bytes_, start);
    Put(bytes_, length);
    bytes_.insert(bytes_.end(), line.Text.data(), line.Text.data() + size);
    return where;
}

MatchLineView MatchLineStore::At(std::uint64_t where) const {
    if (where == kNoLine)
        return {};
    const char* at = bytes_.data() + where;
    return {std::string_view(at + kHeader, Get(at)), static_cast<int>(Get(at + 2)), static_cast<int>(Get(at + 4))};
}

void MatchLineStore::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
}

} // namespace quennet
