#include "error_box.h"

#include <QMessageBox>

namespace kelvo::ui {

void ShowErrorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("KELVO"), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace kelvo::ui
