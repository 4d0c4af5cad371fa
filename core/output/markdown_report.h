// The report as Markdown (CommonMark with the pipe tables of GitHub's
// dialect), UTF-8: the title as a heading, each section a heading of the
// second level, each table a heading of the third level over a pipe table
// whose number columns are right-aligned, significant values in bold, the
// section's note in italics under every table. A table without a heading row
// (the model) is a list of "label: text" items. Every character that
// Markdown would read as markup is escaped, so a name shows as it is typed.
// Pictures are left out.
#pragma once

#include <string>
#include <string_view>

#include "line_sink.h"
#include "output_model.h"

namespace kelvo {

class MarkdownDriver : public OutputDriver {
public:
    explicit MarkdownDriver(LineSink& out) : m_out(out) {}
    void BeginDocument();
    void EndDocument() {}
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void EndSection(const SectionInfo& section) override;

private:
    void Row(const OutputTable& table, int row);
    LineSink& m_out;
    SectionInfo m_section;
    std::string m_line;
};

// Latin-1 `text` as UTF-8 with the characters that have a meaning in
// Markdown (and in a pipe table) escaped by a backslash.
void AppendMarkdownText(std::string& out, std::string_view latin1);

}  // namespace kelvo
