// A regular expression compiled for the search: PCRE2 (Perl syntax), once for UTF-8 files
// (8-bit library) and once for UTF-16 files (16-bit library), each JIT-compiled where the
// processor allows. The rules users of grep and the other search tools expect: ^ and $ at line
// starts and ends (a line ending in LF, CR LF or CR), UTF-8 text in which invalid bytes match
// nothing but stop nothing, and without "Case sensitive" case folded in Unicode ("école" finds
// "École"); \w, \d and \b are Unicode-aware either way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quennet {

// The library's message and the position it names (characters from 1), ready to show; nullopt
// for a pattern that compiles.
std::optional<std::string> RegexError(const std::string& pattern, bool caseSensitive);

// What one search of a subject gave.
struct RegexOutcome {
    enum class Kind { None, Full, Limit, Failed };
    Kind Result = Kind::None;
    std::size_t Start = 0; // in code units of the subject
    std::size_t End = 0;
};

class RegexPattern {
  public:
    // Throws std::invalid_argument with RegexError's text for a pattern that does not compile,
    // std::bad_alloc when the library finds no memory.
    RegexPattern(const std::string& pattern, bool caseSensitive);
    ~RegexPattern();
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;

    // The first match in subject[0, length) that starts in [from, lastStart]; Limit once the
    // work on it passes a bound proportional to `length`. Throws std::bad_alloc when the
    // library finds no memory.
    RegexOutcome Match8(const unsigned char* subject, std::size_t length, std::size_t from,
                        std::size_t lastStart) const;
    RegexOutcome Match16(const char16_t* subject, std::size_t length, std::size_t from, std::size_t lastStart) const;

    // Characters a lookbehind (or \b, or ^) may inspect before a match's start.
    std::size_t LookbehindCharacters() const { return lookbehind_; }
    // Bytes every match starts with, for the fast literal search, folded to lower case when
    // `PrefixFolded()`; empty when the pattern gives none that is safe to use.
    const std::string& RequiredPrefix() const { return prefix_; }
    bool PrefixFolded() const { return prefixFolded_; }

  private:
    struct Compiled; // the library's objects, kept out of this header
    std::unique_ptr<Compiled> compiled_;
    std::size_t lookbehind_ = 1;
    std::string prefix_;
    bool prefixFolded_ = false;
};

// What in `pattern` would make a file's answer depend on where its search begins (\G, which
// matches where a search starts, and (*COMMIT) or (*SKIP), which end or move a whole search,
// while a file is searched from several places): a message naming it, or empty.
std::string StartDependentConstruct(const std::string& pattern);

// The literal text every match of `pattern` begins with, as far as a plain reading of the
// pattern can tell; empty when unsure (alternation, groups, classes or escapes at the start).
// Caseless: the text folded to lower case, ASCII letters only, and cut before a letter that
// Unicode folds with a non-ASCII one ("k" with the Kelvin sign, "s" with the long s).
std::string LiteralPrefixOf(const std::string& pattern, bool caseless);

} // namespace quennet
