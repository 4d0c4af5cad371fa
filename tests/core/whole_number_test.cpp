#include "whole_number.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

struct NumberCase {
    const char* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ParseWholeNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseWholeNumberTest, AcceptsExactlyTheTypedIntegers) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ParseWholeNumber(c.text), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Valid, ParseWholeNumberTest,
    ::testing::Values(NumberCase{"0", 0}, NumberCase{"12", 12}, NumberCase{"007", 7}, NumberCase{"+5", 5},
                      NumberCase{"-5", -5}, NumberCase{"   42", 42}, NumberCase{"  -3", -3},
                      NumberCase{"2147483647", 2147483647}, NumberCase{"-2147483648", INT32_MIN},
                      NumberCase{"000000000000000000001", 1}, NumberCase{"$1F", 31}, NumberCase{"x10", 16},
                      NumberCase{"X10", 16}, NumberCase{"0x10", 16}, NumberCase{"0Xff", 255},
                      NumberCase{"-$10", -16}, NumberCase{" +0x7FFFFFFF", 2147483647},
                      NumberCase{"-0x80000000", INT32_MIN}));

INSTANTIATE_TEST_SUITE_P(
    Invalid, ParseWholeNumberTest,
    ::testing::Values(NumberCase{"", std::nullopt}, NumberCase{"   ", std::nullopt}, NumberCase{"-", std::nullopt},
                      NumberCase{"+", std::nullopt}, NumberCase{"a", std::nullopt}, NumberCase{"12 ", std::nullopt},
                      NumberCase{"1 2", std::nullopt}, NumberCase{"- 5", std::nullopt},
                      NumberCase{"+-5", std::nullopt}, NumberCase{"1.5", std::nullopt},
                      NumberCase{"1,000", std::nullopt}, NumberCase{"\t5", std::nullopt},
                      NumberCase{"2147483648", std::nullopt}, NumberCase{"-2147483649", std::nullopt},
                      NumberCase{"99999999999999999999", std::nullopt}, NumberCase{"$", std::nullopt},
                      NumberCase{"0x", std::nullopt}, NumberCase{"$G", std::nullopt},
                      NumberCase{"0x80000000", std::nullopt}, NumberCase{"12abc", std::nullopt},
                      NumberCase{"1e3", std::nullopt}));

}  // namespace
}  // namespace kelvo
