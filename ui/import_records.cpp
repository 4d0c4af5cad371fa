#include "import_records.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "csv_import.h"
#include "dialog_frame.h"
#include "io_error.h"
#include "names_and_paths.h"
#include "table_set.h"
#include "table_set_file.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

constexpr const char* NoWeight = "(none)";

// Why a column cannot be a variable; empty when it can.
QString RefusalOf(const kelvo::CsvColumnSurvey& column) {
    if (!column.controlCharacter.empty()) return QString::fromStdString(column.controlCharacter);
    if (column.MoreThanCategories())
        return QString("more than %1 categories").arg(kelvo::MaxCategories);
    if (column.distinct < 2) return "only one category";
    return {};
}

// Whether a column of whole numbers is named as a column of counts usually
// is, so that it is offered as the weight first.
bool NamedLikeACount(const QString& name) {
    static const QStringList names = {"count", "freq", "frequency", "weight", "n"};
    return names.contains(name.trimmed().toLower());
}

}  // namespace

TImportRecords::TImportRecords(kelvo::WarningSink& warnings, QWidget* parent)
    : QDialog(parent, TitleBarWithClose), m_warnings(warnings) {
    SetUpDialog(this, "ImportRecords", " Import records");

    Label1 = Named<QLabel>(this, "Label1");
    Columns = Named<QTableWidget>(this, "Columns", 0, 5);
    Columns->setHorizontalHeaderLabels({"Use", "Column", "Values", "First categories", "Note"});
    Columns->setAccessibleName(QStringLiteral("Columns of the file"));
    Columns->verticalHeader()->hide();
    Columns->setSelectionMode(QAbstractItemView::NoSelection);
    Columns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Columns->horizontalHeader()->setStretchLastSection(true);
    WeightLabel = Named<QLabel>(this, "WeightLabel", "&Weight column:");
    WeightBox = Named<QComboBox>(this, "WeightBox");
    WeightLabel->setBuddy(WeightBox);
    TruncateBox = Named<QCheckBox>(this, "TruncateBox", "Cu&t names and values to 12 characters");
    ProgressBar = Named<QProgressBar>(this, "ProgressBar");
    ProgressBar->setRange(0, 1000);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ImportButton =
        AddButton(this, "ImportButton", "&Import...", PressedByEnter::Never, &TImportRecords::ImportButtonClick);
    CancelButton = AddButton(this, "CancelButton", "Cancel", PressedByEnter::Never, &TImportRecords::CancelButtonClick);
    connect(WeightBox, &QComboBox::currentIndexChanged, this, [this] { UpdateChoices(); });

    auto* weight = new QHBoxLayout;
    weight->addWidget(WeightLabel);
    weight->addWidget(WeightBox, 1);
    weight->addSpacing(16);
    weight->addWidget(TruncateBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ProgressBar, 1);
    buttons->addSpacing(16);
    buttons->addWidget(ImportButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Columns, 1);
    layout->addLayout(weight);
    layout->addLayout(buttons);
    resize(720, 460);
}

TImportRecords::~TImportRecords() = default;

QCheckBox* TImportRecords::UseBox(int c) const {
    return qobject_cast<QCheckBox*>(Columns->cellWidget(c, UseColumn));
}

QString TImportRecords::Run(const QString& path) {
    m_written.clear();
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!ReadPreview(path)) {
        hide();
        return {};
    }
    exec();
    return m_written;
}

void TImportRecords::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TImportRecords::RunInBackground(const std::function<void(const kelvo::ReadProgress&)>& work) {
    m_cancel = false;
    m_done = 0;
    m_total = 0;
    m_busy = true;
    ShowOutcome({});
    ImportButton->setEnabled(false);
    Columns->setEnabled(false);
    ShowProgress();
    std::exception_ptr failure;
    const kelvo::ReadProgress progress = [this](std::uint64_t done, std::uint64_t total) {
        m_done = done;
        m_total = total;
        return !m_cancel;
    };
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    // The window's own events go on meanwhile; the bar follows the reading
    // every 50 ms.
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, &TImportRecords::ShowProgress);
    timer.start(50);
    thread->start();
    loop.exec();
    thread->wait();
    m_busy = false;
    Columns->setEnabled(true);
    ShowProgress();
    UpdateChoices();
    if (failure) std::rethrow_exception(failure);
}

void TImportRecords::ShowOutcome(const QString& text) {
    ProgressBar->setValue(0);
    ProgressBar->setFormat(text);
    ProgressBar->setTextVisible(!text.isEmpty());
}

void TImportRecords::ShowProgress() {
    const std::uint64_t total = m_total;
    ProgressBar->setValue(total == 0 ? 0 : static_cast<int>(m_done * 1000 / total));
}

bool TImportRecords::ReadPreview(const QString& path) {
    m_path = path;
    Label1->setText(QString("%1: reading...").arg(path));
    Columns->setRowCount(0);
    WeightBox->clear();
    try {
        kelvo::CsvSurvey survey;
        RunInBackground([&](const kelvo::ReadProgress& progress) { survey = kelvo::SurveyCsv(ToPath(path), progress); });
        m_survey = std::move(survey);
    } catch (const kelvo::ImportCancelled&) {
        return false;
    } catch (const kelvo::ImportError& error) {
        m_warnings.ShowWarning(error.Brief());
        return false;
    } catch (const std::exception& error) {
        // An IoError, or anything else the reading threw: the error box.
        ShowError(error.what());
        return false;
    }
    // Empty until the import: a full bar would read as imported.
    ProgressBar->setValue(0);
    FillPreview();
    return true;
}

void TImportRecords::FillPreview() {
    Label1->setText(QString("%1: %2 records").arg(m_path).arg(m_survey.records));
    const int count = static_cast<int>(m_survey.columns.size());
    Columns->setRowCount(count);
    const QSignalBlocker block(WeightBox);
    WeightBox->addItem(NoWeight);
    int proposed = -1;
    for (int c = 0; c < count; ++c) {
        const kelvo::CsvColumnSurvey& column = m_survey.columns[static_cast<std::size_t>(c)];
        const QString refusal = RefusalOf(column);
        auto* use = new QCheckBox(Columns);
        use->setObjectName(QString("UseBox%1").arg(c + 1));
        use->setEnabled(refusal.isEmpty());
        use->setChecked(refusal.isEmpty() && c < kelvo::MaxVariables);
        connect(use, &QCheckBox::toggled, this, [this] { UpdateChoices(); });
        Columns->setCellWidget(c, UseColumn, use);
        QStringList first;
        for (const std::string& value : column.values) first << FromName(value);
        const QString values = column.MoreThanCategories() ? QString("> %1").arg(kelvo::MaxCategories)
                                                           : QString::number(column.distinct);
        const bool weight =
            proposed < 0 && column.wholeNumbers && m_survey.records > 0 && NamedLikeACount(FromName(column.name));
        if (weight) proposed = c;
        // A weight needs no categories: the note says what it is.
        const QStringList cells = {{}, FromName(column.name), values, first.join(", "),
                                   weight ? QString("proposed as the weight") : refusal};
        for (int field = NameColumn; field <= NoteColumn; ++field) {
            auto* item = new QTableWidgetItem(cells[field]);
            // Greyed, but for the note of the weight, which is to be read.
            if (!refusal.isEmpty() && !(weight && field == NoteColumn))
                item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
            Columns->setItem(c, field, item);
        }
        if (column.wholeNumbers && m_survey.records > 0) WeightBox->addItem(FromName(column.name), c);
    }
    if (proposed >= 0) WeightBox->setCurrentIndex(WeightBox->findData(proposed));
    Columns->resizeColumnsToContents();
    UpdateChoices();
}

void TImportRecords::UpdateChoices() {
    const int weight = WeightBox->currentData().isValid() ? WeightBox->currentData().toInt() : -1;
    int checked = 0;
    for (int c = 0; c < Columns->rowCount(); ++c) {
        QCheckBox* use = UseBox(c);
        if (c == weight && use->isChecked()) {
            const QSignalBlocker block(use);
            use->setChecked(false);  // the weight column cannot also be a variable
        }
        if (use->isChecked()) ++checked;
    }
    for (int c = 0; c < Columns->rowCount(); ++c) {
        const bool usable = RefusalOf(m_survey.columns[static_cast<std::size_t>(c)]).isEmpty() && c != weight;
        UseBox(c)->setEnabled(usable && (UseBox(c)->isChecked() || checked < kelvo::MaxVariables));
    }
    ImportButton->setEnabled(!m_busy && checked >= 2);
}

void TImportRecords::ImportButtonClick() {
    // The columns by their place in the file: the preview shows their names
    // as Latin-1, the file may spell them in UTF-8.
    kelvo::ChosenColumns columns;
    for (int c = 0; c < Columns->rowCount(); ++c)
        if (UseBox(c)->isChecked()) columns.variables.push_back(c);
    if (WeightBox->currentData().isValid()) columns.weight = WeightBox->currentData().toInt();
    if (columns.variables.size() < 2) return;
    kelvo::CsvImportOptions options;
    options.columns = columns;
    options.truncate = TruncateBox->isChecked();
    const QString target = seams.chooseTableFile ? seams.chooseTableFile() : QString();
    if (target.isEmpty()) return;
    try {
        RunInBackground([&](const kelvo::ReadProgress& progress) {
            auto ts = std::make_unique<kelvo::TableSet>();
            kelvo::ImportCsv(ToPath(m_path), options, *ts, progress);
            // Cancel pressed after the last piece still writes nothing.
            if (m_cancel) throw kelvo::ImportCancelled();
            ts->FileName = ToPath(target).string();
            kelvo::WriteTableSet(*ts);
        });
    } catch (const kelvo::ImportCancelled&) {
        // The window stays, for another choice or Cancel.
        ShowOutcome("Import cancelled: nothing was written");
        return;
    } catch (const kelvo::ImportError& error) {
        ShowOutcome({});
        m_warnings.ShowWarning(error.Brief());
        return;
    } catch (const std::exception& error) {
        ShowOutcome({});
        ShowError(error.what());
        return;
    }
    m_written = target;
    accept();
}

void TImportRecords::CancelButtonClick() {
    if (m_busy) m_cancel = true;
    else QDialog::reject();
}

void TImportRecords::reject() {
    // Closing the window while reading stops the reading first.
    if (m_busy) m_cancel = true;
    else QDialog::reject();
}

void TImportRecords::ShowError(const char* text) {
    if (seams.showError) seams.showError(QString::fromLatin1(text));
}

}  // namespace kelvo::ui
