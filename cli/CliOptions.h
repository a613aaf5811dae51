// The command line of quennet-cli.
#pragma once

#include "search/SearchRequest.h"

#include <optional>
#include <string>
#include <vector>

namespace quennet::cli {

struct CliOptions {
    SearchCriteria Criteria; // its size criterion is enabled when --min-kb or --max-kb was given
    bool Columns = false;
    bool Progress = false;
    bool NulTerminated = false; // --null: each row ends with a NUL byte, as find -print0 does
    bool Csv = false;           // --csv: the list as the window saves it to a .csv file
    bool MatchLine = false;     // --line: the line around the match as a last field
    std::int32_t Threads = 0;   // --threads: content scanners; 0 = one per logical processor, 1 = on the walk's own thread
    std::vector<std::string> Roots;
};

struct ParsedCommandLine {
    std::optional<CliOptions> Options;
    // Without Options: the message naming the faulty option, or empty when the usage says
    // what is wrong (an unknown option, a missing argument, no folder).
    std::string Error;
};

extern const char* const kUsage;

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// A whole decimal number from `minValue` to `maxValue`; nullopt for anything else (letters,
// a fraction, a sign on a positive number, a value out of range).
std::optional<std::int32_t> ParseWholeNumber(const std::string& text, std::int32_t minValue,
                                             std::int32_t maxValue);

} // namespace quennet::cli
