// What every KELVO dialog is built from: the program's colours, the title
// bars, the component name and caption, named child widgets, push buttons
// and how Enter presses them, button rows, the tab order, the client size,
// and the centring on every showing. A window's constructor calls these with
// its own names and numbers and keeps only what is particular to it.
#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPushButton>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <utility>

class QDialog;
class QFileDialog;
class QHBoxLayout;
class QWidget;

namespace kelvo::ui {

// Window background and the background of panels, grids and text fields.
inline QColor WindowColor() { return QColor(197, 215, 238); }
inline QColor PanelColor() { return QColor(247, 251, 255); }

// Gives a window the program's background colour, and its text fields, lists
// and grids the panel colour.
void ApplyWindowColors(QWidget* window);

// `palette` with red text on the panel colour: the text of the warning and
// confirmation boxes.
QPalette RedTextOnPanel(QPalette palette);

// A title bar with the caption only: no close button and no window menu, so
// that the dialog's own buttons are the only way out.
inline constexpr Qt::WindowFlags TitleBarOnly = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
// The same with the close button.
inline constexpr Qt::WindowFlags TitleBarWithClose = TitleBarOnly | Qt::WindowCloseButtonHint;

// A dialog's component name, its caption and the program's colours.
void SetUpDialog(QDialog* dialog, const char* name, const QString& caption);

// A child widget of `parent` with a component name; `arguments` are the
// widget's constructor arguments before the parent ("&Name" for a label).
template <class Widget, class... Arguments>
Widget* Named(QWidget* parent, const char* name, Arguments&&... arguments) {
    auto* widget = new Widget(std::forward<Arguments>(arguments)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// When Enter presses a push button of a dialog.
enum class PressedByEnter {
    // Qt's auto-default rule: Enter presses the button that has the focus;
    // elsewhere, when the dialog has no default button, the first such
    // button in the tab order, which the dialog makes its default.
    AutoDefault,
    Always,  // the dialog's default button: Enter presses it wherever the focus is
    Never,   // Enter belongs to the field or cell that has the focus
};

// A push button with a component name and a caption (with its mnemonic).
QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, PressedByEnter enter);

// The same, its clicks connected to `slot` of `window`.
template <class Window, class Slot>
QPushButton* AddButton(Window* window, const char* name, const QString& caption, PressedByEnter enter, Slot slot) {
    QPushButton* button = NamedButton(window, name, caption, enter);
    QObject::connect(button, &QPushButton::clicked, window, std::move(slot));
    return button;
}

// Where a row of buttons stands.
enum class RowPlacement {
    Right,   // together at the right
    Spread,  // equal gaps before, between and after them (one button: centred)
};
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons, RowPlacement placement);

// The button row of the paging windows: Previous and Next, a gap, then OK,
// all at the right.
QHBoxLayout* PagingButtonRow(QPushButton* previous, QPushButton* next, QPushButton* ok);

// Tab walks through `widgets` in this order.
void SetTabOrder(std::initializer_list<QWidget*> widgets);

// Once the content is built: the client area as designed, larger only where
// the content needs more room (a larger font), and never resized by the user.
void FixClientSize(QWidget* window, QSize designed);

// What a file dialog chooses.
enum class FileChoice {
    Save,          // a file to write
    OpenTyped,     // a file to read, by any name typed: the reading reports a missing file
    OpenExisting,  // an existing file to read
};

// A file dialog with a component name and a caption, offering `filters`;
// a name typed without a suffix gets `defaultSuffix` (when given).
QFileDialog* NamedFileDialog(QWidget* parent, const char* name, const QString& caption, FileChoice choice,
                             const QStringList& filters, const QString& defaultSuffix = {});

// Whether a dialog fills in its content before it is placed on the screen
// (the content decides the dialog's size) or after (texts and focus only).
enum class Activation { BeforePlacing, AfterPlacing };

// From now on, every showing of `dialog` runs `activate` (when given) and
// places the dialog in the middle of its screen (CenterOnScreen), in the
// order `when`. KELVO's dialogs open centred on the screen, not on their
// parent.
void CenterOnEveryShowing(QDialog* dialog, std::function<void()> activate = {},
                          Activation when = Activation::AfterPlacing);

}  // namespace kelvo::ui
