#include "main_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <exception>

#include "dialog_frame.h"
#include "error_box.h"
#include "estimation.h"
#include "io_error.h"
#include "names_and_paths.h"
#include "table_set.h"
#include "table_set_edit.h"
#include "table_set_file.h"
#include "version.h"
#include "warnings.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

// Size of the area below the menu bar.
constexpr int ClientWidth = 592;
constexpr int ClientHeight = 354;

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent, int x, int y, int width) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, width, 17);
    return label;
}

// Marks the table set as modified when the editing command ends, also when
// its dialog ended with an error: what was typed is already in the table set
// and goes to the recovery journal.
struct MarkModified {
    kelvo::TableSet& ts;
    const std::function<void()>& changed;
    ~MarkModified() {
        ts.TableSetModified = true;
        if (changed) changed();
    }
};

// Settles the claim of a file when the command that claimed it ends, in
// whatever way; Settle() does it earlier.
class ClaimScope {
public:
    explicit ClaimScope(const std::function<void()>& settle) : m_settle(settle) {}
    ~ClaimScope() { Settle(); }
    ClaimScope(const ClaimScope&) = delete;
    ClaimScope& operator=(const ClaimScope&) = delete;
    void Settle() {
        if (!m_settled && m_settle) m_settle();
        m_settled = true;
    }

private:
    const std::function<void()>& m_settle;
    bool m_settled = false;
};

}  // namespace

void PathLabel::setPath(const QString& path) {
    setText(path);
    setToolTip(path == QStringLiteral("-") ? QString() : path);
}

void PathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, static_cast<int>(alignment()), shown);
}

TMain::TMain(kelvo::TableSet& ts, kelvo::WarningSink& warnings, QWidget* parent)
    : QMainWindow(parent), m_ts(ts), m_warnings(warnings) {
    setObjectName(QStringLiteral("Main"));
    // The caption as the window is first defined; FormCreate replaces it.
    setWindowTitle(QStringLiteral(" KELVO - Quendar - Version 1.0"));
    BuildControls();
    BuildMenu();
    ApplyWindowColors(this);
    // A fixed single border: the area below the menu has a fixed size.
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());

    seams.chooseCreateFile = [this] { return ChosenFile(CreateDialog(), false); };
    seams.chooseOpenFile = [this] { return ChosenFile(OpenDialog1(), true); };
    seams.chooseImportFile = [this] { return ChosenFile(ImportDialog(), false); };
    seams.showError = [this](const QString& text) { ShowErrorBox(this, text); };
    FormCreate();
}

TMain::~TMain() = default;

QString TMain::ChosenFile(QFileDialog* dialog, bool existingAsTyped) {
    const bool accepted = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    // The name field's completion list belongs to the dialog: it must not
    // stay over the main window and take the next key.
    for (QCompleter* completer : dialog->findChildren<QCompleter*>())
        if (completer->popup() != nullptr) completer->popup()->hide();
    if (!accepted) return QString();
    QString chosen = dialog->selectedFiles().constFirst();
    if (existingAsTyped && !QFileInfo(chosen).isFile()) {
        // The dialog adds ".tbl" to a name typed without it; a file that
        // exists under the name as typed is that file.
        if (const auto* typed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            const QFileInfo asTyped(dialog->directory(), typed->text());
            if (!typed->text().isEmpty() && asTyped.isFile()) chosen = asTyped.absoluteFilePath();
        }
    }
    return chosen;
}

void TMain::BuildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    Label1 = MakeLabel("Label1", QStringLiteral("Current KELVO file"), client, 24, 20, 300);

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(24, 40, 300, 41);
    QPalette panelPalette = Panel1->palette();
    panelPalette.setColor(QPalette::Window, PanelColor());
    Panel1->setPalette(panelPalette);
    Panel1->setAutoFillBackground(true);

    Label2 = MakeLabel("Label2", QStringLiteral("Name:"), Panel1, 8, 3, 64);
    Label3 = new PathLabel(QStringLiteral("-"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(76, 3, 216, 17);
    Label4 = MakeLabel("Label4", QStringLiteral("Variables: "), Panel1, 8, 21, 64);
    Label5 = MakeLabel("Label5", QStringLiteral("-"), Panel1, 76, 21, 216);

    RecoveredLine = MakeLabel("RecoveredLine",
                              QStringLiteral("Recovered changes, not saved yet: File > Save writes them to the file"),
                              client, 24, 88, 544);
    RecoveredLine->hide();
    JournalLine = MakeLabel("JournalLine", QString(), client, 24, 106, 544);
    JournalLine->setStyleSheet(QStringLiteral("color: #b00000"));
    JournalLine->setToolTip(QStringLiteral("Your changes are safe once you save them"));
    JournalLine->hide();
}

void TMain::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    const auto item = [this](QMenu* m, const char* name, const QString& caption, void (TMain::*handler)()) {
        QAction* action = m->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    ReadKELVOfile1 = menu("ReadKELVOfile1", QStringLiteral("&File"));
    CreateKELVOFile1 =
        item(ReadKELVOfile1, "CreateKELVOFile1", QStringLiteral("&Create KELVO file"), &TMain::CreateKELVOFile1Click);
    ReadKELVOFile2 =
        item(ReadKELVOfile1, "ReadKELVOFile2", QStringLiteral("&Read KELVO file"), &TMain::ReadKELVOFile2Click);
    Save1 = item(ReadKELVOfile1, "Save1", QStringLiteral("&Save"), &TMain::Save1Click);
    Save1->setShortcut(QKeySequence::Save);
    ImportRecords1 = item(ReadKELVOfile1, "ImportRecords1", QStringLiteral("&Import records..."),
                          &TMain::ImportRecords1Click);
    N2 = ReadKELVOfile1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    Exit1 = item(ReadKELVOfile1, "Exit1", QStringLiteral("E&xit"), &TMain::Exit1Click);

    Edit1 = menu("Edit1", QStringLiteral("&Edit"));
    Editvariables1 = item(Edit1, "Editvariables1", QStringLiteral("Edit &variables"), &TMain::Editvariables1Click);
    Edittables1 = item(Edit1, "Edittables1", QStringLiteral("Edit &tables"), &TMain::Edittables1Click);

    Model1 = menu("Model1", QStringLiteral("&Model"));
    Specifymodel1 = item(Model1, "Specifymodel1", QStringLiteral("&Specify model"), &TMain::Specifymodel1Click);
    Displayresults1 = item(Model1, "Displayresults1", QStringLiteral("&Display results"), &TMain::Displayresults1Click);
    Modelsummary1 = item(Model1, "Modelsummary1", QStringLiteral("Model s&ummary"), &TMain::Modelsummary1Click);
    Oddsratios1 = item(Model1, "Oddsratios1", QStringLiteral("&Odds ratios"), &TMain::Oddsratios1Click);

    Output1 = menu("Output1", QStringLiteral("&Output"));
    Specifyoutput1 = item(Output1, "Specifyoutput1", QStringLiteral("&Specify output"), &TMain::Specifyoutput1Click);
    Exportreport1 = item(Output1, "Exportreport1", QStringLiteral("&Export report..."), &TMain::Exportreport1Click);

    Help1 = menu("Help1", QStringLiteral("&Help"));
    Kelvohelp1 = item(Help1, "Kelvohelp1", QStringLiteral("Kelvo &help"), &TMain::Kelvohelp1Click);
    Kelvohelp1->setShortcut(QKeySequence::HelpContents);
    AboutKELVO1 = item(Help1, "AboutKELVO1", QStringLiteral("&About KELVO"), &TMain::AboutKELVO1Click);
}

QFileDialog* TMain::OpenDialog1() {
    // A typed name need not exist: a missing file is then reported as "File
    // not found" by the reading.
    if (m_openDialog == nullptr)
        m_openDialog = NamedFileDialog(this, "OpenDialog1", QStringLiteral("Read KELVO file"), FileChoice::OpenTyped,
                                       {QStringLiteral("KELVO file (*.tbl)")}, QStringLiteral("tbl"));
    return m_openDialog;
}

QFileDialog* TMain::CreateDialog() {
    if (m_createDialog == nullptr) {
        m_createDialog = NamedFileDialog(this, "CreateDialog", QStringLiteral("Create Kelvo file"), FileChoice::Save,
                                         {QStringLiteral("Kelvo files (*.tbl)")}, QStringLiteral("tbl"));
        m_createDialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    }
    return m_createDialog;
}

QFileDialog* TMain::ImportDialog() {
    if (m_importDialog == nullptr)
        m_importDialog =
            NamedFileDialog(this, "ImportDialog", QStringLiteral("Import records"), FileChoice::OpenExisting,
                            {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")});
    return m_importDialog;
}

void TMain::FormCreate() {
    m_ts.TableSetModified = false;
    m_ts.TableSetOpen = false;
    m_ts.ResultsAvailable = false;
    setWindowTitle(QLatin1String(kelvo::ProgramTitle));
}

void TMain::RunCommand(const std::function<void()>& command) {
    // Nothing may escape into Qt's event loop: every failure that reaches a
    // command ends it with the error box, and the main window stays usable.
    try {
        command();
    } catch (const kelvo::IoError& error) {
        ShowError(QString::fromLatin1(error.what()));
    } catch (const std::exception& error) {
        ShowError(QString::fromLatin1(error.what()));
    }
}

void TMain::ShowError(const QString& text) {
    if (seams.showError) seams.showError(text);
}

void TMain::WriteAndForgetJournal() {
    kelvo::WriteTableSet(m_ts);
    // The file now holds every change: the journal has nothing more to keep.
    if (seams.tableSetSaved) seams.tableSetSaved();
    ShowRecovered(false);
}

bool TMain::WriteIfModified() {
    if (!m_ts.TableSetModified) return true;
    try {
        WriteAndForgetJournal();
    } catch (const kelvo::IoError& error) {
        ShowError(QString::fromLatin1(error.what()));
        return false;
    }
    return true;
}

void TMain::Save1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen) return;
        // Ctrl+S works in every window; an editor's names not yet stored
        // are part of what is saved.
        if (seams.storeOpenEdits) seams.storeOpenEdits();
        WriteAndForgetJournal();
        m_ts.TableSetModified = false;
    });
}

void TMain::ShowFileLabels() {
    Label3->setPath(FromPath(m_ts.FileName));
    Label5->setText(QString::number(m_ts.VariableCount));
}

void TMain::ShowRecovered(bool recovered) { RecoveredLine->setVisible(recovered); }

void TMain::ShowJournalProblem(const QString& problem) {
    JournalLine->setText(problem);
    JournalLine->setVisible(!problem.isEmpty());
}

bool TMain::ClaimFile(const QString& path) { return !seams.claimFile || seams.claimFile(path); }

void TMain::CreateKELVOFile1Click() {
    RunCommand([this] {
        // A modified table set is written before it is replaced, as Read
        // file does: nothing typed is dropped.
        if (!WriteIfModified()) return;
        const QString path = seams.chooseCreateFile ? seams.chooseCreateFile() : QString();
        if (path.isEmpty()) return;
        ClaimScope claim(seams.claimSettled);
        if (!ClaimFile(path)) return;
        kelvo::StartNewTableSet(m_ts, ToPath(path).string());
        claim.Settle();
        ShowFileLabels();
        ShowRecovered(false);
        if (seams.showCreateVariables) seams.showCreateVariables();
    });
}

void TMain::ReadKELVOFile2Click() {
    RunCommand([this] {
        if (!WriteIfModified()) return;
        const QString path = seams.chooseOpenFile ? seams.chooseOpenFile() : QString();
        if (path.isEmpty()) return;
        ReadChosenFile(path);
    });
}

void TMain::ImportRecords1Click() {
    RunCommand([this] {
        // The new file replaces the table set, as Read file does: a modified
        // one is written first.
        if (!WriteIfModified()) return;
        // The import claims the file it writes when it is chosen.
        const ClaimScope claim(seams.claimSettled);
        const QString records = seams.chooseImportFile ? seams.chooseImportFile() : QString();
        if (records.isEmpty()) return;
        const QString written = seams.showImportRecords ? seams.showImportRecords(records) : QString();
        if (written.isEmpty()) return;
        ReadChosenFile(written);
    });
}

void TMain::ReadKELVOFile(const QString& path) {
    RunCommand([this, &path] {
        if (!WriteIfModified()) return;
        ReadChosenFile(path);
    });
}

void TMain::ReadChosenFile(const QString& path) {
    ClaimScope claim(seams.claimSettled);
    if (!ClaimFile(path)) return;
    try {
        kelvo::OpenTableSet(m_ts, ToPath(path).string(), m_warnings);
    } catch (const kelvo::IoError& error) {
        // The reason as the reading gives it, and the file it tried below.
        ShowError(QString::fromLatin1(error.what()) + QLatin1Char('\n') + QDir::toNativeSeparators(path));
        return;
    }
    claim.Settle();
    // Unsaved changes to this file that a crash left behind are offered
    // in place of what the file holds.
    const bool recovered = seams.offerRecovery && seams.offerRecovery(FromPath(m_ts.FileName));
    ShowFileLabels();
    ShowRecovered(recovered);
}

void TMain::OfferRecovery() {
    RunCommand([this] {
        if (!seams.offerRecoveryAtStartUp || !seams.offerRecoveryAtStartUp()) return;
        ShowFileLabels();
        ShowRecovered(true);
    });
}

void TMain::Exit1Click() {
    close();
}

void TMain::closeEvent(QCloseEvent* event) {
    bool written = false;
    RunCommand([this, &written] { written = WriteIfModified(); });
    if (written)
        event->accept();
    else
        event->ignore();
}

void TMain::showEvent(QShowEvent* event) {
    if (!m_centred) {
        CenterOnScreen(this);
        m_centred = true;
    }
    QMainWindow::showEvent(event);
}

void TMain::Editvariables1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen) return;
        const MarkModified mark{m_ts, seams.tableSetChanged};
        if (seams.showEditVariables) seams.showEditVariables();
    });
}

void TMain::Edittables1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen) return;
        const MarkModified mark{m_ts, seams.tableSetChanged};
        if (seams.showEditTable) seams.showEditTable();
    });
}

void TMain::Specifymodel1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen) return;
        if (seams.showSelectModel) seams.showSelectModel();
    });
}

bool TMain::ResultsOfTheModel() {
    // After an estimation that stopped (a singular matrix, a log that could
    // not be written) the arrays still hold an earlier model's numbers.
    if (m_ts.ResultsCurrent) return true;
    m_warnings.ShowWarning(kelvo::NoResultsWarning);
    return false;
}

void TMain::Displayresults1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen || !m_ts.ResultsAvailable) return;
        if (!ResultsOfTheModel()) return;
        if (seams.showDisplayResults) seams.showDisplayResults();
    });
}

void TMain::Modelsummary1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen || !m_ts.ResultsAvailable) return;
        if (!ResultsOfTheModel()) return;
        if (seams.showModelSummary) seams.showModelSummary();
    });
}

void TMain::Oddsratios1Click() {
    // Fitted from the pair tables of the selected model, also when its
    // linear model was singular.
    RunCommand([this] {
        if (!m_ts.TableSetOpen || !m_ts.ResultsAvailable) return;
        if (seams.showOddsRatios) seams.showOddsRatios();
    });
}

void TMain::Specifyoutput1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen || !m_ts.ResultsAvailable) return;
        if (!ResultsOfTheModel()) return;
        const bool accepted = seams.showSpecifyOutput ? seams.showSpecifyOutput() : false;
        if (!accepted) return;
        if (m_ts.OutputSections[kelvo::SectionOddsRatios] && seams.fitOddsRatios && !seams.fitOddsRatios()) return;
        if (seams.writeReport) seams.writeReport(m_ts);
    });
}

void TMain::Exportreport1Click() {
    RunCommand([this] {
        if (!m_ts.TableSetOpen || !m_ts.ResultsAvailable) return;
        if (!ResultsOfTheModel()) return;
        if (seams.showExportReport) seams.showExportReport();
    });
}

void TMain::AboutKELVO1Click() {
    RunCommand([this] {
        if (seams.showAbout) seams.showAbout();
    });
}

void TMain::Kelvohelp1Click() {
    RunCommand([this] {
        if (seams.showHelp) seams.showHelp();
    });
}

}  // namespace kelvo::ui
