// Counting inside a database: the one SQL query that counts every pair of
// columns of a table, and the reading of its result into a table set.
//
// The query yields one row per pair of columns and pair of values found:
//
//   kelvo_set          which pair the row counts: a bit per variable, the
//                      first variable the highest bit (2^(n-1)), set for
//                      every variable that is NOT in the pair (the value of
//                      GROUPING over all n columns);
//   one column per     named as the variable; in the two columns of the pair
//   variable           ":" followed by the value as text, or NULL for a NULL
//                      value (a field without the leading ":", such as an
//                      empty one, reads as NULL); the other columns NULL;
//   kelvo_count        the number of records (the sum of their weights);
//   kelvo_bad_weights  with a weight only: how many of the pair's records
//                      have a weight that is not a whole number from 0 to
//                      2147483647 (missing ones included);
//   kelvo_first_row    with the first-seen order only: the smallest record
//                      number (rowid) of the pair of values.
//
// The leading ":" keeps a NULL apart from an empty text in any CSV export.
// The query first counts the records by every combination of the variables'
// values, then every pair from those: with GROUPING SETS where the engine
// has them, for SQLite a UNION ALL of one GROUP BY per pair.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pair_counter.h"
#include "table_set.h"

namespace kelvo {

enum class SqlDialect { Ansi, Postgres, Sqlite, Spark };

// The dialect of a name ("ansi", "postgres", "sqlite", "spark").
std::optional<SqlDialect> DialectNamed(std::string_view name);

// An identifier quoted as the dialect requires: in double quotes (backquotes
// for Spark SQL) with any quote inside doubled, so that whatever the name
// holds is never read as SQL. Throws ImportError for a name with a NUL byte.
std::string QuoteIdentifier(SqlDialect dialect, std::string_view name);

struct PairQueryOptions {
    SqlDialect dialect = SqlDialect::Ansi;
    std::string table;
    std::vector<std::string> columns;  // the variables, in their order (2 to 16)
    std::string weight;                // empty: every record counts once
    std::string where;                 // the user's own SQL condition; empty for none
    CategoryOrder order = CategoryOrder::Value;
};

// Throws ImportError when the order cannot be had in the dialect: the
// first-seen order needs SQLite, whose rowid keeps the order of the records.
void CheckOrderAllowed(SqlDialect dialect, CategoryOrder order);

// The counting query. Throws ImportError when it cannot be made: a
// first-seen order outside SQLite (only its rowid keeps the order of the
// records), a column named as a result column, too few or too many columns.
std::string PairQuery(const PairQueryOptions& spec);

// The query that yields the chosen records themselves, for counting them
// outside the database: one row per record, the variables' values as text
// (a NULL as NULL; SQLite's values as stored, which it reads out as the
// same text), then, with a weight, the weight as a whole number in text,
// NULL where it is not one from 0 to 2147483647. With the first-seen
// order the records come in rowid order. Throws ImportError for a
// first-seen order outside SQLite and for too few or too many columns.
std::string RecordQuery(const PairQueryOptions& spec);

// The refusals that a database import gives whether it counts the records
// itself or reads the counting query's result: no record at all, and records
// whose weight (in column `weightName`, when named) is not valid.
std::string NoRecordsMessage();
std::string InvalidWeightsMessage(const std::string& weightName, std::int64_t records);

// The result rows of the counting query, turned into a table set.
class PairCountsReader {
public:
    // `header`: the result's column names. `where` adds the place of the row
    // at hand to a refusal; `weightName` names the weight column in one.
    // Throws ImportError for a header that is not the query's.
    PairCountsReader(const std::vector<std::string>& header, PairCountOptions options,
                     std::function<std::string()> where = {}, std::string weightName = {});
    ~PairCountsReader();
    PairCountsReader(const PairCountsReader&) = delete;
    PairCountsReader& operator=(const PairCountsReader&) = delete;

    // One result row, a field per header column (a NULL as an empty field).
    void AddRow(const std::vector<std::string>& fields);
    // Throws ImportError; `ts` is changed only on success.
    void Finish(InputSide& ts);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Reads the counting query's result, exported as CSV with a header row, from
// the file at `path` into `ts`. Throws IoError and ImportError.
void ImportCounts(const std::filesystem::path& path, PairCountOptions options, InputSide& ts);

}  // namespace kelvo
