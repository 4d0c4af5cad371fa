#include "dialog_frame.h"

#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QWidget>

#include "window_geometry.h"

namespace kelvo::ui {

void ApplyWindowColors(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, WindowColor());
    palette.setColor(QPalette::Base, PanelColor());
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

QPalette RedTextOnPanel(QPalette palette) {
    palette.setColor(QPalette::Text, Qt::red);
    palette.setColor(QPalette::Base, PanelColor());
    return palette;
}

void SetUpDialog(QDialog* dialog, const char* name, const QString& caption) {
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(caption);
    ApplyWindowColors(dialog);
}

QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, PressedByEnter enter) {
    auto* button = Named<QPushButton>(parent, name, caption);
    switch (enter) {
        case PressedByEnter::AutoDefault:
            break;  // what a push button in a dialog is
        case PressedByEnter::Always:
            button->setDefault(true);
            break;
        case PressedByEnter::Never:
            button->setAutoDefault(false);
            break;
    }
    return button;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons, RowPlacement placement) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) {
        row->addWidget(button);
        if (placement == RowPlacement::Spread) row->addStretch(1);
    }
    return row;
}

QHBoxLayout* PagingButtonRow(QPushButton* previous, QPushButton* next, QPushButton* ok) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(previous);
    row->addWidget(next);
    row->addSpacing(24);
    row->addWidget(ok);
    return row;
}

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void FixClientSize(QWidget* window, QSize designed) {
    window->setFixedSize(designed.expandedTo(window->sizeHint()));
}

QFileDialog* NamedFileDialog(QWidget* parent, const char* name, const QString& caption, FileChoice choice,
                             const QStringList& filters, const QString& defaultSuffix) {
    auto* dialog = new QFileDialog(parent, caption);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAcceptMode(choice == FileChoice::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(choice == FileChoice::OpenExisting ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(filters);
    if (!defaultSuffix.isEmpty()) dialog->setDefaultSuffix(defaultSuffix);
    return dialog;
}

namespace {

// Sees the dialog's show event before the dialog itself does. QDialog's own
// handling of it only centres a dialog over its parent when nothing has
// placed it yet, so after CenterOnScreen it leaves the dialog where it is.
class ShowingFilter : public QObject {
public:
    ShowingFilter(QDialog* dialog, std::function<void()> activate, Activation when)
        : QObject(dialog), m_dialog(dialog), m_activate(std::move(activate)), m_when(when) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_dialog || event->type() != QEvent::Show) return false;
        if (m_activate && m_when == Activation::BeforePlacing) m_activate();
        CenterOnScreen(m_dialog);
        if (m_activate && m_when == Activation::AfterPlacing) m_activate();
        return false;
    }

private:
    QDialog* m_dialog;
    std::function<void()> m_activate;
    Activation m_when;
};

}  // namespace

void CenterOnEveryShowing(QDialog* dialog, std::function<void()> activate, Activation when) {
    dialog->installEventFilter(new ShowingFilter(dialog, std::move(activate), when));
}

}  // namespace kelvo::ui
