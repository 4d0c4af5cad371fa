#include "pdf_report.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>

#include "chart_drawing.h"
#include "version.h"

namespace kelvo::reports {

namespace {

constexpr double MarginMm = 18;
constexpr double FooterHeight = 16;  // the page number's line, in points
constexpr double CellPad = 4;        // either side of a cell's text
constexpr double RowPad = 1.6;       // above and below it
constexpr double MinScale = 0.7;     // a wide table is set no smaller
constexpr double ChartPoints = 440;  // the width of a chart on the page
constexpr double MinNumberWidth = 30;  // of a column of numbers
const QColor OutOfRangeFill(255, 192, 192);

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFont Font(double points, bool bold = false, bool italic = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// The chart's drawing on the page, in the chart's own coordinates (the
// painter is scaled to them).
class PainterCanvas : public ChartCanvas {
public:
    explicit PainterCanvas(QPainter& painter) : m_painter(painter) {}
    void Begin(const CoefficientChart&, double, double) override {}
    void Background(double, double) override {}
    void Line(const char*, ChartPoint from, ChartPoint to, const char* stroke, double strokeWidth) override {
        m_painter.setPen(QPen(QColor(QLatin1String(stroke)), strokeWidth));
        m_painter.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
    }
    void Circle(const char*, ChartPoint centre, double radius, const char* fill, const char* stroke) override {
        m_painter.setPen(QPen(QColor(QLatin1String(stroke)), 1.5));
        m_painter.setBrush(QColor(QLatin1String(fill)));
        m_painter.drawEllipse(QPointF(centre.x, centre.y), radius, radius);
    }
    void Polygon(const char*, std::span<const ChartPoint> points, const char* fill) override {
        QPolygonF polygon;
        for (const ChartPoint& p : points) polygon << QPointF(p.x, p.y);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(QColor(QLatin1String(fill)));
        m_painter.drawPolygon(polygon);
    }
    void Text(ChartPoint at, const ChartTextStyle& style, std::string_view latin1) override {
        if (style.size != m_size || style.bold != m_bold || !m_metrics) {
            m_size = style.size;
            m_bold = style.bold;
            m_font = Font(style.size, style.bold);
            m_metrics.emplace(m_font, m_painter.device());
            m_painter.setFont(m_font);
        }
        const QString text = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
        double x = at.x;
        if (style.centred) x -= m_metrics->horizontalAdvance(text) / 2;
        m_painter.setPen(Qt::black);
        m_painter.drawText(QPointF(x, at.y), text);
    }
    void End() override {}

private:
    QPainter& m_painter;
    QFont m_font;
    int m_size = 0;
    bool m_bold = false;
    std::optional<QFontMetricsF> m_metrics;
};

}  // namespace

QPageSize::PageSizeId PaperOf(const QLocale& locale) {
    switch (locale.territory()) {
        case QLocale::UnitedStates:
        case QLocale::Canada:
        case QLocale::Mexico:
        case QLocale::Chile:
        case QLocale::Colombia:
        case QLocale::CostaRica:
        case QLocale::DominicanRepublic:
        case QLocale::ElSalvador:
        case QLocale::Guatemala:
        case QLocale::Nicaragua:
        case QLocale::Panama:
        case QLocale::Philippines:
        case QLocale::PuertoRico:
        case QLocale::Venezuela:
            return QPageSize::Letter;
        default:
            return QPageSize::A4;
    }
}

QPageSize::PageSizeId PaperOfEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return PaperOf(QLocale(QString::fromLatin1(value).section('.', 0, 0)));
    }
    return QPageSize::A4;
}

struct PdfDriver::Fonts {
    explicit Fonts(QPaintDevice* device)
        : body(Font(8.5)),
          bold(Font(8.5, true)),
          note(Font(8, false, true)),
          title(Font(15, true)),
          section(Font(12.5, true)),
          tableTitle(Font(9.5, true)),
          bodyMetrics(body, device),
          boldMetrics(bold, device) {}
    QFont body, bold, note, title, section, tableTitle;
    QFontMetricsF bodyMetrics, boldMetrics;
};

PdfDriver::PdfDriver(QPdfWriter& writer, QPageSize::PageSizeId paper) : m_writer(writer) {
    m_writer.setResolution(72);  // one unit a point
    m_writer.setPageSize(QPageSize(paper));
    m_writer.setPageMargins(QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter);
    m_writer.setCreator(QString::fromLatin1(ProgramTitle));
}

PdfDriver::~PdfDriver() = default;

void PdfDriver::BeginDocument() {
    m_painter.begin(&m_writer);
    m_fonts = std::make_unique<Fonts>(&m_writer);
    const QRectF area = m_writer.pageLayout().paintRectPoints();
    m_width = area.width();
    m_height = area.height() - FooterHeight;
    m_page = 1;
    m_y = 0;
    Heading(QString::fromLatin1(ProgramTitle), m_fonts->title, 0);
}

void PdfDriver::EndDocument() {
    PageNumber();
    m_painter.end();
}

void PdfDriver::PageNumber() {
    m_painter.setFont(m_fonts->note);
    m_painter.setPen(Qt::black);
    const QString text = QString::number(m_page);
    const double x = (m_width - QFontMetricsF(m_fonts->note, &m_writer).horizontalAdvance(text)) / 2;
    m_painter.drawText(QPointF(x, m_height + FooterHeight - 2), text);
}

void PdfDriver::NewPage() {
    PageNumber();
    m_writer.newPage();
    ++m_page;
    m_y = 0;
}

void PdfDriver::EnsureRoom(double height) {
    if (m_y > 0 && m_y + height > m_height) NewPage();
}

void PdfDriver::Heading(const QString& text, const QFont& font, double spaceBefore) {
    const QFontMetricsF metrics(font, &m_writer);
    // A heading stays with what follows it: room for a few lines more.
    EnsureRoom(spaceBefore + metrics.height() * 4);
    if (m_y > 0) m_y += spaceBefore;
    m_painter.setFont(font);
    m_painter.setPen(Qt::black);
    m_painter.drawText(QPointF(0, m_y + metrics.ascent()), text);
    m_y += metrics.height() + metrics.height() * 0.4;
}

void PdfDriver::BeginSection(const SectionInfo& section) {
    m_section = section;
    Heading(Latin1(section.title), m_fonts->section, 14);
}

void PdfDriver::EndSection(const SectionInfo&) {}

void PdfDriver::Rule(double width, double thickness) {
    m_painter.setPen(QPen(Qt::black, thickness));
    m_painter.drawLine(QPointF(0, m_y + thickness / 2), QPointF(width, m_y + thickness / 2));
    m_y += thickness + 1;
}

void PdfDriver::TableTitle(const QString& title, bool continued) {
    const QFontMetricsF metrics(m_fonts->tableTitle, &m_writer);
    m_painter.setFont(m_fonts->tableTitle);
    m_painter.setPen(Qt::black);
    m_painter.drawText(QPointF(0, m_y + metrics.ascent()), continued ? title + QStringLiteral(" (continued)") : title);
    m_y += metrics.height() + 2;
}

void PdfDriver::DrawRow(const OutputTable& table, int row, const std::vector<int>& columns,
                        const std::vector<double>& widths, double scale, const std::vector<bool>& right) {
    const QFontMetricsF& metrics = m_fonts->bodyMetrics;
    const double height = (metrics.height() + 2 * RowPad) * scale;
    const double baseline = m_y + (RowPad + metrics.ascent()) * scale;
    QFont body = m_fonts->body;
    QFont bold = m_fonts->bold;
    if (scale != 1) {
        body.setPointSizeF(body.pointSizeF() * scale);
        bold.setPointSizeF(bold.pointSizeF() * scale);
    }
    // The font changes only where a cell's weight does.
    bool boldSet = false;
    m_painter.setFont(body);
    m_painter.setPen(Qt::black);
    double x = 0;
    for (const int c : columns) {
        const OutputCell& cell = table.At(c, row);
        const double width = widths[static_cast<std::size_t>(c)] * scale;
        if (cell.role == CellRole::OutOfRange) m_painter.fillRect(QRectF(x, m_y, width, height), OutOfRangeFill);
        const bool isBold = cell.role == CellRole::SignificantPercent;
        if (isBold != boldSet) {
            m_painter.setFont(isBold ? bold : body);
            boldSet = isBold;
        }
        const QString& text = m_texts[static_cast<std::size_t>(row) * static_cast<std::size_t>(table.columns) +
                                      static_cast<std::size_t>(c)];
        double textX = x + CellPad * scale;
        if (right[static_cast<std::size_t>(c)])
            textX = x + width - CellPad * scale -
                    (isBold ? m_fonts->boldMetrics : metrics).horizontalAdvance(text) * scale;
        m_painter.drawText(QPointF(textX, baseline), text);
        x += width;
    }
    m_y += height;
}

void PdfDriver::TableBlock(const OutputTable& table, const std::vector<int>& columns,
                           const std::vector<double>& widths, double scale, const QString& title) {
    const QFontMetricsF& metrics = m_fonts->bodyMetrics;
    const double rowHeight = (metrics.height() + 2 * RowPad) * scale;
    const double titleHeight = QFontMetricsF(m_fonts->tableTitle, &m_writer).height() + 2;
    double blockWidth = 0;
    for (const int c : columns) blockWidth += widths[static_cast<std::size_t>(c)] * scale;
    std::vector<bool> right(static_cast<std::size_t>(table.columns));
    for (int c = 0; c < table.columns; ++c) right[static_cast<std::size_t>(c)] = IsNumberColumn(table, c);

    const int rows = table.Rows();
    const int body = rows - table.headingRows;
    const auto headings = [&](bool continued) {
        TableTitle(title, continued);
        Rule(blockWidth, 0.8);
        for (int r = 0; r < table.headingRows; ++r) DrawRow(table, r, columns, widths, scale, right);
        if (table.headingRows > 0) Rule(blockWidth, 0.4);
    };
    // The title, the headings and the first rows on one page.
    EnsureRoom(titleHeight + (table.headingRows + std::min(body, 3)) * rowHeight + 6);
    headings(false);
    const int footerStart = rows - table.footerRows;
    for (int r = table.headingRows; r < rows; ++r) {
        const bool footer = table.footerRows > 0 && r == footerStart && r > table.headingRows;
        if (m_y + rowHeight + (footer ? 1.4 : 0) + 1.8 > m_height) {
            Rule(blockWidth, 0.8);
            NewPage();
            headings(true);
        }
        if (footer) Rule(blockWidth, 0.4);
        DrawRow(table, r, columns, widths, scale, right);
    }
    Rule(blockWidth, 0.8);
    m_y += 4;
}

void PdfDriver::Table(const OutputTable& table) {
    const int rows = table.Rows();
    m_texts.clear();
    for (const OutputCell& cell : table.cells) m_texts.push_back(Latin1(CellText(cell)));
    std::vector<double> widths(static_cast<std::size_t>(table.columns), 0.0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < table.columns; ++c) {
            const OutputCell& cell = table.At(c, r);
            const QFontMetricsF& metrics =
                cell.role == CellRole::SignificantPercent ? m_fonts->boldMetrics : m_fonts->bodyMetrics;
            auto& width = widths[static_cast<std::size_t>(c)];
            const double least = IsNumber(cell.role) ? MinNumberWidth : 0;
            width = std::max({width, least,
                              metrics.horizontalAdvance(m_texts[static_cast<std::size_t>(r * table.columns + c)]) +
                                  2 * CellPad});
        }
    const QString title = Latin1(table.title);
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    std::vector<int> all(static_cast<std::size_t>(table.columns));
    std::iota(all.begin(), all.end(), 0);
    if (total <= m_width || table.columns < 3) {
        TableBlock(table, all, widths, 1, title);
    } else if (m_width / total >= MinScale) {
        TableBlock(table, all, widths, m_width / total, title);
    } else {
        // Blocks of as many columns as fit beside the labels.
        int next = 1;
        bool first = true;
        while (next < table.columns) {
            std::vector<int> block = {0};
            double width = widths[0];
            while (next < table.columns && (block.size() == 1 || width + widths[static_cast<std::size_t>(next)] <= m_width)) {
                width += widths[static_cast<std::size_t>(next)];
                block.push_back(next++);
            }
            TableBlock(table, block, widths, 1, first ? title : title + QStringLiteral(" (continued)"));
            first = false;
        }
    }
    if (!m_section.note.empty()) {
        const QFontMetricsF metrics(m_fonts->note, &m_writer);
        EnsureRoom(metrics.height());
        m_painter.setFont(m_fonts->note);
        m_painter.setPen(Qt::black);
        m_painter.drawText(QPointF(0, m_y + metrics.ascent()), Latin1(m_section.note));
        m_y += metrics.height() + 4;
    }
    m_y += 6;
}

void PdfDriver::Figure(const OutputFigure& figure) {
    const double height = ChartHeight(figure.chart);
    double scale = std::min(m_width, ChartPoints) / ChartWidth;
    scale = std::min(scale, m_height / height);
    EnsureRoom(height * scale + 8);
    m_painter.save();
    m_painter.translate(0, m_y);
    m_painter.scale(scale, scale);
    PainterCanvas canvas(m_painter);
    DrawChart(figure.chart, canvas);
    m_painter.restore();
    m_y += height * scale + 8;
}

}  // namespace kelvo::reports
