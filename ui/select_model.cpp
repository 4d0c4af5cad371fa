#include "select_model.h"

#include <QBitmap>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <exception>

#include "dialog_frame.h"
#include "error_box.h"
#include "estimation.h"
#include "io_error.h"
#include "model_fit.h"
#include "names_and_paths.h"
#include "state_folder.h"

namespace kelvo::ui {

namespace {

constexpr int ListWidth = 120;
constexpr int VisibleLines = 16;  // Varlist and Predlist show every variable without scrolling

QColor Silver() {
    return QColor(192, 192, 192);
}
QColor DarkBlue() {
    return QColor(0, 64, 128);
}
QColor PureRed() {
    return QColor(255, 0, 0);
}

QLabel* MakeGlyphImage(const char* name, const QPixmap& glyph, QWidget* parent) {
    auto* image = Named<QLabel>(parent, name);
    image->setPixmap(glyph);
    image->setFixedSize(glyph.size());
    image->hide();
    return image;
}

// A glyph on a button: the silver background is see-through, as for every
// button glyph, so that the arrow head stands on the button's own face.
QIcon ButtonGlyph(const QLabel* image) {
    QPixmap glyph = image->pixmap();
    glyph.setMask(glyph.createMaskFromColor(Silver(), Qt::MaskInColor));
    return QIcon(glyph);
}

QListWidget* MakeList(const char* name, QWidget* parent) {
    auto* list = Named<QListWidget>(parent, name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    // A name wider than the list loses its middle, not its end, so that two
    // names that differ only at the end stay apart; the tooltip and a screen
    // reader have the whole name.
    list->setTextElideMode(Qt::ElideMiddle);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

int ListHeight(const QListWidget* list, int lines) {
    const int line = list->fontMetrics().height() + 2;
    return lines * line + 2 * list->frameWidth() + 2;
}

}  // namespace

QPixmap ArrowGlyph(bool pointsRight, const QColor& colour) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Silver());
    // Six columns, 12 pixels high at the base and 2 at the point.
    for (int i = 0; i < 6; ++i) {
        const int x = pointsRight ? 5 + i : 10 - i;
        for (int y = 2 + i; y <= 13 - i; ++y) image.setPixelColor(x, y, colour);
    }
    return QPixmap::fromImage(image);
}

TSelectModel::TSelectModel(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, TitleBarOnly), m_ts(ts), m_warnings(warnings) {
    SetUpDialog(this, "SelectModel", " Select model");

    Label1 = Named<QLabel>(this, "Label1", "Dependent");
    Label2 = Named<QLabel>(this, "Label2", "Variables");
    Label3 = Named<QLabel>(this, "Label3", "Predictors");

    DepList = MakeList("DepList", this);
    DepList->setFixedSize(ListWidth, ListHeight(DepList, 1));
    DepList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Varlist = MakeList("Varlist", this);
    Varlist->setFixedSize(ListWidth, ListHeight(Varlist, VisibleLines));
    Predlist = MakeList("Predlist", this);
    Predlist->setFixedSize(ListWidth, ListHeight(Predlist, VisibleLines));
    for (QListWidget* list : {DepList, Varlist, Predlist}) list->installEventFilter(this);
    Label1->setBuddy(DepList);
    Label2->setBuddy(Varlist);
    Label3->setBuddy(Predlist);
    // Lists take their screen reader's name only from their accessible name.
    for (QLabel* label : {Label1, Label2, Label3}) label->buddy()->setAccessibleName(label->text());

    ImLeftBlue = MakeGlyphImage("ImLeftBlue", ArrowGlyph(false, DarkBlue()), this);
    ImRightBlue = MakeGlyphImage("ImRightBlue", ArrowGlyph(true, DarkBlue()), this);
    ImLeftRed = MakeGlyphImage("ImLeftRed", ArrowGlyph(false, PureRed()), this);
    ImRightRed = MakeGlyphImage("ImRightRed", ArrowGlyph(true, PureRed()), this);

    // Enter moves the selected variable (below): it presses no button.
    DepButton = AddButton(this, "DepButton", QString(), PressedByEnter::Never, &TSelectModel::DepButtonClick);
    PredButton = AddButton(this, "PredButton", QString(), PressedByEnter::Never, &TSelectModel::PredButtonClick);
    for (QPushButton* arrow : {DepButton, PredButton}) {
        arrow->setIconSize(QSize(16, 16));
        arrow->setFixedSize(32, 26);
    }
    DepButton->setToolTip("Move between Dependent and Variables");
    PredButton->setToolTip("Move between Variables and Predictors");
    for (QPushButton* arrow : {DepButton, PredButton}) arrow->setAccessibleName(arrow->toolTip());
    OKButton = AddButton(this, "OKButton", "Co&mpute", PressedByEnter::Never, &TSelectModel::OKButtonClick);
    CancelButton = AddButton(this, "CancelButton", "&Cancel", PressedByEnter::Never, &TSelectModel::CancelButtonClick);

    seams.showError = [this](const QString& text) { ShowErrorBox(this, text); };

    // The arrows from the keyboard, acting on the list that last had the
    // focus, which keeps it: Alt+Left moves the selected variable to the
    // left, Alt+Right to the right; Enter or a double click moves it as the
    // arrow beside its list would (from Variables: to the predictors).
    auto* left = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
    auto* right = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this);
    connect(left, &QShortcut::activated, this, [this] { MoveSelected(-1); });
    connect(right, &QShortcut::activated, this, [this] { MoveSelected(+1); });
    for (QListWidget* list : {DepList, Varlist, Predlist})
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { MoveSelected(0); });

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(10);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Label2, 0, 2);
    layout->addWidget(Label3, 0, 4);
    layout->addWidget(DepList, 1, 0, Qt::AlignTop);
    layout->addWidget(DepButton, 1, 1, Qt::AlignTop);
    layout->addWidget(Varlist, 1, 2);
    layout->addWidget(PredButton, 1, 3, Qt::AlignTop);
    layout->addWidget(Predlist, 1, 4);
    layout->addLayout(ButtonRow({OKButton, CancelButton}, RowPlacement::Right), 2, 0, 1, 5);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetTabOrder({DepList, Varlist, Predlist, DepButton, PredButton, OKButton, CancelButton});
    CenterOnEveryShowing(this, [this] { FormActivate(); }, Activation::BeforePlacing);
}

void TSelectModel::MoveSelected(int direction) {
    switch (ActiveList) {
        case 1:  // Dependent: only back to the right
            if (direction >= 0) DepButtonClick();
            break;
        case 2:  // Variables: left to Dependent, right (and Enter) to Predictors
            if (direction < 0) DepButtonClick();
            else PredButtonClick();
            break;
        case 3:  // Predictors: only back to the left
            if (direction <= 0) PredButtonClick();
            break;
        default: break;
    }
}

bool TSelectModel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == DepList || watched == Varlist || watched == Predlist)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            MoveSelected(0);
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == DepList)
            DepListEnter();
        else if (watched == Varlist)
            VarlistEnter();
        else if (watched == Predlist)
            PredlistEnter();
    }
    return QDialog::eventFilter(watched, event);
}

void TSelectModel::RebuildList(QListWidget* list, int role) {
    list->clear();
    for (int v = 1; v <= std::min(m_ts.VariableCount, MaxVariables); ++v) {
        if (m_ts.VariableRoles[v] != role) continue;
        auto* item = new QListWidgetItem(FromName(m_ts.VariableNames[v]), list);
        item->setToolTip(item->text());
        item->setData(Qt::AccessibleTextRole, item->text());
        // The item knows its variable, so that two variables of the same
        // name can never be mixed up.
        item->setData(Qt::UserRole, v);
    }
    if (list->count() > 0) list->setCurrentRow(0);
}

int TSelectModel::SelectedVariable(const QListWidget* list) const {
    const QListWidgetItem* item = list->currentItem();
    if (item == nullptr) return 0;
    const int v = item->data(Qt::UserRole).toInt();
    return v >= 1 && v <= std::min(m_ts.VariableCount, MaxVariables) ? v : 0;
}

void TSelectModel::FormActivate() {
    RebuildList(DepList, 1);
    RebuildList(Varlist, 0);
    RebuildList(Predlist, 2);
    ActiveList = 2;
    Varlist->setFocus();
    // Entering the list by the focus runs this too; calling it here makes the
    // buttons right also while the dialog is not yet the active window.
    VarlistEnter();
}

void TSelectModel::DepListEnter() {
    DepButton->setIcon(ButtonGlyph(ImRightRed));
    DepButton->setEnabled(true);
    PredButton->setEnabled(false);
    ActiveList = 1;
}

void TSelectModel::VarlistEnter() {
    DepButton->setIcon(ButtonGlyph(ImLeftBlue));
    DepButton->setEnabled(true);
    PredButton->setIcon(ButtonGlyph(ImRightBlue));
    PredButton->setEnabled(true);
    ActiveList = 2;
}

void TSelectModel::PredlistEnter() {
    DepButton->setEnabled(false);
    PredButton->setIcon(ButtonGlyph(ImLeftRed));
    PredButton->setEnabled(true);
    ActiveList = 3;
}

void TSelectModel::DepButtonClick() {
    if (ActiveList == 2 && Varlist->count() > 0 && DepList->count() == 0) {
        const int v = SelectedVariable(Varlist);
        if (v == 0) return;
        m_ts.VariableRoles[v] = 1;
        DepList->addItem(Varlist->takeItem(Varlist->currentRow()));
        DepList->setCurrentRow(0);
        if (Varlist->count() > 0) Varlist->setCurrentRow(0);
    } else if (ActiveList == 1 && DepList->count() == 1) {
        if (DepList->currentRow() < 0) DepList->setCurrentRow(0);
        const int v = SelectedVariable(DepList);
        if (v == 0) return;
        m_ts.VariableRoles[v] = 0;
        DepList->clear();
        RebuildList(Varlist, 0);
    }
}

void TSelectModel::PredButtonClick() {
    if (ActiveList == 2)
        MoveSelectedVariable(Varlist, Predlist, 2);
    else if (ActiveList == 3)
        MoveSelectedVariable(Predlist, Varlist, 0);
}

void TSelectModel::MoveSelectedVariable(QListWidget* from, QListWidget* to, int role) {
    if (from->count() == 0) return;
    const int v = SelectedVariable(from);
    if (v == 0) return;
    m_ts.VariableRoles[v] = role;
    delete from->takeItem(from->currentRow());
    RebuildList(to, role);
    if (from->count() > 0) from->setCurrentRow(0);
}

void TSelectModel::OKButtonClick() {
    DependentListCount = DepList->count();
    const int predictorItems = Predlist->count();
    if (DependentListCount == 0 || predictorItems == 0) {
        m_warnings.ShowWarning(DependentListCount == 0 ? "No dependent variable specified"
                                                       : "No predictor variables specified");
        m_ts.ResultsAvailable = false;
        ReturnFromChild();
        return;
    }
    kelvo::SelectModelFromRoles(m_ts, m_ts);
    // Set before the estimation: a singular matrix later does not clear it.
    m_ts.ResultsAvailable = true;
    ComputeEstimates();
}

void TSelectModel::ComputeEstimates() {
    bool computed = false;
    try {
        // The desktop program's log lives in a folder of the user's own,
        // made private to the user when it is first needed.
        if (!LogPath.empty()) kelvo::MakePrivateFolders(LogPath.parent_path());
        computed = LogPath.empty() ? kelvo::ComputeEstimatesWithoutLog(m_ts, m_warnings)
                                   : kelvo::ComputeEstimates(m_ts, m_warnings, LogPath);
        if (computed) kelvo::ComputeModelSummary(m_ts);
    } catch (const std::exception& error) {
        // A log that cannot be written ends the command here; the dialog
        // stays open with the selection as it is.
        if (seams.showError) seams.showError(QString::fromLatin1(error.what()));
        ReturnFromChild();
        return;
    }
    if (computed) {
        if (seams.showCheckResults) seams.showCheckResults();
        if (seams.showDisplayResults) seams.showDisplayResults();
    }
    accept();
}

void TSelectModel::ReturnFromChild() {
    // The dialog becomes active again when a window it opened closes, and
    // rebuilds its view as on every activation.
    if (isVisible()) FormActivate();
}

void TSelectModel::CancelButtonClick() {
    QDialog::reject();
}

void TSelectModel::reject() {
    CancelButtonClick();
}

}  // namespace kelvo::ui
