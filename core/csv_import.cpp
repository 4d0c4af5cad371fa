#include "csv_import.h"

#include <csv.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "io_error.h"
#include "latin1.h"
#include "name_rules.h"

namespace kelvo {

namespace {

// Most distinct values of one column that are counted before a refusal says
// "at least".
constexpr std::size_t DistinctValueLimit = 100000;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

struct CsvImportColumn {
    std::string name;
    std::vector<std::string> categories;  // in order of first appearance, cut to 12 characters
    std::vector<std::string> fullValues;  // the same values before any cut
    std::unordered_map<std::string, int> index;  // field text -> category number (0: beyond 16)
    std::unordered_set<std::string> extra;       // distinct values beyond the 16th
    std::size_t Distinct() const { return categories.size() + extra.size(); }
};

struct CsvTableBuilder::State {
    CsvImportOptions options;
    csv_parser parser{};
    std::int64_t line = 1;          // physical line being fed
    bool headerDone = false;
    bool sawBom = false;            // the start of the input has been checked for a byte order mark
    std::string start;              // input held back until then
    std::vector<std::string> header;          // names of all columns, in file order
    std::vector<std::string> fields;          // fields of the record being parsed
    std::vector<int> selected;                // file column of each variable
    int weightIndex = -1;                     // file column of the weight, -1 for none
    std::vector<CsvImportColumn> columns;     // one per variable
    std::int64_t records = 0;
    // Counts per pair (i > j, variables numbered from 1), 64-bit while counting.
    std::vector<std::array<std::array<std::int64_t, MaxCategories + 1>, MaxCategories + 1>> counts;
    std::string error;  // first refusal, raised after the parser call returns
    bool nameTooLong = false;  // the refusal is a name that cutting would mend

    void Fail(std::string message) {
        if (error.empty()) error = std::move(message);
    }
    std::string Where() const { return " (line " + std::to_string(line) + ")"; }

    void EndHeader();
    void EndRecord();
    // The name or value a field gives: trimmed and in Latin-1; longer than 12
    // characters it is refused, or cut when the options say so. `full` receives it
    // before the cut.
    std::string CheckedName(std::string_view raw, const std::string& what, std::string* full = nullptr);
};

std::string CsvTableBuilder::State::CheckedName(std::string_view raw, const std::string& what, std::string* full) {
    // A field that is UTF-8 (as most spreadsheets write) is converted.
    std::string text = AsLatin1(Trim(raw));
    if (full != nullptr) *full = text;
    if (text.size() > static_cast<std::size_t>(MaxNameLength)) {
        if (!options.truncate) {
            Fail(what + " " + Quote(text) + " is longer than " + std::to_string(MaxNameLength) + " characters" + Where());
            nameTooLong = true;
            return {};
        }
        text.resize(MaxNameLength);
    }
    return text;
}

void CsvTableBuilder::State::EndHeader() {
    headerDone = true;
    for (std::string& field : fields) field = std::string(Trim(field));
    header = fields;
    if (!options.weightColumn.empty()) {
        const auto found = std::find(header.begin(), header.end(), options.weightColumn);
        if (found == header.end()) return Fail("No column named " + Quote(options.weightColumn) + " for the weights");
        weightIndex = static_cast<int>(found - header.begin());
    }
    if (options.variables.empty()) {
        for (int c = 0; c < static_cast<int>(header.size()); ++c)
            if (c != weightIndex) selected.push_back(c);
    } else {
        for (const std::string& name : options.variables) {
            const auto found = std::find(header.begin(), header.end(), name);
            if (found == header.end()) return Fail("No column named " + Quote(name));
            const int c = static_cast<int>(found - header.begin());
            if (c == weightIndex) return Fail("The weight column " + Quote(name) + " cannot also be a variable");
            if (std::find(selected.begin(), selected.end(), c) != selected.end())
                return Fail("Column " + Quote(name) + " is chosen twice");
            selected.push_back(c);
        }
    }
    if (selected.size() > static_cast<std::size_t>(MaxVariables))
        return Fail("Too many variables: " + std::to_string(selected.size()) + " (at most " +
                    std::to_string(MaxVariables) + ")");
    if (selected.size() < 2) return Fail("At least two variables are needed, the file gives " + std::to_string(selected.size()));
    std::vector<std::string> fullNames;
    auto names = std::make_unique<InputSide>();
    for (const int c : selected) {
        CsvImportColumn column;
        std::string full;
        column.name = CheckedName(header[static_cast<std::size_t>(c)], "Variable name", &full);
        if (!error.empty()) return;
        if (column.name.empty()) return Fail("Column " + std::to_string(c + 1) + " has no name");
        // The names so far, as the table set will hold them, for the one
        // check of the name rules that the editors use too.
        const VariableNameCheck check = CheckVariableName(*names, column.name, 0);
        if (check.problem == VariableNameCheck::ContainsStar)
            return Fail("Column " + Quote(column.name) + ": " + VariableNameWarning(check, column.name));
        if (check.problem == VariableNameCheck::Taken) {
            const std::string& other = fullNames[static_cast<std::size_t>(check.other - 1)];
            return Fail(other == full ? "Two columns are named " + Quote(full)
                                      : "Cut to 12 characters, two variable names become " + Quote(column.name));
        }
        fullNames.push_back(full);
        names->VariableNames[++names->VariableCount] = column.name;
        columns.push_back(std::move(column));
    }
    counts.assign(MaxPairTables + 1, {});
}

void CsvTableBuilder::State::EndRecord() {
    if (fields.size() != header.size())
        return Fail("Line " + std::to_string(line) + " has " + std::to_string(fields.size()) + " fields, the header has " +
                    std::to_string(header.size()));
    std::int64_t weight = 1;
    if (weightIndex >= 0) {
        const std::string_view text = Trim(fields[static_cast<std::size_t>(weightIndex)]);
        std::int64_t value = -1;
        const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || problem != std::errc() || end != text.data() + text.size() || value < 0 ||
            value > std::numeric_limits<std::int32_t>::max())
            return Fail("Invalid weight " + Quote(text) + " in line " + std::to_string(line) +
                        ": weights are whole numbers from 0 to 2147483647");
        weight = value;
    }
    std::array<int, MaxVariables + 1> category{};
    for (std::size_t v = 0; v < columns.size(); ++v) {
        CsvImportColumn& column = columns[v];
        const std::string& raw = fields[static_cast<std::size_t>(selected[v])];
        auto found = column.index.find(raw);
        if (found == column.index.end()) {
            // A field text not seen in this column before: check it once.
            std::string full;
            const std::string value = CheckedName(raw, "Value in column " + Quote(column.name) + ":", &full);
            if (!error.empty()) return;
            const auto same = std::find(column.categories.begin(), column.categories.end(), value);
            int number = 0;
            if (same != column.categories.end()) {
                number = static_cast<int>(same - column.categories.begin()) + 1;
                if (column.fullValues[static_cast<std::size_t>(number - 1)] != full)
                    return Fail("Cut to 12 characters, two values of column " + Quote(column.name) + " become " +
                                Quote(value) + Where());
            } else if (column.categories.size() < static_cast<std::size_t>(MaxCategories)) {
                column.categories.push_back(value);
                column.fullValues.push_back(full);
                number = static_cast<int>(column.categories.size());
            } else {
                column.extra.insert(full);
                if (column.extra.size() > DistinctValueLimit)
                    return Fail("Column " + Quote(column.name) + " has more than " +
                                std::to_string(DistinctValueLimit) + " categories (at most " +
                                std::to_string(MaxCategories) + ")");
            }
            found = column.index.emplace(raw, number).first;
        }
        category[v + 1] = found->second;
    }
    ++records;
    if (weight == 0) return;
    const int count = static_cast<int>(columns.size());
    for (int i = 2; i <= count; ++i) {
        if (category[i] == 0) continue;  // a column past 16 categories: refused at the end
        for (int j = 1; j < i; ++j)
            if (category[j] != 0) counts[static_cast<std::size_t>(PairIndex(i, j))][category[i]][category[j]] += weight;
    }
}

void CsvTableBuilder::OnField(void* data, std::size_t size, void* context) {
    auto* state = static_cast<CsvTableBuilder::State*>(context);
    if (!state->error.empty()) return;
    state->fields.emplace_back(static_cast<const char*>(data), size);
}

void CsvTableBuilder::OnRecordEnd(int, void* context) {
    auto* state = static_cast<CsvTableBuilder::State*>(context);
    if (!state->error.empty()) return;
    if (!state->headerDone) state->EndHeader();
    else state->EndRecord();
    state->fields.clear();
}

CsvTableBuilder::CsvTableBuilder(CsvImportOptions options) : m_state(std::make_unique<State>()) {
    m_state->options = std::move(options);
    if (csv_init(&m_state->parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw ImportError("Out of memory");
}

CsvTableBuilder::~CsvTableBuilder() { csv_free(&m_state->parser); }

std::int64_t CsvTableBuilder::RecordCount() const { return m_state->records; }

void CsvTableBuilder::Feed(std::string_view bytes) {
    State& s = *m_state;
    if (!s.sawBom) {
        // Hold back the first three bytes until it is known whether they are
        // a UTF-8 byte order mark, which is dropped.
        s.start.append(bytes);
        if (s.start.size() < 3 && std::string_view("\xEF\xBB\xBF").starts_with(s.start)) return;
        s.sawBom = true;
        std::string start;
        start.swap(s.start);
        if (std::string_view(start).starts_with("\xEF\xBB\xBF")) start.erase(0, 3);
        return FeedLines(start);
    }
    FeedLines(bytes);
}

void CsvTableBuilder::FeedLines(std::string_view bytes) {
    State& s = *m_state;
    // Feed line by line so that a refusal can name the line it is on.
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::size_t length = lf == std::string_view::npos ? bytes.size() : lf + 1;
        if (csv_parse(&s.parser, bytes.data(), length, OnField, OnRecordEnd, &s) != length)
            s.Fail("Malformed quotes in line " + std::to_string(s.line));
        if (!s.error.empty()) throw ImportError(s.error, s.nameTooLong);
        bytes.remove_prefix(length);
        if (lf != std::string_view::npos) ++s.line;
    }
}

void CsvTableBuilder::Finish(TableSet& ts) {
    State& s = *m_state;
    if (!s.sawBom) {
        s.sawBom = true;
        FeedLines(s.start);
    }
    if (csv_fini(&s.parser, OnField, OnRecordEnd, &s) != 0) s.Fail("Malformed quotes at the end of the file");
    if (!s.error.empty()) throw ImportError(s.error, s.nameTooLong);
    if (!s.headerDone) throw ImportError("Empty file: the first line must name the variables");
    if (s.records == 0) throw ImportError("No records: the file holds only the line of names");
    for (const CsvImportColumn& column : s.columns) {
        if (column.Distinct() > static_cast<std::size_t>(MaxCategories))
            throw ImportError("Column " + Quote(column.name) + " has " + std::to_string(column.Distinct()) +
                              " categories (at most " + std::to_string(MaxCategories) + ")");
        if (column.categories.size() < 2)
            throw ImportError("Column " + Quote(column.name) + " has only one category (at least 2)");
    }
    const int count = static_cast<int>(s.columns.size());
    auto result = std::make_unique<TableSet>(ts);
    result->VariableCount = count;
    for (int v = 1; v <= count; ++v) {
        const CsvImportColumn& column = s.columns[static_cast<std::size_t>(v - 1)];
        result->VariableNames[v] = column.name;
        result->CategoryCounts[v] = static_cast<std::uint8_t>(column.categories.size());
        for (std::size_t n = 0; n < column.categories.size(); ++n) result->CategoryNames[v][n + 1] = column.categories[n];
        result->VariableRoles[v] = 0;
    }
    for (int i = 2; i <= count; ++i)
        for (int j = 1; j < i; ++j) {
            const int k = PairIndex(i, j);
            for (int x = 1; x <= result->CategoryCounts[i]; ++x)
                for (int y = 1; y <= result->CategoryCounts[j]; ++y) {
                    const std::int64_t n = s.counts[static_cast<std::size_t>(k)][x][y];
                    if (n > std::numeric_limits<std::int32_t>::max())
                        throw ImportError("The count of " + result->CategoryNames[i][x] + " by " +
                                          result->CategoryNames[j][y] + " in table " + result->VariableNames[i] +
                                          " by " + result->VariableNames[j] + " is " + std::to_string(n) +
                                          ", more than a table cell holds (2147483647)");
                    result->PairTables[k][x][y] = static_cast<std::int32_t>(n);
                }
        }
    ts = std::move(*result);
}

void ImportCsv(const std::filesystem::path& path, const CsvImportOptions& options, TableSet& ts) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowIoError(errno, IoOperation::Read);
    CsvTableBuilder builder(options);
    std::string buffer(1 << 20, '\0');
    try {
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got < 0) {
                if (errno == EINTR) continue;
                ThrowIoError(errno, IoOperation::Read);
            }
            if (got == 0) break;
            builder.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    builder.Finish(ts);
}

}  // namespace kelvo
