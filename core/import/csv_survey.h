// A first look at a CSV file of records, for choosing what to import: its
// columns with their number of distinct values, their first values and
// whether every value could be a weight.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "csv_records.h"

namespace kelvo {

struct CsvColumnSurvey {
    std::string name;                 // as the header gives it (trimmed, Latin-1)
    std::size_t distinct = 0;         // distinct values, counted up to MaxCategories + 1
    std::vector<std::string> values;  // the first MaxCategories distinct values, in order of appearance
    bool wholeNumbers = true;         // every value is a whole number from 0 to 2147483647
    // Where the name or one of the first values holds a control character,
    // which no name or value may hold ("name holds a line end", "value on
    // line 4 holds a tab"); empty when none does.
    std::string controlCharacter;
    bool MoreThanCategories() const;  // more distinct values than a variable can have
};

struct CsvSurvey {
    std::vector<CsvColumnSurvey> columns;
    std::int64_t records = 0;
};

// Reads the whole file. Throws IoError, ImportError (a file that is not CSV
// records: malformed quotes, a row of another length, no header) and
// ImportCancelled.
CsvSurvey SurveyCsv(const std::filesystem::path& path, const ReadProgress& progress = {});

}  // namespace kelvo
