#include "latex_report.h"

#include <algorithm>

#include "latin1.h"
#include "version.h"

namespace kelvo {

namespace {

// About how many characters fit in the width of the text at the table's
// size: wider tables are scaled down.
constexpr std::size_t LineCharacters = 80;

// The characters that the T1 fonts join with the next one: "--" is a dash,
// ",," low quotes.
bool FormsLigature(char c) {
    return c == '-' || c == ',';
}

}  // namespace

void AppendLatexText(std::string& out, std::string_view latin1) {
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const char c = latin1[i];
        switch (c) {
            case '&': case '%': case '$': case '#': case '_': case '{': case '}':
                out += '\\';
                out += c;
                break;
            case '~': out += "\\textasciitilde{}"; break;
            case '^': out += "\\textasciicircum{}"; break;
            case '\\': out += "\\textbackslash{}"; break;
            case '<': out += "\\textless{}"; break;
            case '>': out += "\\textgreater{}"; break;
            case '|': out += "\\textbar{}"; break;
            case '"': out += "\\textquotedbl{}"; break;
            // Quotes as typed, not as typographic ones (which also begin the
            // ligatures "!`" and "?`").
            case '`': out += "\\textasciigrave{}"; break;
            case '\'': out += "\\textquotesingle{}"; break;
            // A bracket after \\ or at the start of a cell would be read as
            // an optional argument.
            case '[': out += "{[}"; break;
            case ']': out += "{]}"; break;
            default:
                if (static_cast<unsigned char>(c) >= 0xA0) {
                    out += Latin1ToUtf8(std::string_view(&c, 1));
                    break;
                }
                // The C1 controls have no glyph and stop LaTeX's UTF-8 input.
                if (static_cast<unsigned char>(c) >= 0x80) {
                    out += '?';
                    break;
                }
                out += c;
                // An empty group keeps a ligature's characters apart.
                if (FormsLigature(c) && i + 1 < latin1.size() && FormsLigature(latin1[i + 1])) out += "{}";
        }
    }
}

void LatexDriver::BeginDocument() {
    m_out.Line("\\documentclass{article}");
    m_out.Line("\\usepackage[T1]{fontenc}");
    m_out.Line("\\usepackage[utf8]{inputenc}");
    m_out.Line("\\usepackage{booktabs}");
    m_out.Line("\\usepackage{graphicx}");
    m_out.Line("\\begin{document}");
    m_line = "\\section*{";
    AppendLatexText(m_line, ProgramTitle);
    m_out.Line(m_line + "}");
}

void LatexDriver::EndDocument() {
    m_out.Line("\\end{document}");
}

void LatexDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
    m_out.Line({});
    m_line = "\\subsection*{";
    AppendLatexText(m_line, section.title);
    m_out.Line(m_line + "}");
}

void LatexDriver::EndSection(const SectionInfo&) {}

void LatexDriver::Row(const OutputTable& table, int row) {
    m_line.clear();
    for (int c = 0; c < table.columns; ++c) {
        if (c > 0) m_line += " & ";
        const OutputCell& cell = table.At(c, row);
        const bool bold = cell.role == CellRole::SignificantPercent;
        if (bold) m_line += "\\textbf{";
        if (IsNumber(cell.role))
            AppendCellText(m_line, cell);
        else
            AppendLatexText(m_line, cell.text);
        if (bold) m_line += '}';
    }
    m_line += " \\\\";
    m_out.Line(m_line);
}

void LatexDriver::Table(const OutputTable& table) {
    m_out.Line({});
    m_line = "\\noindent\\textbf{";
    AppendLatexText(m_line, table.title);
    m_out.Line(m_line + "}\\par\\nopagebreak\\smallskip");
    // The width in characters, from the longest text of every column.
    std::size_t width = 0;
    for (int c = 0; c < table.columns; ++c) {
        std::size_t widest = 0;
        for (int r = 0; r < table.Rows(); ++r) widest = std::max(widest, CellText(table.At(c, r)).size());
        width += widest + 2;
    }
    const bool scaled = width > LineCharacters;
    m_line = "\\noindent";
    if (scaled) m_line += "\\resizebox{\\textwidth}{!}{%";
    m_out.Line(m_line);
    m_line = "\\begin{tabular}{";
    for (int c = 0; c < table.columns; ++c) m_line += IsNumberColumn(table, c) ? 'r' : 'l';
    m_out.Line(m_line + "}");
    m_out.Line("\\toprule");
    const int rows = table.Rows();
    for (int r = 0; r < rows; ++r) {
        if (r > 0 && r == table.headingRows) m_out.Line("\\midrule");
        if (table.footerRows > 0 && r == rows - table.footerRows && r > table.headingRows) m_out.Line("\\midrule");
        Row(table, r);
    }
    m_out.Line("\\bottomrule");
    m_out.Line(scaled ? "\\end{tabular}}" : "\\end{tabular}");
    m_out.Line("\\par\\medskip");
    if (!m_section.note.empty()) {
        m_line = "\\noindent\\textit{";
        AppendLatexText(m_line, m_section.note);
        m_out.Line(m_line + "}\\par\\medskip");
    }
}

}  // namespace kelvo
