#include "pair_query.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <limits>

#include "csv_records.h"
#include "source_columns.h"

namespace kelvo {

namespace {

constexpr std::string_view SetColumn = "kelvo_set";
constexpr std::string_view CountColumn = "kelvo_count";
constexpr std::string_view BadWeightsColumn = "kelvo_bad_weights";
constexpr std::string_view FirstRowColumn = "kelvo_first_row";
constexpr std::array<std::string_view, 4> ResultColumns = {SetColumn, CountColumn, BadWeightsColumn, FirstRowColumn};

// Engines may fold the case of result column names.
bool SameNameAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsResultColumn(std::string_view name) {
    return std::any_of(ResultColumns.begin(), ResultColumns.end(),
                       [&](std::string_view result) { return SameNameAnyCase(name, result); });
}

// The bit of kelvo_set that stands for variable v of n (from 1).
unsigned SetBit(int v, int n) { return 1u << (n - v); }

std::string TextType(SqlDialect dialect) { return dialect == SqlDialect::Spark ? "STRING" : "VARCHAR"; }

std::optional<std::int64_t> WholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    std::int64_t value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<SqlDialect> DialectNamed(std::string_view name) {
    if (name == "ansi") return SqlDialect::Ansi;
    if (name == "postgres") return SqlDialect::Postgres;
    if (name == "sqlite") return SqlDialect::Sqlite;
    if (name == "spark") return SqlDialect::Spark;
    return std::nullopt;
}

std::string QuoteIdentifier(SqlDialect dialect, std::string_view name) {
    if (name.find('\0') != std::string_view::npos) throw ImportError("A name with a NUL character cannot be quoted");
    const char quote = dialect == SqlDialect::Spark ? '`' : '"';
    std::string quoted(1, quote);
    for (const char c : name) {
        quoted.push_back(c);
        if (c == quote) quoted.push_back(c);
    }
    quoted.push_back(quote);
    return quoted;
}

void CheckOrderAllowed(SqlDialect dialect, CategoryOrder order) {
    if (order == CategoryOrder::FirstSeen && dialect != SqlDialect::Sqlite)
        throw ImportError("The first-seen order needs SQLite: other databases keep no order of the records");
}

namespace {

// What every query over the chosen records starts from: the checks, the
// quoted names, the table with the user's condition and, with a weight, its
// value as a whole number and the test of a valid one.
struct RecordSource {
    std::vector<std::string> q;  // the variables' columns, quoted
    std::string columns;         // q joined by ", "
    std::string records;         // the table and the condition
    std::string whole;           // the weight as a whole number; empty without one
    std::string badWeight;       // true for a record whose weight is not from 0 to 2147483647
};

RecordSource SourceOf(const PairQueryOptions& spec) {
    const SqlDialect d = spec.dialect;
    const int n = static_cast<int>(spec.columns.size());
    if (n < 2) throw ImportError("At least two variables are needed, the data give " + std::to_string(n));
    if (n > MaxVariables)
        throw ImportError("Too many variables: " + std::to_string(n) + " (at most " + std::to_string(MaxVariables) + ")");
    CheckOrderAllowed(d, spec.order);
    RecordSource source;
    for (const std::string& column : spec.columns) {
        source.q.push_back(QuoteIdentifier(d, column));
        source.columns += (source.columns.empty() ? "" : ", ") + source.q.back();
    }
    source.records = QuoteIdentifier(d, spec.table) + (spec.where.empty() ? "" : " WHERE (" + spec.where + ")");
    if (!spec.weight.empty()) {
        const std::string w = QuoteIdentifier(d, spec.weight);
        source.whole = "CAST(" + w + " AS BIGINT)";
        source.badWeight = w + " IS NULL OR " + source.whole + " < 0 OR " + source.whole + " > 2147483647 OR " +
                           source.whole + " <> " + w;
    }
    return source;
}

}  // namespace

std::string RecordQuery(const PairQueryOptions& spec) {
    const RecordSource source = SourceOf(spec);
    const std::string text = TextType(spec.dialect);
    std::string sql = "SELECT ";
    for (const std::string& q : source.q) {
        if (&q != &source.q.front()) sql += ", ";
        // SQLite hands any value over as the text its cast would give.
        sql += spec.dialect == SqlDialect::Sqlite ? q : "CAST(" + q + " AS " + text + ")";
    }
    if (!source.whole.empty())
        sql += ", CAST(CASE WHEN " + source.badWeight + " THEN NULL ELSE " + source.whole + " END AS " + text + ")";
    sql += "\nFROM " + source.records;
    // A rowid table is read in rowid order anyway; an index that the
    // condition picks might give another.
    if (spec.order == CategoryOrder::FirstSeen) sql += "\nORDER BY rowid";
    return sql + "\n";
}

std::string PairQuery(const PairQueryOptions& spec) {
    const RecordSource source = SourceOf(spec);
    const SqlDialect d = spec.dialect;
    const int n = static_cast<int>(spec.columns.size());
    if (SameNameAnyCase(spec.table, "kelvo_records"))
        throw ImportError("The table " + Quoted(spec.table) + " bears the name that the counting query gives its first step");
    std::vector<std::string> named = spec.columns;
    if (!spec.weight.empty()) named.push_back(spec.weight);
    for (const std::string& column : named)
        if (IsResultColumn(column))
            throw ImportError("Column " + Quoted(column) + " bears a name that the counting query uses itself");
    const std::vector<std::string>& q = source.q;
    auto value = [&](int v) { return "':' || CAST(" + q[v - 1] + " AS " + TextType(d) + ") AS " + q[v - 1]; };

    // The records are first counted by every combination of values, which
    // are usually far fewer than the records, and the pairs from these:
    // engines otherwise read every record once per pair (SQLite sorts them
    // once per pair, grouping sets copy them once per set). The weight is
    // checked and made a whole number once per record.
    const bool weighted = !source.whole.empty();
    // A whole number again, so that the pairs add whole numbers: a sum of
    // sums may otherwise be an engine's slow decimal type.
    std::string combinations = weighted ? "CAST(SUM(" + source.whole + ") AS BIGINT)" : std::string("COUNT(*)");
    combinations += " AS kelvo_count";
    std::string aggregates = "SUM(kelvo_count) AS kelvo_count";
    if (weighted) {
        combinations += ", SUM(CASE WHEN " + source.badWeight + " THEN 1 ELSE 0 END) AS kelvo_bad_weights";
        aggregates += ", SUM(kelvo_bad_weights) AS kelvo_bad_weights";
    }
    if (spec.order == CategoryOrder::FirstSeen) {
        combinations += ", MIN(rowid) AS kelvo_first_row";
        aggregates += ", MIN(kelvo_first_row) AS kelvo_first_row";
    }
    std::string sql = "WITH kelvo_records AS (\n  SELECT " + source.columns + ", " + combinations + "\n  FROM " +
                      source.records + "\n  GROUP BY " + source.columns + ")\n";
    if (d == SqlDialect::Sqlite) {
        // SQLite lacks grouping sets: one GROUP BY per pair, in the order of
        // the pair tables.
        const unsigned all = (1u << n) - 1;
        bool first = true;
        for (int i = 2; i <= n; ++i)
            for (int j = 1; j < i; ++j) {
                if (!first) sql += "\nUNION ALL\n";
                first = false;
                sql += "SELECT " + std::to_string(all & ~(SetBit(i, n) | SetBit(j, n))) + " AS kelvo_set";
                for (int v = 1; v <= n; ++v) sql += ", " + (v == i || v == j ? value(v) : "NULL AS " + q[v - 1]);
                sql += ", " + aggregates + " FROM kelvo_records GROUP BY " + q[j - 1] + ", " + q[i - 1];
            }
        return sql + "\n";
    }
    std::string set;
    if (d == SqlDialect::Postgres) {
        set = "GROUPING(";
        for (int v = 1; v <= n; ++v) set += (v > 1 ? ", " : "") + q[v - 1];
        set += ")";
    } else {
        // Engines whose GROUPING takes one column: the bits one by one.
        for (int v = 1; v <= n; ++v)
            set += (v > 1 ? " + " : "") + std::string("GROUPING(") + q[v - 1] + ")" +
                   (v < n ? " * " + std::to_string(SetBit(v, n)) : "");
    }
    sql += "SELECT " + set + " AS kelvo_set";
    for (int v = 1; v <= n; ++v) sql += ",\n  " + value(v);
    sql += ",\n  " + aggregates + "\nFROM kelvo_records\nGROUP BY GROUPING SETS (";
    bool first = true;
    for (int i = 2; i <= n; ++i)
        for (int j = 1; j < i; ++j) {
            sql += std::string(first ? "" : ",") + "\n  (" + q[j - 1] + ", " + q[i - 1] + ")";
            first = false;
        }
    return sql + ")\n";
}

std::string NoRecordsMessage() { return "No records: the counting query found none"; }

std::string InvalidWeightsMessage(const std::string& weightName, std::int64_t records) {
    return "Invalid weights" + (weightName.empty() ? "" : " in column " + Quoted(weightName)) + ": " +
           std::to_string(records) + (records == 1 ? " record has" : " records have") +
           " a weight that is not a whole number from 0 to 2147483647";
}

struct PairCountsReader::State {
    PairCountOptions options;
    std::function<std::string()> where;
    std::string weightName;
    std::size_t fieldCount = 0;
    int setField = -1, countField = -1, badWeightsField = -1, firstRowField = -1;
    std::vector<int> variableFields;  // result column of each variable
    std::optional<PairCounter> counter;
    std::vector<std::bitset<(MaxCategories + 1) * (MaxCategories + 1)>> seen;  // per pair: cells given
    std::array<bool, MaxPairTables + 1> pairGiven{};
    std::int64_t badWeights = 0;  // records with an invalid weight, in the first pair
    std::int64_t rows = 0;

    std::string Where() const { return where ? where() : std::string(); }
    std::int64_t Number(const std::string& text, std::string_view what) const {
        const auto value = WholeNumber(text);
        if (!value || *value < 0)
            throw ImportError("Invalid " + std::string(what) + " " + Quoted(TrimBlanks(text)) + Where() +
                              ": it must be a whole number from 0");
        return *value;
    }
};

PairCountsReader::PairCountsReader(const std::vector<std::string>& header, PairCountOptions options,
                                   std::function<std::string()> where, std::string weightName)
    : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.options = options;
    s.where = std::move(where);
    s.weightName = std::move(weightName);
    s.fieldCount = header.size();
    std::vector<std::string> names;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string_view name = TrimBlanks(header[c]);
        const int field = static_cast<int>(c);
        if (SameNameAnyCase(name, SetColumn)) s.setField = field;
        else if (SameNameAnyCase(name, CountColumn)) s.countField = field;
        else if (SameNameAnyCase(name, BadWeightsColumn)) s.badWeightsField = field;
        else if (SameNameAnyCase(name, FirstRowColumn)) s.firstRowField = field;
        else {
            names.emplace_back(name);
            s.variableFields.push_back(field);
        }
    }
    if (s.setField < 0 || s.countField < 0)
        throw ImportError("The header names no column kelvo_set or kelvo_count: this is not the result of the "
                          "counting query (its CSV export must begin with the row of column names)");
    if (options.order == CategoryOrder::FirstSeen && s.firstRowField < 0)
        throw ImportError("The first-seen order needs the column kelvo_first_row, which the counting query "
                          "yields only when it was made for that order");
    s.counter.emplace(names, options, s.where);
    s.seen.resize(MaxPairTables + 1);
}

PairCountsReader::~PairCountsReader() = default;

void PairCountsReader::AddRow(const std::vector<std::string>& fields) {
    State& s = *m_state;
    PairCounter& counter = *s.counter;
    const int n = counter.VariableCount();
    if (fields.size() != s.fieldCount)
        throw ImportError("A row has " + std::to_string(fields.size()) + " fields, the header has " +
                          std::to_string(s.fieldCount) + s.Where());
    ++s.rows;
    // The two variables of the pair: the bits of kelvo_set left clear.
    const std::int64_t set = s.Number(fields[static_cast<std::size_t>(s.setField)], SetColumn);
    std::array<int, 2> pair{};
    int found = 0;
    for (int v = 1; v <= n; ++v)
        if ((set & SetBit(v, n)) == 0 && found++ < 2) pair[static_cast<std::size_t>(found - 1)] = v;
    if (found != 2 || set >= (std::int64_t{1} << n))
        throw ImportError("The kelvo_set " + std::to_string(set) + " is not a pair of the " + std::to_string(n) +
                          " variables" + s.Where());
    const int j = pair[0], i = pair[1];
    std::array<int, 2> category{};
    for (std::size_t e = 0; e < 2; ++e) {
        const int v = pair[e];
        const std::string& text = fields[static_cast<std::size_t>(s.variableFields[static_cast<std::size_t>(v - 1)])];
        category[e] = text.starts_with(':') ? counter.Category(v, text.substr(1)) : counter.NullCategory(v);
    }
    if (s.badWeightsField >= 0) {
        const std::int64_t bad = s.Number(fields[static_cast<std::size_t>(s.badWeightsField)], BadWeightsColumn);
        // Every record is counted in every pair: the first pair tells how
        // many weights are invalid. A row with one has no valid count.
        if (i == 2 && j == 1) s.badWeights += bad;
        if (bad > 0) return;
    }
    const std::int64_t count = s.Number(fields[static_cast<std::size_t>(s.countField)], CountColumn);
    if (s.firstRowField >= 0 && s.options.order == CategoryOrder::FirstSeen) {
        const std::int64_t record = s.Number(fields[static_cast<std::size_t>(s.firstRowField)], FirstRowColumn);
        counter.NoteFirstRecord(j, category[0], record);
        counter.NoteFirstRecord(i, category[1], record);
    }
    const int k = PairIndex(i, j);
    s.pairGiven[static_cast<std::size_t>(k)] = true;
    if (category[0] != 0 && category[1] != 0) {
        auto cell = s.seen[static_cast<std::size_t>(k)][static_cast<std::size_t>(category[1] * (MaxCategories + 1) + category[0])];
        if (cell)
            throw ImportError("The count of " + Quoted(counter.VariableName(i)) + " and " +
                              Quoted(counter.VariableName(j)) + " for one pair of values is given twice" + s.Where());
        cell = true;
    }
    counter.AddCount(i, category[1], j, category[0], count);
}

void PairCountsReader::Finish(InputSide& ts) {
    State& s = *m_state;
    PairCounter& counter = *s.counter;
    if (s.rows == 0) throw ImportError(NoRecordsMessage());
    if (s.badWeights > 0) throw ImportError(InvalidWeightsMessage(s.weightName, s.badWeights));
    const int n = counter.VariableCount();
    for (int i = 2; i <= n; ++i)
        for (int j = 1; j < i; ++j)
            if (!s.pairGiven[static_cast<std::size_t>(PairIndex(i, j))])
                throw ImportError("No counts of the pair " + Quoted(counter.VariableName(j)) + " and " +
                                  Quoted(counter.VariableName(i)) + ": this is not the whole result of the counting query");
    counter.Finish(ts);
}

void ImportCounts(const std::filesystem::path& path, PairCountOptions options, InputSide& ts) {
    std::optional<PairCountsReader> reader;
    CsvRecordReader* records = nullptr;
    CsvRecordReader csv([&](std::vector<std::string>& fields) {
        if (!reader) reader.emplace(fields, options, [&] { return records->Where(); });
        else reader->AddRow(fields);
    });
    records = &csv;
    ReadFileInPieces(path, [&](std::string_view piece) { csv.Feed(piece); });
    csv.Finish();
    if (!reader) throw ImportError("Empty file: the first line must name the columns of the result");
    reader->Finish(ts);
}

}  // namespace kelvo
