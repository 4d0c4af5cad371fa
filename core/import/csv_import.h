// Building a table set from record-level data in a CSV file: the first row
// names the variables, every further row is one record (or, with a weight
// column, that many identical records), and every distinct value of a column
// is one category, in order of first appearance or by value.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "csv_records.h"
#include "pair_counter.h"
#include "source_columns.h"
#include "table_set.h"

namespace kelvo {

struct CsvImportOptions {
    std::string weightColumn;            // empty: every record counts once
    std::vector<std::string> variables;  // empty: every column but the weight, in file order
    // Or the columns by their place in the file, as a preview of it showed
    // them, whatever their names; when given, the two above are not used.
    std::optional<ChosenColumns> columns;
    bool truncate = false;               // cut names and values to 12 characters instead of refusing
    CategoryOrder order = CategoryOrder::FirstSeen;
};

// Counts the pair tables of CSV text fed to it in pieces of any size. Memory
// does not grow with the number of records.
class CsvTableBuilder {
public:
    explicit CsvTableBuilder(CsvImportOptions options);
    ~CsvTableBuilder();
    CsvTableBuilder(const CsvTableBuilder&) = delete;
    CsvTableBuilder& operator=(const CsvTableBuilder&) = delete;

    // Throws ImportError at the first refusal.
    void Feed(std::string_view bytes);
    // Ends the input and fills `ts` (variables, categories, pair tables).
    // Throws ImportError; `ts` is changed only on success.
    void Finish(InputSide& ts);

    std::int64_t RecordCount() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Reads the CSV file at `path` and fills `ts`. Throws IoError when the file
// cannot be read, ImportError when its data are refused and ImportCancelled
// when `progress` stopped it; `ts` is changed only on success.
void ImportCsv(const std::filesystem::path& path, const CsvImportOptions& options, InputSide& ts,
               const ReadProgress& progress = {});

}  // namespace kelvo
