// Runs every fuzz target over its seed corpus and over every input that once
// made it fail, so that a fixed fault stays fixed.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_bodies.h"
#include "test_support.h"

namespace kelvo {
namespace {

TEST(FuzzRegressionTest, EveryKeptInputPasses) {
    int inputs = 0;
    for (const fuzz::FuzzTarget& target : fuzz::AllTargets()) {
        for (const char* kind : {"corpus", "regressions"}) {
            const auto folder = std::filesystem::path(KELVO_FUZZ_DIR) / kind / target.name;
            if (!std::filesystem::exists(folder)) continue;
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                const std::string bytes = test::ReadFile(entry.path());
                SCOPED_TRACE(entry.path().string());
                target.body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
                ++inputs;
            }
        }
    }
    EXPECT_GT(inputs, 4) << "the seed corpus is missing";
}

}  // namespace
}  // namespace kelvo
