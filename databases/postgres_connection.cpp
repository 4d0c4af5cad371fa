// The PostgreSQL back end, through libpq. Rows are taken one at a time, so
// that a refusal (a column with thousands of values) stops the transfer.
#include <libpq-fe.h>

#include <memory>

#include "sql_connection.h"

namespace kelvo {

namespace {

// The first line of a libpq message, which carries the reason.
std::string Reason(const char* message) {
    std::string text = message != nullptr ? message : "";
    const std::size_t end = text.find('\n');
    if (end != std::string::npos) text.resize(end);
    return text;
}

struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class PostgresConnection : public SqlConnection {
public:
    explicit PostgresConnection(const std::string& conninfo) : m_connection(PQconnectdb(conninfo.c_str())) {
        if (m_connection == nullptr) throw ImportError("Cannot connect to the PostgreSQL server: out of memory");
        if (PQstatus(m_connection) != CONNECTION_OK) {
            const std::string reason = Reason(PQerrorMessage(m_connection));
            PQfinish(m_connection);
            throw ImportError("Cannot connect to the PostgreSQL server: " + reason);
        }
        // Values arrive as UTF-8, as from every other source.
        PQsetClientEncoding(m_connection, "UTF8");
    }
    ~PostgresConnection() override { PQfinish(m_connection); }

    SqlDialect Dialect() const override { return SqlDialect::Postgres; }

    std::vector<std::string> Columns(const std::string& table) override {
        const std::string sql = "SELECT * FROM " + QuoteIdentifier(SqlDialect::Postgres, table) + " WHERE false";
        const Result result(PQexec(m_connection, sql.c_str()));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
            const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
            if (state != nullptr && std::string_view(state) == "42P01")  // undefined_table
                throw ImportError("No table named " + Quoted(table) + " in the PostgreSQL database");
            Refused(result.get());
        }
        std::vector<std::string> columns;
        for (int c = 0; c < PQnfields(result.get()); ++c) columns.emplace_back(PQfname(result.get(), c));
        return columns;
    }

    void Query(const std::string& sql, const std::function<void(const std::vector<std::string>&)>& row) override {
        // The query holds the user's own condition: it runs in a read-only
        // transaction, through the extended protocol, which takes one
        // statement only. Nothing is committed; closing the connection ends
        // the transaction should a refusal stop the rows.
        const Result begin(PQexec(m_connection, "BEGIN READ ONLY"));
        if (PQresultStatus(begin.get()) != PGRES_COMMAND_OK) Refused(begin.get());
        if (PQsendQueryParams(m_connection, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) == 0 ||
            PQsetSingleRowMode(m_connection) == 0)
            throw ImportError("The PostgreSQL server refused the query: " + Reason(PQerrorMessage(m_connection)));
        std::vector<std::string> fields;
        // Every result must be taken before the connection can be used or
        // closed in order; a refusal of a row ends the import, and closing the
        // connection then abandons the rest.
        for (;;) {
            const Result result(PQgetResult(m_connection));
            if (!result) break;
            const ExecStatusType status = PQresultStatus(result.get());
            if (status == PGRES_TUPLES_OK) continue;  // the end of the rows
            if (status != PGRES_SINGLE_TUPLE) Refused(result.get());
            fields.resize(static_cast<std::size_t>(PQnfields(result.get())));
            for (std::size_t c = 0; c < fields.size(); ++c) {
                const int field = static_cast<int>(c);
                if (PQgetisnull(result.get(), 0, field)) fields[c].clear();
                else fields[c].assign(PQgetvalue(result.get(), 0, field), static_cast<std::size_t>(PQgetlength(result.get(), 0, field)));
            }
            row(fields);
        }
        const Result end(PQexec(m_connection, "ROLLBACK"));
    }

private:
    [[noreturn]] static void Refused(const PGresult* result) {
        throw ImportError("The PostgreSQL server refused the query: " + Reason(PQresultErrorMessage(result)));
    }

    PGconn* m_connection;
};

}  // namespace

void ImportPostgres(const std::string& conninfo, const SqlImportOptions& options, InputSide& ts) {
    PostgresConnection connection(conninfo);
    ImportThrough(connection, options, ts);
}

}  // namespace kelvo
