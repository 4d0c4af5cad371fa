// The SQLite back end: the database file opened read-only, so that an import
// can neither create nor change a file. The connection serves one thread:
// it needs no lock of its own, which would cost a lock per value read.
#include <sqlite3.h>

#include "sql_connection.h"

namespace kelvo {

namespace {

class SqliteConnection : public SqlConnection {
public:
    explicit SqliteConnection(const std::filesystem::path& file) : m_file(file.string()) {
        const int status = sqlite3_open_v2(m_file.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        if (status != SQLITE_OK) {
            const std::string reason = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(status);
            sqlite3_close(m_db);
            m_db = nullptr;
            throw ImportError("Cannot open the SQLite database " + Quoted(m_file) + ": " + reason);
        }
    }
    ~SqliteConnection() override { sqlite3_close(m_db); }

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }

    std::vector<std::string> Columns(const std::string& table) override {
        Statement statement(*this, "SELECT * FROM " + QuoteIdentifier(SqlDialect::Sqlite, table), table);
        std::vector<std::string> columns;
        for (int c = 0; c < sqlite3_column_count(statement.handle); ++c)
            columns.emplace_back(sqlite3_column_name(statement.handle, c));
        return columns;
    }

    void Query(const std::string& sql, const std::function<void(SqlRow)>& row) override {
        Statement statement(*this, sql, {});
        std::vector<SqlField> fields(static_cast<std::size_t>(sqlite3_column_count(statement.handle)));
        for (;;) {
            const int status = sqlite3_step(statement.handle);
            if (status == SQLITE_DONE) return;
            if (status != SQLITE_ROW) Refused();
            // The texts stay SQLite's own until the next step: no copy.
            for (std::size_t c = 0; c < fields.size(); ++c) {
                const int column = static_cast<int>(c);
                const auto* text = sqlite3_column_text(statement.handle, column);
                if (text == nullptr) {
                    // A NULL, or no memory for the text.
                    if (sqlite3_column_type(statement.handle, column) != SQLITE_NULL) Refused();
                    fields[c] = {{}, true};
                    continue;
                }
                const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement.handle, column));
                fields[c] = {std::string_view(reinterpret_cast<const char*>(text), size), false};
            }
            row(fields);
        }
    }

private:
    struct Statement {
        Statement(SqliteConnection& connection, const std::string& sql, const std::string& table) {
            const char* tail = nullptr;
            if (sqlite3_prepare_v2(connection.m_db, sql.c_str(), static_cast<int>(sql.size()), &handle, &tail) !=
                SQLITE_OK) {
                const std::string reason = sqlite3_errmsg(connection.m_db);
                if (!table.empty() && reason.starts_with("no such table"))
                    throw ImportError("No table named " + Quoted(table) + " in " + Quoted(connection.m_file));
                connection.Refused();
            }
            // SQLite compiles the first statement only: a condition that
            // ends it and starts another is refused, not cut off.
            sqlite3_stmt* next = nullptr;
            const int rest = sqlite3_prepare_v2(connection.m_db, tail, -1, &next, nullptr);
            sqlite3_finalize(next);
            if (rest != SQLITE_OK || next != nullptr) {
                sqlite3_finalize(handle);
                throw ImportError("The SQLite database " + Quoted(connection.m_file) +
                                  " refused the query: it holds more than one statement");
            }
        }
        ~Statement() { sqlite3_finalize(handle); }
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;
        sqlite3_stmt* handle = nullptr;
    };

    [[noreturn]] void Refused() {
        throw ImportError("The SQLite database " + Quoted(m_file) + " refused the query: " + sqlite3_errmsg(m_db));
    }

    std::string m_file;
    sqlite3* m_db = nullptr;
};

}  // namespace

void ImportSqlite(const std::filesystem::path& file, const SqlImportOptions& options, InputSide& ts) {
    SqliteConnection connection(file);
    ImportThrough(connection, options, ts);
}

}  // namespace kelvo
