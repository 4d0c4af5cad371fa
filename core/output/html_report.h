// The HTML report, for reading in a web browser. Its look comes from the
// style sheet "kelvo.css" that it links by that relative name: cells of class
// "kop" (headings, row labels, significant values) and "cel" (plain values).
// Each section writer appends its lines (CR LF) to an open report file; the
// sections and their order are decided by WriteReport (report.h). The writers
// read the table set and change nothing.
//
// Names are user data and are escaped (& < > " become entities), so that a
// name such as "R&D" or one holding "<" cannot break or inject markup; every
// other character of the markup is fixed.
#pragma once

#include "output_model.h"
#include "table_set.h"
#include "text_file.h"

namespace kelvo {

// The HTML driver: renders the sections of the output model as the report's
// markup. Every text is escaped; each section ends with "<hr>". The markup of
// the original sections is fixed to the byte, quirks included (which
// heading cells are indented, the order of their attributes, "<p></p>" after
// the standard errors), and this driver is the one place that carries it.
class HtmlDriver : public OutputDriver {
public:
    explicit HtmlDriver(LineSink& out) : m_out(out) {}
    // Document start and the report's title.
    void BeginDocument();
    // Document end.
    void EndDocument();
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void Figure(const OutputFigure& figure) override;
    void EndSection(const SectionInfo& section) override;

private:
    void EscapedLine(std::string_view before, std::string_view text, std::string_view after);
    void TableStart(const OutputTable& table);
    void ModelTable(const OutputTable& table);
    void Cell(const OutputCell& cell);
    // Appends the number of `cell` right-aligned in `width` characters and
    // the cell's end to the line at hand.
    void AppendNumber(const OutputCell& cell, std::size_t width);
    LineSink& m_out;
    SectionInfo m_section;
    std::string m_line;
    std::string m_number;
    std::string m_escaped;
};

// `text` with the characters that have a meaning in HTML (& < > ") replaced
// by their entities, appended to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace kelvo
