#include "odds_ratios.h"

#include <QComboBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <memory>
#include <stop_token>

#include "dialog_frame.h"
#include "names_and_paths.h"
#include "odds_ratio_fit.h"
#include "odds_ratio_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

// The fit on a thread of its own while the progress dialog follows it every
// 50 ms; Cancel (or Escape) asks the fit to stop. Returns the model, or
// throws what the fit threw (OddsRatioCancelled after Cancel).
OddsRatioModel FitInBackground(QWidget* parent, const TableSet& ts, std::int64_t cells) {
    std::stop_source stop;
    std::atomic<double> share{0};
    OddsRatioControl control;
    control.stop = stop.get_token();
    control.progress = [&share](double done) { share = done; };

    QProgressDialog progress(
        QString("Fitting the odds-ratio model (%1 cells)...").arg(QLocale(QLocale::English).toString(qlonglong{cells})),
        "&Cancel", 0, 1000, parent);
    progress.setObjectName("OddsRatioProgress");
    progress.setWindowTitle(" Odds ratios");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QObject::connect(&progress, &QProgressDialog::canceled, [&stop] { stop.request_stop(); });

    OddsRatioModel model;
    std::exception_ptr failure;
    const InputSide& in = ts;
    const ModelSelection& selection = ts;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            model = FitOddsRatioModel(in, selection, control);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &progress,
                     [&progress, &share] { progress.setValue(static_cast<int>(share * 1000)); });
    timer.start(50);
    progress.show();
    thread->start();
    loop.exec();
    thread->wait();
    if (failure) std::rethrow_exception(failure);
    return model;
}

}  // namespace

bool FitOddsRatios(QWidget* parent, TableSet& ts, std::int64_t backgroundCells) {
    if (OddsRatiosCurrent(ts)) return true;
    const std::int64_t cells = OddsRatioCells(ts, ts);
    if (cells > MaxOddsRatioCells) throw OddsRatioRefused(OddsRatioTooLargeText(ts, ts));
    try {
        if (cells <= backgroundCells)
            ComputeOddsRatioModel(ts);
        else
            ts.OddsRatios = FitInBackground(parent, ts, cells);
    } catch (const OddsRatioCancelled&) {
        return false;
    }
    return true;
}

TOddsRatios::TOddsRatios(TableSet& ts, WarningSink&, QWidget* parent) : QDialog(parent, TitleBarWithClose), m_ts(ts) {
    SetUpDialog(this, "OddsRatios", " Odds ratios");

    TestsLabel = Named<QLabel>(this, "TestsLabel");
    TestsGrid = Named<OutputGrid>(this, "TestsGrid");
    CategoryLabel = Named<QLabel>(this, "CategoryLabel", "&Dependent category:");
    CategoryBox = Named<QComboBox>(this, "CategoryBox");
    CategoryLabel->setBuddy(CategoryBox);
    OddsLabel = Named<QLabel>(this, "OddsLabel");
    OddsGrid = Named<OutputGrid>(this, "OddsGrid");
    // Named for screen readers before a table gives them its title.
    TestsGrid->setAccessibleName("Tests of the predictors");
    OddsGrid->setAccessibleName("Odds ratios");
    NotesLabel = Named<QLabel>(this, "NotesLabel");
    NotesLabel->setWordWrap(true);
    connect(CategoryBox, &QComboBox::activated, this, [this](int index) { ShowCategory(index + 2); });

    ChartButton = AddButton(this, "ChartButton", "C&hart...", PressedByEnter::Never, &TOddsRatios::ChartButtonClick);
    PrevButton = AddButton(this, "PrevButton", "&Previous", PressedByEnter::Never, &TOddsRatios::PrevButtonClick);
    NextButton = AddButton(this, "NextButton", "&Next", PressedByEnter::Never, &TOddsRatios::NextButtonClick);
    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &QDialog::accept);

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(CategoryLabel);
    chooser->addWidget(CategoryBox);
    chooser->addStretch(1);
    QHBoxLayout* buttons = PagingButtonRow(PrevButton, NextButton, OKButton);
    buttons->insertWidget(0, ChartButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TestsLabel);
    layout->addWidget(TestsGrid);
    layout->addSpacing(8);
    layout->addLayout(chooser);
    layout->addWidget(OddsLabel);
    layout->addWidget(OddsGrid);
    layout->addWidget(NotesLabel);
    layout->addStretch(1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetTabOrder({CategoryBox, ChartButton, PrevButton, NextButton, OKButton});
}

void TOddsRatios::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TOddsRatios::FormActivate() {
    m_page = 1;
    m_category = 2;
    m_results.reset();
    m_pageNotes.clear();
    CategoryBox->clear();
    TestsLabel->setText({});
    OddsLabel->setText({});
    TestsGrid->ShowTable({});
    OddsGrid->ShowTable({});
    NotesLabel->clear();
    NotesLabel->hide();
    for (QPushButton* button : {ChartButton, PrevButton, NextButton}) button->setEnabled(false);
    // Without a model the window is its message and its buttons.
    for (QWidget* part : std::initializer_list<QWidget*>{TestsGrid, CategoryLabel, CategoryBox, OddsLabel, OddsGrid})
        part->hide();
    OKButton->setFocus();
    // Called from the showing: nothing may escape into Qt.
    try {
        if (OddsRatiosCurrent(m_ts)) return ShowModel();
        if (OddsRatioCells(m_ts, m_ts) <= backgroundCells) return FitAndShow();
    } catch (const std::exception& error) {
        return ShowProblem(error.what());
    }
    // A large model is fitted once the window is on screen, under the
    // progress bar.
    TestsLabel->setText("Fitting the odds-ratio model...");
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) FitAndShow();
    });
}

void TOddsRatios::FitAndShow() {
    try {
        if (FitOddsRatios(this, m_ts, backgroundCells)) return ShowModel();
        TestsLabel->setText("The fit of the odds-ratio model was cancelled.");
    } catch (const std::exception& error) {
        ShowProblem(error.what());
    }
}

void TOddsRatios::ShowProblem(const std::string& problem) {
    TestsLabel->setText({});
    m_pageNotes = {problem};
    ShowNotes();
}

void TOddsRatios::ShowModel() {
    m_results = ResultsOf(m_ts);
    if (!m_results->oddsRatios) {
        m_results.reset();
        return;
    }
    const ModelVariable& dependent = m_results->dependent;
    for (int d = 2; d <= m_results->DependentCategories(); ++d)
        CategoryBox->addItem(FromName(dependent.categories[static_cast<std::size_t>(d)] + " against " +
                                      dependent.categories[1]));
    OutputTable table;
    BuildOddsRatioTestsTable(*m_results, table);
    Show(TestsLabel, TestsGrid, table);
    for (QPushButton* button : {ChartButton, PrevButton, NextButton}) button->setEnabled(true);
    for (QWidget* part : std::initializer_list<QWidget*>{TestsGrid, CategoryLabel, CategoryBox, OddsLabel, OddsGrid})
        part->show();
    ShowCategory(2);
}

void TOddsRatios::Show(QLabel* label, OutputGrid* grid, const OutputTable& table) {
    SetGridTitle(label, grid, FromName(table.title));
    grid->ShowTable(table);
    grid->FitToTable();
}

void TOddsRatios::ShowCategory(int d) {
    if (!m_results || d < 2 || d > m_results->DependentCategories()) return;
    m_category = d;
    CategoryBox->setCurrentIndex(d - 2);
    ShowPage(m_page);
}

void TOddsRatios::ShowPage(int page) {
    if (!m_results || page < 1 || page > m_results->PredictorCount()) return;
    m_page = page;
    OutputTable table;
    BuildOddsRatioTable(*m_results, page, m_category, table);
    Show(OddsLabel, OddsGrid, table);
    m_pageNotes = m_results->oddsRatios->fitWarnings;
    m_pageNotes.insert(m_pageNotes.end(), table.notes.begin(), table.notes.end());
    ShowNotes();
}

void TOddsRatios::ShowNotes() {
    std::string text;
    for (const std::string& note : m_pageNotes) text += (text.empty() ? "" : "\n") + note;
    NotesLabel->setText(FromName(text));
    NotesLabel->setVisible(!text.empty());
}

void TOddsRatios::NextButtonClick() {
    if (m_results) ShowPage(std::min(m_page + 1, m_results->PredictorCount()));
}

void TOddsRatios::PrevButtonClick() { ShowPage(std::max(m_page - 1, 1)); }

void TOddsRatios::ChartButtonClick() {
    if (m_results && seams.showChart) seams.showChart(m_page, m_category);
}

}  // namespace kelvo::ui
