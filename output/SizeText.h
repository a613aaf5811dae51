#pragma once

#include <cstdint>
#include <string>

namespace quennet {

// "1023 b", "1.5 KB", "1023.99 KB", "5 GB": two decimals at most, cut rather than rounded.
std::string GetSize(std::int64_t bytes);

} // namespace quennet
