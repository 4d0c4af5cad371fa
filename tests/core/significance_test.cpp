#include "significance.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

struct SignificanceCase {
    const char* name;
    double coefficient;
    double standardError;
    bool significant;
};

void PrintTo(const SignificanceCase& c, std::ostream* os) { *os << c.name; }

class SignificanceTest : public ::testing::TestWithParam<SignificanceCase> {};

TEST_P(SignificanceTest, DecidesAsTheIntervalAroundTheValue) {
    const auto& c = GetParam();
    EXPECT_EQ(IsSignificant(c.coefficient, c.standardError), c.significant)
        << "coefficient " << c.coefficient << ", standard error " << c.standardError;
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, SignificanceTest,
    ::testing::Values(
        // b = 5.0: s = 3.92 leaves 0 outside the interval, s = 5.88 inside.
        SignificanceCase{"PositiveOutside", 0.05, 2.0, true}, SignificanceCase{"PositiveInside", 0.05, 3.0, false},
        SignificanceCase{"NegativeOutside", -0.07, 3.0, true}, SignificanceCase{"NegativeInside", -0.05, 3.0, false},
        // 100 x c and 1.96 x se round to the same double: the interval just
        // touches 0, which is not significant on either side.
        SignificanceCase{"TouchesFromAbove", 0.0196, 1.0, false},
        SignificanceCase{"TouchesFromBelow", -0.0196, 1.0, false},
        SignificanceCase{"TouchesLarger", 0.0588, 3.0, false},
        // Without a standard error every value but 0 is significant.
        SignificanceCase{"TinyWithoutError", 1e-300, 0.0, true},
        SignificanceCase{"NegativeTinyWithoutError", -1e-300, 0.0, true},
        SignificanceCase{"ZeroWithoutError", 0.0, 0.0, false}, SignificanceCase{"NegativeZero", -0.0, 0.0, false},
        SignificanceCase{"NaNCoefficient", NaN, 1.0, false}, SignificanceCase{"NaNError", 0.5, NaN, false}));

}  // namespace
}  // namespace kelvo
