#include "csv_import.h"
#include "source_columns.h"

#include <charconv>
#include <limits>
#include <optional>

namespace kelvo {

struct CsvTableBuilder::State {
    CsvImportOptions options;
    CsvRecordReader reader;
    std::vector<std::string> header;  // names of all columns, in file order
    std::vector<int> selected;        // file column of each variable
    int weightIndex = -1;             // file column of the weight, -1 for none
    std::optional<PairCounter> counter;
    std::int64_t records = 0;

    explicit State(CsvImportOptions chosen)
        : options(std::move(chosen)), reader([this](std::vector<std::string>& fields) { OnRecord(fields); }) {}

    void OnRecord(std::vector<std::string>& fields) {
        if (!counter) EndHeader(fields);
        else EndRecord(fields);
    }
    void EndHeader(std::vector<std::string>& fields);
    void EndRecord(const std::vector<std::string>& fields);
};

namespace {

// Columns chosen by their place, checked against the header as read now.
void CheckColumnNumbers(const ChosenColumns& chosen, std::size_t count) {
    std::vector<bool> taken(count);
    const auto check = [&](int c) {
        if (c < 0 || static_cast<std::size_t>(c) >= count)
            throw ImportError("No column " + std::to_string(c + 1) + ": the file has " + std::to_string(count));
        if (taken[static_cast<std::size_t>(c)]) throw ImportError("Column " + std::to_string(c + 1) + " is chosen twice");
        taken[static_cast<std::size_t>(c)] = true;
    };
    if (chosen.weight >= 0) check(chosen.weight);
    for (const int c : chosen.variables) check(c);
}

}  // namespace

void CsvTableBuilder::State::EndHeader(std::vector<std::string>& fields) {
    for (std::string& field : fields) field = std::string(TrimBlanks(field));
    header = fields;
    if (options.columns) CheckColumnNumbers(*options.columns, header.size());
    const ChosenColumns chosen =
        options.columns ? *options.columns : ChooseColumns(header, options.variables, options.weightColumn);
    selected = chosen.variables;
    weightIndex = chosen.weight;
    std::vector<std::string> names;
    for (const int c : selected) names.push_back(header[static_cast<std::size_t>(c)]);
    if (names.size() >= 2 && names.size() <= static_cast<std::size_t>(MaxVariables))
        for (std::size_t v = 0; v < names.size(); ++v)
            if (names[v].empty()) throw ImportError("Column " + std::to_string(selected[v] + 1) + " has no name");
    counter.emplace(names, PairCountOptions{options.truncate, options.order}, [this] { return reader.Where(); });
}

void CsvTableBuilder::State::EndRecord(const std::vector<std::string>& fields) {
    const std::int64_t line = reader.Line();
    if (fields.size() != header.size())
        throw FieldCountError(line, fields.size(), header.size());
    std::int64_t weight = 1;
    if (weightIndex >= 0) {
        const std::string_view text = TrimBlanks(fields[static_cast<std::size_t>(weightIndex)]);
        std::int64_t value = -1;
        const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || problem != std::errc() || end != text.data() + text.size() || value < 0 ||
            value > std::numeric_limits<std::int32_t>::max())
            throw ImportError("Invalid weight " + Quoted(text) + " in line " + std::to_string(line) +
                                  ": weights are whole numbers from 0 to 2147483647",
                              BriefText{"Invalid weight in line " + std::to_string(line)});
        weight = value;
    }
    RecordCategories categories{};
    for (std::size_t v = 0; v < selected.size(); ++v)
        categories[v + 1] = counter->Category(static_cast<int>(v) + 1, fields[static_cast<std::size_t>(selected[v])]);
    ++records;
    counter->AddRecord(categories, weight);
}

CsvTableBuilder::CsvTableBuilder(CsvImportOptions options) : m_state(std::make_unique<State>(std::move(options))) {}

CsvTableBuilder::~CsvTableBuilder() = default;

std::int64_t CsvTableBuilder::RecordCount() const { return m_state->records; }

void CsvTableBuilder::Feed(std::string_view bytes) { m_state->reader.Feed(bytes); }

void CsvTableBuilder::Finish(InputSide& ts) {
    State& s = *m_state;
    s.reader.Finish();
    if (!s.counter) throw EmptyFileError();
    if (s.records == 0)
        throw ImportError("No records: the file holds only the line of names", BriefText{"No records, only the names"});
    s.counter->Finish(ts);
}

void ImportCsv(const std::filesystem::path& path, const CsvImportOptions& options, InputSide& ts,
               const ReadProgress& progress) {
    CsvTableBuilder builder(options);
    ReadFileInPieces(path, [&](std::string_view piece) { builder.Feed(piece); }, progress);
    builder.Finish(ts);
}

}  // namespace kelvo
