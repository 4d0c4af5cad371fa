// Export report: the chosen sections in the chosen format into the chosen
// file, written off the window's thread; a failure shown in the error box
// with any old file left as it was.
#include "export_report.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "data_entry_test_support.h"
#include "model_test_support.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

std::unique_ptr<TableSet> Titanic() {
    return test::EstimatedTitanic({"Class", "Sex"});
}

}  // namespace

class ExportReportTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void writesTheChosenFormatAndSections_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("PDF") << "PDF document (*.pdf)" << QByteArray("%PDF-");
        QTest::newRow("OpenDocument") << "OpenDocument text (*.odt)" << QByteArray("PK\x03\x04");
        QTest::newRow("Markdown") << "Markdown (*.md)" << QByteArray("# KELVO");
        QTest::newRow("CSV") << "CSV, a number a row (*.csv)" << QByteArray("section,table,row,column");
    }

    void writesTheChosenFormatAndSections() {
        QFETCH(QString, filter);
        QFETCH(QByteArray, start);
        QVERIFY(TExportReport::Filters().contains(filter));
        auto ts = Titanic();
        TExportReport window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        // Only the standard errors besides the model.
        for (auto& [section, box] : window.SectionBoxes) box->setChecked(section == SectionErrors);
        test::TempDir dir;
        const QString path = QString::fromStdString((dir / "report").string());
        window.seams.chooseFile = [&] { return ExportTarget{path, TExportReport::FormatOfFilter(filter)}; };
        QStringList errors;
        window.seams.showError = [&](const QString& text) { errors << text; };
        QSignalSpy finished(&window, &TExportReport::exportFinished);
        QTest::keyClick(&window, Qt::Key_Return);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(errors, QStringList());
        const std::string bytes = test::ReadFile(dir / "report");
        QVERIFY(QByteArray::fromStdString(bytes).startsWith(start));
        if (filter.startsWith("Markdown")) {
            QVERIFY(bytes.find("## Standard errors") != std::string::npos);
            QVERIFY(bytes.find("## Coefficients") == std::string::npos);
            QVERIFY(bytes.find("## Model summary") == std::string::npos);
        }
    }

    void aFailedWriteIsShownAndWritesNothing() {
        auto ts = Titanic();
        TExportReport window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        test::TempDir dir;
        const QString path = QString::fromStdString((dir / "no/such/folder/report.pdf").string());
        window.seams.chooseFile = [&] { return ExportTarget{path, ReportFormat::Pdf}; };
        QStringList errors;
        window.seams.showError = [&](const QString& text) { errors << text; };
        QSignalSpy finished(&window, &TExportReport::exportFinished);
        window.ExportButtonClick();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(errors.size(), 1);
        QVERIFY(!errors.first().isEmpty());
        QVERIFY(window.isVisible());
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
    }
};

QTEST_MAIN(ExportReportTest)
#include "export_report_test.moc"
