// The report as OpenDocument text (.odt): the title and each section as
// headings, each table its title over a real table (table:table, its heading
// rows marked as the table's header rows, numbers right-aligned, significant
// values in bold, predictions out of range on light red), the section's note
// in italics, and each chart as an SVG picture in the package. The document's
// XML is written here and zipped by libzip; Qt's text-document writer took
// seconds over the largest model's report, this a few milliseconds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output_model.h"

namespace kelvo {

class OdtDriver : public OutputDriver {
public:
    OdtDriver();
    void BeginDocument();
    void EndDocument();
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void Figure(const OutputFigure& figure) override;
    void EndSection(const SectionInfo& section) override;

    // The package after EndDocument: the mimetype first and stored, then
    // the content, styles, manifest and pictures. Throws std::runtime_error
    // when libzip fails.
    std::string Package() const;
    // The document's body, content.xml.
    const std::string& Content() const { return m_content; }

private:
    void Paragraph(const char* style, std::string_view latin1);
    std::string m_content;
    std::string m_number;  // a number's text, before it is escaped
    SectionInfo m_section;
    std::vector<std::string> m_pictures;  // chart1.svg, chart2.svg, ...: their SVG
    int m_tables = 0;
};

// Latin-1 `text` as the UTF-8 of an OpenDocument paragraph: & < > " escaped,
// runs of spaces and tabs kept (text:s, text:tab), characters that XML
// cannot hold written as U+FFFD.
void AppendOdfText(std::string& out, std::string_view latin1);

}  // namespace kelvo
