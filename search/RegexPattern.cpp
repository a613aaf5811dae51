#include "search/RegexPattern.h"

#define PCRE2_CODE_UNIT_WIDTH 0 // both widths, by their suffixed names
#include <pcre2.h>

#include "base/TextEncoding.h"

#include <cctype>
#include <cstring>
#include <new>
#include <stdexcept>

namespace quennet {

namespace {

// The offset limit keeps a search to the starts its caller owns, however long the subject.
constexpr std::uint32_t kCompileOptions =
    PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE | PCRE2_UCP | PCRE2_USE_OFFSET_LIMIT;
// A search that hits it costs about a second; the file is then given up and reported.
constexpr std::uint32_t kMatchLimit = 10000000;
constexpr std::size_t kJitStackSize = 1024 * 1024;
// A back-reference compares as many characters as its group holds, work the match limit does not
// count: such a pattern counts the characters its attempts have gone through instead, this many
// for each unit of the subject.
constexpr std::uint64_t kReferenceWorkPerUnit = 4096;
// Our own callout result: the work bound was passed.
constexpr int kWorkBoundPassed = -1000;

std::uint32_t OptionsFor(bool caseSensitive) {
    return kCompileOptions | (caseSensitive ? 0 : PCRE2_CASELESS);
}

// The library takes its memory through operator new, as the rest of the program does, so a
// lack of it is met the same way everywhere.
void* LibraryAllocate(PCRE2_SIZE size, void*) {
    return ::operator new(size, std::nothrow);
}
void LibraryFree(void* block, void*) {
    ::operator delete(block);
}

struct General8Deleter {
    void operator()(pcre2_general_context_8* context) const { pcre2_general_context_free_8(context); }
};
struct General16Deleter {
    void operator()(pcre2_general_context_16* context) const { pcre2_general_context_free_16(context); }
};
using General8 = std::unique_ptr<pcre2_general_context_8, General8Deleter>;
using General16 = std::unique_ptr<pcre2_general_context_16, General16Deleter>;

General8 MakeGeneral8() {
    General8 general(pcre2_general_context_create_8(LibraryAllocate, LibraryFree, nullptr));
    if (!general)
        throw std::bad_alloc();
    return general;
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

// The library's error for a failed allocation is no fault of the pattern.
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsNoMemory(int code) {
    return code == PCRE2_ERROR_HEAP_FAILED || code == PCRE2_ERROR_NOMEMORY;
}

std::unique_ptr<pcre2_code_8, Code8Deleter> Compile8(const std::string& pattern, std::uint32_t options,
                                                     pcre2_general_context_8* general, std::string& error) {
    // Lines of Windows tools end in CR LF: $ matches before the CR too.
    std::unique_ptr<pcre2_compile_context_8, CompileContext8Deleter> context(pcre2_compile_context_create_8(general));
    if (!context)
        throw std::bad_alloc();
    pcre2_set_newline_8(context.get(), PCRE2_NEWLINE_ANYCRLF);
    int code = 0;
    PCRE2_SIZE offset = 0;
    std::unique_ptr<pcre2_code_8, Code8Deleter> compiled(
        pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(pattern.data()), pattern.size(), options, &code, &offset,
                        context.get()));
    if (!compiled && IsNoMemory(code))
        throw std::bad_alloc();
    if (!compiled)
        error = CompileErrorText(code, offset, pattern);
    return compiled;
}

RegexOutcome OutcomeOf(int rc, const std::size_t* ovector) {
    RegexOutcome outcome;
    if (rc >= 0) {
        outcome.Result = RegexOutcome::Kind::Full;
        outcome.Start = ovector[0];
        outcome.End = ovector[1];
    } else if (rc == PCRE2_ERROR_NOMATCH) {
        outcome.Result = RegexOutcome::Kind::None;
    } else if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
               rc == PCRE2_ERROR_JIT_STACKLIMIT || rc == kWorkBoundPassed) {
        outcome.Result = RegexOutcome::Kind::Limit;
    } else if (IsNoMemory(rc)) {
        throw std::bad_alloc();
    } else {
        outcome.Result = RegexOutcome::Kind::Failed;
    }
    return outcome;
}

// The work of the attempts so far, against its bound.
struct ReferenceWork {
    std::uint64_t Done = 0;
    std::uint64_t Bound = 0;
};

template <class Block>
int CountReferenceWork(Block* block, void* data) {
    auto& work = *static_cast<ReferenceWork*>(data);
    work.Done += block->current_position - block->start_match + 1;
    return work.Done > work.Bound ? kWorkBoundPassed : 0;
}

// Checks a JIT compile: one that lacked memory is a lack of memory like any other (the
// interpreter, which would run instead, counts its limits differently); one the processor does
// not allow leaves the interpreter, which matches the same, slower.
void CheckJit(int rc) {
    if (rc == PCRE2_ERROR_NOMEMORY)
        throw std::bad_alloc();
}

} // namespace

struct RegexPattern::Compiled {
    General8 Memory8;
    General16 Memory16;
    std::unique_ptr<pcre2_code_8, Code8Deleter> Code8;
    std::unique_ptr<pcre2_code_16, Code16Deleter> Code16;
    std::unique_ptr<pcre2_match_data_8, MatchData8Deleter> Data8;
    std::unique_ptr<pcre2_match_data_16, MatchData16Deleter> Data16;
    std::unique_ptr<pcre2_match_context_8, Context8Deleter> Context8;
    std::unique_ptr<pcre2_match_context_16, Context16Deleter> Context16;
    std::unique_ptr<pcre2_jit_stack_8, JitStack8Deleter> Stack8;
    std::unique_ptr<pcre2_jit_stack_16, JitStack16Deleter> Stack16;
    bool CountsWork = false; // the pattern has back-references
    ReferenceWork Work;
};

std::optional<std::string> RegexError(const std::string& pattern, bool caseSensitive) {
    std::string error;
    const General8 general = MakeGeneral8();
    if (!Compile8(pattern, OptionsFor(caseSensitive), general.get(), error))
        return error;
    std::string construct = StartDependentConstruct(pattern);
    if (!construct.empty())
        return construct;
    return std::nullopt;
}

RegexPattern::RegexPattern(const std::string& pattern, bool caseSensitive) : compiled_(new Compiled) {
    std::uint32_t options = OptionsFor(caseSensitive);
    std::string error;
    Compiled& c = *compiled_;
    c.Memory8 = MakeGeneral8();
    c.Memory16.reset(pcre2_general_context_create_16(LibraryAllocate, LibraryFree, nullptr));
    if (!c.Memory16)
        throw std::bad_alloc();
    c.Code8 = Compile8(pattern, options, c.Memory8.get(), error);
    if (!c.Code8)
        throw std::invalid_argument(error);
    error = StartDependentConstruct(pattern);
    if (!error.empty())
        throw std::invalid_argument(error);
    std::uint32_t references = 0;
    pcre2_pattern_info_8(c.Code8.get(), PCRE2_INFO_BACKREFMAX, &references);
    c.CountsWork = references > 0;
    if (c.CountsWork) {
        // A callout before every item of the pattern, where the work is counted.
        options |= PCRE2_AUTO_CALLOUT;
        c.Code8 = Compile8(pattern, options, c.Memory8.get(), error);
        if (!c.Code8)
            throw std::invalid_argument(error);
    }
    const std::optional<std::u16string> wide = Utf8ToUtf16(pattern);
    if (!wide)
        throw std::invalid_argument("Invalid regular expression: not UTF-8 text");
    std::unique_ptr<pcre2_compile_context_16, CompileContext16Deleter> context(
        pcre2_compile_context_create_16(c.Memory16.get()));
    if (!context)
        throw std::bad_alloc();
    pcre2_set_newline_16(context.get(), PCRE2_NEWLINE_ANYCRLF);
    int code = 0;
    PCRE2_SIZE offset = 0;
    c.Code16.reset(pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(wide->data()), wide->size(), options, &code,
                                    &offset, context.get()));
    if (!c.Code16 && IsNoMemory(code))
        throw std::bad_alloc();
    if (!c.Code16)
        throw std::invalid_argument(CompileErrorText(code, offset, pattern));
    CheckJit(pcre2_jit_compile_8(c.Code8.get(), PCRE2_JIT_COMPLETE));
    CheckJit(pcre2_jit_compile_16(c.Code16.get(), PCRE2_JIT_COMPLETE));

    c.Data8.reset(pcre2_match_data_create_8(1, c.Memory8.get()));
    c.Data16.reset(pcre2_match_data_create_16(1, c.Memory16.get()));
    c.Context8.reset(pcre2_match_context_create_8(c.Memory8.get()));
    c.Context16.reset(pcre2_match_context_create_16(c.Memory16.get()));
    c.Stack8.reset(pcre2_jit_stack_create_8(32 * 1024, kJitStackSize, c.Memory8.get()));
    c.Stack16.reset(pcre2_jit_stack_create_16(32 * 1024, kJitStackSize, c.Memory16.get()));
    if (!c.Data8 || !c.Data16 || !c.Context8 || !c.Context16 || !c.Stack8 || !c.Stack16)
        throw std::bad_alloc();
    pcre2_set_match_limit_8(c.Context8.get(), kMatchLimit);
    pcre2_set_match_limit_16(c.Context16.get(), kMatchLimit);
    pcre2_jit_stack_assign_8(c.Context8.get(), nullptr, c.Stack8.get());
    pcre2_jit_stack_assign_16(c.Context16.get(), nullptr, c.Stack16.get());
    if (c.CountsWork) {
        pcre2_set_callout_8(c.Context8.get(), CountReferenceWork<pcre2_callout_block_8>, &c.Work);
        pcre2_set_callout_16(c.Context16.get(), CountReferenceWork<pcre2_callout_block_16>, &c.Work);
    }

    std::uint32_t lookbehind = 0;
    pcre2_pattern_info_8(c.Code8.get(), PCRE2_INFO_MAXLOOKBEHIND, &lookbehind);
    // One more for ^, \b and the like, which look at the character before any start.
    lookbehind_ = static_cast<std::size_t>(lookbehind) + 1;
    prefixFolded_ = !caseSensitive;
    prefix_ = LiteralPrefixOf(pattern, prefixFolded_);
}

RegexPattern::~RegexPattern() = default;

RegexOutcome RegexPattern::Match8(const unsigned char* subject, std::size_t length, std::size_t from,
                                  std::size_t lastStart) const {
    Compiled& c = *compiled_;
    c.Work = {0, kReferenceWorkPerUnit * length};
    pcre2_set_offset_limit_8(c.Context8.get(), lastStart);
    const int rc = pcre2_match_8(c.Code8.get(), subject, length, from, 0, c.Data8.get(), c.Context8.get());
    return OutcomeOf(rc, pcre2_get_ovector_pointer_8(c.Data8.get()));
}

RegexOutcome RegexPattern::Match16(const char16_t* subject, std::size_t length, std::size_t from,
                                   std::size_t lastStart) const {
    Compiled& c = *compiled_;
    c.Work = {0, kReferenceWorkPerUnit * length};
    pcre2_set_offset_limit_16(c.Context16.get(), lastStart);
    const int rc = pcre2_match_16(c.Code16.get(), reinterpret_cast<PCRE2_SPTR16>(subject), length, from, 0,
                                  c.Data16.get(), c.Context16.get());
    return OutcomeOf(rc, pcre2_get_ovector_pointer_16(c.Data16.get()));
}

std::string StartDependentConstruct(const std::string& pattern) {
    bool inClass = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\') {
            if (i + 1 < pattern.size() && pattern[i + 1] == 'Q') {
                // Quoted text up to \E is literal.
                const std::size_t close = pattern.find("\\E", i + 2);
                if (close == std::string::npos)
                    break;
                i = close + 1;
                continue;
            }
            if (!inClass && i + 1 < pattern.size() && pattern[i + 1] == 'G')
                return "Invalid regular expression: \\G is not supported (a file is searched from several places)";
            ++i;
        } else if (inClass) {
            if (c == ']')
                inClass = false;
        } else if (c == '[') {
            inClass = true;
            // A ] right after [ or [^ is a member, not the end.
            if (i + 1 < pattern.size() && pattern[i + 1] == '^')
                ++i;
            if (i + 1 < pattern.size() && pattern[i + 1] == ']')
                ++i;
        } else if (pattern.compare(i, 8, "(*COMMIT") == 0 || pattern.compare(i, 6, "(*SKIP") == 0) {
            const std::size_t close = pattern.find_first_of(":)", i);
            return "Invalid regular expression: " + pattern.substr(i, close - i) +
                   ") is not supported (a file is searched from several places)";
        }
    }
    return {};
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
