// kelvo-cli import-sql, pair-query and import-counts against real databases:
// SQLite files and a throwaway PostgreSQL server that this program starts
// and stops itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "database_support.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::CliResult;
using test::RunCli;

// The one server of this program, started before the first test.
class ServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        try {
            server = std::make_unique<test::PostgresServer>();
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    void TearDown() override { server.reset(); }
    static inline std::unique_ptr<test::PostgresServer> server;
    static inline std::string failure;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

test::PostgresServer& Server() {
    if (!ServerEnvironment::server) throw std::runtime_error(ServerEnvironment::failure);
    return *ServerEnvironment::server;
}

// Records with a header, as CSV text.
struct Records {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::string Csv() const {
        auto line = [](const std::vector<std::string>& fields) {
            std::string text;
            for (std::size_t f = 0; f < fields.size(); ++f) text += (f > 0 ? "," : "") + fields[f];
            return text + "\n";
        };
        std::string csv = line(header);
        for (const auto& row : rows) csv += line(row);
        return csv;
    }
};

// The same records as a CSV file, an SQLite table and a PostgreSQL table,
// all named `table`; the column `weight` (if any) is an integer column in
// PostgreSQL, every other column text.
class Sources {
public:
    Sources(const std::string& csv, const std::string& table, const std::string& weight = {}) {
        test::WriteFile(csvPath(), csv);
        const CliResult sqlite = test::RunSqlite(sqlitePath(), ".import --csv " + csvPath().string() + " " + table + "\n");
        if (sqlite.status != 0) throw std::runtime_error(sqlite.err);
        std::string columns;
        const std::string header = csv.substr(0, csv.find('\n'));
        std::size_t start = 0;
        while (start <= header.size()) {
            const std::size_t end = std::min(header.find(',', start), header.size());
            const std::string name = header.substr(start, end - start);
            columns += (columns.empty() ? "" : ", ") + std::string("\"") + name + "\" " + (name == weight ? "integer" : "text");
            start = end + 1;
        }
        const CliResult pg = Server().Psql("DROP TABLE IF EXISTS \"" + table + "\";\nCREATE TABLE \"" + table + "\" (" +
                                           columns + ");\n\\copy \"" + table + "\" FROM '" + csvPath().string() +
                                           "' CSV HEADER\n");
        if (pg.status != 0) throw std::runtime_error(pg.err);
    }
    std::filesystem::path csvPath() const { return m_dir / "records.csv"; }
    std::filesystem::path sqlitePath() const { return m_dir / "records.db"; }
    std::filesystem::path dir() const { return m_dir.path(); }

private:
    test::TempDir m_dir;
};

// Runs kelvo-cli with `arguments` and -o FILE; the written file, or a
// failure with what kelvo-cli said.
std::string TableSetOf(const std::filesystem::path& dir, const std::string& name, std::vector<std::string> arguments) {
    const auto out = dir / (name + ".tbl");
    arguments.insert(arguments.end(), {"-o", out.string()});
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.status, 0) << name << ": " << result.err;
    return std::filesystem::exists(out) ? test::ReadFile(out) : std::string("(nothing written)");
}

// The counting query of pair-query, run by the sqlite3 program or by psql,
// its result exported as CSV with a header, and read by import-counts: what a
// user of any other engine does.
std::string ThroughExport(const Sources& sources, const std::string& dialect, const std::vector<std::string>& query,
                          const std::string& order) {
    std::vector<std::string> arguments = {"pair-query", "--dialect", dialect, "--order", order};
    arguments.insert(arguments.end(), query.begin(), query.end());
    const CliResult printed = RunCli(arguments);
    EXPECT_EQ(printed.status, 0) << printed.err;
    const auto result = sources.dir() / ("result-" + dialect + ".csv");
    CliResult run;
    if (dialect == "sqlite") {
        run = test::RunSqlite(sources.sqlitePath(), ".headers on\n.mode csv\n.output " + result.string() + "\n" + printed.out + ";\n");
    } else {
        std::string sql = printed.out;
        sql.erase(sql.find_last_not_of('\n') + 1);
        for (char& c : sql)
            if (c == '\n') c = ' ';
        run = Server().Psql("\\copy (" + sql + ") TO '" + result.string() + "' CSV HEADER\n");
    }
    EXPECT_EQ(run.status, 0) << dialect << ": " << run.err;
    return TableSetOf(sources.dir(), "counts-" + dialect, {"import-counts", result.string(), "--order", order});
}

// Every path gives the same bytes: CSV, SQLite, PostgreSQL, and the query
// of each dialect that can be run here, exported and read back.
void ExpectTheSameOnEveryPath(const Sources& sources, const std::string& table, const std::vector<std::string>& options,
                              const std::vector<std::string>& columns) {
    std::vector<std::string> csvArguments = {"import-csv", sources.csvPath().string(), "--order", "value"};
    csvArguments.insert(csvArguments.end(), options.begin(), options.end());
    const std::string expected = TableSetOf(sources.dir(), "csv", csvArguments);

    std::vector<std::string> sql = {"--table", table};
    sql.insert(sql.end(), options.begin(), options.end());
    auto importSql = [&](const std::string& name, const std::vector<std::string>& source) {
        std::vector<std::string> arguments = {"import-sql"};
        arguments.insert(arguments.end(), source.begin(), source.end());
        arguments.insert(arguments.end(), sql.begin(), sql.end());
        return TableSetOf(sources.dir(), name, arguments);
    };
    EXPECT_EQ(importSql("sqlite", {"--sqlite", sources.sqlitePath().string()}), expected);
    EXPECT_EQ(importSql("postgres", {"--postgres", Server().Conninfo()}), expected);

    std::vector<std::string> query = sql;
    query.insert(query.end(), {"--columns", columns.empty() ? "" : columns[0]});
    for (std::size_t c = 1; c < columns.size(); ++c) query.back() += "," + columns[c];
    for (const std::string dialect : {"sqlite", "postgres", "ansi"})
        EXPECT_EQ(ThroughExport(sources, dialect, query, "value"), expected) << dialect;
}

TEST(DatabaseImportTest, TitanicGivesTheSameTableSetOnEveryPath) {
    const Sources sources(test::ReadFile(test::SourcePath("examples/titanic.csv")), "titanic", "Count");
    ExpectTheSameOnEveryPath(sources, "titanic", {"--weight", "Count"}, {"Class", "Sex", "Age", "Survived"});

    // In the order of first appearance SQLite, which keeps the records'
    // order, gives the shipped table set, as the CSV importer does.
    const std::string shipped = test::ReadFile(test::SourcePath("examples/titanic.tbl"));
    EXPECT_EQ(TableSetOf(sources.dir(), "first-seen", {"import-sql", "--sqlite", sources.sqlitePath().string(), "--table",
                                                       "titanic", "--weight", "Count", "--order", "first-seen"}),
              shipped);
    EXPECT_EQ(ThroughExport(sources, "sqlite", {"--table", "titanic", "--weight", "Count", "--columns", "Class,Sex,Age,Survived"},
                            "first-seen"),
              shipped);
}

// Records of 16 columns with weights: numbers, texts of uneven length and
// empty values, so that ordering by value is put to the test.
Records ManyRecords(int count) {
    Records records;
    for (int c = 1; c <= 16; ++c) records.header.push_back("V" + std::to_string(c));
    records.header.push_back("W");
    std::uint32_t state = 7;
    auto next = [&state](std::uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int r = 0; r < count; ++r) {
        std::vector<std::string> row;
        for (int c = 1; c <= 16; ++c) {
            const std::uint32_t value = next(c % 4 == 0 ? 16 : 2 + c % 9);
            if (c % 3 == 0) row.push_back(std::to_string(value * 5));     // numbers: 5 < 10 < 45
            else if (c % 5 == 0) row.push_back(value == 0 ? "" : "x" + std::string(value, 'y'));
            else row.push_back("Cat" + std::to_string(value + 1));        // text: Cat1 < Cat10 < Cat2
        }
        row.push_back(std::to_string(next(20)));
        records.rows.push_back(row);
    }
    return records;
}

TEST(DatabaseImportTest, ManyWeightedRecordsGiveTheSameTableSetOnEveryPath) {
    const Sources sources(ManyRecords(40000).Csv(), "records", "W");
    std::vector<std::string> columns;
    for (int c = 1; c <= 16; ++c) columns.push_back("V" + std::to_string(c));
    ExpectTheSameOnEveryPath(sources, "records", {"--weight", "W"}, columns);
}

// A refusal on both back ends: exit status 2, the message, and the file
// that was there before left as it was.
struct Refusal {
    const char* name;
    const char* csv;  // the table "t"
    std::vector<std::string> options;
    const char* message;
};

void PrintTo(const Refusal& refusal, std::ostream* os) { *os << refusal.name; }

class DatabaseRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(DatabaseRefusalTest, RefusesAndWritesNothing) {
    const Refusal& refusal = GetParam();
    const Sources sources(refusal.csv, "t", "W");
    for (const std::vector<std::string>& source : {std::vector<std::string>{"--sqlite", sources.sqlitePath().string()},
                                                  std::vector<std::string>{"--postgres", Server().Conninfo()}}) {
        const auto out = sources.dir() / "out.tbl";
        test::WriteFile(out, "old");
        std::vector<std::string> arguments = {"import-sql", "-o", out.string()};
        arguments.insert(arguments.end(), source.begin(), source.end());
        if (std::find(refusal.options.begin(), refusal.options.end(), "--table") == refusal.options.end())
            arguments.insert(arguments.end(), {"--table", "t"});
        arguments.insert(arguments.end(), refusal.options.begin(), refusal.options.end());
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2) << source[0];
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << source[0] << ": " << result.err;
        EXPECT_EQ(test::ReadFile(out), "old") << source[0];
    }
}

const std::string SeventeenValues = [] {
    std::string csv = "A,B,W\n";
    for (int n = 1; n <= 17; ++n) csv += std::to_string(n) + ",b" + std::to_string(n % 2) + ",1\n";
    return csv;
}();

INSTANTIATE_TEST_SUITE_P(
    Refusals, DatabaseRefusalTest,
    ::testing::Values(
        Refusal{"MissingTable", "A,B,W\nx,y,1\n", {"--table", "nope"}, "No table named \"nope\""},
        Refusal{"MissingColumn", "A,B,W\nx,y,1\nz,q,1\n", {"--columns", "A,C"}, "No column named \"C\""},
        Refusal{"SqlInAColumnName", "A,B,W\nx,y,1\nz,q,1\n", {"--columns", "A,B\"; DROP TABLE t; --"},
                "No column named \"B\"; DROP TABLE t; --\""},
        Refusal{"SeventeenValues", SeventeenValues.c_str(), {"--weight", "W"}, "Column \"A\" has 17 categories (at most 16)"},
        Refusal{"NegativeWeight", "A,B,W\nx,y,1\nz,q,-2\n", {"--weight", "W"},
                "Invalid weights in column \"W\": 1 record has a weight that is not a whole number"},
        Refusal{"CountPastACell", "A,B,W\nx,y,2147483647\nx,y,1\nz,q,1\n", {"--weight", "W"},
                "is 2147483648, more than a table cell holds (2147483647)"},
        Refusal{"BadCondition", "A,B,W\nx,y,1\nz,q,1\n", {"--where", "A = = 1"}, "refused the query"},
        Refusal{"NoRecordMeetsTheCondition", "A,B,W\nx,y,1\nz,q,1\n", {"--where", "\"A\" = 'none'"},
                "No records: the counting query found none"},
        // A value or a column name with a control character could not stand
        // on a line of the table-set file.
        Refusal{"LineEndInAValue", "A,B,W\nx,y,1\n\"z\nw\",q,1\n", {"--weight", "W"},
                "Value in column \"A\": \"z\\nw\" holds a line end (result row "},
        Refusal{"TabInAColumnName", "A\tB,C,W\nx,y,1\nz,q,1\n", {"--weight", "W"},
                "Variable name \"A\\tB\" holds a tab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DatabaseImportTest, FractionalWeightIsRefused) {
    // Text columns cannot hold 2.5 as a number in PostgreSQL: a table of its own.
    test::TempDir dir;
    const CliResult made = test::RunSqlite(dir / "w.db", "CREATE TABLE t (A, B, W REAL);\n"
                                                         "INSERT INTO t VALUES ('x', 'y', 1.0), ('z', 'q', 2.5);\n");
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(Server().Psql("CREATE TABLE fractional (\"A\" text, \"B\" text, \"W\" numeric);\n"
                            "INSERT INTO fractional VALUES ('x', 'y', 1.0), ('z', 'q', 2.5);\n")
                  .status,
              0);
    for (const std::vector<std::string>& source :
         {std::vector<std::string>{"--sqlite", (dir / "w.db").string(), "--table", "t"},
          std::vector<std::string>{"--postgres", Server().Conninfo(), "--table", "fractional"}}) {
        std::vector<std::string> arguments = {"import-sql", "--weight", "W", "-o", (dir / "out.tbl").string()};
        arguments.insert(arguments.end(), source.begin(), source.end());
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("1 record has a weight that is not a whole number"), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.tbl"));
    }
}

TEST(DatabaseImportTest, SqlInAColumnNameIsQuotedNotRun) {
    // A column whose name is SQL: imported under that name, the table intact.
    const std::string evil = "B\"); DROP TABLE t; --";
    test::TempDir dir;
    const CliResult made = test::RunSqlite(dir / "e.db", "CREATE TABLE t (A, \"B\"\"); DROP TABLE t; --\");\n"
                                                         "INSERT INTO t VALUES ('x', 'y'), ('z', 'q');\n");
    ASSERT_EQ(made.status, 0) << made.err;
    const CliResult result = RunCli({"import-sql", "--sqlite", (dir / "e.db").string(), "--table", "t", "--truncate",
                                     "-o", (dir / "e.tbl").string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(test::ReadFile(dir / "e.tbl").find(evil.substr(0, 12)), std::string::npos);
    EXPECT_EQ(test::RunSqlite(dir / "e.db", "SELECT COUNT(*) FROM t;\n").out, "2\n");
}

TEST(DatabaseImportTest, NullIsACategoryNamedAsAnEmptyField) {
    test::TempDir dir;
    const std::string table = "CREATE TABLE n (\"A\" text, \"B\" text);\n"
                              "INSERT INTO n VALUES ('x', NULL), (NULL, 'q'), ('x', 'q');\n";
    ASSERT_EQ(test::RunSqlite(dir / "n.db", table).status, 0);
    ASSERT_EQ(Server().Psql(table).status, 0);
    const std::string csv = "A,B\nx,\n,q\nx,q\n";
    test::WriteFile(dir / "n.csv", csv);
    const std::string expected = TableSetOf(dir.path(), "csv", {"import-csv", (dir / "n.csv").string(), "--order", "value"});
    EXPECT_EQ(TableSetOf(dir.path(), "sqlite", {"import-sql", "--sqlite", (dir / "n.db").string(), "--table", "n"}), expected);
    EXPECT_EQ(TableSetOf(dir.path(), "pg", {"import-sql", "--postgres", Server().Conninfo(), "--table", "n"}), expected);

    // NULL and an empty text in one column would bear one name.
    ASSERT_EQ(Server().Psql("INSERT INTO n VALUES ('', 'q');\n").status, 0);
    const CliResult both = RunCli({"import-sql", "--postgres", Server().Conninfo(), "--table", "n", "-o",
                                   (dir / "both.tbl").string()});
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("Column \"A\" holds both NULL and empty values"), std::string::npos) << both.err;
}

// The user's condition runs in a read-only transaction as one statement: a
// second statement pasted in is refused by the server, and so is a write
// from within the one statement; the database is left as it was.
TEST(DatabaseImportTest, TheConditionCanNeitherAddStatementsNorWrite) {
    ASSERT_EQ(Server().Psql("CREATE TABLE r (sex text, region text);\n"
                            "INSERT INTO r VALUES ('m', 'north'), ('f', 'south');\nCREATE SEQUENCE s;\n")
                  .status,
              0);
    test::TempDir dir;
    for (const auto& [where, message] : std::vector<std::pair<std::string, std::string>>{
             {"1=1) GROUP BY GROUPING SETS ((sex),(region)); DROP TABLE r; COMMIT; "
              "SELECT 1 FROM (SELECT 1 AS sex, 1 AS region) q WHERE (1=1",
              "cannot insert multiple commands into a prepared statement"},
             {"nextval('s') > 0", "cannot execute nextval() in a read-only transaction"}}) {
        const CliResult result = RunCli({"import-sql", "--postgres", Server().Conninfo(), "--table", "r", "--where",
                                         where, "-o", (dir / "r.tbl").string()});
        EXPECT_EQ(result.status, 2) << where;
        EXPECT_NE(result.err.find("The PostgreSQL server refused the query: ERROR:  " + message), std::string::npos)
            << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "r.tbl"));
    }
    const CliResult left = Server().Psql("SELECT count(*) || ' rows' FROM r;\nSELECT 'used: ' || is_called FROM s;\n");
    EXPECT_NE(left.out.find("2 rows"), std::string::npos) << left.out << left.err;
    EXPECT_NE(left.out.find("used: false"), std::string::npos) << left.out;
}

TEST(DatabaseImportTest, AServerThatIsNotRunningIsAClearRefusal) {
    test::TempDir dir;
    const CliResult result = RunCli({"import-sql", "--postgres", "host=" + dir.path().string() + " port=1 user=kelvo",
                                     "--table", "t", "-o", (dir / "out.tbl").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("Cannot connect to the PostgreSQL server: "), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.tbl"));
}

TEST(DatabaseImportTest, FirstSeenOrderNeedsSqlite) {
    const CliResult result = RunCli({"import-sql", "--postgres", Server().Conninfo(), "--table", "t", "--order",
                                     "first-seen", "-o", "/nonexistent/out.tbl"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("The first-seen order needs SQLite"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace kelvo
