// The grids of the largest table set: wider than their window, they draw a
// working horizontal scroll bar, and their last column (the totals of the
// table editor, the last category of a results page) can be reached with the
// mouse on the scroll bar and with the arrow keys.
#include <QApplication>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>
#include <utility>
#include <filesystem>
#include <memory>

#include "data_entry_test_support.h"
#include "display_results.h"
#include "edit_table.h"
#include "estimation.h"
#include "largest_table_set.h"
#include "painted_grid.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

// The grid of the window under test and the column that must be reached.
struct GridWindow {
    std::unique_ptr<TableSet> ts;
    std::unique_ptr<QDialog> window;
    PaintedGrid* grid = nullptr;
    int lastColumn = 0;
};

GridWindow TableEditor(test::RecordingWarnings& warnings) {
    GridWindow shown;
    shown.ts = test::MakeLargestTableSet();
    auto* editor = new TEditTable(*shown.ts, warnings);
    shown.window.reset(editor);
    shown.grid = editor->Tab;
    shown.lastColumn = MaxCategories + 1;  // Total
    return shown;
}

GridWindow ResultsBrowser(test::RecordingWarnings& warnings) {
    GridWindow shown;
    shown.ts = test::LargestCountedModel();
    const auto log = std::filesystem::temp_directory_path() / "kelvo-grid-scroll-log";
    if (!ComputeEstimates(*shown.ts, warnings, log)) return shown;
    std::filesystem::remove(log);
    shown.ts->TableSetOpen = shown.ts->ResultsAvailable = true;
    auto* results = new TDisplayResults(*shown.ts, warnings);
    shown.window.reset(results);
    shown.grid = results->Tab;
    shown.lastColumn = MaxCategories + 1;  // the predictor's last category
    return shown;
}

// Whether cell (column, 1) lies wholly inside the part of the grid that is
// not covered by the fixed column or the scroll bar.
bool CellInView(const PaintedGrid* grid, int column) {
    return grid->viewport()->geometry().contains(grid->CellRect(column, 1));
}

// The scroll bar as the style draws it at its size, range and position.
QImage ScrollBarAsDrawn(const QScrollBar* bar) {
    QScrollBar fresh(Qt::Horizontal);
    fresh.setRange(bar->minimum(), bar->maximum());
    fresh.setPageStep(bar->pageStep());
    fresh.setValue(bar->value());
    fresh.resize(bar->size());
    fresh.setPalette(bar->palette());
    return fresh.grab().toImage();
}

// The slider and the groove right of it, where the style draws them.
std::pair<QPoint, QPoint> SliderAndGroove(const QScrollBar* bar) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.subControls = QStyle::SC_All;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const QRect slider = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddPage, bar);
    return {slider.center(), groove.center()};
}

}  // namespace

class GridScrollBarsTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

    GridWindow Open() {
        QFETCH(QString, window);
        GridWindow shown = window == "table editor" ? TableEditor(warnings) : ResultsBrowser(warnings);
        if (shown.window) test::ShowActive(shown.window.get());
        QApplication::processEvents();
        return shown;
    }

    static void Windows() {
        QTest::addColumn<QString>("window");
        QTest::newRow("table editor") << "table editor";
        QTest::newRow("results browser") << "results browser";
    }

private slots:
    void theScrollBarIsDrawn_data() { Windows(); }
    void theScrollBarIsDrawn() {
        GridWindow shown = Open();
        QVERIFY(shown.grid != nullptr);
        QScrollBar* bar = shown.grid->horizontalScrollBar();
        QVERIFY(bar->isVisible());
        QVERIFY(bar->maximum() > 0);
        QVERIFY(!CellInView(shown.grid, shown.lastColumn));
        // What the grid shows where its scroll bar is, against the scroll bar
        // drawn on its own: its slider and groove, not a grid cell.
        const QImage grid = shown.grid->grab().toImage();
        const QRect where(bar->mapTo(shown.grid, QPoint(0, 0)), bar->size());
        const QImage drawn = ScrollBarAsDrawn(bar);
        const QImage inGrid = grid.copy(where);
        const auto [slider, groove] = SliderAndGroove(bar);
        QVERIFY(drawn.pixelColor(slider) != drawn.pixelColor(groove));
        QCOMPARE(inGrid.pixelColor(slider), drawn.pixelColor(slider));
        QCOMPARE(inGrid.pixelColor(groove), drawn.pixelColor(groove));
    }

    void theLastColumnIsReachedWithTheMouse_data() { Windows(); }
    void theLastColumnIsReachedWithTheMouse() {
        GridWindow shown = Open();
        QVERIFY(shown.grid != nullptr);
        QScrollBar* bar = shown.grid->horizontalScrollBar();
        // Clicks on the groove right of the slider page to the right.
        for (int click = 0; click < 40 && bar->value() < bar->maximum(); ++click)
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - bar->height() - 4, bar->height() / 2));
        QCOMPARE(bar->value(), bar->maximum());
        QApplication::processEvents();
        QVERIFY(CellInView(shown.grid, shown.lastColumn));
    }

    void theLastColumnIsReachedWithTheKeyboard_data() { Windows(); }
    void theLastColumnIsReachedWithTheKeyboard() {
        GridWindow shown = Open();
        QVERIFY(shown.grid != nullptr);
        shown.grid->setFocus();
        shown.grid->SetCurrentCell(1, 1);
        for (int column = 1; column < shown.lastColumn; ++column) QTest::keyClick(shown.grid, Qt::Key_Right);
        QCOMPARE(shown.grid->currentIndex().column() + 1, shown.lastColumn);
        QApplication::processEvents();
        QVERIFY(CellInView(shown.grid, shown.lastColumn));
        QVERIFY(shown.grid->horizontalScrollBar()->value() > 0);
    }
};

QTEST_MAIN(GridScrollBarsTest)
#include "grid_scroll_bars_test.moc"
