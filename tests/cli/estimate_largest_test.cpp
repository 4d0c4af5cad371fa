// The largest model a table set allows (16 variables of 16 categories, the
// first dependent on the 15 others: 241 parameters), estimated by kelvo-cli:
// its JSON and its estimation log are fixed to the last bit, so that any
// change to the order or rounding of a sum shows.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_runner.h"
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

// A consistent table set of 16 variables of 16 categories, counted from
// 50,000 records that a fixed linear congruential generator draws (so the
// counts are the same with every standard library). A hidden class links the
// variables, so the predictors are correlated and every category occurs.
TableSet CountedLargestTableSet() {
    TableSet ts;
    ts.VariableCount = MaxVariables;
    ResetCategoryNames(ts);
    for (int v = 1; v <= MaxVariables; ++v) {
        ts.VariableNames[v] = "Variable" + std::to_string(v);
        ts.CategoryCounts[v] = MaxCategories;
    }
    std::uint64_t state = 20240611;
    const auto draw = [&state](int n) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(n));
    };
    std::vector<int> record(MaxVariables + 1);
    for (int n = 0; n < 50000; ++n) {
        const int hidden = draw(3);
        for (int v = 1; v <= MaxVariables; ++v)
            record[v] = draw(5) < 2 ? (hidden * 5 + v) % MaxCategories + 1 : draw(MaxCategories) + 1;
        for (int i = 2; i <= MaxVariables; ++i)
            for (int j = 1; j < i; ++j) ++ts.PairTables[PairIndex(i, j)][record[i]][record[j]];
    }
    return ts;
}

TEST(CliEstimateLargestTest, JsonAndLogKeepEveryBit) {
    test::TempDir dir;
    const TableSet ts = CountedLargestTableSet();
    test::WriteFile(dir / "largest.tbl", TableSetText(ts));
    std::string predictors;
    for (int v = 2; v <= MaxVariables; ++v) predictors += (v > 2 ? "," : "") + ts.VariableNames[v];

    const auto result = test::RunCli({"estimate", "largest.tbl", "--dependent", ts.VariableNames[1],
                                      "--predictors", predictors, "--json", "--log", "estimation.log"},
                                     dir.path().string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(test::MatchesGolden("cli_estimate_largest.json", result.out));

    const std::string log = test::ReadFile(dir / "estimation.log");
    EXPECT_EQ(log.size(), 1240676u);
    EXPECT_EQ(Sha256Hex(log), "097ac7d1636303b3fc43d8b3f3991a163053856ddf670d320a97cc783564e580");
}

}  // namespace
}  // namespace kelvo
