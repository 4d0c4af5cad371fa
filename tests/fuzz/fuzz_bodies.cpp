#include "fuzz_bodies.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <memory>
#include <string_view>
#include <unistd.h>

#include "csv_import.h"
#include "estimation.h"
#include "report.h"
#include "io_error.h"
#include "table_set_file.h"

namespace kelvo::fuzz {

namespace {

// An invariant broken: stop loudly so that the fuzzer keeps the input.
void Require(bool condition) {
    if (!condition) std::abort();
}

// Reads the input after its first `header` bytes as a table-set file and
// stores the model that the header bytes choose. Returns nothing when the
// file is refused or has fewer than two variables.
constexpr std::size_t ModelHeader = 3;
std::unique_ptr<TableSet> TableSetWithModel(const std::uint8_t* data, std::size_t size) {
    if (size < ModelHeader) return nullptr;
    auto ts = std::make_unique<TableSet>();
    CollectingWarningSink warnings;
    try {
        ReadInputSide(*ts, std::string_view(reinterpret_cast<const char*>(data + ModelHeader), size - ModelHeader),
                             warnings);
    } catch (const IoError&) {
        return nullptr;
    }
    const int count = ts->VariableCount;
    if (count < 2) return nullptr;
    const int dependent = 1 + data[0] % count;
    const unsigned mask = data[1] | (data[2] << 8);
    for (int v = 1; v <= count; ++v) ts->VariableRoles[v] = v == dependent ? 1 : ((mask >> (v - 1)) & 1U) ? 2 : 0;
    if (std::none_of(ts->VariableRoles.begin() + 1, ts->VariableRoles.begin() + count + 1, [](int r) { return r == 2; }))
        ts->VariableRoles[dependent == 1 ? 2 : 1] = 2;
    SelectModelFromRoles(*ts, *ts);
    return ts;
}

// The estimation log of every run (a log is written only to a regular
// file): one file of this process in the temporary folder, removed at exit.
const std::filesystem::path& ScratchLog() {
    struct Log {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("kelvo-fuzz-" + std::to_string(::getpid()) + ".log");
        ~Log() {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    };
    static const Log log;
    return log.path;
}

}  // namespace

void Estimation(const std::uint8_t* data, std::size_t size) {
    auto ts = TableSetWithModel(data, size);
    if (!ts) return;
    CollectingWarningSink warnings;
    bool computed = false;
    try {
        computed = ComputeEstimates(*ts, warnings, ScratchLog());
    } catch (const std::invalid_argument&) {
        return;  // a model the estimation refuses (a variable without categories)
    }
    Require(computed == (ts->EstimationError == 0));
    Require(ts->ParameterCount >= 1 && ts->ParameterCount <= MaxParameters);
    if (!computed) Require(!warnings.warnings.empty() && warnings.warnings.back() == "Error: Matrix is singular !");
}

void ReportWriters(const std::uint8_t* data, std::size_t size) {
    auto ts = TableSetWithModel(data, size);
    if (!ts) return;
    int m = 1;
    for (int t = 1; t <= ts->PredictorCount; ++t) m += ts->CategoryCounts[ts->PredictorList[t]];
    // Result values from the input's bytes, eight at a time, round and round.
    std::size_t at = 0;
    const auto next = [&] {
        std::uint8_t bytes[8];
        for (std::uint8_t& b : bytes) b = data[at++ % size];
        double value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    };
    for (int p = 1; p <= m; ++p)
        for (int d = 1; d <= MaxCategories; ++d) {
            ts->Coefficients[p][d] = next();
            ts->StandardErrors[p][d] = next();
        }
    ts->OutputSections = {false, true, true, true, true};
    ts->ReportFileName = "/dev/null";
    for (const std::uint8_t type : {HtmlReport, TextReport}) {
        ts->ReportType = type;
        try {
            WriteReport(*ts);
        } catch (const std::invalid_argument&) {
            return;  // a selection the writers refuse (for example a predictor with 0 categories)
        }
    }
}

void TableSetReader(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto ts = std::make_unique<TableSet>();
    CollectingWarningSink warnings;
    try {
        ReadInputSide(*ts, text, warnings);
    } catch (const IoError&) {
        return;
    }
    Require(ts->VariableCount >= 0 && ts->VariableCount <= MaxVariables);
    for (int v = 1; v <= ts->VariableCount; ++v) Require(ts->CategoryCounts[v] <= MaxCategories);
    // What was read writes out and reads back to the same text, as long as
    // the names allow it (distinct, without "*", without line ends).
    for (int v = 1; v <= ts->VariableCount; ++v) {
        const std::string& name = ts->VariableNames[v];
        if (name.find_first_of("*\r\n") != std::string::npos || FindVariable(*ts, name) != v) return;
        for (int n = 1; n <= ts->CategoryCounts[v]; ++n)
            if (ts->CategoryNames[v][n].str().find_first_of("\r\n") != std::string::npos) return;
    }
    const std::string written = TableSetText(*ts);
    auto again = std::make_unique<TableSet>();
    CollectingWarningSink none;
    ReadInputSide(*again, written, none);
    Require(none.warnings.empty());
    Require(TableSetText(*again) == written);
}

void CsvImport(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    // The first byte picks the piece size and the options.
    const std::size_t piece = 1 + data[0] % 17;
    CsvImportOptions options;
    options.truncate = (data[0] & 0x80) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    auto ts = std::make_unique<TableSet>();
    try {
        CsvTableBuilder builder(options);
        for (std::size_t at = 0; at < text.size(); at += piece) builder.Feed(text.substr(at, piece));
        builder.Finish(*ts);
    } catch (const ImportError&) {
        return;
    }
    Require(ts->VariableCount >= 2 && ts->VariableCount <= MaxVariables);
    for (int v = 1; v <= ts->VariableCount; ++v)
        Require(ts->CategoryCounts[v] >= 2 && ts->CategoryCounts[v] <= MaxCategories);
}

const std::vector<FuzzTarget>& AllTargets() {
    static const std::vector<FuzzTarget> targets = {
        {"table_set_reader", TableSetReader},
        {"csv_import", CsvImport},
        {"estimation", Estimation},
        {"report_writers", ReportWriters},
    };
    return targets;
}

}  // namespace kelvo::fuzz
