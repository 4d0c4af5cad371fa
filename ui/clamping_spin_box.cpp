#include "clamping_spin_box.h"

#include <QLocale>

namespace kelvo::ui {

namespace {

bool IsWholeNumber(const QString& text) {
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

}  // namespace

ClampingSpinBox::ClampingSpinBox(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State ClampingSpinBox::validate(QString& text, int&) const {
    const QString separator = locale().decimalPoint();
    for (const QChar c : text) {
        if (!c.isDigit() && c != u'+' && c != u'-' && !separator.contains(c)) return QValidator::Invalid;
    }
    return IsWholeNumber(text) ? QValidator::Acceptable : QValidator::Intermediate;
}

int ClampingSpinBox::valueFromText(const QString& text) const {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) return minimum();
    return std::clamp(value, minimum(), maximum());
}

void ClampingSpinBox::fixup(QString& text) const {
    if (!IsWholeNumber(text)) text = QString::number(minimum());
}

}  // namespace kelvo::ui
