// The plain-text report: fixed-width columns for reading in a monospaced
// font. Each section writer appends its lines (CR LF) to an open report file;
// which sections are written, and in which order, is decided by WriteReport
// (report.h). The writers read the table set and change nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output_model.h"
#include "table_set.h"
#include "text_file.h"

namespace kelvo {

// The text driver: renders the sections of the output model in fixed-width
// columns. A table is its title, a line of dashes, the heading line (the
// corner in 10 characters, each heading right-aligned in 12, names cut to
// 10), dashes, a line per row (the label in 10, each number right-aligned in
// 12 and never cut), dashes before the footer rows, dashes, the table's
// notes a line each, and an empty line; the dashes are as long as 10 + 12
// for each further column. In the model summary the headings name
// statistics: they are not cut, and a column is wider than 12 where its
// heading needs two spaces more. The model is drawn as its lines between two
// dash lines as long as the last of them.
class TextDriver : public OutputDriver {
public:
    explicit TextDriver(LineSink& out) : m_out(out) {}
    // The report's title line and an empty line.
    void BeginDocument();
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void EndSection(const SectionInfo& section) override;

private:
    void ModelTable(const OutputTable& table);
    void Cell(const OutputCell& cell, int column, int row, const OutputTable& table);
    void Dashes(int n);
    LineSink& m_out;
    SectionKind m_kind = SectionKind::Model;
    std::string m_line;
    std::string m_number;
    std::vector<int> m_widths;  // of the columns of the table being written
};

// The text cut to its first 10 characters, then padded with spaces in front
// (AlignRight) or behind (AlignLeft) to at least `width` characters. Used for
// names and headings; numbers are never cut (see the number fields).
std::string AlignRight(std::string_view text, int width);
std::string AlignLeft(std::string_view text, int width);

}  // namespace kelvo
