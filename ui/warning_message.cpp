#include "warning_message.h"

#include <QLineEdit>
#include <QPushButton>

#include "window_support.h"

namespace kelvo::ui {

namespace {
QPalette RedOnPanel(QPalette palette) {
    palette.setColor(QPalette::Text, Qt::red);
    palette.setColor(QPalette::Base, PanelColor());
    return palette;
}
}  // namespace

TWarningMessage::TWarningMessage(QWidget* parent)
    // No close button and no window menu: the title bar only.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("WarningMessage"));
    setWindowTitle(QStringLiteral(" Warning!"));
    setModal(true);
    setFixedSize(290, 83);
    ApplyWindowColors(this);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(8, 12, 274, 23);
    Edit1->setPalette(RedOnPanel(Edit1->palette()));
    // The field takes the focus only from a click, to select and copy its
    // text; OK stays the default button, so Enter still closes.
    Edit1->setFocusPolicy(Qt::ClickFocus);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(107, 48, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TWarningMessage::OKButtonClick);
}

void TWarningMessage::ShowWarning(const std::string& text) {
    Edit1->setText(FromName(text));
    Edit1->setToolTip(Edit1->text());
    // A text longer than the field shows its beginning.
    Edit1->setCursorPosition(0);
    exec();
}

void TWarningMessage::FormActivate() { OKButton->setFocus(); }

void TWarningMessage::OKButtonClick() { accept(); }

void TWarningMessage::reject() {}

void TWarningMessage::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
    FormActivate();
}

}  // namespace kelvo::ui
