#include "search/Masks.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quennet {

std::bitset<256> LeadBytes::table_;

void LeadBytes::Set(const std::bitset<256>& leadBytes) {
    table_ = leadBytes;
}

void LeadBytes::LoadFromPlatform() {
    std::bitset<256> table;
#ifdef _WIN32
    for (int b = 0x80; b < 256; ++b)
        table[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != 0;
#endif
    Set(table);
}

namespace {

[[noreturn]] void InvalidMask(std::string_view pattern, std::size_t zeroBasedPos) {
    throw EMaskException("'" + std::string(pattern) + "' is an invalid mask at (" +
                         std::to_string(zeroBasedPos + 1) + ")");
}

} // namespace

TMask::TMask(std::string_view pattern) {
    bool pendingSkip = false;
    int skips = 0;
    auto add = [&](State state, std::size_t pos) {
        if (pendingSkip && ++skips > kMaxSkips)
            InvalidMask(pattern, pos);
        state.skip = pendingSkip;
        if (pendingSkip)
            state.skipIndex = static_cast<std::uint8_t>(skipStates_++);
        pendingSkip = false;
        states_.push_back(std::move(state));
    };

    std::size_t i = 0;
    while (i < pattern.size()) {
        const auto c = static_cast<unsigned char>(pattern[i]);
        if (c == '*') {
            pendingSkip = true;
            ++i;
        } else if (c == '?') {
            // "*?" behaves as "*": the "?" is absorbed by the pending skip.
            if (!pendingSkip) {
                State s;
                s.kind = Kind::AnyChar;
                add(std::move(s), i);
            }
            ++i;
        } else if (c == '[') {
            ++i;
            State s;
            s.kind = Kind::Set;
            if (i < pattern.size() && pattern[i] == '!') {
                s.negated = true;
                ++i;
            }
            auto members = std::make_shared<std::bitset<256>>();
            bool haveMember = false;
            unsigned char previous = 0;
            while (i < pattern.size() && pattern[i] != ']') {
                const auto m = static_cast<unsigned char>(pattern[i]);
                if (LeadBytes::IsLeadByte(m)) {
                    i += 2; // two-byte characters cannot be set members
                } else if (m == '-') {
                    if (!haveMember)
                        InvalidMask(pattern, i);
                    ++i;
                    if (i >= pattern.size())
                        break;
                    const unsigned char upper = AsciiUpper(static_cast<unsigned char>(pattern[i]));
                    for (unsigned b = previous; b <= upper; ++b)
                        members->set(b);
                    ++i;
                } else {
                    previous = AsciiUpper(m);
                    members->set(previous);
                    haveMember = true;
                    ++i;
                }
            }
            if (i >= pattern.size() || members->none())
                InvalidMask(pattern, std::min(i, pattern.size()));
            s.members = std::move(members);
            add(std::move(s), i);
            ++i; // past "]"
        } else if (LeadBytes::IsLeadByte(c) && i + 1 < pattern.size()) {
            State s;
            s.kind = Kind::TwoByteLiteral;
            s.byte = c;
            s.trail = static_cast<unsigned char>(pattern[i + 1]);
            add(std::move(s), i);
            i += 2;
        } else {
            State s;
            s.byte = AsciiUpper(c);
            add(std::move(s), i);
            ++i;
        }
    }
    add(State{}, pattern.size()); // the final state: a literal 0 that matches only the end
}

bool TMask::StateMatchesAt(const State& state, std::string_view name, std::size_t pos) const {
    const bool atEnd = pos >= name.size();
    const unsigned char byte = atEnd ? 0 : static_cast<unsigned char>(name[pos]);
    switch (state.kind) {
    case Kind::Literal:
        return AsciiUpper(byte) == state.byte && (state.byte != 0 || atEnd);
    case Kind::AnyChar:
        return !atEnd;
    case Kind::Set:
        return !atEnd && ((*state.members)[AsciiUpper(byte)] != state.negated);
    case Kind::TwoByteLiteral:
        return pos + 1 < name.size() && byte == state.byte &&
               static_cast<unsigned char>(name[pos + 1]) == state.trail;
    }
    return false;
}

// Backtracking over the positions where each state after a "*" can match, as a recursion
// over those states (at most 30 deep). Positions from which a state is known to fail are
// remembered, so patterns such as "*a*a*a*b*" cost polynomial, not exponential, time.
bool TMask::Matches(std::string_view name) const {
    MatchMemo memo;
    const bool useMemo = name.size() < kMemoWidth;
    if (useMemo)
        for (int i = 0; i < skipStates_; ++i)
            std::fill_n(memo.failed[i], name.size() / 64 + 1, std::uint64_t{0});
    return MatchFrom(0, 0, name, useMemo ? &memo : nullptr);
}

bool TMask::MatchFrom(std::size_t si, std::size_t pos, std::string_view name, MatchMemo* memo) const {
    for (;;) {
        const State& state = states_[si];
        const std::size_t length = state.kind == Kind::TwoByteLiteral ? 2 : 1;
        const bool final = si + 1 == states_.size();
        if (!state.skip) {
            if (!StateMatchesAt(state, name, pos))
                return false;
            if (final)
                return true;
            pos += length;
            ++si;
            continue;
        }
        if (memo && memo->Failed(state.skipIndex, pos))
            return false;
        // A two-byte character is looked for character by character (a single-byte character
        // before it moves one byte), so it is found at odd offsets too and never at a trail byte.
        auto next = [&](std::size_t at) {
            if (state.kind != Kind::TwoByteLiteral)
                return at + 1;
            return at + (LeadBytes::IsLeadByte(static_cast<unsigned char>(name[at])) ? 2 : 1);
        };
        for (std::size_t at = pos;; at = next(at)) {
            if (at >= name.size()) {
                if (StateMatchesAt(state, name, at))
                    return true; // only the final state matches the end
                break;
            }
            if (StateMatchesAt(state, name, at) && (final || MatchFrom(si + 1, at + length, name, memo)))
                return true;
        }
        if (memo)
            memo->SetFailed(state.skipIndex, pos);
        return false;
    }
}

bool MatchesMask(std::string_view name, std::string_view pattern) {
    return TMask(pattern).Matches(name);
}

} // namespace quennet
