// The import of records: the preview of the file's columns, the choices, the
// import off the window's thread, Cancel, and a file that is not CSV.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "csv_import.h"
#include "import_records.h"
#include "main_window.h"
#include "table_set.h"
#include "table_set_file.h"
#include "test_support.h"
#include "warning_message.h"
#include "window_test_support.h"

using kelvo::test::ReadFile;
using kelvo::test::TempDir;
using kelvo::ui::TImportRecords;

namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// Columns: A (2 values), Many (17 values), One (one value), W (whole numbers), B (3 values).
std::string PreviewCsv() {
    std::string csv = "A,Many,One,W,B\n";
    for (int r = 1; r <= 17; ++r)
        csv += std::string(r % 2 ? "x" : "y") + "," + std::to_string(r) + ",same," + std::to_string(r % 4) + "," +
               "b" + std::to_string(r % 3) + "\n";
    return csv;
}

// Records enough for the reading to take a while (about 9 MB).
std::filesystem::path LargeCsv(const TempDir& dir) {
    const auto path = dir / "large.csv";
    std::ofstream out(path, std::ios::binary);
    for (int c = 1; c <= 16; ++c) out << (c > 1 ? "," : "") << "V" << c;
    out << "\n";
    std::uint32_t state = 3;
    for (int r = 0; r < 100000; ++r) {
        for (int c = 1; c <= 16; ++c) {
            state = state * 1664525u + 1013904223u;
            out << (c > 1 ? "," : "") << "Cat" << 1 + (state >> 16) % 16;
        }
        out << "\n";
    }
    return path;
}

// Whether `text` shows whole in the one-line field of the warning box.
bool FitsTheWarningField(const QString& text) {
    kelvo::ui::TWarningMessage box;
    QLineEdit* field = box.Edit1;
    QStyleOptionFrame frame;
    frame.initFrom(field);
    frame.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field);
    const int room = field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field).width() - 4;
    return field->fontMetrics().horizontalAdvance(text) <= room;
}

// The preview window over PreviewCsv(), in a folder of its own.
struct Preview {
    Preview() : window(warnings) { kelvo::test::WriteFile(dir / "p.csv", PreviewCsv()); }
    bool Read() { return window.ReadPreview(Q(dir / "p.csv")); }
    TempDir dir;
    kelvo::test::RecordingWarnings warnings;
    TImportRecords window;
};

}  // namespace

class ImportRecordsTest : public QObject {
    Q_OBJECT

private slots:
    void previewShowsColumnsAndGreysThoseThatCannotBeVariables() {
        Preview preview;
        TImportRecords& window = preview.window;
        QVERIFY(preview.Read());
        QCOMPARE(window.Columns->rowCount(), 5);
        const auto cell = [&](int row, int column) { return window.Columns->item(row, column)->text(); };
        QCOMPARE(cell(0, TImportRecords::ValuesColumn), QString("2"));
        QCOMPARE(cell(0, TImportRecords::CategoriesColumn), QString("x, y"));
        QCOMPARE(cell(1, TImportRecords::ValuesColumn), QString("> 16"));
        QCOMPARE(cell(1, TImportRecords::NoteColumn), QString("more than 16 categories"));
        QCOMPARE(cell(2, TImportRecords::NoteColumn), QString("only one category"));
        QVERIFY(!(window.Columns->item(1, TImportRecords::NameColumn)->flags() & Qt::ItemIsEnabled));
        QVERIFY(!window.UseBox(1)->isEnabled() && !window.UseBox(1)->isChecked());
        QVERIFY(!window.UseBox(2)->isEnabled());
        QVERIFY(window.UseBox(0)->isChecked() && window.UseBox(3)->isChecked() && window.UseBox(4)->isChecked());
        // Only the columns of whole numbers can be the weight.
        QStringList weights;
        for (int i = 0; i < window.WeightBox->count(); ++i) weights << window.WeightBox->itemText(i);
        QCOMPARE(weights, (QStringList{"(none)", "Many", "W"}));
        QCOMPARE(window.WeightBox->currentIndex(), 0);  // no column is named like a count
        QCOMPARE(window.ProgressBar->value(), 0);       // nothing imported yet
        // The weight column is no variable.
        window.WeightBox->setCurrentIndex(2);
        QVERIFY(!window.UseBox(3)->isChecked() && !window.UseBox(3)->isEnabled());
        QVERIFY(window.ImportButton->isEnabled());
        window.UseBox(4)->setChecked(false);
        QVERIFY(!window.ImportButton->isEnabled());  // one variable is not enough
    }

    void importWritesWhatTheCommandLineImportWrites() {
        Preview preview;
        TImportRecords& window = preview.window;
        const TempDir& dir = preview.dir;
        QVERIFY(preview.Read());
        window.WeightBox->setCurrentIndex(2);
        const auto target = dir / "out.tbl";
        window.seams.chooseTableFile = [&] { return Q(target); };
        window.ImportButtonClick();
        QVERIFY(preview.warnings.warnings.empty());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        kelvo::CsvImportOptions options;
        options.variables = {"A", "B"};
        options.weightColumn = "W";
        kelvo::TableSet expected;
        kelvo::ImportCsv(dir / "p.csv", options, expected);
        QCOMPARE(ReadFile(target), kelvo::TableSetText(expected));
        QCOMPARE(window.ProgressBar->value(), window.ProgressBar->maximum());
    }

    // The import takes the columns the preview showed, by their place: a
    // name in UTF-8 or in Latin-1, or one that two columns bear.
    void importsThePreviewedColumnsWhateverTheirNames_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("unchecked");
        QTest::newRow("UTF-8") << QByteArray("R\xC3\xA9gion,Sexe\nNord,H\nSud,F\nSud,H\nSud,H\n") << -1;
        QTest::newRow("Latin-1") << QByteArray("R\xE9gion,Sexe\nNord,H\nSud,F\nSud,H\nSud,H\n") << -1;
        QTest::newRow("two of one name") << QByteArray("Sexe,R\xC3\xA9gion,Sexe\nx,Nord,H\nx,Sud,F\ny,Sud,H\ny,Sud,H\n") << 0;
    }
    void importsThePreviewedColumnsWhateverTheirNames() {
        QFETCH(QByteArray, csv);
        QFETCH(int, unchecked);
        TempDir dir;
        kelvo::test::WriteFile(dir / "r.csv", csv.toStdString());
        kelvo::test::RecordingWarnings warnings;
        TImportRecords window(warnings);
        QVERIFY(window.ReadPreview(Q(dir / "r.csv")));
        QCOMPARE(window.Columns->item(unchecked + 1, TImportRecords::NameColumn)->text(), QString::fromUtf8("R\u00e9gion"));
        if (unchecked >= 0) window.UseBox(unchecked)->setChecked(false);
        window.seams.chooseTableFile = [&] { return Q(dir / "r.tbl"); };
        window.ImportButtonClick();
        QCOMPARE(warnings.warnings, std::vector<std::string>{});
        QCOMPARE(window.result(), int(QDialog::Accepted));
        kelvo::TableSet ts;
        kelvo::CollectingWarningSink quiet;
        kelvo::OpenTableSet(ts, (dir / "r.tbl").string(), quiet);
        QCOMPARE(ts.VariableCount, 2);
        QCOMPARE(ts.VariableNames[1].str(), std::string("R\xE9gion"));
        QCOMPARE(ts.VariableNames[2].str(), std::string("Sexe"));
        QCOMPARE(ts.CategoryNames[2][1].str(), std::string("H"));
        QCOMPARE(kelvo::PairCell(ts, 1, 2, 2, 1), 2);  // Sud and H
    }

    // A column whose name or values hold a control character cannot become
    // a variable: the note says where, the others import as usual.
    void columnsWithControlCharactersAreGreyed() {
        TempDir dir;
        kelvo::test::WriteFile(dir / "c.csv", "A,\"B\tb\",C\nx,p,u\ny,q,\"line\nend\"\nx,p,v\n");
        kelvo::test::RecordingWarnings warnings;
        TImportRecords window(warnings);
        QVERIFY(window.ReadPreview(Q(dir / "c.csv")));
        QCOMPARE(window.Columns->item(1, TImportRecords::NoteColumn)->text(), QString("name holds a tab"));
        QCOMPARE(window.Columns->item(2, TImportRecords::NoteColumn)->text(), QString("value on line 4 holds a line end"));
        QVERIFY(!window.UseBox(1)->isEnabled() && !window.UseBox(1)->isChecked());
        QVERIFY(!window.UseBox(2)->isEnabled() && !window.UseBox(2)->isChecked());
        QVERIFY(!window.ImportButton->isEnabled());  // one variable is left
    }

    // What the reading or the writing throws ends at the slot: a refusal as
    // a warning, a failed file operation in the error box; the window stays.
    void failuresEndAtTheSlots() {
        Preview preview;
        TImportRecords& window = preview.window;
        QStringList errors;
        window.seams.showError = [&](const QString& text) { errors << text; };
        QVERIFY(!window.ReadPreview(Q(preview.dir / "missing.csv")));
        QCOMPARE(errors, QStringList{"File not found"});
        QVERIFY(preview.Read());
        window.seams.chooseTableFile = [&] { return Q(preview.dir / "missing" / "out.tbl"); };
        window.ImportButtonClick();
        QCOMPARE(errors, (QStringList{"File not found", "Path not found"}));
        QCOMPARE(window.result(), int(QDialog::Rejected));
        // The file changed since the preview: the column chosen is gone.
        kelvo::test::WriteFile(preview.dir / "p.csv", "A,Many\nx,1\ny,2\n");
        window.seams.chooseTableFile = [&] { return Q(preview.dir / "out.tbl"); };
        window.ImportButtonClick();
        QCOMPARE(preview.warnings.warnings, std::vector<std::string>{"No column 4: the file has 2"});
        QVERIFY(!std::filesystem::exists(preview.dir / "out.tbl"));
        QVERIFY(window.ImportButton->isEnabled());
    }

    void cancelledImportWritesNothing() {
        TempDir dir;
        const auto csv = LargeCsv(dir);
        kelvo::test::RecordingWarnings warnings;
        TImportRecords window(warnings);
        QVERIFY(window.ReadPreview(Q(csv)));
        const auto target = dir / "out.tbl";
        window.seams.chooseTableFile = [&] { return Q(target); };
        bool busyWhenCancelled = false;
        // Cancel as soon as the window's events run during the import.
        QTimer::singleShot(0, &window, [&] {
            busyWhenCancelled = window.Busy();
            QTest::mouseClick(window.CancelButton, Qt::LeftButton);
        });
        QTest::mouseClick(window.ImportButton, Qt::LeftButton);
        QVERIFY(busyWhenCancelled);
        QCOMPARE(window.ProgressBar->value(), 0);
        QVERIFY(window.ProgressBar->isTextVisible());
        QCOMPARE(window.ProgressBar->text(), QString("Import cancelled: nothing was written"));
        QVERIFY(!std::filesystem::exists(target));
        QVERIFY(warnings.warnings.empty());
        QVERIFY(window.ImportButton->isEnabled());  // the window stays for another try
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            QCOMPARE(entry.path().filename().string(), std::string("large.csv"));  // no temporary left
    }

    // A file that is not CSV is refused at the preview, data that cannot
    // become a table set at the import; the message is one that the warning
    // box shows whole, and nothing is written.
    void refusalsFitTheWarningField_data() {
        QTest::addColumn<QString>("contents");
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<QString>("message");
        QTest::newRow("quotes") << "A,B\n\"x\"y,z\n" << false << "Malformed quotes in line 2";
        QTest::newRow("ragged") << "A,B\nx,y\nx\n" << false << "Line 3 has 1 fields, not 2";
        QTest::newRow("empty") << "" << false << "Empty file: no line of names";
        QTest::newRow("long value") << "Region,Sex\nYukon,M\nNorthwestern Territories,F\n" << false
                                    << "A value is over 12 characters (line 3)";
        QTest::newRow("long name") << "Province or territory,Sex\nYukon,M\nNunavut,F\n" << false
                                   << "A name is over 12 characters (line 1)";
        QTest::newRow("cut to one") << "Region,Sex\nNorthwest Te A,M\nNorthwest Te B,F\n" << true
                                    << "Two values cut to \"Northwest Te\" (line 3)";
        QTest::newRow("star") << "Age*Sex,B\nx,y\nz,w\n" << false << "Column \"Age*Sex\" holds \"*\"";
        QTest::newRow("one name") << "Sexe,Sexe\nx,H\ny,F\n" << false << "Two columns are named \"Sexe\"";
    }
    void refusalsFitTheWarningField() {
        QFETCH(QString, contents);
        QFETCH(bool, truncate);
        QFETCH(QString, message);
        TempDir dir;
        kelvo::test::WriteFile(dir / "bad.csv", contents.toStdString());
        kelvo::test::RecordingWarnings warnings;
        TImportRecords window(warnings);
        window.seams.chooseTableFile = [&] { return Q(dir / "out.tbl"); };
        if (window.ReadPreview(Q(dir / "bad.csv"))) {
            window.TruncateBox->setChecked(truncate);
            QTest::mouseClick(window.ImportButton, Qt::LeftButton);
            QCOMPARE(window.ProgressBar->value(), 0);
        }
        QCOMPARE(warnings.warnings, (std::vector<std::string>{message.toStdString()}));
        QVERIFY(FitsTheWarningField(message));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }

    // A column of whole numbers named like a count is the weight at first,
    // and its note says so; the import counts every row that many times.
    void aColumnNamedLikeACountIsProposedAsTheWeight_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<bool>("proposed");
        QTest::newRow("Count") << "Count" << "3,5,0,2" << true;
        QTest::newRow("freq") << "freq" << "3,5,0,2" << true;
        QTest::newRow("FREQUENCY") << "FREQUENCY" << "3,5,0,2" << true;
        QTest::newRow("Weight") << "Weight" << "3,5,0,2" << true;
        QTest::newRow("n, blanks around") << " n " << "3,5,0,2" << true;
        QTest::newRow("N") << "N" << "3,5,0,2" << true;
        QTest::newRow("Counts") << "Counts" << "3,5,0,2" << false;
        QTest::newRow("not whole") << "Count" << "3,5.5,0,2" << false;
        QTest::newRow("negative") << "Count" << "3,-5,0,2" << false;
    }
    void aColumnNamedLikeACountIsProposedAsTheWeight() {
        QFETCH(QString, name);
        QFETCH(QString, counts);
        QFETCH(bool, proposed);
        const QStringList weights = counts.split(',');
        std::string csv = "Class,Sex," + name.toStdString() + "\n";
        const char* rows[] = {"1st,Male,", "1st,Female,", "2nd,Male,", "2nd,Female,"};
        for (int r = 0; r < 4; ++r) csv += rows[r] + weights[r].toStdString() + "\n";
        TempDir dir;
        kelvo::test::WriteFile(dir / "t.csv", csv);
        kelvo::test::RecordingWarnings warnings;
        TImportRecords window(warnings);
        QVERIFY(window.ReadPreview(Q(dir / "t.csv")));
        QCOMPARE(window.WeightBox->currentText(), proposed ? name.trimmed() : QString("(none)"));
        QCOMPARE(window.Columns->item(2, TImportRecords::NoteColumn)->text() == "proposed as the weight", proposed);
        QCOMPARE(window.UseBox(2)->isChecked(), !proposed);
        if (!proposed) window.UseBox(2)->setChecked(false);
        window.seams.chooseTableFile = [&] { return Q(dir / "t.tbl"); };
        QTest::mouseClick(window.ImportButton, Qt::LeftButton);
        QCOMPARE(warnings.warnings, std::vector<std::string>{});
        kelvo::TableSet ts;
        kelvo::CollectingWarningSink quiet;
        kelvo::OpenTableSet(ts, (dir / "t.tbl").string(), quiet);
        QCOMPARE(ts.VariableCount, 2);
        QCOMPARE(kelvo::PairCell(ts, 2, 1, 1, 1), proposed ? 3 : 1);  // Male in 1st class
        QCOMPARE(kelvo::PairCell(ts, 2, 1, 1, 2), proposed ? 0 : 1);  // Male in 2nd class
    }

    void mainWindowOpensTheImportedFileAfterWritingTheOldOne() {
        TempDir dir;
        kelvo::test::WriteFile(dir / "p.csv", PreviewCsv());
        auto ts = std::make_unique<kelvo::TableSet>();
        kelvo::test::RecordingWarnings warnings;
        kelvo::ui::TMain main(*ts, warnings);
        main.seams.chooseCreateFile = [&] { return Q(dir / "old.tbl"); };
        main.CreateKELVOFile1Click();  // a new, modified table set
        QVERIFY(ts->TableSetModified);
        TImportRecords window(warnings);
        window.seams.chooseTableFile = [&] { return Q(dir / "new.tbl"); };
        main.seams.chooseImportFile = [&] { return Q(dir / "p.csv"); };
        main.seams.showImportRecords = [&](const QString& path) {
            if (!window.ReadPreview(path)) return QString();
            window.ImportButtonClick();
            return window.result() == QDialog::Accepted ? Q(dir / "new.tbl") : QString();
        };
        main.ImportRecords1Click();
        QVERIFY(std::filesystem::exists(dir / "old.tbl"));  // written before it was replaced
        QCOMPARE(main.Label3->text(), Q(dir / "new.tbl"));
        QCOMPARE(ts->VariableCount, 3);  // A, W and B: the columns checked at first
        QCOMPARE(ts->VariableNames[2].str(), std::string("W"));
        QVERIFY(ts->TableSetOpen && !ts->TableSetModified && !ts->ResultsAvailable);
    }
};

QTEST_MAIN(ImportRecordsTest)
#include "import_records_test.moc"
