// The time a --changed-within or --changed-before option names, as fd spells it: a duration
// back from now ("90s", "30min", "12h", "7d", "2w") or a local date and time ("2026-12-01",
// "2026-12-01 14:30", "2026-12-01 14:30:15"; a date alone is the start of that day).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quennet::cli {

// Seconds since 1970 (UTC); nullopt for text that is neither form, or a date that does not exist.
std::optional<std::int64_t> ParseTimeArgument(const std::string& text, std::int64_t now);

} // namespace quennet::cli
