#include "search/RegexPattern.h"

#define PCRE2_CODE_UNIT_WIDTH 0 // both widths, by their suffixed names
#include <pcre2.h>

#include "base/TextEncoding.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace quennet {

namespace {

constexpr std::uint32_t kCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE | PCRE2_UCP;
// A match that hits it costs about a second; the file is then given up and reported.
constexpr std::uint32_t kMatchLimit = 10000000;
constexpr std::size_t kJitStackSize = 1024 * 1024;

std::uint32_t OptionsFor(bool caseSensitive) {
    return kCompileOptions | (caseSensitive ? 0 : PCRE2_CASELESS);
}

struct Code8Deleter {
    void operator()(pcre2_code_8* code) const { pcre2_code_free_8(code); }
};
struct Code16Deleter {
    void operator()(pcre2_code_16* code) const { pcre2_code_free_16(code); }
};
struct CompileContext8Deleter {
    void operator()(pcre2_compile_context_8* context) const { pcre2_compile_context_free_8(context); }
};
struct CompileContext16Deleter {
    void operator()(pcre2_compile_context_16* context) const { pcre2_compile_context_free_16(context); }
};
struct MatchData8Deleter {
    void operator()(pcre2_match_data_8* data) const { pcre2_match_data_free_8(data); }
};
struct MatchData16Deleter {
    void operator()(pcre2_match_data_16* data) const { pcre2_match_data_free_16(data); }
};
struct Context8Deleter {
    void operator()(pcre2_match_context_8* context) const { pcre2_match_context_free_8(context); }
};
struct Context16Deleter {
    void operator()(pcre2_match_context_16* context) const { pcre2_match_context_free_16(context); }
};
struct JitStack8Deleter {
    void operator()(pcre2_jit_stack_8* stack) const { pcre2_jit_stack_free_8(stack); }
};
struct JitStack16Deleter {
    void operator()(pcre2_jit_stack_16* stack) const { pcre2_jit_stack_free_16(stack); }
};

std::string CompileErrorText(int code, std::size_t offset, const std::string& pattern) {
    PCRE2_UCHAR8 text[256];
    if (pcre2_get_error_message_8(code, text, sizeof text) < 0)
        std::strcpy(reinterpret_cast<char*>(text), "unknown error");
    std::size_t position = 1; // in characters, as the user typed them
    for (std::size_t i = 0; i < offset && i < pattern.size(); ++i)
        if ((static_cast<unsigned char>(pattern[i]) & 0xC0) != 0x80)
            ++position;
    return "Invalid regular expression at position " + std::to_string(position) + ": " +
           reinterpret_cast<const char*>(text);
}

std::unique_ptr<pcre2_code_8, Code8Deleter> Compile8(const std::string& pattern, std::uint32_t options,
                                                     std::string& error) {
    // Lines of Windows tools end in CR LF: $ matches before the CR too.
    std::unique_ptr<pcre2_compile_context_8, CompileContext8Deleter> context(pcre2_compile_context_create_8(nullptr));
    if (!context)
        throw std::bad_alloc();
    pcre2_set_newline_8(context.get(), PCRE2_NEWLINE_ANYCRLF);
    int code = 0;
    PCRE2_SIZE offset = 0;
    std::unique_ptr<pcre2_code_8, Code8Deleter> compiled(
        pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(pattern.data()), pattern.size(), options, &code, &offset,
                        context.get()));
    if (!compiled)
        error = CompileErrorText(code, offset, pattern);
    return compiled;
}

RegexOutcome OutcomeOf(int rc, const std::size_t* ovector) {
    RegexOutcome outcome;
    if (rc >= 0 || rc == PCRE2_ERROR_PARTIAL) {
        outcome.Result = rc >= 0 ? RegexOutcome::Kind::Full : RegexOutcome::Kind::Partial;
        outcome.Start = ovector[0];
        outcome.End = ovector[1];
    } else if (rc == PCRE2_ERROR_NOMATCH) {
        outcome.Result = RegexOutcome::Kind::None;
    } else if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
               rc == PCRE2_ERROR_JIT_STACKLIMIT) {
        outcome.Result = RegexOutcome::Kind::Limit;
    } else {
        outcome.Result = RegexOutcome::Kind::Failed;
    }
    return outcome;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

struct RegexPattern::Compiled {
    std::unique_ptr<pcre2_code_8, Code8Deleter> Code8;
    std::unique_ptr<pcre2_code_8, Code8Deleter> Anchored8; // JIT takes no ANCHORED at match time
    std::unique_ptr<pcre2_code_16, Code16Deleter> Code16;
    std::unique_ptr<pcre2_match_data_8, MatchData8Deleter> Data8;
    std::unique_ptr<pcre2_match_data_16, MatchData16Deleter> Data16;
    std::unique_ptr<pcre2_match_context_8, Context8Deleter> Context8;
    std::unique_ptr<pcre2_match_context_16, Context16Deleter> Context16;
    std::unique_ptr<pcre2_jit_stack_8, JitStack8Deleter> Stack8;
    std::unique_ptr<pcre2_jit_stack_16, JitStack16Deleter> Stack16;
};

std::optional<std::string> RegexError(const std::string& pattern, bool caseSensitive) {
    std::string error;
    if (!Compile8(pattern, OptionsFor(caseSensitive), error))
        return error;
    return std::nullopt;
}

RegexPattern::RegexPattern(const std::string& pattern, bool caseSensitive) : compiled_(new Compiled) {
    const std::uint32_t options = OptionsFor(caseSensitive);
    std::string error;
    Compiled& c = *compiled_;
    c.Code8 = Compile8(pattern, options, error);
    if (!c.Code8)
        throw std::invalid_argument(error);
    c.Anchored8 = Compile8(pattern, options | PCRE2_ANCHORED, error);
    const std::optional<std::u16string> wide = Utf8ToUtf16(pattern);
    if (!c.Anchored8 || !wide)
        throw std::invalid_argument(error);
    std::unique_ptr<pcre2_compile_context_16, CompileContext16Deleter> context(
        pcre2_compile_context_create_16(nullptr));
    if (!context)
        throw std::bad_alloc();
    pcre2_set_newline_16(context.get(), PCRE2_NEWLINE_ANYCRLF);
    int code = 0;
    PCRE2_SIZE offset = 0;
    c.Code16.reset(pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(wide->data()), wide->size(), options, &code,
                                    &offset, context.get()));
    if (!c.Code16)
        throw std::invalid_argument(CompileErrorText(code, offset, pattern));
    // Without JIT (a processor it does not know) the interpreter matches the same, slower.
    const std::uint32_t jit = PCRE2_JIT_COMPLETE | PCRE2_JIT_PARTIAL_HARD;
    pcre2_jit_compile_8(c.Code8.get(), jit);
    pcre2_jit_compile_8(c.Anchored8.get(), jit);
    pcre2_jit_compile_16(c.Code16.get(), jit);

    c.Data8.reset(pcre2_match_data_create_8(1, nullptr));
    c.Data16.reset(pcre2_match_data_create_16(1, nullptr));
    c.Context8.reset(pcre2_match_context_create_8(nullptr));
    c.Context16.reset(pcre2_match_context_create_16(nullptr));
    c.Stack8.reset(pcre2_jit_stack_create_8(32 * 1024, kJitStackSize, nullptr));
    c.Stack16.reset(pcre2_jit_stack_create_16(32 * 1024, kJitStackSize, nullptr));
    if (!c.Data8 || !c.Data16 || !c.Context8 || !c.Context16 || !c.Stack8 || !c.Stack16)
        throw std::bad_alloc();
    pcre2_set_match_limit_8(c.Context8.get(), kMatchLimit);
    pcre2_set_match_limit_16(c.Context16.get(), kMatchLimit);
    pcre2_jit_stack_assign_8(c.Context8.get(), nullptr, c.Stack8.get());
    pcre2_jit_stack_assign_16(c.Context16.get(), nullptr, c.Stack16.get());

    std::uint32_t lookbehind = 0;
    pcre2_pattern_info_8(c.Code8.get(), PCRE2_INFO_MAXLOOKBEHIND, &lookbehind);
    // One more for ^, \b and the like, which look at the character before any start.
    lookbehind_ = static_cast<std::size_t>(lookbehind) + 1;
    prefixFolded_ = !caseSensitive;
    prefix_ = LiteralPrefixOf(pattern, prefixFolded_);
}

RegexPattern::~RegexPattern() = default;

RegexOutcome RegexPattern::Match8(const unsigned char* subject, std::size_t length, std::size_t from, bool partial,
                                  bool anchored) const {
    Compiled& c = *compiled_;
    const int rc = pcre2_match_8(anchored ? c.Anchored8.get() : c.Code8.get(), subject, length, from,
                                 partial ? PCRE2_PARTIAL_HARD : 0, c.Data8.get(), c.Context8.get());
    return OutcomeOf(rc, pcre2_get_ovector_pointer_8(c.Data8.get()));
}

RegexOutcome RegexPattern::Match16(const char16_t* subject, std::size_t length, std::size_t from, bool partial,
                                   bool anchored) const {
    Compiled& c = *compiled_;
    const std::uint32_t options = (partial ? PCRE2_PARTIAL_HARD : 0) | (anchored ? PCRE2_ANCHORED : 0);
    const int rc = pcre2_match_16(c.Code16.get(), reinterpret_cast<PCRE2_SPTR16>(subject), length, from, options,
                                  c.Data16.get(), c.Context16.get());
    return OutcomeOf(rc, pcre2_get_ovector_pointer_16(c.Data16.get()));
}

std::string LiteralPrefixOf(const std::string& pattern, bool caseless) {
    // An alternative may begin with anything (the bar may also sit inside a group or a class,
    // where it would be harmless; such patterns simply go without the prefix).
    if (pattern.find('|') != std::string::npos)
        return {};
    std::size_t i = 0;
    // Zero-width at the start: the match still begins with what follows.
    if (pattern.compare(0, 1, "^") == 0)
        i = 1;
    else if (pattern.compare(0, 2, "\\b") == 0)
        i = 2;
    std::string prefix;
    while (i < pattern.size()) {
        const unsigned char c = static_cast<unsigned char>(pattern[i]);
        std::string character;
        std::size_t next = i + 1;
        if (c == '\\') {
            if (i + 1 >= pattern.size())
                break;
            const unsigned char escaped = static_cast<unsigned char>(pattern[i + 1]);
            // Only an escaped punctuation mark stands for itself; \d, \x41, \Q... do not.
            if (escaped >= 0x80 || std::isalnum(escaped) || std::isspace(escaped))
                break;
            character.assign(1, static_cast<char>(escaped));
            next = i + 2;
        } else if (std::strchr("^$.|?*+()[]{}", c) != nullptr) {
            break;
        } else if (c >= 0x80) {
            if (caseless)
                break; // folded in Unicode: the fast search folds ASCII only
            std::size_t length = 0;
            if (!DecodeUtf8At(pattern, i, length))
                break;
            character = pattern.substr(i, length);
            next = i + length;
        } else {
            character.assign(1, static_cast<char>(c));
        }
        if (caseless && character.size() == 1 && IsAsciiLetter(character[0])) {
            const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(character[0])));
            if (lower == 'k' || lower == 's')
                break;
            character[0] = lower;
        }
        // A quantifier that allows none takes the character out of what every match holds.
        if (next < pattern.size() && std::strchr("?*{", pattern[next]) != nullptr)
            break;
        prefix += character;
        if (next < pattern.size() && pattern[next] == '+')
            break;
        i = next;
    }
    return prefix;
}

} // namespace quennet
