// The command line of the desktop program and the start with a table-set
// file: read as Read KELVO file reads it, with its warnings and errors.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>
#include <QtTest>
#include <memory>

#include "app_windows.h"
#include "main_window.h"
#include "start_up.h"
#include "table_set.h"
#include "test_support.h"
#include "warning_message.h"
#include "window_test_support.h"

using kelvo::test::TempDir;
using kelvo::test::WhenModalShown;
using kelvo::ui::StartArguments;
using Action = kelvo::ui::StartArguments::Action;

Q_DECLARE_METATYPE(Action)

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    // What each command line asks for and what kelvo prints for it.
    void commandLine_data() {
        const QString here = QDir::currentPath();
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed");  // stdout, or stderr for a refused line
        QTest::newRow("no argument") << QStringList{} << Action::Start << QString() << 0 << QString();
        QTest::newRow("a file, made absolute")
            << QStringList{"data/../titanic.tbl"} << Action::Start << here + "/titanic.tbl" << 0 << QString();
        QTest::newRow("an absolute file") << QStringList{"/srv/a b.tbl"} << Action::Start << "/srv/a b.tbl" << 0
                                          << QString();
        QTest::newRow("a file after --")
            << QStringList{"--", "-odd.tbl"} << Action::Start << here + "/-odd.tbl" << 0 << QString();
        const QString usage = QStringLiteral("Usage: kelvo [FILE.tbl]; kelvo --help tells more.\n");
        QTest::newRow("two files") << QStringList{"a.tbl", "b.tbl"} << Action::Refuse << QString() << 2
                                   << "kelvo: only one table-set file can be opened, 2 were given\n" + usage;
        QTest::newRow("unknown option") << QStringList{"a.tbl", "--read"} << Action::Refuse << QString() << 2
                                        << "kelvo: unknown option --read\n" + usage;
        QTest::newRow("empty file name") << QStringList{""} << Action::Refuse << QString() << 2
                                         << "kelvo: the file name is empty\n" + usage;
        QTest::newRow("version") << QStringList{"--version"} << Action::Version << QString() << 0
                                 << QStringLiteral("kelvo 7.0\n");
        QTest::newRow("help wins over a file")
            << QStringList{"a.tbl", "-h"} << Action::Help << QString() << 0 << QStringLiteral("Usage: kelvo [FILE.tbl]\n");
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, file);
        QFETCH(int, status);
        QFETCH(QString, printed);
        arguments.prepend(QStringLiteral("kelvo"));
        const StartArguments start = kelvo::ui::ParseStartArguments(arguments);
        QCOMPARE(start.action, action);
        QCOMPARE(start.file, file);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QCOMPARE(kelvo::ui::AnswerStartArguments(start, outStream, errStream), status);
        if (action == Action::Refuse) {
            QCOMPARE(err, printed);
            QVERIFY(out.isEmpty());
        } else {
            QVERIFY2(out.startsWith(printed), qPrintable(out));
            QVERIFY(err.isEmpty());
        }
    }

    // The start with a file: the main window appears with it read; a warning
    // of the reader shows the notice and the file is open all the same; a
    // file that cannot be read shows the error box and leaves nothing open.
    void startWithFile_data() {
        QTest::addColumn<QByteArray>("contents");  // empty: the file does not exist
        QTest::addColumn<QString>("shown");        // the notice or error box, if any
        QTest::addColumn<bool>("open");
        const QByteArray twoVariables =
            "2\r\nSex\r\n2\r\nMale\r\nFemale\r\nAge\r\n3\r\nYoung\r\nMiddle\r\nOld\r\n"
            "Age*Sex\r\n        10         12 \r\n         3          4 \r\n         5          6 \r\n";
        QTest::newRow("a table set") << twoVariables << QString() << true;
        QTest::newRow("a bad header") << twoVariables + "Age-Sex\r\n"
                                      << "Incorrect table specification: Age-Sex" << true;
        QTest::newRow("a missing file") << QByteArray() << "File not found" << false;
        QTest::newRow("a bad number") << QByteArray(twoVariables).replace("        10", "        1O")
                                      << "Invalid numeric input" << false;
    }
    void startWithFile() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, shown);
        QFETCH(bool, open);
        TempDir dir;
        const QString path = QString::fromStdString((dir / "survey.2006.tbl").string());
        if (!contents.isEmpty()) kelvo::test::WriteFile(dir / "survey.2006.tbl", contents.toStdString());
        auto ts = std::make_unique<kelvo::TableSet>();
        kelvo::ui::AppWindows windows(*ts);
        QStringList modals;
        bool mainShownFirst = false;
        if (!shown.isEmpty()) WhenModalShown([&](QWidget* modal) {
            mainShownFirst = windows.Main().isVisible();
            if (modal == &windows.WarningMessage()) {
                modals << windows.WarningMessage().Edit1->text();
                windows.WarningMessage().OKButton->click();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                modals << box->text();
                box->accept();
            }
        });
        kelvo::ui::StartMainWindow(windows.Main(), kelvo::ui::ParseStartArguments({"kelvo", path}));
        QVERIFY(windows.Main().isVisible());
        QCOMPARE(modals, shown.isEmpty() ? QStringList{} : QStringList{shown});
        if (!shown.isEmpty()) QVERIFY(mainShownFirst);
        QCOMPARE(ts->TableSetOpen, open);
        QVERIFY(!ts->TableSetModified);
        QCOMPARE(windows.Main().Label3->text(), open ? path : QStringLiteral("-"));
        QCOMPARE(windows.Main().Label5->text(), open ? QStringLiteral("2") : QStringLiteral("-"));
        QCOMPARE(ts->FileBaseName, open ? std::string("survey") : std::string());
        QCOMPARE(ts->VariableCount, open ? 2 : 0);
    }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
