#include "warning_message.h"

#include <QLineEdit>
#include <QPushButton>

#include "dialog_frame.h"
#include "names_and_paths.h"

namespace kelvo::ui {

TWarningMessage::TWarningMessage(QWidget* parent) : QDialog(parent, TitleBarOnly) {
    SetUpDialog(this, "WarningMessage", " Warning!");
    setModal(true);

    Edit1 = Named<QLineEdit>(this, "Edit1");
    Edit1->setAccessibleName(QStringLiteral("Warning!"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(8, 12, 274, 23);
    Edit1->setPalette(RedTextOnPanel(Edit1->palette()));
    // The field takes the focus only from a click, to select and copy its
    // text; OK stays the default button, so Enter still closes.
    Edit1->setFocusPolicy(Qt::ClickFocus);

    OKButton = AddButton(this, "OKButton", "OK", PressedByEnter::Always, &TWarningMessage::OKButtonClick);
    OKButton->setGeometry(107, 48, 75, 25);
    FixClientSize(this, {290, 83});
    CenterOnEveryShowing(this, [this] { FormActivate(); });
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

}  // namespace kelvo::ui
