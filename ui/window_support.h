// What every window shares: the program's colours and the crossing of names
// and paths between Qt and the core.
#pragma once

#include <QColor>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>

class QWidget;
class QHBoxLayout;
class QPushButton;

namespace kelvo::ui {

// The program's version as its windows show it ("Version 7.0").
inline constexpr const char* KelvoVersion = "7.0";

// Window background and the background of panels, grids and text fields.
inline QColor WindowColor() { return QColor(197, 215, 238); }
inline QColor PanelColor() { return QColor(247, 251, 255); }

// Gives a window the program's background colour, and its text fields, lists
// and grids the panel colour.
void ApplyWindowColors(QWidget* window);

// Places a top-level window in the middle of the screen it is on (or the
// primary screen). KELVO's windows open centred on the screen, not on their
// parent.
void CenterOnScreen(QWidget* window);

// The standard error box: a failed file operation's text ("File not found",
// "Disk full", ...), shown modally over `parent`. A handler that runs inside a
// dialog's event loop must catch IoError itself and report it here: no
// exception may pass through Qt's event loop.
void ShowErrorBox(QWidget* parent, const QString& text);

// Names are single-byte (Latin-1) text in the table set.
QString FromName(const std::string& name);

// The Latin-1 bytes of `text`, or nothing when a character has no Latin-1
// form; `refused` then receives that character.
std::optional<std::string> ToName(const QString& text, QChar* refused = nullptr);

// A path chosen in a dialog, as the core takes it (non-ASCII folders work).
std::filesystem::path ToPath(const QString& path);
QString FromPath(const std::string& path);

// A push button with an object name (the component name) and a caption; it
// never becomes the window's default button on its own.
QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption);

// The button row of the paging windows: Previous and Next, a gap, then OK,
// all at the right.
QHBoxLayout* PagingButtonRow(QPushButton* previous, QPushButton* next, QPushButton* ok);

}  // namespace kelvo::ui
