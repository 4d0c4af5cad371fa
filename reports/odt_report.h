// The report as OpenDocument text, made as a Qt text document and written by
// Qt's OpenDocument writer (QTextDocumentWriter): the title and each section
// as headings, each table its title over a real table (its heading row marked
// as the table's header, numbers right-aligned, significant values in bold,
// predictions out of range on light red), the section's note in italics, and
// each chart as an SVG picture.
#pragma once

#include <QByteArray>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "output_model.h"

namespace kelvo::reports {

class OdtDriver : public OutputDriver {
public:
    OdtDriver();
    ~OdtDriver() override;
    void BeginDocument();
    void EndDocument() {}
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void Figure(const OutputFigure& figure) override;
    void EndSection(const SectionInfo& section) override;

    const QTextDocument& Document() const { return *m_document; }
    // The document as an OpenDocument package. Throws std::runtime_error
    // when Qt's writer fails.
    QByteArray Package();

private:
    void Paragraph(const QString& text, const QTextCharFormat& format);
    std::unique_ptr<QTextDocument> m_document;
    QTextCursor m_cursor;
    SectionInfo m_section;
    int m_figures = 0;
};

}  // namespace kelvo::reports
