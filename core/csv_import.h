// Building a table set from record-level data in a CSV file: the first row
// names the variables, every further row is one record (or, with a weight
// column, that many identical records), and every distinct value of a column
// is one category, in order of first appearance.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "table_set.h"

namespace kelvo {

// The data cannot become a table set; the message says why and where.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const std::string& message, bool nameTooLong = false)
        : std::runtime_error(message), m_nameTooLong(nameTooLong) {}
    // The refusal is a name or value longer than a name can be, which the
    // option to cut long names would mend.
    bool NameTooLong() const { return m_nameTooLong; }

private:
    bool m_nameTooLong;
};

struct CsvImportOptions {
    std::string weightColumn;            // empty: every record counts once
    std::vector<std::string> variables;  // empty: every column but the weight, in file order
    bool truncate = false;               // cut names and values to 12 characters instead of refusing
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
    void Finish(TableSet& ts);

    std::int64_t RecordCount() const;

private:
    struct State;
    void FeedLines(std::string_view bytes);
    static void OnField(void* data, std::size_t size, void* context);
    static void OnRecordEnd(int terminator, void* context);
    std::unique_ptr<State> m_state;
};

// Reads the CSV file at `path` and fills `ts`. Throws IoError when the file
// cannot be read and ImportError when its data are refused.
void ImportCsv(const std::filesystem::path& path, const CsvImportOptions& options, TableSet& ts);

}  // namespace kelvo
