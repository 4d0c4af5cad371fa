#include "coefficient_chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>

#include "atomic_file.h"
#include "chart_svg.h"
#include "dialog_frame.h"
#include "error_box.h"
#include "estimation.h"
#include "io_error.h"
#include "names_and_paths.h"
#include "odds_ratio_fit.h"
#include "svg_view.h"
#include "window_geometry.h"

namespace kelvo::ui {

TCoefficientChart::TCoefficientChart(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      m_ts(ts) {
    SetUpDialog(this, "CoefficientChart", " Chart");
    setSizeGripEnabled(true);

    CategoryLabel = Named<QLabel>(this, "CategoryLabel", "&Dependent category:");
    CategoryBox = Named<QComboBox>(this, "CategoryBox");
    CategoryLabel->setBuddy(CategoryBox);
    ClassicalBox = Named<QCheckBox>(this, "ClassicalBox", "C&lassical standard errors");
    Chart = Named<SvgView>(this, "Chart");
    SaveSvgButton = AddButton(this, "SaveSvgButton", "Save as &SVG...", PressedByEnter::Never,
                              &TCoefficientChart::SaveSvgButtonClick);
    SavePngButton = AddButton(this, "SavePngButton", "Save as P&NG...", PressedByEnter::Never,
                              &TCoefficientChart::SavePngButtonClick);
    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &QDialog::accept);
    connect(CategoryBox, &QComboBox::activated, this,
            [this](int index) { ShowCategory(index + (m_oddsRatios ? 2 : 1)); });
    connect(ClassicalBox, &QCheckBox::toggled, this, [this] { Redraw(); });

    seams.chooseSaveFile = [this](const QString& caption, const QString& filter, const QString& suffix) {
        QFileDialog dialog(this, caption);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(suffix);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                      : QString();
    };
    seams.showError = [this](const QString& text) { ShowErrorBox(this, text); };

    auto* top = new QHBoxLayout;
    top->addWidget(CategoryLabel);
    top->addWidget(CategoryBox);
    top->addSpacing(16);
    top->addWidget(ClassicalBox);
    top->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveSvgButton);
    buttons->addWidget(SavePngButton);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Chart, 1);
    layout->addLayout(buttons);
    SetTabOrder({CategoryBox, ClassicalBox, SaveSvgButton, SavePngButton, OKButton});
}

void TCoefficientChart::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    // The chart at its own size where the screen allows, never beyond it.
    if (const QScreen* screen = this->screen()) {
        const QSize room = screen->availableGeometry().size() * 9 / 10;
        resize(sizeHint().boundedTo(room));
    }
    CenterOnScreen(this);
}

void TCoefficientChart::FormActivate() {
    // The odds ratios are of dependent categories 2..K, against the first.
    const int first = m_oddsRatios ? 2 : 1;
    m_category = first;
    CategoryBox->clear();
    m_svg.clear();
    const bool current = m_oddsRatios ? kelvo::SelectionProblem(m_ts, m_ts).empty() && kelvo::OddsRatiosCurrent(m_ts)
                                      : m_ts.ResultsCurrent && kelvo::SelectionProblem(m_ts, m_ts).empty();
    const bool readable = current && m_predictor >= 1 && m_predictor <= m_ts.PredictorCount;
    const bool classical = !m_oddsRatios && m_ts.Summary.present;
    ClassicalBox->setVisible(!m_oddsRatios);
    ClassicalBox->setEnabled(classical);
    if (!classical) ClassicalBox->setChecked(false);
    SaveSvgButton->setEnabled(readable);
    SavePngButton->setEnabled(readable);
    if (!readable) {
        Chart->Load(QByteArray());
        return;
    }
    const kelvo::ModelResults results = kelvo::ResultsOf(m_ts);
    for (int d = first; d <= results.DependentCategories(); ++d)
        CategoryBox->addItem(FromName(results.dependent.categories[static_cast<std::size_t>(d)]));
    ShowCategory(m_startCategory >= first && m_startCategory <= results.DependentCategories() ? m_startCategory
                                                                                               : first);
    OKButton->setFocus();
}

void TCoefficientChart::ShowCategory(int d) {
    const int first = m_oddsRatios ? 2 : 1;
    if (d < first || d - first >= CategoryBox->count()) return;
    m_category = d;
    CategoryBox->setCurrentIndex(d - first);
    Redraw();
}

void TCoefficientChart::Redraw() {
    if (CategoryBox->count() == 0) return;
    kelvo::ChartOptions options;
    options.classical = ClassicalBox->isChecked() && m_ts.Summary.present;
    // Called from the controls' signals: a chart that cannot be drawn from
    // the table set as it is now ends here, with the error box, and no
    // older chart stays on screen to be saved.
    try {
        const kelvo::ModelResults results = kelvo::ResultsOf(m_ts);
        m_svg = m_oddsRatios ? kelvo::ChartSvg(kelvo::BuildOddsRatioChart(results, m_category, m_predictor))
                             : kelvo::CoefficientChartSvg(results, m_category, m_predictor, options);
    } catch (const std::exception& error) {
        m_svg.clear();
        Chart->Load(QByteArray());
        if (seams.showError) seams.showError(QString::fromLatin1(error.what()));
        return;
    }
    Chart->Load(QByteArray::fromStdString(m_svg));
}

void TCoefficientChart::SaveSvgButtonClick() {
    if (m_svg.empty() || !seams.chooseSaveFile) return;
    const QString path = seams.chooseSaveFile("Save chart as SVG", "SVG drawing (*.svg)", "svg");
    if (path.isEmpty()) return;
    try {
        kelvo::AtomicOutputFile file(ToPath(path));
        file.Write(m_svg);
        file.Commit();
    } catch (const std::exception& error) {
        if (seams.showError) seams.showError(QString::fromLatin1(error.what()));
    }
}

void TCoefficientChart::SavePngButtonClick() {
    if (m_svg.empty() || !seams.chooseSaveFile) return;
    const QString path = seams.chooseSaveFile("Save chart as PNG", "PNG picture (*.png)", "png");
    if (path.isEmpty()) return;
    // Twice the pixels of the chart on screen, for printing and slides.
    const QImage image = Chart->Render(Chart->size() * 2 * devicePixelRatio());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        if (seams.showError) seams.showError(QStringLiteral("The chart could not be saved: ") + file.errorString());
    }
}

}  // namespace kelvo::ui
