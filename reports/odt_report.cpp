#include "odt_report.h"

#include <QBuffer>
#include <QTextDocumentWriter>
#include <QTextTable>
#include <QUrl>
#include <stdexcept>

#include "chart_drawing.h"
#include "chart_svg.h"
#include "version.h"

namespace kelvo::reports {

namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QTextCharFormat TextFormat(double points, bool bold = false, bool italic = false) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    return format;
}

}  // namespace

OdtDriver::OdtDriver() : m_document(std::make_unique<QTextDocument>()), m_cursor(m_document.get()) {
    // The report is written once: no undo history to keep.
    m_document->setUndoRedoEnabled(false);
}

OdtDriver::~OdtDriver() = default;

void OdtDriver::Paragraph(const QString& text, const QTextCharFormat& format) {
    if (!m_document->isEmpty()) m_cursor.insertBlock(QTextBlockFormat(), format);
    m_cursor.setBlockCharFormat(format);
    m_cursor.insertText(text, format);
}

void OdtDriver::BeginDocument() {
    Paragraph(QString::fromLatin1(ProgramTitle), TextFormat(16, true));
}

void OdtDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
    Paragraph(Latin1(section.title), TextFormat(13, true));
}

void OdtDriver::EndSection(const SectionInfo&) {}

void OdtDriver::Table(const OutputTable& table) {
    const int rows = table.Rows();
    if (rows == 0 || table.columns == 0) return;
    Paragraph(Latin1(table.title), TextFormat(10, true));
    QTextTableFormat format;
    format.setHeaderRowCount(table.headingRows);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorder(0.5);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    QTextTable* grid = m_cursor.insertTable(rows, table.columns, format);
    const QTextCharFormat plain = TextFormat(9);
    const QTextCharFormat bold = TextFormat(9, true);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    for (int c = 0; c < table.columns; ++c) {
        const bool number = IsNumberColumn(table, c);
        for (int r = 0; r < rows; ++r) {
            const OutputCell& cell = table.At(c, r);
            QTextTableCell target = grid->cellAt(r, c);
            QTextCursor cursor = target.firstCursorPosition();
            if (number) cursor.setBlockFormat(right);
            if (cell.role == CellRole::OutOfRange) {
                QTextTableCellFormat fill;
                fill.setBackground(QColor(255, 192, 192));
                target.setFormat(fill);
            }
            cursor.insertText(Latin1(CellText(cell)), cell.role == CellRole::SignificantPercent ? bold : plain);
        }
    }
    m_cursor.movePosition(QTextCursor::End);
    if (!m_section.note.empty()) Paragraph(Latin1(m_section.note), TextFormat(9, false, true));
}

void OdtDriver::Figure(const OutputFigure& figure) {
    // The SVG itself goes into the package: a picture that stays sharp.
    const QString name = QStringLiteral("chart%1.svg").arg(++m_figures);
    m_document->addResource(QTextDocument::ImageResource, QUrl(name),
                            QByteArray::fromStdString(ChartSvg(figure.chart)));
    QTextImageFormat image;
    image.setName(name);
    // 16 cm wide, in points, keeping the chart's proportions.
    const double width = 16 / 2.54 * 72;
    image.setWidth(width);
    image.setHeight(width * ChartHeight(figure.chart) / ChartWidth);
    if (!m_document->isEmpty()) m_cursor.insertBlock();
    m_cursor.insertImage(image);
}

QByteArray OdtDriver::Package() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(m_document.get())) throw std::runtime_error("the OpenDocument writer failed");
    return buffer.data();
}

}  // namespace kelvo::reports
