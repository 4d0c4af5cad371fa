#include "html_report.h"

#include "chart_svg.h"
#include "number_format.h"
#include "output_sections.h"
#include "version.h"

namespace kelvo {

namespace {

constexpr std::string_view CellEnd = "</td>";

void AppendPadded(std::string& line, std::string_view text, std::size_t width) {
    if (text.size() < width) line.append(width - text.size(), ' ');
    line.append(text);
}

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

void HtmlDriver::BeginDocument() {
    m_out.Line("<html>");
    m_out.Line("<head>");
    m_out.Line("<link rel=stylesheet type=\"text/css\" href=\"kelvo.css\">");
    m_out.Line("</head>");
    m_out.Line("<body>");
    m_out.Line(std::string("<h1>") + ProgramTitle + "</h1>");
    m_out.Line("<p>");
}

void HtmlDriver::EndDocument() {
    m_out.Line("</body>");
    m_out.Line("</html>");
}

void HtmlDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
}

void HtmlDriver::EndSection(const SectionInfo&) {
    m_out.Line("<hr>");
}

void HtmlDriver::EscapedLine(std::string_view before, std::string_view text, std::string_view after) {
    m_line = before;
    AppendHtmlEscaped(m_line, text);
    m_line += after;
    m_out.Line(m_line);
}

void HtmlDriver::TableStart(const OutputTable& table) {
    EscapedLine("<h2>", table.title, "</h2>");
    m_out.Line("<table>");
}

void HtmlDriver::ModelTable(const OutputTable& table) {
    TableStart(table);
    for (int r = 0; r < table.Rows(); ++r) {
        m_out.Line("<tr>");
        EscapedLine("  <td class=\"kop\">", table.At(0, r).text, CellEnd);
        // The first value stands in its cell's line; a later one (the list of
        // predictors) on a line of its own, indented, before the cell's end.
        if (r == 0) {
            EscapedLine("  <td class=\"cel\">", table.At(1, r).text, CellEnd);
        } else {
            m_out.Line("  <td class=\"cel\">");
            EscapedLine("   ", table.At(1, r).text, "  </td>");
        }
        m_out.Line("</tr>");
    }
    m_out.Line("</table>");
}

void HtmlDriver::Cell(const OutputCell& cell) {
    switch (cell.role) {
        case CellRole::Corner:
            m_line = "  <td class=\"kop\" width=60>";
            if (cell.text.empty()) m_line += "&nbsp;";
            break;
        case CellRole::Heading:
            m_line = "<td class=\"kop\" width=60 align=right>";
            break;
        case CellRole::SummaryHeading:
            // "Total" of the pair tables stands at the margin, "Average" of the
            // predictor tables is indented.
            m_line = m_section.kind == SectionKind::PairTables ? "" : "  ";
            m_line += "<td class=\"kop\" align=right width=60>";
            break;
        case CellRole::RowLabel:
            m_line = "  <td class=\"kop\">";
            break;
        case CellRole::Text:
            m_line = "  <td class=\"cel\">";
            break;
        case CellRole::Count:
            m_line = "  <td class=\"cel\" align=right>";
            AppendNumber(cell, 8);
            return m_out.Line(m_line);
        case CellRole::Percent:
        case CellRole::OutOfRange:
        case CellRole::Statistic:
        case CellRole::SignificantPercent:
            m_line = cell.role == CellRole::SignificantPercent ? "  <td class=\"kop\" align=right>"
                                                               : "  <td class=\"cel\" align=right>";
            AppendNumber(cell, 6);
            return m_out.Line(m_line);
    }
    AppendHtmlEscaped(m_line, cell.text);
    m_line += CellEnd;
    m_out.Line(m_line);
}

void HtmlDriver::AppendNumber(const OutputCell& cell, std::size_t width) {
    m_number.clear();
    AppendCellText(m_number, cell);
    // Escaped: a p-value may read "< 0.0001".
    m_escaped.clear();
    AppendHtmlEscaped(m_escaped, m_number);
    AppendPadded(m_line, m_escaped, width);
    m_line += CellEnd;
}

void HtmlDriver::Table(const OutputTable& table) {
    if (m_section.kind == SectionKind::Model) return ModelTable(table);
    TableStart(table);
    for (int r = 0; r < table.Rows(); ++r) {
        m_out.Line("<tr>");
        for (int c = 0; c < table.columns; ++c) Cell(table.At(c, r));
        m_out.Line("</tr>");
    }
    m_out.Line("</table>");
    for (const std::string& note : table.notes) EscapedLine("<i>", note, "</i><br>");
    if (!m_section.note.empty()) {
        EscapedLine("<i>", m_section.note, "</i><p>");
    } else {
        m_out.Line(m_section.kind == SectionKind::StandardErrors ? "<p></p>" : "<p>");
    }
}

void HtmlDriver::Figure(const OutputFigure& figure) {
    // The drawing inline, a line of the report for each of its lines; its
    // text is ASCII, so it reads the same whatever the report's encoding.
    m_out.Line("<div class=\"chart\">");
    const std::string drawing = ChartSvg(figure.chart, /*standalone=*/false);
    std::string_view svg = drawing;
    while (!svg.empty()) {
        const std::size_t end = svg.find('\n');
        m_out.Line(svg.substr(0, end));
        if (end == std::string_view::npos) break;
        svg.remove_prefix(end + 1);
    }
    m_out.Line("</div>");
    m_out.Line("<p>");
}

}  // namespace kelvo
