#include "mainwindow/NameOrder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quennet {

namespace {

int Compare(NameCompare compare, char a, const char* restA, char b, const char* restB) {
    const std::string x = std::string(1, a) + restA;
    const std::string y = std::string(1, b) + restB;
    return compare(x.c_str(), y.c_str());
}

} // namespace

CollationTable::CollationTable(NameCompare compare) {
    std::vector<char> chars;
    for (int c = 1; c < 256; ++c)
        chars.push_back(static_cast<char>(c));
    std::stable_sort(chars.begin(), chars.end(), [compare](char a, char b) {
        const char x[2] = {a, '\0'};
        const char y[2] = {b, '\0'};
        return compare(x, y) < 0;
    });
    int rank = 0;
    int group = 1;
    char previous = 0; // the last character weighed at the first level
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char c = chars[i];
        if (i == 0 || Compare(compare, chars[i - 1], "", c, "") != 0)
            ++rank;
        // A character the first level skips ("-" and "'" in word sort): "Xa" still sorts
        // before "b", and "Xz" after "y".
        const bool skipped = Compare(compare, c, "a", 'b', "") < 0 && Compare(compare, c, "z", 'y', "") > 0;
        if (!skipped) {
            // Two neighbours of one first-level weight differ less than "z" from "a".
            if (previous == 0 || Compare(compare, previous, "z", c, "a") < 0)
                group = std::min(group + 1, 255);
            primary_[static_cast<unsigned char>(c)] = static_cast<unsigned char>(group);
            previous = c;
        }
        rank_[static_cast<unsigned char>(c)] = static_cast<unsigned char>(std::min(rank, 255));
    }
}

void CollationTable::AppendKey(const char* name, std::string& key) const {
    for (const char* c = name; *c; ++c) {
        const unsigned char weight = primary_[static_cast<unsigned char>(*c)];
        if (weight)
            key.push_back(static_cast<char>(weight));
    }
    key.push_back('\x01');
    for (const char* c = name; *c; ++c)
        key.push_back(static_cast<char>(rank_[static_cast<unsigned char>(*c)]));
    key.push_back('\0');
}

#ifdef _WIN32
int CompareNames(const char* a, const char* b) {
    return lstrcmpA(a, b);
}

void NameKey(const char* name, std::string& key) {
    static const CollationTable table(CompareNames);
    table.AppendKey(name, key);
}
#endif

} // namespace quennet
