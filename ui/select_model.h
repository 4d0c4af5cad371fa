// The model selection: the user moves variables between the Dependent,
// Variables and Predictors lists, and Compute estimates the model and shows
// the prediction check and the results browser.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "table_set.h"
#include "warnings.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace kelvo::ui {

// An arrow head of 16 x 16 pixels pointing left or right, in `colour` on
// silver (RGB 192, 192, 192).
QPixmap ArrowGlyph(bool pointsRight, const QColor& colour);

class TSelectModel : public QDialog {
    Q_OBJECT
public:
    TSelectModel(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;  // "Dependent"
    QLabel* Label2;  // "Variables"
    QLabel* Label3;  // "Predictors"
    QListWidget* DepList;
    QListWidget* Varlist;
    QListWidget* Predlist;
    QPushButton* DepButton;
    QPushButton* PredButton;
    QPushButton* OKButton;  // "Compute"
    QPushButton* CancelButton;
    // The four glyphs of the arrow buttons (never shown themselves).
    QLabel* ImLeftBlue;
    QLabel* ImRightBlue;
    QLabel* ImLeftRed;
    QLabel* ImRightRed;

    // Which list last received the focus: 1 DepList, 2 Varlist, 3 Predlist
    // (0 before the first showing). It decides what the arrow buttons do.
    std::int32_t ActiveList = 0;
    // The number of items in DepList when Compute was last pressed.
    std::int32_t DependentListCount = 0;

    // How the estimation's follow-up windows and the error box are shown
    // (wired by AppWindows, replaced in tests); an empty function does
    // nothing.
    struct Seams {
        std::function<void()> showCheckResults;    // the prediction check
        std::function<void()> showDisplayResults;  // the results browser
        std::function<void(const QString&)> showError;
    };
    Seams seams;

    // Where Compute writes the estimation log (the program sets "log" in its
    // state folder, EstimationLogPath()); its folder is made when it is not
    // there. Empty: no log is written.
    std::filesystem::path LogPath;

public slots:
    void FormActivate();
    void DepListEnter();
    void VarlistEnter();
    void PredlistEnter();
    void DepButtonClick();
    void PredButtonClick();
    void OKButtonClick();
    void CancelButtonClick();
    // The keyboard's arrows: the selected item of the list that last had the
    // focus moves left (-1), right (+1), or as Enter moves it (0).
    void MoveSelected(int direction);
    // Runs the estimation of the stored model; after results, shows the
    // prediction check and then the results browser; then closes the dialog.
    // When the log cannot be written, the error box says why and the dialog
    // stays open.
    void ComputeEstimates();
    // Escape closes the dialog as Cancel does.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs FormActivate when the dialog is still open after a window that it
    // opened (a warning, the error box) has closed.
    void ReturnFromChild();
    // Fills `list` with every variable of `role`, in variable order.
    void RebuildList(QListWidget* list, int role);
    // The variable of the selected item of `list`, or 0 when none is selected.
    int SelectedVariable(const QListWidget* list) const;
    // Between Variables and Predictors: the selected variable of `from` takes
    // `role` and moves to `to`, which lists its variables in variable order;
    // `from` then selects its first item.
    void MoveSelectedVariable(QListWidget* from, QListWidget* to, int role);

    TableSet& m_ts;
    WarningSink& m_warnings;
};

}  // namespace kelvo::ui
