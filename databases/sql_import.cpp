#include <charconv>

#include "source_columns.h"
#include "sql_connection.h"

namespace kelvo {

namespace {

// The records themselves, read in one pass and counted here: every value
// goes through the counter as a field of a CSV record does.
void CountRecords(SqlConnection& connection, const PairQueryOptions& spec, PairCountOptions counting, InputSide& ts) {
    const std::string sql = RecordQuery(spec);
    std::int64_t records = 0;
    PairCounter counter(spec.columns, counting, [&records] { return " (record " + std::to_string(records) + ")"; });
    const int n = counter.VariableCount();
    const bool weighted = !spec.weight.empty();
    const std::size_t fields = static_cast<std::size_t>(n) + (weighted ? 1 : 0);
    std::int64_t badWeights = 0;
    connection.Query(sql, [&](SqlRow row) {
        ++records;
        if (row.size() != fields)
            throw ImportError("The database gave " + std::to_string(row.size()) + " fields for a record of " +
                              std::to_string(fields));
        RecordCategories categories{};
        for (int v = 1; v <= n; ++v) {
            const SqlField& field = row[static_cast<std::size_t>(v - 1)];
            categories[v] = field.null ? counter.NullCategory(v) : counter.Category(v, field.text);
        }
        std::int64_t weight = 1;
        if (weighted) {
            // The query gives the weight as a whole number from 0 to
            // 2147483647, or NULL for any other.
            const SqlField& field = row[static_cast<std::size_t>(n)];
            const char* end = field.text.data() + field.text.size();
            if (field.null || std::from_chars(field.text.data(), end, weight).ptr != end || weight < 0) {
                ++badWeights;
                return;
            }
        }
        counter.AddRecord(categories, weight);
    });
    if (records == 0) throw ImportError(NoRecordsMessage());
    if (badWeights > 0) throw ImportError(InvalidWeightsMessage(spec.weight, badWeights));
    counter.Finish(ts);
}

// The counting query run by the database; only its result travels.
void CountInDatabase(SqlConnection& connection, const PairQueryOptions& spec, PairCountOptions counting,
                     InputSide& ts) {
    const std::string sql = PairQuery(spec);
    // The result's columns are those the query names, in its order.
    std::vector<std::string> header = {"kelvo_set"};
    header.insert(header.end(), spec.columns.begin(), spec.columns.end());
    header.push_back("kelvo_count");
    if (!spec.weight.empty()) header.push_back("kelvo_bad_weights");
    if (spec.order == CategoryOrder::FirstSeen) header.push_back("kelvo_first_row");
    std::int64_t row = 0;
    PairCountsReader reader(header, counting, [&row] { return " (result row " + std::to_string(row) + ")"; },
                            spec.weight);
    std::vector<std::string> fields;
    connection.Query(sql, [&](SqlRow result) {
        ++row;
        // A NULL is a field without the leading ":", as in an export.
        fields.resize(result.size());
        for (std::size_t c = 0; c < result.size(); ++c) fields[c].assign(result[c].null ? "" : result[c].text);
        reader.AddRow(fields);
    });
    reader.Finish(ts);
}

}  // namespace

void ImportThrough(SqlConnection& connection, const SqlImportOptions& options, InputSide& ts) {
    CheckOrderAllowed(connection.Dialect(), options.counting.order);
    const std::vector<std::string> available = connection.Columns(options.table);
    const ChosenColumns chosen = ChooseColumns(available, options.columns, options.weight);
    PairQueryOptions spec;
    spec.dialect = connection.Dialect();
    spec.table = options.table;
    for (const int c : chosen.variables) spec.columns.push_back(available[static_cast<std::size_t>(c)]);
    spec.weight = options.weight;
    spec.where = options.where;
    spec.order = options.counting.order;
    if (options.countInDatabase) CountInDatabase(connection, spec, options.counting, ts);
    else CountRecords(connection, spec, options.counting, ts);
}

}  // namespace kelvo
