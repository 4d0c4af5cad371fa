// A spin field for a whole number within a range.
#pragma once

#include <QSpinBox>

namespace kelvo::ui {

// Any whole number may be typed (digits, signs and a decimal separator are
// the characters it takes); the arrows step within the range. When the text
// is read, on leaving the field or by interpretText(), a number below the
// minimum becomes the minimum, one above the maximum the maximum, and text
// that is not a whole number reads as the minimum.
class ClampingSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit ClampingSpinBox(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void fixup(QString& text) const override;
};

}  // namespace kelvo::ui
