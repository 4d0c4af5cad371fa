#include <gtest/gtest.h>

#include "latin1.h"

namespace kelvo {
namespace {

struct Utf8Case {
    const char* utf8;
    const char* latin1;  // nullptr: refused
    char32_t refused;    // the character reported, 0 for bytes that are not UTF-8
};

class Utf8ToLatin1Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToLatin1Test, ConvertsOrNamesTheRefusedCharacter) {
    const Utf8Case& c = GetParam();
    char32_t refused = 0xFFFFFFFF;
    const auto latin1 = Utf8ToLatin1(c.utf8, &refused);
    if (c.latin1 == nullptr) {
        EXPECT_FALSE(latin1.has_value());
        EXPECT_EQ(refused, c.refused);
        // Text of unknown encoding that is not Latin-1 in UTF-8 stays as it is.
        EXPECT_EQ(AsLatin1(c.utf8), c.utf8);
    } else {
        ASSERT_TRUE(latin1.has_value());
        EXPECT_EQ(*latin1, c.latin1);
        EXPECT_EQ(Latin1ToUtf8(*latin1), c.utf8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToLatin1Test,
    ::testing::Values(Utf8Case{"Age", "Age", 0}, Utf8Case{"", "", 0},
                      Utf8Case{"Caf\xC3\xA9 \xC3\xBF\xC2\xA0", "Caf\xE9 \xFF\xA0", 0},
                      Utf8Case{"Pre\xE2\x82\xAC", nullptr, 0x20AC},      // euro sign
                      Utf8Case{"\xF0\x9F\x98\x80", nullptr, 0x1F600},     // outside the first plane
                      Utf8Case{"Caf\xE9", nullptr, 0},                    // Latin-1 bytes, not UTF-8
                      Utf8Case{"\xC3", nullptr, 0},                       // cut short
                      Utf8Case{"\xC0\xA9", nullptr, 0},                   // overlong form
                      Utf8Case{"\xED\xA0\x80", nullptr, 0}));             // surrogate

}  // namespace
}  // namespace kelvo
