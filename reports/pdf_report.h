// The report as a PDF document, drawn with QPdfWriter on A4 or Letter pages:
// the title, each section a heading, each table its title over rows between
// rules (a rule under the headings and above the footer rows), labels at the
// left, numbers at the right, significant values in bold, predictions out of
// range on light red, the section's note in italics. A table that reaches
// the end of a page goes on at the top of the next under its title and
// headings again; a table wider than the page is set smaller or, when still
// too wide, in blocks of columns that each repeat the row labels. Charts are
// drawn as vector graphics by the chart's drawing (chart_drawing.h), their
// texts as text. Every page has its number at the foot.
#pragma once

#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <memory>
#include <vector>

#include "output_model.h"

class QLocale;

namespace kelvo::reports {

// The paper of a locale: Letter where it is the usual size (North and
// Central America, Chile, Colombia, Venezuela, the Philippines), A4
// elsewhere.
QPageSize::PageSizeId PaperOf(const QLocale& locale);
// The paper of the user's locale as the environment names it (LC_ALL, then
// LC_PAPER, then LANG).
QPageSize::PageSizeId PaperOfEnvironment();

class PdfDriver : public OutputDriver {
public:
    // Draws on `writer`, whose page size, margins and resolution it sets.
    PdfDriver(QPdfWriter& writer, QPageSize::PageSizeId paper);
    ~PdfDriver() override;
    void BeginDocument();
    // Ends the last page; the writer's device then holds the whole document.
    void EndDocument();
    void BeginSection(const SectionInfo& section) override;
    void Table(const OutputTable& table) override;
    void Figure(const OutputFigure& figure) override;
    void EndSection(const SectionInfo& section) override;
    int Pages() const { return m_page; }

private:
    struct Fonts;
    void NewPage();
    void EnsureRoom(double height);
    void Heading(const QString& text, const QFont& font, double spaceBefore);
    // Draws the columns `columns` (column 0 first) of `table`, scaled by
    // `scale`, breaking across pages.
    void TableBlock(const OutputTable& table, const std::vector<int>& columns, const std::vector<double>& widths,
                    double scale, const QString& title);
    void TableTitle(const QString& title, bool continued);
    void Rule(double width, double thickness);
    void DrawRow(const OutputTable& table, int row, const std::vector<int>& columns,
                 const std::vector<double>& widths, double scale, const std::vector<bool>& right);
    void PageNumber();
    QPdfWriter& m_writer;
    QPainter m_painter;
    std::unique_ptr<Fonts> m_fonts;
    SectionInfo m_section;
    double m_width = 0;   // of the text area, in points
    double m_height = 0;
    double m_y = 0;       // where the next line starts
    int m_page = 0;
    std::vector<const struct ShapedText*> m_texts;  // of the table at hand, cell by cell
};

}  // namespace kelvo::reports
