#include "test_support.h"

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "table_set_file.h"

namespace kelvo::test {

TempDir::TempDir() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / ("kelvo-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(m_path)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Make read-only folders made by a test removable again.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
        if (entry.is_directory(ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

::testing::AssertionResult MatchesGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = std::filesystem::path(KELVO_GOLDEN_DIR) / name;
    const char* update = std::getenv("KELVO_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        WriteFile(path, actual);
        return ::testing::AssertionFailure() << "golden file " << name << " rewritten; run again without KELVO_UPDATE_GOLDEN";
    }
    if (!std::filesystem::exists(path)) return ::testing::AssertionFailure() << "golden file missing: " << path;
    const std::string expected = ReadFile(path);
    if (expected == actual) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const auto around = [at](const std::string& s) { return s.substr(at > 40 ? at - 40 : 0, 80); };
    return ::testing::AssertionFailure() << "differs from golden " << name << " at byte " << at << "\n expected: ["
                                         << around(expected) << "]\n actual:   [" << around(actual) << "]";
}

::testing::AssertionResult NearRelative(double actual, double expected, double tolerance) {
    const double bound = tolerance * std::max(1.0, std::fabs(expected));
    if (std::fabs(actual - expected) <= bound) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " differs from " << expected << " by more than " << bound;
}

TableSet MakeTableSet(std::initializer_list<VariableSpec> variables) {
    TableSet ts;
    for (const VariableSpec& spec : variables) {
        const int v = ++ts.VariableCount;
        ts.VariableNames[v] = spec.name;
        ts.CategoryCounts[v] = static_cast<std::uint8_t>(spec.categories.size());
        for (std::size_t n = 0; n < spec.categories.size(); ++n) ts.CategoryNames[v][n + 1] = spec.categories[n];
    }
    return ts;
}

void SetTable(TableSet& ts, int a, int b, const std::vector<std::vector<std::int32_t>>& rows) {
    for (std::size_t x = 0; x < rows.size(); ++x)
        for (std::size_t y = 0; y < rows[x].size(); ++y) {
            const int r = static_cast<int>(x) + 1, c = static_cast<int>(y) + 1;
            if (a > b) ts.PairTables[PairIndex(a, b)][r][c] = rows[x][y];
            else ts.PairTables[PairIndex(b, a)][c][r] = rows[x][y];
        }
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_oldCurrent = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_oldCurrent;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}

std::filesystem::path SourcePath(const std::string& relative) {
    return std::filesystem::path(KELVO_SOURCE_DIR) / relative;
}

std::unique_ptr<TableSet> ReadExample(const std::string& name) {
    auto ts = std::make_unique<TableSet>();
    CollectingWarningSink warnings;
    OpenTableSet(*ts, SourcePath("examples/" + name).string(), warnings);
    return ts;
}

}  // namespace kelvo::test
