#include "search/Masks.h"

#include <algorithm>

#include "base/TextEncoding.h"

namespace quennet {

namespace {

// One character of a name or a pattern: a well-formed UTF-8 sequence, or a lone byte that is
// not part of one, given a value beyond Unicode so that it equals no real character.
struct Character {
    char32_t value;
    std::size_t length;
};

Character CharacterAt(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80)
        return {byte, 1};
    std::size_t length = 0;
    if (const auto codePoint = DecodeUtf8At(text, pos, length))
        return {*codePoint, length};
    return {static_cast<char32_t>(0x110000 + byte), 1};
}

char32_t UpperIfAscii(char32_t c) {
    return c < 0x80 ? AsciiUpper(static_cast<unsigned char>(c)) : c;
}

// The position is counted in characters, as the user sees the pattern.
[[noreturn]] void InvalidMask(std::string_view pattern, std::size_t bytePos) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < bytePos && i < pattern.size(); i += CharacterAt(pattern, i).length)
        ++characters;
    throw EMaskException("'" + std::string(pattern) + "' is an invalid mask at (" +
                         std::to_string(characters + 1) + ")");
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
            auto members = std::make_shared<SetMembers>();
            auto addRange = [&](char32_t from, char32_t to) {
                for (char32_t c = from; c <= to && c < 0x80; ++c)
                    members->ascii.set(c);
                if (to >= 0x80)
                    members->ranges.emplace_back(std::max<char32_t>(from, 0x80), to);
            };
            bool haveMember = false;
            char32_t previous = 0;
            while (i < pattern.size() && pattern[i] != ']') {
                const Character member = CharacterAt(pattern, i);
                if (member.value == '-') {
                    if (!haveMember)
                        InvalidMask(pattern, i);
                    ++i;
                    if (i >= pattern.size())
                        break;
                    const Character last = CharacterAt(pattern, i);
                    const char32_t upper = UpperIfAscii(last.value);
                    if (previous <= upper)
                        addRange(previous, upper);
                    i += last.length;
                } else {
                    previous = UpperIfAscii(member.value);
                    addRange(previous, previous);
                    haveMember = true;
                    i += member.length;
                }
            }
            if (i >= pattern.size() || (members->ascii.none() && members->ranges.empty()))
                InvalidMask(pattern, std::min(i, pattern.size()));
            s.members = std::move(members);
            add(std::move(s), i);
            ++i; // past "]"
        } else {
            // A whole character: a lone lead byte must not match the start of "é" in a name.
            const Character literal = CharacterAt(pattern, i);
            State s;
            s.character = UpperIfAscii(literal.value);
            add(std::move(s), i);
            i += literal.length;
        }
    }
    add(State{}, pattern.size()); // the final state: a literal 0 that matches only the end
}

std::size_t TMask::MatchAt(const State& state, std::string_view name, std::size_t pos) {
    if (pos >= name.size())
        return state.kind == Kind::Literal && state.character == 0 ? 0 : kNoMatch;
    const auto byte = static_cast<unsigned char>(name[pos]);
    switch (state.kind) {
    case Kind::Literal: {
        if (byte < 0x80)
            return state.character != 0 && AsciiUpper(byte) == state.character ? 1 : kNoMatch;
        const Character c = CharacterAt(name, pos);
        return c.value == state.character ? c.length : kNoMatch;
    }
    case Kind::AnyChar:
        return CharacterAt(name, pos).length;
    case Kind::Set: {
        const Character c = CharacterAt(name, pos);
        const auto& ranges = state.members->ranges;
        const bool member = c.value < 0x80 ? state.members->ascii[AsciiUpper(byte)]
                                           : std::any_of(ranges.begin(), ranges.end(), [&c](const auto& range) {
                                                 return c.value >= range.first && c.value <= range.second;
                                             });
        return member != state.negated ? c.length : kNoMatch;
    }
    }
    return kNoMatch;
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
        const bool final = si + 1 == states_.size();
        if (!state.skip) {
            const std::size_t taken = MatchAt(state, name, pos);
            if (taken == kNoMatch)
                return false;
            if (final)
                return true;
            pos += taken;
            ++si;
            continue;
        }
        if (memo && memo->Failed(state.skipIndex, pos))
            return false;
        // Looked for character by character, so that a "?" or a set after a "*" never starts
        // inside a character of several bytes.
        for (std::size_t at = pos;; at += CharacterAt(name, at).length) {
            const std::size_t taken = MatchAt(state, name, at);
            if (at >= name.size()) {
                if (taken != kNoMatch)
                    return true; // only the final state matches the end
                break;
            }
            if (taken != kNoMatch && (final || MatchFrom(si + 1, at + taken, name, memo)))
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
