// What the importer needs of a database connection; one implementation per
// back end. Internal to the database back ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "database_import.h"
#include "pair_query.h"

namespace kelvo {

class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    virtual SqlDialect Dialect() const = 0;
    // The column names of `table`, in the table's order. Throws ImportError,
    // "No table named ..." when there is none.
    virtual std::vector<std::string> Columns(const std::string& table) = 0;
    // Runs `sql` and hands every row to `row`, a NULL as an empty field.
    // Throws ImportError with the database's message when it refuses.
    virtual void Query(const std::string& sql, const std::function<void(const std::vector<std::string>&)>& row) = 0;
};

// The import through any connection: the columns chosen, the counting query
// run, its rows counted.
void ImportThrough(SqlConnection& connection, const SqlImportOptions& options, InputSide& ts);

}  // namespace kelvo
