// kelvo: the desktop program. It takes one optional argument, a table-set
// file to read at start-up (see start_up.h).
#include <QApplication>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdio>
#include <memory>

#include "app_windows.h"
#include "main_window.h"
#include "recovery_folder.h"
#include "select_model.h"
#include "start_up.h"
#include "state_folder.h"
#include "table_set.h"

int main(int argc, char** argv) {
    // A write beyond the file-size limit should fail with an error, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);

    QTextStream out(stdout);
    QTextStream err(stderr);
    // --help, --version and a wrong command line need no display: they are
    // answered before the application object connects to one, unless an
    // option that may be one of Qt's waits for Qt to take its own out.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i) rawArguments.push_back(QString::fromLocal8Bit(argv[i]));
    const kelvo::ui::StartArguments early = kelvo::ui::ParseStartArguments(rawArguments);
    if (early.action != kelvo::ui::StartArguments::Action::Start && early.unknownOption.isEmpty())
        return kelvo::ui::AnswerStartArguments(early, out, err);

    QApplication application(argc, argv);
    const kelvo::ui::StartArguments start = kelvo::ui::ParseStartArguments(QApplication::arguments());
    if (start.action != kelvo::ui::StartArguments::Action::Start)
        return kelvo::ui::AnswerStartArguments(start, out, err);
    // Lets the desktop match the windows with kelvo.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvo"));

    // The one table set of the run; every window works on it.
    auto tableSet = std::make_unique<kelvo::TableSet>();
    kelvo::ui::AppWindows windows(*tableSet, kelvo::RecoveryFolder());
    // The estimation log goes to the program's state folder, never to the
    // folder it was started from (the home folder, from the desktop).
    windows.SelectModel().LogPath = kelvo::EstimationLogPath();
    kelvo::ui::TMain& mainWindow = windows.Main();
    kelvo::ui::StartMainWindow(mainWindow, start);

    // For the start-up check of the test suite: once the main window is on
    // the screen, report it and close it the normal way (as Exit does).
    if (qEnvironmentVariableIntValue("KELVO_SMOKE_TEST") == 1) {
        auto* poll = new QTimer(&mainWindow);
        QObject::connect(poll, &QTimer::timeout, &mainWindow, [&mainWindow, &windows, poll] {
            QWindow* window = mainWindow.windowHandle();
            if (window == nullptr || !window->isExposed()) return;
            poll->stop();
            std::printf("shown: %s %dx%d\n", mainWindow.windowTitle().toUtf8().constData(), mainWindow.width(),
                        mainWindow.height());
            std::printf("file: %s, variables: %s\n", mainWindow.Label3->text().toUtf8().constData(),
                        mainWindow.Label5->text().toUtf8().constData());
            std::printf("estimation log: %s\n", windows.SelectModel().LogPath.c_str());
            std::fflush(stdout);
            mainWindow.close();
        });
        poll->start(10);
    }
    return application.exec();
}
