#include "search/SearchRequest.h"

#include "search/MaskList.h"
#include "search/Masks.h"
#include "search/RegexPattern.h"
#include "base/TextEncoding.h"

#include <algorithm>
#include <ctime>

namespace quennet {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Local time, as the user gave the bounds.
std::string LocalTimeText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    const bool known = localtime_s(&local, &time) == 0;
#else
    const bool known = localtime_r(&time, &local) != nullptr;
#endif
    char text[32] = "";
    if (!known || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local))
        return std::to_string(seconds) + " s after 1970";
    return text;
}

} // namespace

std::string DateOrderMessage(std::int64_t after, std::int64_t before) {
    return "Error: the earliest change date (" + LocalTimeText(after) + ") is later than the latest (" +
           LocalTimeText(before) + ") !";
}

std::string BuildNameMask(const std::string& fragment) {
    std::string mask = fragment.empty() ? "*" : fragment;
    if (mask.front() != '*')
        mask.insert(mask.begin(), '*');
    if (mask.back() != '*')
        mask.push_back('*');
    return mask;
}

std::optional<std::string> ParseHexPhrase(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == ' ')
            continue;
        if (HexDigitValue(c) < 0)
            return std::nullopt;
        digits.push_back(c);
    }
    if (digits.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<char>(HexDigitValue(digits[i]) * 16 + HexDigitValue(digits[i + 1])));
    return bytes;
}

std::string FoldAsciiCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(AsciiLower(static_cast<unsigned char>(c)));
    return text;
}

bool SizeOrderValid(std::int32_t minKb, std::int32_t maxKb) {
    return maxKb == 0 || maxKb >= minKb;
}

std::int32_t ClampBufferMegabytes(std::int32_t megabytes) {
    return std::clamp(megabytes, kMinBufferMegabytes, kMaxBufferMegabytes);
}

PreparedSearch BuildSearchRequest(const SearchCriteria& criteria) {
    PreparedSearch result;
    if (!SizeOrderValid(criteria.Size.MinKb, criteria.Size.MaxKb)) {
        result.Error = kSizeOrderMessage;
        result.Field = CriterionField::Size;
        return result;
    }
    // Bounds no file can meet would give an empty list without a word.
    if (criteria.ChangedAfter && criteria.ChangedBefore && *criteria.ChangedAfter > *criteria.ChangedBefore) {
        result.Error = DateOrderMessage(*criteria.ChangedAfter, *criteria.ChangedBefore);
        result.Field = CriterionField::Dates;
        return result;
    }
    SearchRequest request;
    if (criteria.HexNotation) {
        auto bytes = ParseHexPhrase(criteria.PhraseText);
        if (!bytes) {
            result.Error = kInvalidHexMessage;
            result.Field = CriterionField::Phrase;
            return result;
        }
        request.Phrase = std::move(*bytes);
        request.FoldCase = false;
        request.HexPhrase = true;
    } else if (criteria.RegularExpression) {
        if (auto error = RegexError(criteria.PhraseText, criteria.CaseSensitive)) {
            result.Error = std::move(*error);
            result.Field = CriterionField::Phrase;
            return result;
        }
        request.Phrase = criteria.PhraseText;
        request.FoldCase = !criteria.CaseSensitive;
        request.RegularExpression = true;
    } else if (criteria.CaseSensitive) {
        request.Phrase = criteria.PhraseText;
    } else {
        request.Phrase = FoldAsciiCase(criteria.PhraseText);
        request.FoldCase = true;
    }
    if (!criteria.HexNotation && !criteria.RegularExpression) {
        // Converted before folding: in a double-byte code page a trail byte may lie in A-Z.
        if (auto wide = NarrowToUtf16(criteria.PhraseText))
            request.WidePhrase = request.FoldCase ? FoldAsciiCase(std::move(*wide)) : std::move(*wide);
    }
    request.BufferSize = ClampBufferMegabytes(criteria.BufferMegabytes) * 1048576;
    request.NameMask = BuildNameMask(criteria.NameFragment);
    try {
        TMask check(request.NameMask);
    } catch (const EMaskException& e) {
        result.Error = e.what();
        result.Field = CriterionField::Name;
        return result;
    }
    const std::pair<const std::string*, CriterionField> filters[] = {
        {&criteria.OnlyMasks, CriterionField::Only},
        {&criteria.SkipMasks, CriterionField::Skip},
        {&criteria.SkipFolderMasks, CriterionField::SkipFolders}};
    for (const auto& [masks, field] : filters) {
        try {
            MaskList check(*masks);
        } catch (const EMaskException& e) {
            result.Error = e.what();
            result.Field = field;
            return result;
        }
    }
    request.OnlyMasks = criteria.OnlyMasks;
    request.SkipMasks = criteria.SkipMasks;
    request.SkipFolderMasks = criteria.SkipFolderMasks;
    request.ChangedAfter = criteria.ChangedAfter;
    request.ChangedBefore = criteria.ChangedBefore;
    result.Request = std::move(request);
    return result;
}

std::string TextToHexNotation(const std::string& text) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(text.size() * 2);
    for (unsigned char c : text) {
        hex.push_back(kDigits[c >> 4]);
        hex.push_back(kDigits[c & 15]);
    }
    return hex;
}

std::string HexToTextNotation(const std::string& hex) {
    // Spaces are skipped before pairing, as the search skips them, so a HEX text that the
    // search accepts keeps its bytes on the way to Text and back. A pair that is not two hex
    // digits is dropped, and the edit field cannot hold a zero byte, so the text ends before
    // the first 00.
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits.push_back(c);
    std::string text;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int high = HexDigitValue(digits[i]);
        const int low = HexDigitValue(digits[i + 1]);
        if (high < 0 || low < 0)
            continue;
        const char byte = static_cast<char>(high * 16 + low);
        if (byte == '\0')
            break;
        text.push_back(byte);
    }
    return text;
}

} // namespace quennet
