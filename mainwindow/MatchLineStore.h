// The match lines of a results list, kept compactly: one character store for every line, each
// line's text (UTF-8) behind three 16-bit numbers, so a content row costs its text and eight
// bytes more, and a row without a line costs nothing.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quennet {

struct MatchLine;

struct MatchLineView {
    std::string_view Text;
    int Start = 0; // the matched part, in bytes of Text
    int Length = 0;
};

class MatchLineStore {
  public:
    static constexpr std::uint64_t kNoLine = ~std::uint64_t(0);

    // Where the line is kept; kNoLine for an empty one, which is not kept.
    std::uint64_t Add(const MatchLine& line);
    MatchLineView At(std::uint64_t where) const;
    void Clear();
    std::size_t Capacity() const { return bytes_.capacity(); }

  private:
    std::vector<char> bytes_;
};

} // namespace quennet
