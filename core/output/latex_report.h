// The report as a LaTeX document that compiles on its own (article class,
// T1 font encoding, booktabs and graphicx), UTF-8: the title and each
// section as unnumbered headings, each table its title in bold over a
// tabular with booktabs rules (a rule under the headings and above the
// footer rows), labels at the left, numbers at the right, significant values
// in bold, the section's note in italics. A table wider than the text is
// scaled down to its width. Tables do not float, so a report of hundreds of
// them keeps their order and compiles. Every character with a meaning in
// LaTeX is escaped. Pictures are left out.
#pragma once

#include <string>
#include <string_view>

#include "line_sink.h"
#include "output_model.h"

namespace kelvo {

class LatexDriver : public OutputDriver {
public:
    explicit LatexDriver(LineSink& out) : m_out(out) {}
    void BeginDocument();
    void EndDocument();
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void EndSection(const SectionInfo& section) override;

private:
    void Row(const OutputTable& table, int row);
    LineSink& m_out;
    SectionInfo m_section;
    std::string m_line;
};

// Latin-1 `text` as UTF-8 LaTeX text: & % $ # _ { } ~ ^ \ < > | " ` ' and
// the ligatures of the T1 fonts (--, ,,) written so that they print as the
// characters themselves; a C1 control character, which has no glyph, as "?".
void AppendLatexText(std::string& out, std::string_view latin1);

}  // namespace kelvo
