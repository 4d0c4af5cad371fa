// The SQLite back end: the database file opened read-only, so that an import
// can neither create nor change a file.
#include <sqlite3.h>

#include "sql_connection.h"

namespace kelvo {

namespace {

class SqliteConnection : public SqlConnection {
public:
    explicit SqliteConnection(const std::filesystem::path& file) : m_file(file.string()) {
        const int status = sqlite3_open_v2(m_file.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr);
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

    void Query(const std::string& sql, const std::function<void(const std::vector<std::string>&)>& row) override {
        Statement statement(*this, sql, {});
        std::vector<std::string> fields(static_cast<std::size_t>(sqlite3_column_count(statement.handle)));
        for (;;) {
            const int status = sqlite3_step(statement.handle);
            if (status == SQLITE_DONE) return;
            if (status != SQLITE_ROW) Refused();
            for (std::size_t c = 0; c < fields.size(); ++c) {
                const auto* text = sqlite3_column_text(statement.handle, static_cast<int>(c));
                const int size = sqlite3_column_bytes(statement.handle, static_cast<int>(c));
                fields[c].assign(text != nullptr ? reinterpret_cast<const char*>(text) : "",
                                 text != nullptr ? static_cast<std::size_t>(size) : 0);
            }
            row(fields);
        }
    }

private:
    struct Statement {
        Statement(SqliteConnection& connection, const std::string& sql, const std::string& table) {
            if (sqlite3_prepare_v2(connection.m_db, sql.c_str(), static_cast<int>(sql.size()), &handle, nullptr) ==
                SQLITE_OK)
                return;
            const std::string reason = sqlite3_errmsg(connection.m_db);
            if (!table.empty() && reason.starts_with("no such table"))
                throw ImportError("No table named " + Quoted(table) + " in " + Quoted(connection.m_file));
            connection.Refused();
        }
        ~Statement() { sqlite3_finalize(handle); }
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
