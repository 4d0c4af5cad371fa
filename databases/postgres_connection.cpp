// The PostgreSQL back end, through libpq. Everything runs in a read-only
// transaction, through the extended protocol (one statement a query), and
// the rows come through COPY ... TO STDOUT, one at a time as the server
// sends them: a refusal (a value too long) stops the transfer, and memory
// stays flat however many records there are.
#include <libpq-fe.h>

#include <algorithm>
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

struct CopyDataDeleter {
    void operator()(char* data) const { PQfreemem(data); }
};

// The fields of one row of COPY's text format: separated by tabs, \N for a
// NULL, and a backslash before a backslash and before the letters that
// stand for control characters (\n, \t, ...), as COPY TO writes them.
class CopyTextRow {
public:
    SqlRow Split(std::string_view line) {
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        const auto count = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
        // Sized before any view into them is taken: views stay valid.
        if (m_unescaped.size() < count) m_unescaped.resize(count);
        m_fields.resize(count);
        std::size_t start = 0;
        for (std::size_t c = 0; c < count; ++c) {
            const std::size_t end = std::min(line.find('\t', start), line.size());
            const std::string_view raw = line.substr(start, end - start);
            start = end + 1;
            SqlField& field = m_fields[c];
            field.null = raw == "\\N";
            field.text = field.null || raw.find('\\') == std::string_view::npos ? raw : Unescape(raw, m_unescaped[c]);
            if (field.null) field.text = {};
        }
        return m_fields;
    }

private:
    static std::string_view Unescape(std::string_view raw, std::string& text) {
        text.clear();
        for (std::size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] != '\\' || k + 1 == raw.size()) {
                text.push_back(raw[k]);
                continue;
            }
            const char next = raw[++k];
            switch (next) {
                case 'b': text.push_back('\b'); break;
                case 'f': text.push_back('\f'); break;
                case 'n': text.push_back('\n'); break;
                case 'r': text.push_back('\r'); break;
                case 't': text.push_back('\t'); break;
                case 'v': text.push_back('\v'); break;
                default: text.push_back(next);  // a backslash, or a character that stands for itself
            }
        }
        return text;
    }

    std::vector<SqlField> m_fields;
    std::vector<std::string> m_unescaped;  // per field, for those with escapes
};

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
        // The import only reads, the user's condition included: a read-only
        // transaction, never committed. In it, the planner may give the
        // counting query's pairs hash tables: it cannot know that each holds
        // at most 17 x 17 pairs of values, and at the default memory it
        // sorts the combinations again for most pairs instead, several times
        // slower.
        for (const char* command : {"START TRANSACTION READ ONLY", "SET LOCAL work_mem = '256MB'"}) {
            const Result done(Execute(command));
            if (PQresultStatus(done.get()) != PGRES_COMMAND_OK) {
                const std::string reason = Reason(PQresultErrorMessage(done.get()));
                PQfinish(m_connection);
                throw ImportError("The PostgreSQL server refused the query: " + reason);
            }
        }
    }
    ~PostgresConnection() override { PQfinish(m_connection); }

    SqlDialect Dialect() const override { return SqlDialect::Postgres; }

    std::vector<std::string> Columns(const std::string& table) override {
        const std::string sql = "SELECT * FROM " + QuoteIdentifier(SqlDialect::Postgres, table) + " WHERE false";
        const Result result(Execute(sql));
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

    void Query(const std::string& sql, const std::function<void(SqlRow)>& row) override {
        // The query is parsed on its own first: it must be one query (the
        // extended protocol takes one statement), so that the COPY holds
        // that query and nothing of the user's condition reaches the COPY's
        // own words (the line end after it ends a comment at its end).
        const Result parsed(PQprepare(m_connection, "", sql.c_str(), 0, nullptr));
        if (PQresultStatus(parsed.get()) != PGRES_COMMAND_OK) Refused(parsed.get());
        const Result started(Execute("COPY (\n" + sql + "\n) TO STDOUT"));
        if (PQresultStatus(started.get()) != PGRES_COPY_OUT) Refused(started.get());
        CopyTextRow fields;
        for (;;) {
            char* buffer = nullptr;
            const int size = PQgetCopyData(m_connection, &buffer, 0);
            const std::unique_ptr<char, CopyDataDeleter> data(buffer);
            if (size == -1) break;  // the end of the rows
            if (size < 0)
                throw ImportError("The PostgreSQL server refused the query: " + Reason(PQerrorMessage(m_connection)));
            row(fields.Split(std::string_view(buffer, static_cast<std::size_t>(size))));
        }
        // How the query ended (an error part way through shows here), and
        // then no more results.
        for (;;) {
            const Result result(PQgetResult(m_connection));
            if (!result) return;
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) Refused(result.get());
        }
        const Result end(PQexec(m_connection, "ROLLBACK"));
    }

private:
    // Runs one statement through the extended protocol.
    PGresult* Execute(const std::string& sql) {
        return PQexecParams(m_connection, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    }

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
