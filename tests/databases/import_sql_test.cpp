// kelvo-cli import-sql, pair-query and import-counts against real databases:
// SQLite files and a throwaway PostgreSQL server that this program starts
// and stops itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "csv_records.h"
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

// An identifier in double quotes, a quote inside doubled.
std::string Identifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The same records as a CSV file, an SQLite table and a PostgreSQL table,
// all named `table`: every column text, but in PostgreSQL the column
// `weight` (if any), an integer one. An empty CSV field is an empty text in
// SQLite and a NULL in PostgreSQL.
class Sources {
public:
    Sources(const std::string& csv, const std::string& table, const std::string& weight = {}) {
        test::WriteFile(csvPath(), csv);
        std::vector<std::string> header;
        CsvRecordReader reader([&](std::vector<std::string>& fields) {
            if (header.empty()) header = fields;
        });
        reader.Feed(csv);
        reader.Finish();
        auto create = [&](bool typedWeight) {
            std::string columns;
            for (const std::string& name : header)
                columns += (columns.empty() ? "" : ", ") + Identifier(name) +
                           (typedWeight && name == weight ? " integer" : " text");
            return "CREATE TABLE " + Identifier(table) + " (" + columns + ");\n";
        };
        const CliResult sqlite = test::RunSqlite(
            sqlitePath(), create(false) + ".import --csv --skip 1 " + csvPath().string() + " '" + table + "'\n");
        if (sqlite.status != 0) throw std::runtime_error(sqlite.err);
        const CliResult pg = Server().Psql("DROP TABLE IF EXISTS " + Identifier(table) + ";\n" + create(true) +
                                           "\\copy " + Identifier(table) + " FROM '" + csvPath().string() + "' CSV HEADER\n");
        if (pg.status != 0) throw std::runtime_error(pg.err);
    }
    std::filesystem::path csvPath() const { return m_dir / "records.csv"; }
    std::filesystem::path sqlitePath() const { return m_dir / "records.db"; }
    std::filesystem::path dir() const { return m_dir.path(); }

    // The source options of every way import-sql can read the table: the
    // records counted here or counted by the database, in SQLite and in
    // PostgreSQL.
    std::vector<std::vector<std::string>> ImportSqlWays() const {
        const std::string count = "--count-in-database";
        return {{"--sqlite", sqlitePath().string()},
                {"--sqlite", sqlitePath().string(), count},
                {"--postgres", Server().Conninfo()},
                {"--postgres", Server().Conninfo(), count}};
    }

private:
    test::TempDir m_dir;
};

// "--sqlite" or "--postgres --count-in-database", for messages.
std::string WayName(const std::vector<std::string>& way) { return way[0] + (way.size() > 2 ? " " + way[2] : ""); }

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
    for (const std::vector<std::string>& way : sources.ImportSqlWays()) {
        std::vector<std::string> arguments = {"import-sql"};
        arguments.insert(arguments.end(), way.begin(), way.end());
        arguments.insert(arguments.end(), sql.begin(), sql.end());
        EXPECT_EQ(TableSetOf(sources.dir(), "import-sql", arguments), expected) << WayName(way);
    }

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
    // order, gives the shipped table set, as the CSV importer does: also
    // when the condition has SQLite read an index, in the index's order
    // (Adult before Child).
    ASSERT_EQ(test::RunSqlite(sources.sqlitePath(), "CREATE INDEX by_age ON titanic (Age, Class, Sex, Survived, Count);\n"
                                                    "SELECT Age FROM titanic WHERE Age > '' LIMIT 1;\n")
                  .out,
              "Adult\n");
    const std::string shipped = test::ReadFile(test::SourcePath("examples/titanic.tbl"));
    for (const std::vector<std::string>& where : {std::vector<std::string>{}, std::vector<std::string>{"--where", "Age > ''"}})
        for (const bool inDatabase : {false, true}) {
            std::vector<std::string> arguments = {"import-sql", "--sqlite", sources.sqlitePath().string(), "--table",
                                                  "titanic", "--weight", "Count", "--order", "first-seen"};
            arguments.insert(arguments.end(), where.begin(), where.end());
            if (inDatabase) arguments.push_back("--count-in-database");
            EXPECT_EQ(TableSetOf(sources.dir(), "first-seen", arguments), shipped) << where.size() << inDatabase;
        }
    EXPECT_EQ(ThroughExport(sources, "sqlite", {"--table", "titanic", "--weight", "Count", "--columns", "Class,Sex,Age,Survived"},
                            "first-seen"),
              shipped);
}

// Names that SQL must quote (a keyword, quotes, spaces, letters beyond
// ASCII) for the table and the columns, and values that COPY's text format
// must escape or might take for a NULL, beside real NULLs.
TEST(DatabaseImportTest, HostileNamesAndValuesGiveTheSameTableSetOnEveryPath) {
    const std::string csv = "select,\"a \"\"b\"\" c\",Gr\u00f6\u00dfe,from\n"
                            "\\N,x,\u00e4,3\n"
                            ",\"\"\"quoted\"\"\",\"comma,inside\",1\n"
                            "back\\slash,x,,2\n"
                            "\\N,y,\u00e4,0\n"
                            ",y,\"comma,inside\",4\n";
    const std::string table = "Gr\u00fc\u00dfe \"from\" order";
    const Sources sources(csv, table, "from");
    ExpectTheSameOnEveryPath(sources, table, {"--weight", "from"}, {"select", "a \"b\" c", "Gr\u00f6\u00dfe"});
    // The text "\N" and the NULL are two categories.
    const std::string tbl = test::ReadFile(sources.dir() / "csv.tbl");
    EXPECT_NE(tbl.find("\\N"), std::string::npos) << tbl;
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

// A refusal on both back ends, counted here and in the database: exit
// status 2, the message, the file that was there before left as it was,
// and the table too.
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
    for (const std::vector<std::string>& way : sources.ImportSqlWays()) {
        const auto out = sources.dir() / "out.tbl";
        test::WriteFile(out, "old");
        std::vector<std::string> arguments = {"import-sql", "-o", out.string()};
        arguments.insert(arguments.end(), way.begin(), way.end());
        if (std::find(refusal.options.begin(), refusal.options.end(), "--table") == refusal.options.end())
            arguments.insert(arguments.end(), {"--table", "t"});
        arguments.insert(arguments.end(), refusal.options.begin(), refusal.options.end());
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2) << WayName(way);
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << WayName(way) << ": " << result.err;
        EXPECT_EQ(test::ReadFile(out), "old") << WayName(way);
    }
    // Records are the lines after the header, less the line ends inside quotes.
    int lineEnds = 0;
    bool quoted = false;
    for (const char* c = refusal.csv; *c != '\0'; ++c) {
        if (*c == '"') quoted = !quoted;
        else if (*c == '\n' && !quoted) ++lineEnds;
    }
    const std::string records = std::to_string(lineEnds - 1);
    EXPECT_EQ(test::RunSqlite(sources.sqlitePath(), "SELECT COUNT(*) FROM t;\n").out, records + "\n");
    EXPECT_EQ(Server().Psql("\\pset format unaligned\n\\pset tuples_only on\nSELECT COUNT(*) FROM t;\n").out, records + "\n");
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
        Refusal{"LongValue", "A,B,W\nx,y,1\nlonger than twelve,q,1\n", {},
                "Value in column \"A\": \"longer than twelve\" is longer than 12 characters"},
        Refusal{"BadCondition", "A,B,W\nx,y,1\nz,q,1\n", {"--where", "A = = 1"}, "refused the query"},
        Refusal{"SecondStatement", "A,B,W\nx,y,1\nz,q,1\n", {"--where", "1); DELETE FROM t; SELECT (1"},
                "refused the query"},
        Refusal{"CopyOutOfTheQuery", "A,B,W\nx,y,1\nz,q,1\n", {"--where", "1)) TO STDOUT; DELETE FROM t; --"},
                "refused the query"},
        Refusal{"NoRecordMeetsTheCondition", "A,B,W\nx,y,1\nz,q,1\n", {"--where", "\"A\" = 'none'"},
                "No records: the counting query found none"},
        // A value or a column name with a control character could not stand
        // on a line of the table-set file.
        Refusal{"LineEndInAValue", "A,B,W\nx,y,1\n\"z\nw\",q,1\n", {"--weight", "W"},
                "Value in column \"A\": \"z\\nw\" holds a line end ("},
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
          std::vector<std::string>{"--postgres", Server().Conninfo(), "--table", "fractional"}})
        for (const bool inDatabase : {false, true}) {
            std::vector<std::string> arguments = {"import-sql", "--weight", "W", "-o", (dir / "out.tbl").string()};
            arguments.insert(arguments.end(), source.begin(), source.end());
            if (inDatabase) arguments.push_back("--count-in-database");
            const CliResult result = RunCli(arguments);
            EXPECT_EQ(result.status, 2);
            EXPECT_NE(result.err.find("1 record has a weight that is not a whole number"), std::string::npos) << result.err;
            EXPECT_FALSE(std::filesystem::exists(dir / "out.tbl"));
        }
}

TEST(DatabaseImportTest, TheConditionRunsInAReadOnlyTransaction) {
    ASSERT_EQ(Server().Psql("CREATE TABLE counted (\"A\" text, \"B\" text);\n"
                            "INSERT INTO counted VALUES ('x', 'y'), ('z', 'q');\nCREATE SEQUENCE kelvo_calls;\n")
                  .status,
              0);
    test::TempDir dir;
    for (const bool inDatabase : {false, true}) {
        std::vector<std::string> arguments = {"import-sql", "--postgres", Server().Conninfo(), "--table", "counted",
                                              "--where", "nextval('kelvo_calls') > 0", "-o", (dir / "out.tbl").string()};
        if (inDatabase) arguments.push_back("--count-in-database");
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("read-only transaction"), std::string::npos) << result.err;
    }
    EXPECT_NE(Server().Psql("SELECT currval('kelvo_calls');\n").status, 0);  // never called in this session or any
    EXPECT_NE(Server().Psql("SELECT last_value, is_called FROM kelvo_calls;\n").out.find("| f"), std::string::npos);
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
    for (const std::string count : {"", "--count-in-database"}) {
        std::vector<std::string> sqlite = {"import-sql", "--sqlite", (dir / "n.db").string(), "--table", "n"};
        std::vector<std::string> pg = {"import-sql", "--postgres", Server().Conninfo(), "--table", "n"};
        if (!count.empty()) {
            sqlite.push_back(count);
            pg.push_back(count);
        }
        EXPECT_EQ(TableSetOf(dir.path(), "sqlite", sqlite), expected) << count;
        EXPECT_EQ(TableSetOf(dir.path(), "pg", pg), expected) << count;
    }

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
