#include "output/SizeText.h"

#include <gtest/gtest.h>

namespace {

TEST(SizeText, UnitsAndTwoDecimalsCutNotRounded) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 b"},
        {1023, "1023 b"},
        {1024, "1 KB"},
        {1500, "1.46 KB"},
        {1536, "1.5 KB"},
        {102400, "100 KB"},
        {1024000, "1000 KB"},
        {1048575, "1023.99 KB"},
        {1048576, "1 MB"},
        {1073741823, "1023.99 MB"},
        {5368709120LL, "5 GB"},
        {1288490188LL, "1.19 GB"},
        {1288490189LL, "1.20 GB"},
        {1099511627776LL, "1024 GB"}, // a terabyte and more go on in GB
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(quennet::GetSize(bytes), text) << bytes;
}

} // namespace
