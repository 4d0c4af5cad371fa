#include "number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

namespace kelvo {
namespace {

struct FixedCase {
    double value;
    int decimals;
    int width;
    const char* text;
};

void PrintTo(const FixedCase& c, std::ostream* os) { *os << c.text; }

class FormatFixedTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTest, MatchesExpectedText) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.decimals, c.width), c.text) << "value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFixedTest,
    ::testing::Values(
        // Exact halves go away from zero; printf would round 6.25 to even.
        FixedCase{6.25, 1, 6, "   6.3"}, FixedCase{-6.25, 1, 6, "  -6.3"}, FixedCase{0.25, 1, 0, "0.3"},
        // 0.15 is stored just below 0.15.
        FixedCase{0.15, 1, 6, "   0.1"},
        // A negative value keeps its sign when it rounds to zero.
        FixedCase{-0.0004 * 100, 1, 6, "  -0.0"}, FixedCase{-0.04, 1, 0, "-0.0"}, FixedCase{0.0, 1, 6, "   0.0"},
        FixedCase{12.345, 1, 6, "  12.3"}, FixedCase{0.1234 * 100, 1, 6, "  12.3"}, FixedCase{-5.0, 1, 6, "  -5.0"},
        FixedCase{99.95, 1, 6, " 100.0"}, FixedCase{-99.96, 1, 6, "-100.0"}, FixedCase{123456.78, 1, 6, "123456.8"},
        FixedCase{9.95, 1, 0, "9.9"},  // stored as 9.949999999999999289...
        FixedCase{0.05, 1, 0, "0.1"},  // stored as 0.05000000000000000277...
        FixedCase{1e-30, 1, 6, "   0.0"}, FixedCase{-1e-30, 1, 6, "  -0.0"}, FixedCase{1e20, 1, 0, "100000000000000000000.0"},
        FixedCase{2.5, 0, 3, "  3"}, FixedCase{0.1234567, 6, 12, "    0.123457"}, FixedCase{1234.5, 1, 8, "  1234.5"},
        FixedCase{-0.116667 * 100, 1, 6, " -11.7"},
        // An exact negative half below 1, and a negative zero, which is not a
        // negative value and has no sign.
        FixedCase{-0.25, 1, 6, "  -0.3"}, FixedCase{-0.0, 1, 6, "   0.0"}));

// Whole numbers take a quicker way than other values; for them printf is exact
// (there is nothing to round), so it can serve as the reference.
TEST(FormatWholeNumberTest, MatchesExactText) {
    std::mt19937_64 random(7);
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 999999999999999.0, -999999999999999.0, 1e15, -1e15,
                                  4503599627370496.0, 123456789012.0};
    for (int n = 0; n < 2000; ++n) {
        const int digits = static_cast<int>(random() % 16);
        double value = static_cast<double>(random() % 1000000000000000ULL);
        for (int d = digits; d < 15; ++d) value = std::trunc(value / 10);
        values.push_back(random() % 2 ? -value : value);
    }
    for (const double value : values)
        for (const int decimals : {0, 1, 6})
            for (const int width : {0, 8, 12}) {
                char expected[64];
                // printf writes -0.0 with its sign; KELVO does not.
                std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, value == 0 ? 0.0 : value);
                EXPECT_EQ(FormatFixed(value, decimals, width), expected) << value;
                std::string appended = "x";
                AppendFixed(appended, value, decimals, width);
                EXPECT_EQ(appended, std::string("x") + expected) << value;
            }
    // Other values are appended as FormatFixed writes them.
    std::string line;
    AppendFixed(line, 6.25, 1, 8);
    AppendFixed(line, -0.0004, 6, 12);
    EXPECT_EQ(line, "     6.3   -0.000400");
}

TEST(FormatIntegerTest, RightAlignsAndNeverCuts) {
    EXPECT_EQ(FormatInteger(123, 8), "     123");
    EXPECT_EQ(FormatInteger(-5, 10), "        -5");
    EXPECT_EQ(FormatInteger(-1234567890, 10), "-1234567890");
    EXPECT_EQ(FormatInteger(0, 0), "0");
}

}  // namespace
}  // namespace kelvo
