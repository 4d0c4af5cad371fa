#include "markdown_report.h"

#include "latin1.h"
#include "version.h"

namespace kelvo {

void AppendMarkdownText(std::string& out, std::string_view latin1) {
    // Inline markup (emphasis, code, links, autolinks, raw HTML, entities,
    // strikethrough), the cell separator, and the backslash itself. Any
    // other character means nothing inside a heading, an item or a cell.
    constexpr std::string_view Markup = "\\`*_[]<>!|~&#";
    for (const char c : latin1) {
        if (Markup.find(c) != std::string_view::npos) out += '\\';
        if (static_cast<unsigned char>(c) < 0x80)
            out += c;
        else
            out += Latin1ToUtf8(std::string_view(&c, 1));
    }
}

void MarkdownDriver::BeginDocument() {
    m_line = "# ";
    AppendMarkdownText(m_line, ProgramTitle);
    m_out.Line(m_line);
}

void MarkdownDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
    m_out.Line({});
    m_line = "## ";
    AppendMarkdownText(m_line, section.title);
    m_out.Line(m_line);
}

void MarkdownDriver::EndSection(const SectionInfo&) {}

void MarkdownDriver::Row(const OutputTable& table, int row) {
    m_line = "|";
    for (int c = 0; c < table.columns; ++c) {
        const OutputCell& cell = table.At(c, row);
        m_line += ' ';
        const bool bold = cell.role == CellRole::SignificantPercent;
        if (bold) m_line += "**";
        if (IsNumber(cell.role))
            AppendCellText(m_line, cell);
        else
            AppendMarkdownText(m_line, cell.text);
        if (bold) m_line += "**";
        m_line += " |";
    }
    m_out.Line(m_line);
}

void MarkdownDriver::Table(const OutputTable& table) {
    m_out.Line({});
    m_line = "### ";
    AppendMarkdownText(m_line, table.title);
    m_out.Line(m_line);
    m_out.Line({});
    if (table.headingRows == 0) {
        for (int r = 0; r < table.Rows(); ++r) {
            m_line = "- ";
            for (int c = 0; c < table.columns; ++c) {
                if (c == 1) m_line += ": ";
                if (c > 1) m_line += ' ';
                AppendMarkdownText(m_line, CellText(table.At(c, r)));
            }
            m_out.Line(m_line);
        }
    } else {
        Row(table, 0);
        m_line = "|";
        for (int c = 0; c < table.columns; ++c) m_line += IsNumberColumn(table, c) ? " ---: |" : " :--- |";
        m_out.Line(m_line);
        for (int r = 1; r < table.Rows(); ++r) Row(table, r);
    }
    if (!m_section.note.empty()) {
        m_out.Line({});
        m_line = "*";
        AppendMarkdownText(m_line, m_section.note);
        m_line += '*';
        m_out.Line(m_line);
    }
}

}  // namespace kelvo
