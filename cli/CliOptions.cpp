#include "cli/CliOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace quennet::cli {

const char* const kUsage =
    "usage: quennet-cli [--name FRAGMENT] [--text PHRASE [--case-sensitive] | --hex \"4D 5A\"]\n"
    "                   [--min-kb N] [--max-kb N] [--buffer-mb N] [--columns] [--progress] FOLDER...\n"
    "\n"
    "Lists the files under the FOLDERs whose name contains FRAGMENT (wildcards * ? [set]),\n"
    "whose content holds PHRASE (ASCII case ignored unless --case-sensitive) or the HEX bytes,\n"
    "and whose size lies between the bounds in KB (--max-kb 0: no upper limit).\n"
    "  --buffer-mb N  read files in pieces of N MB (1 to 200, default 25)\n"
    "  --columns      name, folder, size and match offset, separated by tabs\n"
    "  --progress     status lines on stderr every half second\n";

std::int32_t ReadSpinValue(const std::string& text, std::int32_t minValue, std::int32_t maxValue) {
    if (text.empty())
        return minValue;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return minValue;
    return static_cast<std::int32_t>(std::clamp<long long>(value, minValue, maxValue));
}

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args) {
    CliOptions options;
    bool haveText = false;
    bool haveHex = false;
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
        } else if (arg == "--progress") {
            options.Progress = true;
        } else if (arg == "--case-sensitive") {
            options.Criteria.CaseSensitive = true;
        } else {
            if (i + 1 >= args.size())
                return std::nullopt;
            const std::string& value = args[++i];
            if (arg == "--name") {
                options.Criteria.NameFragment = value;
            } else if (arg == "--text") {
                options.Criteria.PhraseText = value;
                haveText = true;
            } else if (arg == "--hex") {
                options.Criteria.PhraseText = value;
                options.Criteria.HexNotation = true;
                haveHex = true;
            } else if (arg == "--min-kb") {
                options.Criteria.MinSizeKb = ReadSpinValue(value, 0, 2147483646);
                options.Size.Enabled = true;
            } else if (arg == "--max-kb") {
                options.Criteria.MaxSizeKb = ReadSpinValue(value, 0, 2147483647);
                options.Size.Enabled = true;
            } else if (arg == "--buffer-mb") {
                options.Criteria.BufferMegabytes =
                    ReadSpinValue(value, kMinBufferMegabytes, kMaxBufferMegabytes);
            } else {
                return std::nullopt;
            }
        }
    }
    if ((haveText && haveHex) || options.Roots.empty())
        return std::nullopt;
    if (haveHex)
        options.Criteria.CaseSensitive = false;
    options.Size.MinKb = options.Criteria.MinSizeKb;
    options.Size.MaxKb = options.Criteria.MaxSizeKb;
    return options;
}

} // namespace quennet::cli
