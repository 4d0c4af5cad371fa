// The largest model a table set allows (16 variables of 16 categories, the
// first dependent on the 15 others: 241 parameters), estimated by kelvo-cli:
// its JSON and its estimation log are fixed to the last bit, so that any
// change to the order or rounding of a sum shows.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <cstdio>
#include <string>

#include "cli_runner.h"
#include "largest_table_set.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr), 1);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

TEST(CliEstimateLargestTest, JsonAndLogKeepEveryBit) {
    test::TempDir dir;
    const auto ts = test::MakeCountedLargestTableSet();
    test::WriteFile(dir / "largest.tbl", TableSetText(*ts));
    std::string predictors;
    for (int v = 2; v <= MaxVariables; ++v) predictors += (v > 2 ? "," : "") + ts->VariableNames[v];

    const auto result = test::RunCli({"estimate", "largest.tbl", "--dependent", ts->VariableNames[1],
                                      "--predictors", predictors, "--json", "--log", "estimation.log"},
                                     dir.path().string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Every byte the estimation gave before the model summary joined the
    // JSON stays; the summary's "fit" stands between the results and the
    // warnings.
    const std::size_t fit = result.out.find(", \"fit\": {");
    const std::size_t warnings = result.out.find(", \"warnings\": ");
    ASSERT_NE(fit, std::string::npos);
    ASSERT_LT(fit, warnings);
    EXPECT_TRUE(test::MatchesGolden("cli_estimate_largest.json", result.out.substr(0, fit) + result.out.substr(warnings)));

    const std::string log = test::ReadFile(dir / "estimation.log");
    EXPECT_EQ(log.size(), 1240676u);
    EXPECT_EQ(Sha256Hex(log), "097ac7d1636303b3fc43d8b3f3991a163053856ddf670d320a97cc783564e580");
}

}  // namespace
}  // namespace kelvo
