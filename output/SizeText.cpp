#include "output/SizeText.h"

#include <cstdio>

namespace quennet {

std::string GetSize(std::int64_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + " b";

    double divisor;
    const char* unit;
    if (bytes < (1LL << 20)) {
        divisor = 1024.0;
        unit = "KB";
    } else if (bytes < (1LL << 30)) {
        divisor = 1048576.0;
        unit = "MB";
    } else {
        // Sizes of a terabyte and more go on counting in GB.
        divisor = 1073741824.0;
        unit = "GB";
    }
    // The divisors are powers of two, so the quotient is exact in a double. It is written with
    // 15 significant digits first (1.19999999925494 stays below 1.2), then cut to two decimals.
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", static_cast<double>(bytes) / divisor);
    std::string number = text;
    for (char& c : number)
        if (c == ',')
            c = '.'; // whatever the C locale says, the separator is "."
    const auto dot = number.find('.');
    if (dot != std::string::npos && number.size() > dot + 3)
        number.resize(dot + 3);
    return number + " " + unit;
}

} // namespace quennet
