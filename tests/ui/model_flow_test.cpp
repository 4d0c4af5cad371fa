// From reading a table set to a report, through the program's own windows as
// start-up creates and wires them: Specify model with the prediction check
// and the results browser, Display results, and Specify output writing the
// same report as kelvo-cli report does for the same model.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app_windows.h"
#include "check_results.h"
#include "cli_runner.h"
#include "display_results.h"
#include "main_window.h"
#include "painted_grid.h"
#include "select_model.h"
#include "specify_output.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;
using kelvo::test::WhenModalShown;

namespace {

void Choose(QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    list->setCurrentItem(found.first());
}

QStringList GridTexts(const PaintedGrid* grid) {
    QStringList texts;
    for (int row = 0; row < grid->GridRows(); ++row)
        for (int column = 0; column < grid->GridColumns(); ++column) texts << grid->CellText(column, row);
    return texts;
}

}  // namespace

class ModelFlowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<TableSet> ts;
    std::unique_ptr<AppWindows> windows;
    QStringList modals;  // every modal window met, in order

    // The main window after Read file of the Titanic example.
    void ReadExample() {
        ts = std::make_unique<TableSet>();
        windows = std::make_unique<AppWindows>(*ts);
        windows->SelectModel().LogPath = m_folder.filePath("log").toStdString();
        const QString example = m_folder.filePath("titanic.tbl");
        QFile::remove(example);
        QVERIFY(QFile::copy(QString::fromStdString(test::SourcePath("examples/titanic.tbl").string()), example));
        windows->Main().seams.chooseOpenFile = [example] { return example; };
        windows->Main().ReadKELVOFile2->trigger();
        QVERIFY(ts->TableSetOpen);
        QVERIFY(!ts->ResultsAvailable);
        modals.clear();
    }

    // Specify model: Survived on Class and Sex, Compute, then OK in the
    // prediction check and Next and OK in the results browser.
    void SpecifyModel() {
        WhenModalShown([this](QWidget* modal) {
            modals << (modal ? modal->objectName() : "none");
            if (modal != &windows->SelectModel()) return;
            TSelectModel& select = windows->SelectModel();
            Choose(select.Varlist, "Survived");
            select.DepButton->click();
            Choose(select.Varlist, "Class");
            select.PredButton->click();
            Choose(select.Varlist, "Sex");
            select.PredButton->click();
            WhenModalShown([this](QWidget* check) {
                modals << (check ? check->objectName() : "none");
                if (check != &windows->CheckResults()) return;
                modals << GridTexts(windows->CheckResults().Tab).join('|');
                WhenModalShown([this](QWidget* display) {
                    modals << (display ? display->objectName() : "none");
                    if (display != &windows->DisplayResults()) return;
                    TDisplayResults& browser = windows->DisplayResults();
                    modals << browser.Label1->text();
                    browser.NextButton->click();
                    modals << browser.Label1->text();
                    browser.OKButton->click();
                });
                windows->CheckResults().OKButton->click();
            });
            select.OKButton->click();
        });
        windows->Main().Specifymodel1->trigger();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        QVERIFY(QDir::setCurrent(m_folder.path()));
    }

    void cleanup() {
        windows.reset();
        ts.reset();
    }

    void specifyModelShowsTheCheckThenTheResults() {
        ReadExample();
        SpecifyModel();
        QCOMPARE(modals, (QStringList{"SelectModel", "CheckResults",
                                      "Category|Minimum|Maximum|No|  10.0|  88.6|Yes|  11.4|  90.0", "DisplayResults",
                                      "Coefficients for variable Class", "Coefficients for variable Sex"}));
        QVERIFY(!windows->SelectModel().isVisible());
        QVERIFY(ts->ResultsAvailable);
        QVERIFY(QFile::exists(m_folder.filePath("log")));

        // Display results opens the browser again, at page 1.
        QString label;
        WhenModalShown([&](QWidget* modal) {
            QCOMPARE(modal, &windows->DisplayResults());
            label = windows->DisplayResults().Label1->text();
            windows->DisplayResults().OKButton->click();
        });
        windows->Main().Displayresults1->trigger();
        QCOMPARE(label, QStringLiteral("Coefficients for variable Class"));
    }

    void outputNeedsAModel() {
        ReadExample();
        QWidget* seen = &windows->Main();
        WhenModalShown([&](QWidget* modal) { seen = modal; });
        windows->Main().Specifyoutput1->trigger();
        QTest::qWait(10);
        QCOMPARE(seen, nullptr);
        QVERIFY(QDir(m_folder.path()).entryList({"*.html", "*.txt"}).isEmpty());
    }

    // The report written from the GUI equals, byte for byte, what kelvo-cli
    // report writes for the same model.
    void reportEqualsTheCliReport_data() {
        QTest::addColumn<bool>("text");
        QTest::addColumn<QList<bool>>("sections");
        QTest::newRow("HTML, every section") << false << QList<bool>{true, true, true, true};
        QTest::newRow("HTML, header and footer only") << false << QList<bool>{false, false, false, false};
        QTest::newRow("text, every section, enhanced ignored") << true << QList<bool>{true, true, true, true};
        QTest::newRow("text, coefficients") << true << QList<bool>{false, true, false, false};
        // The odds-ratio model is fitted for the report.
        QTest::newRow("HTML, coefficients and odds ratios") << false << QList<bool>{false, true, false, false, true};
        QTest::newRow("text, odds ratios") << true << QList<bool>{false, false, false, false, true};
    }

    void reportEqualsTheCliReport() {
        QFETCH(bool, text);
        QFETCH(QList<bool>, sections);
        ReadExample();
        SpecifyModel();
        const QString proposed = text ? "titanic.txt" : "titanic.html";
        QString nameShown;
        WhenModalShown([&](QWidget* modal) {
            QCOMPARE(modal, &windows->SpecifyOutput());
            TSpecifyOutput& output = windows->SpecifyOutput();
            if (text) output.FileTypeText->click();
            nameShown = output.Edit1->text();
            const QList<QCheckBox*> boxes{output.CheckTables, output.CheckCoeff, output.CheckErrors,
                                          output.CheckEnhanced, output.CheckOddsRatios};
            for (int i = 0; i < sections.size(); ++i) boxes[i]->setChecked(sections[i]);
            output.OKButton->click();
        });
        windows->Main().Specifyoutput1->trigger();
        QCOMPARE(nameShown, proposed);
        const std::string written = test::ReadFile(m_folder.filePath(proposed).toStdString());

        // The same model, estimated and written by kelvo-cli report.
        const char* const names[] = {"tables", "coefficients", "errors", "enhanced", "odds-ratios"};
        QStringList chosen;
        for (int i = 0; i < sections.size(); ++i)
            if (sections[i]) chosen << names[i];
        const std::string expectedPath = m_folder.filePath("expected").toStdString();
        const test::CliResult cli =
            test::RunCli({"report", m_folder.filePath("titanic.tbl").toStdString(), "--dependent", "Survived",
                          "--predictors", "Class,Sex", "--format", text ? "text" : "html", "--sections",
                          chosen.isEmpty() ? "none" : chosen.join(',').toStdString(), "-o", expectedPath, "--log",
                          m_folder.filePath("expected.log").toStdString()});
        QVERIFY2(cli.status == 0, cli.err.c_str());
        const std::string reference = test::ReadFile(expectedPath);
        QVERIFY(reference.size() > 100);
        QCOMPARE(written, reference);
        QFile::remove(m_folder.filePath(proposed));
    }

    // A report that cannot be created: the error box, then the main window
    // goes on as before.
    void aReportThatCannotBeWrittenShowsTheError() {
        ReadExample();
        SpecifyModel();
        WhenModalShown([&](QWidget* modal) {
            QCOMPARE(modal, &windows->SpecifyOutput());
            windows->SpecifyOutput().Edit1->setText(m_folder.filePath("no-such-folder/report.html"));
            WhenModalShown([&](QWidget* box) {
                auto* message = qobject_cast<QMessageBox*>(box);
                modals << (message ? message->text() : "no error box");
                if (message) message->accept();
            });
            windows->SpecifyOutput().OKButton->click();
        });
        modals.clear();
        windows->Main().Specifyoutput1->trigger();
        QCOMPARE(modals, QStringList{"Path not found"});
        QVERIFY(windows->Main().isEnabled());
        QVERIFY(ts->ResultsAvailable);
    }
};

QTEST_MAIN(ModelFlowTest)
#include "model_flow_test.moc"
