#include "text_report.h"

#include <algorithm>

#include "output_sections.h"
#include "version.h"

namespace kelvo {

namespace {

// Names in table columns and row labels show at most this many characters.
constexpr std::size_t NameCut = 10;
constexpr int LabelWidth = 10;   // the first column: row labels
constexpr int ColumnWidth = 12;  // every other column

void AppendAligned(std::string& line, std::string_view text, int width, bool right) {
    text = text.substr(0, NameCut);
    const std::size_t pad = static_cast<int>(text.size()) < width ? static_cast<std::size_t>(width) - text.size() : 0;
    if (right) line.append(pad, ' ');
    line.append(text);
    if (!right) line.append(pad, ' ');
}

// A number is right-aligned in its column but, unlike a name, never cut: a
// number shown by its first 10 characters would be a different number. A
// longer number makes its line longer instead.
void AppendNumber(std::string& line, std::string_view text, int width) {
    if (text.size() < static_cast<std::size_t>(width)) line.append(static_cast<std::size_t>(width) - text.size(), ' ');
    line.append(text);
}

}  // namespace

void TextDriver::Cell(const OutputCell& cell, int column, int row, const OutputTable& table) {
    const int width = column == 0 ? LabelWidth : m_widths[static_cast<std::size_t>(column)];
    if (IsNumber(cell.role)) {
        m_number.clear();
        AppendCellText(m_number, cell);
        AppendNumber(m_line, m_number, width);
    } else if (m_kind == SectionKind::ModelSummary && column > 0 && row < table.headingRows) {
        // The headings of the model summary name statistics ("SE (classical)"),
        // not categories: they are never cut, and Table() widened their
        // column to keep two spaces before them.
        AppendNumber(m_line, cell.text, width);
    } else
        AppendAligned(m_line, cell.text, width, column != 0);
}

void TextDriver::Dashes(int n) {
    m_line.assign(n > 0 ? static_cast<std::size_t>(n) : 0, '-');
    m_out.Line(m_line);
}

void TextDriver::BeginDocument() {
    m_out.Line(ProgramTitle);
    m_out.Line({});
}

void TextDriver::BeginSection(const SectionInfo& section) {
    m_kind = section.kind;
}

void TextDriver::EndSection(const SectionInfo&) {}

void TextDriver::ModelTable(const OutputTable& table) {
    // "Model:", then "Label: text" a line, between dashes as long as the last
    // line (the predictors), whatever the length of the others.
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(table.Rows()));
    for (int r = 0; r < table.Rows(); ++r) lines.push_back(table.At(0, r).text + ": " + table.At(1, r).text);
    const int width = lines.empty() ? 0 : static_cast<int>(lines.back().size());
    m_out.Line(table.title + ":");
    Dashes(width);
    for (const std::string& line : lines) m_out.Line(line);
    Dashes(width);
    m_out.Line({});
}

void TextDriver::Table(const OutputTable& table) {
    if (m_kind == SectionKind::Model) return ModelTable(table);
    m_widths.assign(static_cast<std::size_t>(std::max(table.columns, 1)), ColumnWidth);
    int width = LabelWidth;
    for (int c = 1; c < table.columns; ++c) {
        int& column = m_widths[static_cast<std::size_t>(c)];
        if (m_kind == SectionKind::ModelSummary)
            for (int r = 0; r < table.headingRows; ++r)
                column = std::max(column, static_cast<int>(table.At(c, r).text.size()) + 2);
        width += column;
    }
    const int rows = table.Rows();
    m_out.Line(table.title);
    Dashes(width);
    for (int r = 0; r < rows; ++r) {
        if (r == table.headingRows || (table.footerRows > 0 && r == rows - table.footerRows)) Dashes(width);
        m_line.clear();
        for (int c = 0; c < table.columns; ++c) Cell(table.At(c, r), c, r, table);
        m_out.Line(m_line);
    }
    Dashes(width);
    for (const std::string& note : table.notes) m_out.Line(note);
    m_out.Line({});
}

std::string AlignRight(std::string_view text, int width) {
    std::string out;
    AppendAligned(out, text, width, true);
    return out;
}

std::string AlignLeft(std::string_view text, int width) {
    std::string out;
    AppendAligned(out, text, width, false);
    return out;
}

}  // namespace kelvo
