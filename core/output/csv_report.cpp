#include "csv_report.h"

#include "latin1.h"

namespace kelvo {

void AppendCsvField(std::string& out, std::string_view latin1) {
    const std::string text = Latin1ToUtf8(latin1);
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void CsvDriver::BeginDocument() {
    m_out.Line("section,table,row,column,value,significant");
}

void CsvDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
    m_sectionField.clear();
    AppendCsvField(m_sectionField, section.title);
}

void CsvDriver::EndSection(const SectionInfo&) {}

void CsvDriver::Table(const OutputTable& table) {
    std::string tableField;
    AppendCsvField(tableField, table.title);
    const int rows = table.Rows();
    for (int r = table.headingRows; r < rows; ++r) {
        for (int c = 0; c < table.columns; ++c) {
            const OutputCell& cell = table.At(c, r);
            if (!IsNumber(cell.role)) continue;
            m_line = m_sectionField;
            m_line += ',';
            m_line += tableField;
            m_line += ',';
            if (c > 0) AppendCsvField(m_line, table.At(0, r).text);
            m_line += ',';
            if (table.headingRows > 0) AppendCsvField(m_line, table.At(c, 0).text);
            m_line += ',';
            AppendCellText(m_line, cell);
            m_line += ',';
            const bool tested = m_section.significanceMarked &&
                                (cell.role == CellRole::Percent || cell.role == CellRole::SignificantPercent);
            if (tested) m_line += cell.role == CellRole::SignificantPercent ? "yes" : "no";
            m_out.Line(m_line);
        }
    }
}

}  // namespace kelvo
