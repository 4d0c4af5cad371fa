#include "csv_survey.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "latin1.h"
#include "name_rules.h"
#include "pair_counter.h"
#include "source_columns.h"
#include "table_set.h"

namespace kelvo {

bool CsvColumnSurvey::MoreThanCategories() const { return distinct > static_cast<std::size_t>(MaxCategories); }

CsvSurvey SurveyCsv(const std::filesystem::path& path, const ReadProgress& progress) {
    CsvSurvey survey;
    bool header = true;
    CsvRecordReader* reader = nullptr;
    CsvRecordReader csv([&](std::vector<std::string>& fields) {
        if (header) {
            header = false;
            for (const std::string& field : fields) {
                CsvColumnSurvey& column = survey.columns.emplace_back();
                column.name = AsLatin1(TrimBlanks(field));
                if (const auto control = FirstControlCharacter(column.name))
                    column.controlCharacter = "name holds " + ControlCharacterName(*control);
            }
            return;
        }
        if (fields.size() != survey.columns.size())
            throw FieldCountError(reader->Line(), fields.size(), survey.columns.size());
        ++survey.records;
        for (std::size_t c = 0; c < fields.size(); ++c) {
            CsvColumnSurvey& column = survey.columns[c];
            const std::string_view text = TrimBlanks(fields[c]);
            if (column.wholeNumbers) {
                std::int64_t number = -1;
                const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
                column.wholeNumbers = !text.empty() && problem == std::errc() && end == text.data() + text.size() &&
                                      number >= 0 && number <= std::numeric_limits<std::int32_t>::max();
            }
            if (column.MoreThanCategories()) continue;
            const std::string value = AsLatin1(text);
            if (std::find(column.values.begin(), column.values.end(), value) != column.values.end()) continue;
            if (const auto control = FirstControlCharacter(value); control && column.controlCharacter.empty())
                column.controlCharacter =
                    "value on line " + std::to_string(reader->Line()) + " holds " + ControlCharacterName(*control);
            ++column.distinct;
            if (!column.MoreThanCategories()) column.values.push_back(value);
        }
    });
    reader = &csv;
    ReadFileInPieces(path, [&](std::string_view piece) { csv.Feed(piece); }, progress);
    csv.Finish();
    if (header) throw EmptyFileError();
    return survey;
}

}  // namespace kelvo
