#include "search/Masks.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quennet {

std::bitset<256> LeadBytes::table_;

void LeadBytes::Set(const std::bitset<256>& leadBytes) { table_ = leadBytes; }

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

bool TMask::Matches(std::string_view name) const {
    struct ResumePoint {
        std::size_t pos;
        std::size_t state;
    };
    std::array<ResumePoint, kMaxSkips> stack;
    std::size_t depth = 0;

    std::size_t pos = 0;
    std::size_t si = 0;
    while (si < states_.size()) {
        const State& state = states_[si];
        if (state.skip) {
            const std::size_t step = state.kind == Kind::TwoByteLiteral ? 2 : 1;
            while (pos < name.size() && !StateMatchesAt(state, name, pos))
                pos += step;
            // Each skip state has its own slot, so a resume point replaces that state's earlier one.
            if (pos < name.size()) {
                while (depth > 0 && stack[depth - 1].state >= si)
                    --depth;
                stack[depth++] = {pos + 1, si};
            }
        }
        if (!StateMatchesAt(state, name, pos)) {
            if (depth == 0)
                return false;
            --depth;
            pos = stack[depth].pos;
            si = stack[depth].state;
            continue;
        }
        pos += state.kind == Kind::TwoByteLiteral ? 2 : 1;
        ++si;
    }
    return true;
}

bool MatchesMask(std::string_view name, std::string_view pattern) { return TMask(pattern).Matches(name); }

} // namespace quennet
