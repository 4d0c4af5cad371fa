// The program's windows as start-up creates and wires them.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>
#include <memory>

#include "about.h"
#include "app_windows.h"
#include "confirm_message.h"
#include "help_viewer.h"
#include "main_window.h"
#include "table_set.h"
#include "warning_message.h"
#include "window_test_support.h"

using kelvo::test::WhenModalShown;
using kelvo::ui::AppWindows;

class AppWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void windowsBelongToTheMainWindow() {
        auto ts = std::make_unique<kelvo::TableSet>();
        AppWindows windows(*ts);
        QWidget* main = &windows.Main();
        for (QWidget* window : std::initializer_list<QWidget*>{&windows.WarningMessage(), &windows.ConfirmMessage(),
                                                               &windows.About(), &windows.Help()}) {
            QCOMPARE(window->parentWidget(), main);
            QVERIFY(window->isWindow());
            QVERIFY(!window->isVisible());
        }
    }

    // Warnings of the commands reach the notice, which waits for OK.
    void warningsReachTheNotice() {
        auto ts = std::make_unique<kelvo::TableSet>();
        AppWindows windows(*ts);
        QString shown;
        WhenModalShown([&](QWidget* modal) {
            if (modal != &windows.WarningMessage()) return;
            shown = windows.WarningMessage().Edit1->text();
            windows.WarningMessage().OKButton->click();
        });
        windows.Warnings().ShowWarning("Totals do not match for variable Age");
        QCOMPARE(shown, QStringLiteral("Totals do not match for variable Age"));
    }

    void helpCommandsOpenTheirWindows() {
        auto ts = std::make_unique<kelvo::TableSet>();
        AppWindows windows(*ts);
        QString version;
        WhenModalShown([&](QWidget* modal) {
            if (modal != &windows.About()) return;
            version = windows.About().Label2->text();
            windows.About().OKButton->click();
        });
        windows.Main().AboutKELVO1->trigger();
        QCOMPARE(version, QStringLiteral("Version 7.0"));

        windows.Main().Kelvohelp1->trigger();
        QVERIFY(windows.Help().isVisible());
        QCOMPARE(windows.Help().Browser->source(), kelvo::ui::HelpViewer::ContentsUrl());
    }
};

QTEST_MAIN(AppWindowsTest)
#include "app_windows_test.moc"
