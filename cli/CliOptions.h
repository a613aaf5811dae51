// The command line of quennet-cli.
#pragma once

#include "search/SearchRequest.h"
#include "search/SizeBounds.h"

#include <optional>
#include <string>
#include <vector>

namespace quennet::cli {

struct CliOptions {
    SearchCriteria Criteria;
    SizeCriterion Size; // enabled when --min-kb or --max-kb was given
    bool Columns = false;
    bool Progress = false;
    std::vector<std::string> Roots;
};

extern const char* const kUsage;

// nullopt for an unknown option, a missing argument or no folder (the caller prints kUsage).
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args);

// A number as the window's spin edits read it: text that is not a 32-bit decimal integer
// counts as the minimum; values outside the bounds are brought to the nearer one.
std::int32_t ReadSpinValue(const std::string& text, std::int32_t minValue, std::int32_t maxValue);

} // namespace quennet::cli
