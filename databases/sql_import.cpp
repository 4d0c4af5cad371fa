#include "sql_connection.h"
#include "source_columns.h"

namespace kelvo {

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
    const std::string sql = PairQuery(spec);

    // The result's columns are those the query names, in its order.
    std::vector<std::string> header = {"kelvo_set"};
    header.insert(header.end(), spec.columns.begin(), spec.columns.end());
    header.push_back("kelvo_count");
    if (!spec.weight.empty()) header.push_back("kelvo_bad_weights");
    if (spec.order == CategoryOrder::FirstSeen) header.push_back("kelvo_first_row");
    std::int64_t row = 0;
    PairCountsReader reader(header, options.counting, [&row] { return " (result row " + std::to_string(row) + ")"; },
                            options.weight);
    connection.Query(sql, [&](const std::vector<std::string>& fields) {
        ++row;
        reader.AddRow(fields);
    });
    reader.Finish(ts);
}

}  // namespace kelvo
