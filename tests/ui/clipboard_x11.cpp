// Copying result tables on a real X display (Xvfb, the xcb platform): Ctrl+C
// and Ctrl+Shift+C typed through the X server (xdotool's XTEST key events) in
// the results browser, the prediction check and the model summary, and the
// clipboard read back by another X client (xclip), as a paste would read it:
// the tab-separated text holds every cell as the window shows it, with the
// C locale's decimal point, and the HTML form the same cells, the
// significant ones in bold.
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextDocumentFragment>
#include <QtTest>
#include <memory>

#include "check_results.h"
#include "data_entry_test_support.h"
#include "display_results.h"
#include "model_summary.h"
#include "model_test_support.h"
#include "painted_grid.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

std::unique_ptr<TableSet> Titanic() {
    return test::EstimatedTitanic({"Class", "Sex", "Age"});
}

// Another X client's read of the clipboard as `target`; the event loop runs
// meanwhile, since this process owns the selection and must answer.
QString ReadClipboard(const QString& target) {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", target});
    if (!xclip.waitForStarted()) return QStringLiteral("<xclip did not start>");
    QDeadlineTimer deadline(10000);
    while (xclip.state() != QProcess::NotRunning && !deadline.hasExpired()) QTest::qWait(20);
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

// The keys typed through the X server to the window that has the focus.
bool TypeKeys(QWidget* window, const QString& keys) {
    const int status = QProcess::execute(
        QStringLiteral("xdotool"),
        {"windowfocus", "--sync", QString::number(window->winId()), "key", "--clearmodifiers", keys});
    return status == 0;
}

// The cells of `grid` as it shows them, row after row.
QList<QStringList> ShownCells(const OutputGrid& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.GridRows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.GridColumns(); ++c) row << grid.CellText(c, r).trimmed();
        rows << row;
    }
    return rows;
}

int BoldCells(const OutputGrid& grid) {
    int bold = 0;
    for (int r = 0; r < grid.GridRows(); ++r)
        for (int c = 0; c < grid.GridColumns(); ++c) bold += grid.CellIsBold(c, r) ? 1 : 0;
    return bold;
}

// The texts of the HTML's cells, row after row.
QList<QStringList> HtmlCells(const QString& html) {
    QList<QStringList> rows;
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"));
    static const QRegularExpression cell(QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>"));
    for (auto r = row.globalMatch(html); r.hasNext();) {
        QStringList cells;
        const QString inner = r.next().captured(1);
        for (auto c = cell.globalMatch(inner); c.hasNext();)
            cells << QTextDocumentFragment::fromHtml(c.next().captured(1)).toPlainText();
        rows << cells;
    }
    return rows;
}

std::unique_ptr<QDialog> MakeWindow(const QString& name, TableSet& ts, WarningSink& warnings) {
    if (name == "results browser") return std::make_unique<TDisplayResults>(ts, warnings);
    if (name == "prediction check") return std::make_unique<TCheckResults>(ts, warnings);
    return std::make_unique<TModelSummary>(ts, warnings);
}

}  // namespace

class ClipboardX11Test : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display (run under xvfb-run)");
        for (const char* tool : {"xdotool", "xclip"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                     qPrintable(QStringLiteral("%1 is missing: run scripts/install-deps").arg(tool)));
    }

    void controlCCopiesTheFocusedTable_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("grid");  // which of the window's grids has the focus
        QTest::newRow("results browser") << "results browser" << 0;
        QTest::newRow("prediction check") << "prediction check" << 0;
        QTest::newRow("model summary, deviations") << "model summary" << 2;
    }

    void controlCCopiesTheFocusedTable() {
        QFETCH(QString, window);
        QFETCH(int, grid);
        auto ts = Titanic();
        auto shown = MakeWindow(window, *ts, warnings);
        QVERIFY(test::ShowActive(shown.get()));
        const QList<OutputGrid*> grids = shown->findChildren<OutputGrid*>();
        QVERIFY(grid < grids.size());
        OutputGrid* focused = grids[grid];
        focused->setFocus();
        QGuiApplication::clipboard()->clear();
        QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::dataChanged);
        QVERIFY(TypeKeys(shown.get(), QStringLiteral("ctrl+c")));
        QTRY_VERIFY(changed.count() > 0);

        const QList<QStringList> cells = ShownCells(*focused);
        QList<QStringList> pasted;
        for (const QString& line : ReadClipboard(QStringLiteral("UTF8_STRING")).split('\n', Qt::SkipEmptyParts))
            pasted << line.split('\t');
        QCOMPARE(pasted, cells);
        const QString html = ReadClipboard(QStringLiteral("text/html"));
        QCOMPARE(HtmlCells(html), cells);
        QCOMPARE(html.count(QStringLiteral("<b>")), BoldCells(*focused));
    }

    // Ctrl+Shift+C: every table of the window, each under its title.
    void controlShiftCCopiesEveryTable() {
        auto ts = Titanic();
        TModelSummary window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::dataChanged);
        QVERIFY(TypeKeys(&window, QStringLiteral("ctrl+shift+c")));
        QTRY_VERIFY(changed.count() > 0);
        const QString text = ReadClipboard(QStringLiteral("UTF8_STRING"));
        QStringList expected;
        for (OutputGrid* grid : window.findChildren<OutputGrid*>()) {
            expected << QString::fromLatin1(grid->Table().title.c_str());
            for (const QStringList& row : ShownCells(*grid)) expected << row.join('\t');
        }
        QCOMPARE(text.split('\n', Qt::SkipEmptyParts), expected);
        QCOMPARE(HtmlCells(ReadClipboard(QStringLiteral("text/html"))).size(), expected.size() - 3);
    }
};

QTEST_MAIN(ClipboardX11Test)
#include "clipboard_x11.moc"
