// The numbers of a report as CSV (RFC 4180: fields separated by commas,
// quoted when they hold a comma, a quote or a line end, quotes doubled, CR LF
// line ends), UTF-8, one row per number: the section, the table, the row
// label, the column label, the value as the reports show it, and whether it
// is significant ("yes" or "no" in a section that tests every value, empty
// elsewhere), under a heading row. Names and headings without a number are
// not rows of their own; pictures are left out.
#pragma once

#include <string>
#include <string_view>

#include "line_sink.h"
#include "output_model.h"

namespace kelvo {

class CsvDriver : public OutputDriver {
public:
    explicit CsvDriver(LineSink& out) : m_out(out) {}
    // The heading row: section,table,row,column,value,significant.
    void BeginDocument();
    void EndDocument() {}
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void EndSection(const SectionInfo& section) override;

private:
    LineSink& m_out;
    SectionInfo m_section;
    std::string m_sectionField;  // the section's title as a field
    std::string m_line;
};

// Latin-1 `text` as a UTF-8 CSV field, quoted when it needs to be.
void AppendCsvField(std::string& out, std::string_view latin1);

}  // namespace kelvo
