#include "confirm_message.h"

#include <QLineEdit>
#include <QPushButton>

#include "window_support.h"

namespace kelvo::ui {

TConfirmMessage::TConfirmMessage(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfirmMessage"));
    setWindowTitle(QStringLiteral(" Warning!"));
    setModal(true);
    resize(297, 110);
    ApplyWindowColors(this);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text, Qt::red);
    palette.setColor(QPalette::Base, PanelColor());
    Edit1->setPalette(palette);
    Edit1->setGeometry(8, 12, 281, 23);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(48, 52, 75, 25);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(174, 52, 75, 25);
    connect(OKButton, &QPushButton::clicked, this, &TConfirmMessage::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TConfirmMessage::CancelButtonClick);
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

void TConfirmMessage::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace kelvo::ui
