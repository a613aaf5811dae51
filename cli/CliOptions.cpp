#include "cli/CliOptions.h"

#include "cli/TimeArgument.h"

#include <cstdint>
#include <ctime>

namespace quennet::cli {

const char* const kUsage =
    "usage: quennet-cli [--name FRAGMENT] [--text PHRASE | --regex PATTERN] [--case-sensitive]\n"
    "                   [--hex \"4D 5A\"]\n"
    "                   [--min-kb N] [--max-kb N] [--buffer-mb N] [--columns | --null | --csv] [--line] [--progress]\n"
    "                   [--only MASKS] [--skip MASKS] [--skip-dir MASKS]\n"
    "                   [--changed-within TIME] [--changed-before TIME] [--threads N] FOLDER...\n"
    "\n"
    "Lists the files under the FOLDERs whose name contains FRAGMENT (wildcards * ? [set]),\n"
    "whose content holds PHRASE (ASCII case ignored unless --case-sensitive) or the HEX bytes,\n"
    "and whose size lies between the bounds in KB (--max-kb 0: no upper limit).\n"
    "  --regex PATTERN  content that matches the regular expression (Perl syntax; ^ and $ at\n"
    "                 line ends; case folded in Unicode unless --case-sensitive; a match is\n"
    "                 at most 1 MB long); one of --text, --regex, --hex\n"
    "  --only MASKS   only files whose whole name matches one of the masks (\"*.cpp;*.h\", \"*.cpp, *.h\")\n"
    "  --skip MASKS   no file whose whole name matches one of the masks (\"*.min.js;~*\")\n"
    "  --skip-dir MASKS  no folder whose name matches one of them is entered (\"node_modules;.git\")\n"
    "  --changed-within TIME  files last written at or after TIME: a duration back from now\n"
    "                 (90s, 30min, 12h, 7d, 2w) or a local date (2026-12-01, \"2026-12-01 14:30\")\n"
    "  --changed-before TIME  files last written at or before TIME, in the same forms\n"
    "  --buffer-mb N  read files in pieces of N MB (1 to 200, default 25)\n"
    "  --columns      name, folder, size and match offset, separated by tabs\n"
    "  --null         end each row with a NUL byte instead of a line break\n"
    "  --csv          a header, then name, folder, size in bytes, size, match offset and\n"
    "                 match line separated by commas, quoted for spreadsheets (the window's .csv)\n"
    "  --line         the line around the match (up to 200 characters; the bytes around it\n"
    "                 for --hex) after a tab, at the end of each row\n"
    "  --progress     status lines on stderr every half second\n"
    "  --threads N    read N files (or parts of a big one) side by side, 1 to 64; the rows\n"
    "                 and their order are the same for every N (default: one per processor;\n"
    "                 1 reads on the thread that walks the folders)\n";

namespace {

constexpr std::int32_t kMaxMinSizeKb = 2147483646;
constexpr std::int32_t kMaxMaxSizeKb = 2147483647;

std::string NumberError(const std::string& option, const std::string& value, std::int32_t minValue,
                        std::int32_t maxValue) {
    return option + " must be a whole number from " + std::to_string(minValue) + " to " +
           std::to_string(maxValue) + ", not \"" + value + "\"";
}

} // namespace

std::optional<std::int32_t> ParseWholeNumber(const std::string& text, std::int32_t minValue,
                                             std::int32_t maxValue) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (text.size() == first)
        return std::nullopt;
    std::int64_t value = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX + std::int64_t{1})
            return std::nullopt; // far out of range; stop before the sum overflows
    }
    if (negative)
        value = -value;
    if (value < minValue || value > maxValue)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CliOptions options;
    bool haveText = false;
    bool haveHex = false;
    bool haveRegex = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            options.Roots.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--columns") {
            options.Columns = true;
            continue;
        }
        if (arg == "--null") {
            options.NulTerminated = true;
            continue;
        }
        if (arg == "--line") {
            options.MatchLine = true;
            continue;
        }
        if (arg == "--csv") {
            options.Csv = true;
            continue;
        }
        if (arg == "--progress") {
            options.Progress = true;
            continue;
        }
        if (arg == "--case-sensitive") {
            options.Criteria.CaseSensitive = true;
            continue;
        }
        if (i + 1 >= args.size())
            return {};
        const std::string& value = args[++i];
        // A number option's value, or the message that refuses it.
        auto number = [&](std::int32_t minValue, std::int32_t maxValue, std::int32_t& target) {
            const auto parsed = ParseWholeNumber(value, minValue, maxValue);
            if (parsed)
                target = *parsed;
            return parsed ? std::string() : NumberError(arg, value, minValue, maxValue);
        };
        std::string error;
        if (arg == "--name") {
            options.Criteria.NameFragment = value;
        } else if (arg == "--text") {
            options.Criteria.PhraseText = value;
            haveText = true;
        } else if (arg == "--regex") {
            options.Criteria.PhraseText = value;
            options.Criteria.RegularExpression = true;
            haveRegex = true;
        } else if (arg == "--hex") {
            options.Criteria.PhraseText = value;
            options.Criteria.HexNotation = true;
            haveHex = true;
        } else if (arg == "--min-kb") {
            error = number(0, kMaxMinSizeKb, options.Criteria.Size.MinKb);
            options.Criteria.Size.Enabled = true;
        } else if (arg == "--max-kb") {
            error = number(0, kMaxMaxSizeKb, options.Criteria.Size.MaxKb);
            options.Criteria.Size.Enabled = true;
        } else if (arg == "--threads") {
            error = number(1, 64, options.Threads);
        } else if (arg == "--only") {
            options.Criteria.OnlyMasks = value;
        } else if (arg == "--skip") {
            options.Criteria.SkipMasks = value;
        } else if (arg == "--skip-dir") {
            options.Criteria.SkipFolderMasks = value;
        } else if (arg == "--changed-within" || arg == "--changed-before") {
            const auto time = ParseTimeArgument(value, static_cast<std::int64_t>(std::time(nullptr)));
            if (!time)
                error = arg + " takes a duration (7d, 12h, 30min) or a date (2026-12-01, \"2026-12-01 14:30\"), not \"" +
                        value + "\"";
            else if (arg == "--changed-within")
                options.Criteria.ChangedAfter = *time;
            else
                options.Criteria.ChangedBefore = *time;
        } else if (arg == "--buffer-mb") {
            error = number(kMinBufferMegabytes, kMaxBufferMegabytes, options.Criteria.BufferMegabytes);
        } else {
            return {};
        }
        if (!error.empty())
            return {std::nullopt, error};
    }
    // --csv has its own columns and line ends.
    if (int(haveText) + int(haveHex) + int(haveRegex) > 1 || options.Roots.empty() || (options.Csv && (options.Columns || options.NulTerminated)))
        return {};
    if (haveHex)
        options.Criteria.CaseSensitive = false;
    return {std::move(options), {}};
}

} // namespace quennet::cli
