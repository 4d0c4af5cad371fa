#include "result_copy.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QWidget>
#include <algorithm>

#include "names_and_paths.h"
#include "painted_grid.h"

namespace kelvo::ui {

namespace {

constexpr const char* CopyShortcutName = "CopyResultTables";

QString CellValue(const kelvo::OutputCell& cell) {
    // The number's own text: no padding, a decimal point in every locale.
    return kelvo::IsNumber(cell.role) ? QString::fromStdString(kelvo::CellText(cell)) : FromName(cell.text);
}

// A spreadsheet reads a field that holds a quote as quoted text; quoting it
// keeps the text as it is.
QString TabField(const QString& text) {
    if (!text.contains(QLatin1Char('"'))) return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Bold as the window shows it: a significant value, never in a column that
// sums up the others (the averages).
bool ShownBold(const kelvo::OutputTable& table, int column, int row) {
    return row >= table.headingRows && table.At(column, row).role == kelvo::CellRole::SignificantPercent &&
           !(table.headingRows > 0 && table.At(column, 0).role == kelvo::CellRole::SummaryHeading);
}

bool Shown(const kelvo::OutputTable* table) {
    return table != nullptr && table->columns > 0 && table->Rows() > 0;
}

}  // namespace

QString TablesAsTabSeparated(const std::vector<const kelvo::OutputTable*>& tables) {
    QString text;
    const bool titled = tables.size() > 1;
    for (const kelvo::OutputTable* table : tables) {
        if (!Shown(table)) continue;
        if (titled) {
            if (!text.isEmpty()) text += QLatin1Char('\n');
            text += TabField(FromName(table->title)) + QLatin1Char('\n');
        }
        for (int r = 0; r < table->Rows(); ++r) {
            for (int c = 0; c < table->columns; ++c) {
                if (c > 0) text += QLatin1Char('\t');
                text += TabField(CellValue(table->At(c, r)));
            }
            text += QLatin1Char('\n');
        }
    }
    return text;
}

QString TablesAsHtml(const std::vector<const kelvo::OutputTable*>& tables) {
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n");
    const bool titled = tables.size() > 1;
    for (const kelvo::OutputTable* table : tables) {
        if (!Shown(table)) continue;
        if (titled) html += QStringLiteral("<p><b>") + FromName(table->title).toHtmlEscaped() + QStringLiteral("</b></p>\n");
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n");
        for (int r = 0; r < table->Rows(); ++r) {
            html += QStringLiteral("<tr>");
            const bool heading = r < table->headingRows;
            for (int c = 0; c < table->columns; ++c) {
                const kelvo::OutputCell& cell = table->At(c, r);
                html += heading ? QStringLiteral("<th") : QStringLiteral("<td");
                if (kelvo::IsNumberColumn(*table, c)) html += QStringLiteral(" align=\"right\"");
                if (cell.role == kelvo::CellRole::OutOfRange) html += QStringLiteral(" style=\"background-color:#ffc0c0\"");
                html += QLatin1Char('>');
                const QString value = CellValue(cell).toHtmlEscaped();
                html += ShownBold(*table, c, r) ? QStringLiteral("<b>") + value + QStringLiteral("</b>")
                                                                          : value;
                html += heading ? QStringLiteral("</th>") : QStringLiteral("</td>");
            }
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</table>\n");
    }
    return html + QStringLiteral("</body></html>\n");
}

QMimeData* TablesAsMimeData(const std::vector<const kelvo::OutputTable*>& tables) {
    auto* data = new QMimeData;
    data->setText(TablesAsTabSeparated(tables));
    data->setHtml(TablesAsHtml(tables));
    return data;
}

void CopyTables(const std::vector<const kelvo::OutputTable*>& tables) {
    if (std::none_of(tables.begin(), tables.end(), Shown)) return;
    QApplication::clipboard()->setMimeData(TablesAsMimeData(tables));
}

std::vector<const kelvo::OutputTable*> TablesOfWindow(const QWidget* window) {
    std::vector<const kelvo::OutputTable*> tables;
    for (const OutputGrid* grid : window->findChildren<OutputGrid*>())
        if (Shown(&grid->Table())) tables.push_back(&grid->Table());
    return tables;
}

void InstallCopyShortcuts(QWidget* window) {
    if (window == nullptr || window->findChild<QAction*>(QLatin1String(CopyShortcutName), Qt::FindDirectChildrenOnly))
        return;
    auto* copy = new QAction(window);
    copy->setObjectName(QLatin1String(CopyShortcutName));
    copy->setShortcut(QKeySequence::Copy);
    QObject::connect(copy, &QAction::triggered, window, [window] {
        for (QWidget* focus = QApplication::focusWidget(); focus != nullptr; focus = focus->parentWidget())
            if (auto* grid = qobject_cast<OutputGrid*>(focus); grid != nullptr && grid->window() == window)
                return CopyTables({&grid->Table()});
        CopyTables(TablesOfWindow(window));
    });
    auto* copyAll = new QAction(window);
    copyAll->setObjectName(QStringLiteral("CopyAllResultTables"));
    copyAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    QObject::connect(copyAll, &QAction::triggered, window, [window] { CopyTables(TablesOfWindow(window)); });
    window->addAction(copy);
    window->addAction(copyAll);
}

}  // namespace kelvo::ui
