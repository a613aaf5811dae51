// File-name wildcard patterns: "*", "?" and sets ("[a-c]", "[!x]"). Names and patterns are
// UTF-8, so "?" and a set take one whole character, however many bytes it has; a byte that
// is not part of well-formed UTF-8 counts as a character of its own. Matching folds the ASCII
// letters only.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quennet {

class EMaskException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TMask {
  public:
    // Throws EMaskException "'<pattern>' is an invalid mask at (<1-based position>)".
    explicit TMask(std::string_view pattern);

    bool Matches(std::string_view name) const;

  private:
    enum class Kind : std::uint8_t { Literal, AnyChar, Set };
    struct SetMembers {
        std::bitset<128> ascii; // upper-cased
        std::vector<std::pair<char32_t, char32_t>> ranges; // the other characters, inclusive
    };
    struct State {
        bool skip = false;
        Kind kind = Kind::Literal;
        bool negated = false;
        char32_t character = 0;     // literal, upper-cased if ASCII; a lone byte outside
                                    // well-formed UTF-8 as CharacterAt gives it
        std::uint8_t skipIndex = 0; // row in the match memo, for skip states
        std::shared_ptr<const SetMembers> members;
    };
    static constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

    static constexpr int kMaxSkips = 30;
    static constexpr std::size_t kMemoWidth = 1024; // longer names are matched without the memo
    // Left uninitialised: only the rows and words a match uses are cleared, since this runs
    // for every file name.
    struct MatchMemo {
        std::uint64_t failed[kMaxSkips][kMemoWidth / 64];
        bool Failed(int row, std::size_t pos) const { return (failed[row][pos / 64] >> (pos % 64)) & 1u; }
        void SetFailed(int row, std::size_t pos) { failed[row][pos / 64] |= std::uint64_t{1} << (pos % 64); }
    };

    // Bytes of `name` the state takes at `pos` (0 for the final state at the end), or kNoMatch.
    static std::size_t MatchAt(const State& state, std::string_view name, std::size_t pos);
    bool MatchFrom(std::size_t si, std::size_t pos, std::string_view name, MatchMemo* memo) const;

    std::vector<State> states_;
    int skipStates_ = 0;
};

bool MatchesMask(std::string_view name, std::string_view pattern);

inline unsigned char AsciiUpper(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
}
inline unsigned char AsciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
}

} // namespace quennet
