#include "confirm_message.h"

#include <QLineEdit>
#include <QPushButton>

#include "dialog_frame.h"

namespace kelvo::ui {

TConfirmMessage::TConfirmMessage(QWidget* parent) : QDialog(parent) {
    SetUpDialog(this, "ConfirmMessage", " Warning!");
    setModal(true);
    resize(297, 110);

    Edit1 = Named<QLineEdit>(this, "Edit1");
    Edit1->setAccessibleName(QStringLiteral("Warning!"));
    Edit1->setPalette(RedTextOnPanel(Edit1->palette()));
    Edit1->setGeometry(8, 12, 281, 23);

    CancelButton =
        AddButton(this, "CancelButton", "Cancel", PressedByEnter::AutoDefault, &TConfirmMessage::CancelButtonClick);
    CancelButton->setGeometry(48, 52, 75, 25);
    OKButton = AddButton(this, "OKButton", "OK", PressedByEnter::AutoDefault, &TConfirmMessage::OKButtonClick);
    OKButton->setGeometry(174, 52, 75, 25);
    CenterOnEveryShowing(this);
}

void TConfirmMessage::OKButtonClick() {
    ConfirmResult = true;
    accept();
}

void TConfirmMessage::CancelButtonClick() { reject(); }

void TConfirmMessage::reject() {
    // Closing the box in any other way than OK answers "no".
    ConfirmResult = false;
    QDialog::reject();
}

}  // namespace kelvo::ui
