#include "fuzz_bodies.h"

#include <cstdlib>
#include <memory>
#include <string_view>

#include "csv_import.h"
#include "io_error.h"
#include "table_set_file.h"

namespace kelvo::fuzz {

namespace {

// An invariant broken: stop loudly so that the fuzzer keeps the input.
void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

void TableSetReader(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto ts = std::make_unique<TableSet>();
    CollectingWarningSink warnings;
    try {
        ReadTableSetFromText(*ts, text, warnings);
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
    ReadTableSetFromText(*again, written, none);
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
    };
    return targets;
}

}  // namespace kelvo::fuzz
