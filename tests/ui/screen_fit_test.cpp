// Every window on a screen of 1280 x 1024 pixels at a scale factor of 2 (640
// x 512 points to lay out in) and of 3 (426.7 x 341.3 points, which the
// screen rounds), with the largest content a table set allows: each opens
// inside the screen's available area, to its last pixel, and a window
// smaller than its content lets the content scroll, so that every control
// can be reached. The test program runs with such a screen (see
// CMakeLists.txt).
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QWindow>
#include <QtTest>
#include <filesystem>

#include "app_windows.h"
#include "coefficient_chart.h"
#include "display_results.h"
#include "edit_variable.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "estimation.h"
#include "help_viewer.h"
#include "largest_table_set.h"
#include "main_window.h"
#include "model_fit.h"
#include "test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

class ScreenFitTest : public QObject {
    Q_OBJECT

    // Whether `frame` (in points) lies on the screen of 1280 x 1024 pixels.
    static bool OnTheScreen(const QRect& frame) {
        const qreal scale = QApplication::primaryScreen()->devicePixelRatio();
        return QApplication::primaryScreen()->availableGeometry().contains(frame) &&
               (frame.right() + 1) * scale <= 1280 && (frame.bottom() + 1) * scale <= 1024;
    }

    // Whether every push button of `window` lies inside it, or inside the
    // content of the scroll area that the window gained.
    static bool ButtonsReachable(QWidget* window) {
        const bool scrolls = window->findChild<QScrollArea*>("WindowScrollArea") != nullptr;
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (!button->isVisibleTo(window)) continue;
            const QRect where(button->mapTo(window, QPoint(0, 0)), button->size());
            if (!scrolls && !window->rect().contains(where)) return false;
        }
        return true;
    }

private slots:
    void theScreenIsSmall() {
        const QSize points = QApplication::primaryScreen()->availableGeometry().size();
        const qreal scale = QApplication::primaryScreen()->devicePixelRatio();
        QVERIFY(scale >= 2);
        QVERIFY(qAbs(points.width() * scale - 1280) < scale && qAbs(points.height() * scale - 1024) < scale);
    }

    void everyWindowFitsTheScreen() {
        auto ts = test::LargestCountedModel();
        for (int v = 1; v <= MaxVariables; ++v)
            for (int k = 1; k <= MaxCategories; ++k) ts->CategoryNames[v][k] = "WWWWWWWWWW" + std::to_string(10 + k);
        AppWindows windows(*ts);
        ts->TableSetOpen = true;
        const auto log = std::filesystem::temp_directory_path() / "kelvo-screen-fit-log";
        CollectingWarningSink warnings;
        QVERIFY(ComputeEstimates(*ts, warnings, log));
        std::filesystem::remove(log);
        ComputeModelSummary(*ts);
        ts->ResultsAvailable = true;
        windows.Main().findChild<TEditVariable*>()->EditedVariable = 2;
        windows.CoefficientChart().SetPredictor(1);

        QList<QWidget*> shown = {&windows.Main(), &windows.Help()};
        for (QDialog* dialog : windows.Main().findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) shown << dialog;
        QVERIFY(shown.size() >= 15);
        for (QWidget* window : shown) {
            if (window == &windows.Help()) windows.Help().ShowContents();
            else window->show();
            QApplication::processEvents();
            const QString name = window->objectName();
            QVERIFY2(OnTheScreen(window->frameGeometry()),
                     qPrintable(name + QString(" at %1,%2 %3x%4")
                                           .arg(window->x())
                                           .arg(window->y())
                                           .arg(window->width())
                                           .arg(window->height())));
            QVERIFY2(ButtonsReachable(window), qPrintable(name));
            window->hide();
        }
    }

    // A window manager frames a window only after it is shown, and again
    // after each showing: the window placed without its frame is fitted and
    // centred once more with it, so that the frame too lies on the screen.
    void aWindowFramedAfterItsShowingIsFittedAgain() {
        HelpViewer help;  // larger than the screen
        help.setWindowFlag(Qt::FramelessWindowHint);
        for (int showing = 1; showing <= 2; ++showing) {
            // As large as it opened the first time.
            help.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            help.resize(760, 580);
            help.ShowContents();
            QApplication::processEvents();
            QCOMPARE(help.frameGeometry(), help.geometry());
            // The window manager's frame, and its placing of the window
            // inside it.
            help.windowHandle()->setFlags(help.windowHandle()->flags() & ~Qt::FramelessWindowHint);
            help.move(help.pos() + QPoint(1, 1));
            QApplication::processEvents();
            const QRect framed = help.frameGeometry();
            QVERIFY(framed != help.geometry());
            QVERIFY2(OnTheScreen(framed), qPrintable(QString("%1x%2 at %3,%4 in showing %5")
                                                                 .arg(framed.width())
                                                                 .arg(framed.height())
                                                                 .arg(framed.x())
                                                                 .arg(framed.y())
                                                                 .arg(showing)));
            help.close();
            help.windowHandle()->setFlags(help.windowHandle()->flags() | Qt::FramelessWindowHint);
        }
    }
};

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"
