// Table sets from a table in a database. By default the records are read
// in one pass over the chosen columns and counted here, as a CSV file is; a
// database far away can instead count them itself with the counting query
// of pair_query.h, so that only its result (at most a few thousand rows)
// travels.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "pair_counter.h"
#include "table_set.h"

namespace kelvo {

struct SqlImportOptions {
    std::string table;
    std::vector<std::string> columns;  // empty: every column but the weight, in the table's order
    std::string weight;                // empty: every record counts once
    std::string where;                 // the user's own SQL condition; empty for none
    PairCountOptions counting;         // truncate; order (first-seen only for SQLite)
    bool countInDatabase = false;      // run the counting query instead of reading the records
};

// Counts the table in the SQLite database file `file` (opened read-only).
// Throws ImportError for every refusal, including a database that cannot be
// opened; `ts` is changed only on success.
void ImportSqlite(const std::filesystem::path& file, const SqlImportOptions& options, InputSide& ts);

// Counts the table in the PostgreSQL database that `conninfo` names (libpq's
// "host=... dbname=..." or a postgresql:// address), in a read-only
// transaction. Throws ImportError, also when the server cannot be reached;
// `ts` is changed only on success.
void ImportPostgres(const std::string& conninfo, const SqlImportOptions& options, InputSide& ts);

}  // namespace kelvo
