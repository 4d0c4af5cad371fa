// The output options dialog: the proposed name, the cut at the first "."
// when the type changes, the check boxes that keep their states, what OK and
// Cancel store, and keys that do nothing.
#include "specify_output.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "data_entry_test_support.h"
#include "names_and_paths.h"
#include "table_set.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

std::unique_ptr<TableSet> Survey() {
    auto ts = std::make_unique<TableSet>();
    ts->FileName = "/data/survey.tbl";
    ts->FileBaseName = "survey";
    return ts;
}

// Clicks the box or the round button of a check box or radio button, where
// a user clicks (its middle may lie beyond its caption).
void ClickBox(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

}  // namespace

class SpecifyOutputTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void firstShowing() {
        auto ts = Survey();
        TSpecifyOutput dialog(*ts, warnings);
        QCOMPARE(dialog.FileTypeIndex(), -1);
        QCOMPARE(dialog.Edit1->text(), QStringLiteral("Edit1"));
        QVERIFY(test::ShowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral(" Specify output"));
        QCOMPARE(dialog.FileType->title(), QStringLiteral(" Output file type "));
        QCOMPARE(dialog.GroupBox1->title(), QStringLiteral(" Type of output "));
        QCOMPARE(dialog.FileTypeIndex(), 0);
        QVERIFY(dialog.FileTypeHtml->isChecked());
        QCOMPARE(dialog.Edit1->text(), QStringLiteral("survey.html"));
        for (QCheckBox* box : {dialog.CheckTables, dialog.CheckCoeff, dialog.CheckErrors, dialog.CheckEnhanced})
            QVERIFY(!box->isChecked());
        QVERIFY(dialog.width() >= 253 && dialog.height() >= 340);
    }

    void changingTheTypeCutsAtTheFirstDot_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("survey.html as text") << "survey.html" << 1 << "survey.txt";
        QTest::newRow("survey.txt as HTML") << "survey.txt" << 0 << "survey.html";
        QTest::newRow("out.final.html as text") << "out.final.html" << 1 << "out.txt";
        QTest::newRow("no dot, as text") << "report" << 1 << ".txt";
        QTest::newRow("no dot, as HTML") << "report" << 0 << ".html";
        QTest::newRow("a folder with a dot") << "/tmp/a.b/report.html" << 1 << "/tmp/a.txt";
    }

    void changingTheTypeCutsAtTheFirstDot() {
        QFETCH(QString, typed);
        QFETCH(int, type);
        QFETCH(QString, name);
        auto ts = Survey();
        TSpecifyOutput dialog(*ts, warnings);
        QVERIFY(test::ShowActive(&dialog));
        // Start from the other type, so that clicking `type` changes it.
        dialog.SetFileTypeIndex(1 - type);
        dialog.Edit1->setText(typed);
        ClickBox(type == 0 ? dialog.FileTypeHtml : dialog.FileTypeText);
        QCOMPARE(dialog.FileTypeIndex(), type);
        QCOMPARE(dialog.Edit1->text(), name);
        // Clicking the chosen item again changes nothing.
        dialog.Edit1->setText(typed);
        ClickBox(type == 0 ? dialog.FileTypeHtml : dialog.FileTypeText);
        QCOMPARE(dialog.Edit1->text(), typed);
    }

    void okStoresTheSettings() {
        auto ts = Survey();
        TSpecifyOutput dialog(*ts, warnings);
        QVERIFY(test::ShowActive(&dialog));
        ClickBox(dialog.FileTypeText);
        ClickBox(dialog.CheckCoeff);
        ClickBox(dialog.CheckEnhanced);
        dialog.Edit1->setText(QString::fromUtf8("résumé.txt"));
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(ts->OutputAccepted);
        QCOMPARE(ts->ReportType, TextReport);
        QCOMPARE(ts->ReportFileName, ToPath(QString::fromUtf8("résumé.txt")).string());
        QCOMPARE(ts->OutputSections, (SectionChoice{false, false, true, false, true, false, false}));
    }

    // Cancel stores nothing; the boxes keep their states, the type and the
    // name are proposed afresh.
    void cancelKeepsTheBoxesButStoresNothing() {
        auto ts = Survey();
        ts->ReportFileName = "earlier.html";
        ts->OutputSections[1] = true;
        ts->OutputAccepted = true;
        TSpecifyOutput dialog(*ts, warnings);
        QVERIFY(test::ShowActive(&dialog));
        ClickBox(dialog.FileTypeText);
        ClickBox(dialog.CheckErrors);
        ClickBox(dialog.CheckTables);
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!ts->OutputAccepted);
        QCOMPARE(ts->ReportFileName, std::string("earlier.html"));
        QCOMPARE(ts->ReportType, HtmlReport);
        QCOMPARE(ts->OutputSections, (SectionChoice{false, true, false, false, false, false, false}));

        QVERIFY(test::ShowActive(&dialog));
        QCOMPARE(dialog.FileTypeIndex(), 0);
        QCOMPARE(dialog.Edit1->text(), QStringLiteral("survey.html"));
        QVERIFY(dialog.CheckTables->isChecked());
        QVERIFY(dialog.CheckErrors->isChecked());
        QVERIFY(!dialog.CheckCoeff->isChecked());
        QVERIFY(!dialog.CheckEnhanced->isChecked());
    }

    // Neither button is the default or the cancel button.
    void enterAndEscapeDoNothing_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }

    void enterAndEscapeDoNothing() {
        QFETCH(int, key);
        auto ts = Survey();
        ts->OutputAccepted = true;
        TSpecifyOutput dialog(*ts, warnings);
        QVERIFY(test::ShowActive(&dialog));
        for (QWidget* target : std::initializer_list<QWidget*>{dialog.Edit1, dialog.CheckCoeff}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key(key));
            QVERIFY(dialog.isVisible());
        }
        QVERIFY(ts->OutputAccepted);
        QVERIFY(!dialog.OKButton->isDefault() && !dialog.CancelButton->isDefault());
    }

    void tabOrder() {
        auto ts = Survey();
        TSpecifyOutput dialog(*ts, warnings);
        QVERIFY(test::ShowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.FileTypeHtml);
        QList<QWidget*> order;
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget();
        }
        QCOMPARE(order, (QList<QWidget*>{dialog.Edit1, dialog.CheckTables, dialog.CheckCoeff, dialog.CheckErrors,
                                         dialog.CheckEnhanced, dialog.CheckSummary, dialog.CheckCharts,
                                         dialog.CheckOddsRatios, dialog.OKButton,
                                         dialog.CancelButton, dialog.FileTypeHtml}));
    }
};

QTEST_MAIN(SpecifyOutputTest)
#include "specify_output_test.moc"
