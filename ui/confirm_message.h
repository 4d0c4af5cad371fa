// An OK/Cancel box with a red, editable text. KELVO creates it with its other
// windows; no command shows it yet. ConfirmResult holds the answer of its
// latest showing.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kelvo::ui {

class TConfirmMessage : public QDialog {
    Q_OBJECT
public:
    explicit TConfirmMessage(QWidget* parent = nullptr);

    // True when OK closed the box, false when Cancel did.
    bool ConfirmResult = false;

    QLineEdit* Edit1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public slots:
    void OKButtonClick();
    void CancelButtonClick();
    void reject() override;
};

}  // namespace kelvo::ui
