#include "number_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

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

// The rule spelled out on printf's exact decimal expansion: 18 significant
// digits, then the first dropped digit rounds the kept ones away from zero.
std::string ByExpansion(double value, int decimals, int width) {
    char expansion[64];
    std::snprintf(expansion, sizeof expansion, "%.17e", std::fabs(value));
    std::string digits;
    const char* p = expansion;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    const int kept = std::atoi(p + 1) + 1 + decimals;
    // Digits as a whole number of 10^-decimals, then rounded.
    std::string count = kept <= 0 ? "0" : (digits + std::string(std::max(0, kept - 18), '0')).substr(0, kept);
    const char dropped = kept < 0 ? '0' : kept < 18 ? digits[static_cast<std::size_t>(kept)] : '0';
    if (dropped >= '5') {
        std::size_t i = count.size();
        while (i > 0 && count[i - 1] == '9') count[--i] = '0';
        if (i == 0) count.insert(0, "1");
        else ++count[i - 1];
    }
    if (count.size() <= static_cast<std::size_t>(decimals)) count.insert(0, decimals + 1 - count.size(), '0');
    while (count.size() > static_cast<std::size_t>(decimals) + 1 && count[0] == '0') count.erase(0, 1);
    if (decimals > 0) count.insert(count.size() - decimals, ".");
    if (value < 0) count.insert(0, "-");
    if (count.size() < static_cast<std::size_t>(width)) count.insert(0, width - count.size(), ' ');
    return count;
}

// Values at and next to every kind of rounding boundary, of every magnitude:
// most are decided without the decimal expansion, some (within half an
// 18th-digit unit of a half) need it; the texts must not tell which.
TEST(FormatFixedBoundaryTest, AgreesWithTheDecimalExpansionNearEveryBoundary) {
    std::mt19937_64 random(11);
    std::vector<double> values = {0.05, 0.15, 0.25, 0.35, 0.45, 9.95, 99.95, 0.0000005, 0.0000015, 1e-7, 4.9999999e-7,
                                  5e-7, 123456789.0000005, 99999999.9999995, 1e14 + 0.5, 0.49999999999999994,
                                  std::nextafter(0.5, 0.0), 5e-324, 2.2250738585072014e-308, 1e-300};
    for (int n = 0; n < 10000; ++n) {
        const int decimals = std::array{0, 1, 6}[random() % 3];
        const double scale = std::pow(10.0, decimals);
        // A half of the last kept decimal, at up to 15 digits ...
        const double whole = std::trunc(std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 64)));
        double value = (std::fmod(whole, 1e15) + 0.5) / scale;
        // ... or a plain value of any magnitude.
        if (n % 4 == 0) value = std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 120));
        for (int step = -3; step <= 3; ++step) {
            double near = value;
            for (int s = 0; s < std::abs(step); ++s) near = std::nextafter(near, step < 0 ? 0.0 : 1e300);
            values.push_back(random() % 2 ? -near : near);
        }
    }
    for (const int width : {0, 8, 12})
        for (const int decimals : {0, 1, 6}) {
            std::string row;
            std::string expectedRow;
            for (const double value : values) {
                const std::string expected = ByExpansion(value, decimals, width);
                ASSERT_EQ(FormatFixed(value, decimals, width), expected) << std::hexfloat << value << " " << decimals;
                expectedRow += expected;
            }
            AppendFixedRow(row, values, decimals, width);
            EXPECT_EQ(row, expectedRow);
        }
}

TEST(FormatIntegerTest, RightAlignsAndNeverCuts) {
    EXPECT_EQ(FormatInteger(123, 8), "     123");
    EXPECT_EQ(FormatInteger(-5, 10), "        -5");
    EXPECT_EQ(FormatInteger(-1234567890, 10), "-1234567890");
    EXPECT_EQ(FormatInteger(0, 0), "0");
}

// A p-value below 0.0001 is said to be so, never shown as 0.0000 (which
// reads as impossible) nor rounded up to 0.0001.
TEST(AppendPValueTest, SmallValuesAreBelowTheLastDecimal) {
    const std::vector<std::pair<double, std::string>> cases = {
        {1e-23, "< 0.0001"},   {1e-5, "< 0.0001"},    {0.0, "< 0.0001"},   {0.00005, "< 0.0001"},
        {0.0000999, "< 0.0001"}, {0.0001, "0.0001"}, {0.000151, "0.0002"}, {0.7580249, "0.7580"},
        {1.0, "1.0000"}};
    for (const auto& [value, text] : cases) {
        std::string out = "p ";
        AppendPValue(out, value);
        EXPECT_EQ(out, "p " + text) << value;
    }
}

}  // namespace
}  // namespace kelvo
