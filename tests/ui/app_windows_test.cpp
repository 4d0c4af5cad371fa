// The program's windows as start-up creates and wires them.
#include "app_windows.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>
#include <functional>
#include <memory>

#include "about.h"
#include "check_results.h"
#include "confirm_message.h"
#include "create_variables.h"
#include "display_results.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"
#include "help_viewer.h"
#include "main_window.h"
#include "select_model.h"
#include "specify_output.h"
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
        for (QWidget* window : std::initializer_list<QWidget*>{
                 &windows.WarningMessage(), &windows.ConfirmMessage(), &windows.SelectModel(), &windows.CheckResults(),
                 &windows.DisplayResults(), &windows.SpecifyOutput(), &windows.About(), &windows.Help()}) {
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

    // The Edit commands open the data entry windows, which close by their OK.
    void editCommandsOpenTheDataEntryWindows() {
        auto ts = std::make_unique<kelvo::TableSet>();
        ts->VariableCount = 2;
        ts->CategoryCounts[1] = ts->CategoryCounts[2] = 2;
        AppWindows windows(*ts);
        ts->TableSetOpen = true;  // as after Read file (creating the main window clears the flags)
        QStringList opened;
        const auto closeIt = [&](QWidget* modal) {
            QVERIFY(modal != nullptr);
            opened << modal->metaObject()->className();
            if (auto* table = qobject_cast<kelvo::ui::TEditTable*>(modal)) table->OKButton->click();
            if (auto* chooser = qobject_cast<kelvo::ui::TEditVariables*>(modal)) chooser->CancelButton->click();
        };
        WhenModalShown(closeIt);
        windows.Main().Edittables1->trigger();
        WhenModalShown(closeIt);
        windows.Main().Editvariables1->trigger();
        QCOMPARE(opened, (QStringList{"kelvo::ui::TEditTable", "kelvo::ui::TEditVariables"}));
        QVERIFY(ts->TableSetModified);
    }

    // Create file: the variable list editor opens the new-variable entry, the
    // variable editor and the table editor; the variable chooser opens the
    // variable editor. Each closes by its own button, as a user closes it.
    void dataEntryWindowsOpenOneAnother() {
        auto ts = std::make_unique<kelvo::TableSet>();
        AppWindows windows(*ts);
        windows.Main().seams.chooseCreateFile = [] { return QStringLiteral("/nonexistent/new.tbl"); };
        QStringList opened;
        std::function<void(QWidget*)> answer = [&](QWidget* modal) {
            QVERIFY(modal != nullptr);
            opened << modal->metaObject()->className();
            if (auto* list = qobject_cast<kelvo::ui::TCreateVariables*>(modal)) {
                if (ts->VariableCount == 0) {
                    WhenModalShown(answer);
                    list->AddButton->click();
                }
                WhenModalShown(answer);
                list->CancelButton->click();
            } else if (auto* entry = qobject_cast<kelvo::ui::TEnterVariable*>(modal)) {
                entry->Edit1->setText("Sex");
                WhenModalShown(answer);  // the variable editor follows
                entry->OKButton->click();
            } else if (auto* editor = qobject_cast<kelvo::ui::TEditVariable*>(modal)) {
                editor->OKButton->click();
            } else if (auto* table = qobject_cast<kelvo::ui::TEditTable*>(modal)) {
                table->OKButton->click();
            } else if (auto* chooser = qobject_cast<kelvo::ui::TEditVariables*>(modal)) {
                WhenModalShown(answer);
                chooser->SelectButton->click();
                chooser->CancelButton->click();
            }
        };
        WhenModalShown(answer);
        windows.Main().CreateKELVOFile1->trigger();
        WhenModalShown(answer);
        windows.Main().Editvariables1->trigger();
        QCOMPARE(opened, (QStringList{"kelvo::ui::TCreateVariables", "kelvo::ui::TEnterVariable",
                                      "kelvo::ui::TEditVariable", "kelvo::ui::TEditTable", "kelvo::ui::TEditVariables",
                                      "kelvo::ui::TEditVariable"}));
        QCOMPARE(ts->VariableCount, 1);
        QCOMPARE(ts->VariableNames[1].str(), std::string("Sex"));
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
