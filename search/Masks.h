// File-name wildcard patterns: "*", "?", sets ("[a-c]", "[!x]") and two-byte characters of
// East Asian code pages. Matching folds the ASCII letters only.
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

// Lead bytes of the system's double-byte code page; empty on single-byte code pages.
// Set once at start-up, before any pattern is compiled.
class LeadBytes {
  public:
    static void Set(const std::bitset<256>& leadBytes);
    static void LoadFromPlatform();
    static bool IsLeadByte(unsigned char byte) { return table_[byte]; }

  private:
    static std::bitset<256> table_;
};

class TMask {
  public:
    // Throws EMaskException "'<pattern>' is an invalid mask at (<1-based position>)".
    explicit TMask(std::string_view pattern);

    bool Matches(std::string_view name) const;

  private:
    enum class Kind : std::uint8_t { Literal, AnyChar, Set, TwoByteLiteral };
    struct State {
        bool skip = false;
        Kind kind = Kind::Literal;
        bool negated = false;
        unsigned char byte = 0;     // literal (upper-cased) or lead byte
        unsigned char trail = 0;    // two-byte literal
        std::uint8_t skipIndex = 0; // row in the match memo, for skip states
        std::shared_ptr<const std::bitset<256>> members;
    };

    static constexpr int kMaxSkips = 30;
    static constexpr std::size_t kMemoWidth = 1024; // longer names are matched without the memo
    // Left uninitialised: only the rows and words a match uses are cleared, since this runs
    // for every file name.
    struct MatchMemo {
        std::uint64_t failed[kMaxSkips][kMemoWidth / 64];
        bool Failed(int row, std::size_t pos) const { return (failed[row][pos / 64] >> (pos % 64)) & 1u; }
        void SetFailed(int row, std::size_t pos) { failed[row][pos / 64] |= std::uint64_t{1} << (pos % 64); }
    };

    bool StateMatchesAt(const State& state, std::string_view name, std::size_t pos) const;
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
