#include "pdf_report.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "chart_drawing.h"
#include "version.h"

namespace kelvo::reports {

// A text laid out once: most texts of a report (numbers, category names,
// headings, a chart's scale) come back many times, and laying out is most
// of the cost of drawing text.
struct ShapedText {
    QList<QGlyphRun> runs;  // from the line's top left
    double advance = 0;
    double ascent = 0;
};

// The texts laid out so far, by font. Node-based maps: a table keeps
// pointers to the texts of its cells.
class TextShapes {
public:
    explicit TextShapes(QPaintDevice* device) : m_device(device) {}
    // `text` in `font`, which `key` names (the same key, the same font).
    const ShapedText& Get(const QFont& font, int key, const QString& text) {
        auto& texts = m_texts[key];
        const auto found = texts.find(text);
        if (found != texts.end()) return found->second;
        QTextLayout layout(text, font, m_device);
        layout.setCacheEnabled(false);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        ShapedText shaped;
        if (line.isValid()) {
            shaped.runs = layout.glyphRuns();
            shaped.advance = line.naturalTextWidth();
            shaped.ascent = line.ascent();
        }
        return texts.emplace(text, std::move(shaped)).first->second;
    }

private:
    QPaintDevice* m_device;
    std::unordered_map<int, std::unordered_map<QString, ShapedText>> m_texts;
};

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

// Glyphs of one font gathered from several texts, drawn as one run: the PDF
// writer opens a text object for every run.
struct GlyphBatch {
    QRawFont font;
    QList<quint32> glyphs;
    QList<QPointF> positions;
};

// Adds `text`, its top left at `origin`, scaled by `scale`.
void AddGlyphs(std::vector<GlyphBatch>& batches, const ShapedText& text, QPointF origin, double scale = 1) {
    for (const QGlyphRun& glyphs : text.runs) {
        const QRawFont font = glyphs.rawFont();
        auto batch = std::find_if(batches.begin(), batches.end(), [&](const GlyphBatch& b) { return b.font == font; });
        if (batch == batches.end()) batch = batches.insert(batches.end(), GlyphBatch{font, {}, {}});
        batch->glyphs += glyphs.glyphIndexes();
        for (const QPointF& position : glyphs.positions()) batch->positions.push_back(origin + position * scale);
    }
}

// The PDF writer writes every glyph's position as a decimal number; in
// units of 1/16 of the painter's unit they are whole numbers, written in
// fewer digits (and compressed faster), and the rounding stays invisible.
constexpr double GlyphUnits = 16;

void DrawGlyphs(QPainter& painter, std::vector<GlyphBatch>& batches, double scale = 1) {
    painter.save();
    painter.scale(1 / GlyphUnits, 1 / GlyphUnits);
    for (GlyphBatch& batch : batches) {
        batch.font.setPixelSize(batch.font.pixelSize() * scale * GlyphUnits);
        for (QPointF& position : batch.positions)
            position = QPointF(std::round(position.x() * GlyphUnits), std::round(position.y() * GlyphUnits));
        QGlyphRun run;
        run.setRawFont(batch.font);
        run.setGlyphIndexes(batch.glyphs);
        run.setPositions(batch.positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    painter.restore();
}

// The chart's drawing on the page, in the chart's own coordinates (the
// painter is scaled to them). The PDF writer sets the pen and brush again
// for every shape and opens a text object for every text, so the shapes are
// gathered by colour and the texts by font and drawn together at the end, in
// the layers the drawing uses: lines, then diamonds, then points, then
// texts. Within a chart, shapes of one layer do not overlap.
class PainterCanvas : public ChartCanvas {
public:
    PainterCanvas(QPainter& painter, TextShapes& shapes) : m_painter(painter), m_shapes(shapes) {}
    void Begin(const CoefficientChart&, double, double) override {}
    void Background(double, double) override {}
    void Line(const char*, ChartPoint from, ChartPoint to, const char* stroke, double strokeWidth) override {
        Layer(m_lines, stroke, nullptr, strokeWidth).lines.push_back(QLineF(from.x, from.y, to.x, to.y));
    }
    void Circle(const char*, ChartPoint centre, double radius, const char* fill, const char* stroke) override {
        Layer(m_circles, stroke, fill, 1.5).path.addEllipse(QPointF(centre.x, centre.y), radius, radius);
    }
    void Polygon(const char*, std::span<const ChartPoint> points, const char* fill) override {
        QPolygonF polygon;
        for (const ChartPoint& p : points) polygon << QPointF(p.x, p.y);
        polygon << polygon.first();
        Layer(m_polygons, nullptr, fill, 0).path.addPolygon(polygon);
    }
    void Text(ChartPoint at, const ChartTextStyle& style, std::string_view latin1) override {
        // Past the keys of the tables' fonts (0 and 1).
        const int key = 2 + 2 * style.size + (style.bold ? 1 : 0);
        if (key != m_key) {
            m_key = key;
            m_font = Font(style.size, style.bold);
        }
        const ShapedText& text = m_shapes.Get(
            m_font, m_key, QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())));
        double x = at.x;
        if (style.centred) x -= text.advance / 2;
        AddGlyphs(m_texts, text, QPointF(x, at.y - text.ascent));
    }
    void End() override {
        for (const auto* layer : {&m_lines, &m_polygons, &m_circles})
            for (const Shapes& shapes : *layer) {
                m_painter.setPen(shapes.stroke == nullptr ? QPen(Qt::NoPen)
                                                          : QPen(QColor(QLatin1String(shapes.stroke)), shapes.width));
                m_painter.setBrush(shapes.fill == nullptr ? QBrush(Qt::NoBrush) : QBrush(QColor(QLatin1String(shapes.fill))));
                if (!shapes.lines.isEmpty()) m_painter.drawLines(shapes.lines);
                if (!shapes.path.isEmpty()) m_painter.drawPath(shapes.path);
            }
        m_painter.setPen(Qt::black);
        DrawGlyphs(m_painter, m_texts);
    }

private:
    struct Shapes {
        const char* stroke;
        const char* fill;
        double width;
        QList<QLineF> lines;
        QPainterPath path;
    };
    static Shapes& Layer(std::vector<Shapes>& layer, const char* stroke, const char* fill, double width) {
        const auto same = [](const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); };
        for (Shapes& shapes : layer)
            if (same(shapes.stroke, stroke) && same(shapes.fill, fill) && shapes.width == width) return shapes;
        return layer.emplace_back(Shapes{stroke, fill, width, {}, {}});
    }
    QPainter& m_painter;
    TextShapes& m_shapes;
    std::vector<Shapes> m_lines, m_polygons, m_circles;
    std::vector<GlyphBatch> m_texts;
    QFont m_font;
    int m_key = -1;
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
          boldMetrics(bold, device),
          shapes(device) {}
    QFont body, bold, note, title, section, tableTitle;
    QFontMetricsF bodyMetrics, boldMetrics;
    TextShapes shapes;

    // `text` in the body font or its bold.
    const ShapedText& Shaped(const QString& text, bool inBold) {
        return inBold ? shapes.Get(bold, 1, text) : shapes.Get(body, 0, text);
    }
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
    // The row's glyphs go out as one run per font (plain, bold): the PDF
    // then holds one text object a row, not one a cell.
    std::vector<GlyphBatch> runs;
    double x = 0;
    for (const int c : columns) {
        const OutputCell& cell = table.At(c, row);
        const double width = widths[static_cast<std::size_t>(c)] * scale;
        if (cell.role == CellRole::OutOfRange) m_painter.fillRect(QRectF(x, m_y, width, height), OutOfRangeFill);
        const ShapedText& text = *m_texts[static_cast<std::size_t>(row) * static_cast<std::size_t>(table.columns) +
                                          static_cast<std::size_t>(c)];
        double textX = x + CellPad * scale;
        if (right[static_cast<std::size_t>(c)]) textX = x + width - CellPad * scale - text.advance * scale;
        AddGlyphs(runs, text, QPointF(textX, baseline - text.ascent * scale), scale);
        x += width;
    }
    DrawGlyphs(m_painter, runs, scale);
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
    std::string text;
    for (const OutputCell& cell : table.cells) {
        text.clear();
        AppendCellText(text, cell);
        m_texts.push_back(&m_fonts->Shaped(Latin1(text), cell.role == CellRole::SignificantPercent));
    }
    std::vector<double> widths(static_cast<std::size_t>(table.columns), 0.0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < table.columns; ++c) {
            const OutputCell& cell = table.At(c, r);
            auto& width = widths[static_cast<std::size_t>(c)];
            const double least = IsNumber(cell.role) ? MinNumberWidth : 0;
            width = std::max({width, least, m_texts[static_cast<std::size_t>(r * table.columns + c)]->advance + 2 * CellPad});
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
    PainterCanvas canvas(m_painter, m_fonts->shapes);
    DrawChart(figure.chart, canvas);
    m_painter.restore();
    m_y += height * scale + 8;
}

}  // namespace kelvo::reports
