// kelvo: the desktop program. It takes no command-line arguments.
#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdio>
#include <memory>

#include "app_windows.h"
#include "main_window.h"
#include "table_set.h"

int main(int argc, char** argv) {
    // A write beyond the file-size limit should fail with an error, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication application(argc, argv);
    // The one table set of the run; every window works on it.
    auto tableSet = std::make_unique<kelvo::TableSet>();
    kelvo::ui::AppWindows windows(*tableSet);
    kelvo::ui::TMain& mainWindow = windows.Main();
    mainWindow.show();

    // For the start-up check of the test suite: once the main window is on
    // the screen, report it and close it the normal way (as Exit does).
    if (qEnvironmentVariableIntValue("KELVO_SMOKE_TEST") == 1) {
        auto* poll = new QTimer(&mainWindow);
        QObject::connect(poll, &QTimer::timeout, &mainWindow, [&mainWindow, poll] {
            QWindow* window = mainWindow.windowHandle();
            if (window == nullptr || !window->isExposed()) return;
            poll->stop();
            std::printf("shown: %s %dx%d\n", mainWindow.windowTitle().toUtf8().constData(), mainWindow.width(),
                        mainWindow.height());
            std::fflush(stdout);
            mainWindow.close();
        });
        poll->start(10);
    }
    return application.exec();
}
