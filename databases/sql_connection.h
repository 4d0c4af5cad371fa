// What the importer needs of a database connection; one implementation per
// back end. Internal to the database back ends.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "database_import.h"
#include "pair_query.h"

namespace kelvo {

// One field of a result row: its text, or NULL. The text is valid only
// during the call that hands the row over.
struct SqlField {
    std::string_view text;
    bool null = false;
};
using SqlRow = std::span<const SqlField>;

class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    virtual SqlDialect Dialect() const = 0;
    // The column names of `table`, in the table's order. Throws ImportError,
    // "No table named ..." when there is none.
    virtual std::vector<std::string> Columns(const std::string& table) = 0;
    // Runs `sql`, one query that reads and never writes, and hands its rows
    // to `row` one at a time as they arrive: the result is never held whole.
    // Throws ImportError with the database's message when it refuses, and
    // passes on what `row` throws, which ends the query.
    virtual void Query(const std::string& sql, const std::function<void(SqlRow)>& row) = 0;
};

// The import through any connection: the columns chosen, the records read
// and counted here or, when asked, counted by the database's counting query.
void ImportThrough(SqlConnection& connection, const SqlImportOptions& options, InputSide& ts);

}  // namespace kelvo
