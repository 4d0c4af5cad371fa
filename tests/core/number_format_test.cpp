#include "number_format.h"

#include <gtest/gtest.h>

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

TEST(FormatIntegerTest, RightAlignsAndNeverCuts) {
    EXPECT_EQ(FormatInteger(123, 8), "     123");
    EXPECT_EQ(FormatInteger(-5, 10), "        -5");
    EXPECT_EQ(FormatInteger(-1234567890, 10), "-1234567890");
    EXPECT_EQ(FormatInteger(0, 0), "0");
}

}  // namespace
}  // namespace kelvo
