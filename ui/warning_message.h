// The warning notice: a one-line message in red that the user confirms with
// OK. It is the warning sink of the desktop program: every problem that KELVO
// detects itself is shown here, modally, and the caller goes on afterwards.
#pragma once

#include <QDialog>

#include "warnings.h"

class QLineEdit;
class QPushButton;

namespace kelvo::ui {

class TWarningMessage : public QDialog, public kelvo::WarningSink {
    Q_OBJECT
public:
    explicit TWarningMessage(QWidget* parent = nullptr);

    // Shows `text` (Latin-1) and returns when the user has pressed OK.
    void ShowWarning(const std::string& text) override;

    QLineEdit* Edit1 = nullptr;
    QPushButton* OKButton = nullptr;

public slots:
    void FormActivate();
    void OKButtonClick();
    // Only OK closes the notice: Escape and the window manager's close
    // request are ignored.
    void reject() override;
};

}  // namespace kelvo::ui
