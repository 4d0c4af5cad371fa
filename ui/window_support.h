// What every window shares: the program's colours and the crossing of names
// and paths between Qt and the core.
#pragma once

#include <QColor>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>

class QRect;
class QWidget;

namespace kelvo {
struct InputSide;
class WarningSink;
}  // namespace kelvo
class QHBoxLayout;
class QPushButton;

namespace kelvo::ui {

// Window background and the background of panels, grids and text fields.
inline QColor WindowColor() { return QColor(197, 215, 238); }
inline QColor PanelColor() { return QColor(247, 251, 255); }

// Gives a window the program's background colour, and its text fields, lists
// and grids the panel colour.
void ApplyWindowColors(QWidget* window);

// Places a top-level window in the middle of the screen it is on (or the
// primary screen), fitted to the screen's available area first. KELVO's
// windows open centred on the screen, not on their parent.
void CenterOnScreen(QWidget* window);

// Shrinks a window that is larger than `available` (a screen's available
// area) to fit it; when the window's content needs more room than that, the
// content is moved into a scroll area inside the window. A window that fits
// is left as it is.
void FitOnScreen(QWidget* window, const QRect& available);

// The standard error box: a failed file operation's text ("File not found",
// "Disk full", ...), shown modally over `parent`. A handler that runs inside a
// dialog's event loop must catch IoError itself and report it here: no
// exception may pass through Qt's event loop.
void ShowErrorBox(QWidget* parent, const QString& text);

// Names are single-byte (Latin-1) text in the table set.
QString FromName(const std::string& name);

// The Latin-1 bytes of `text`, or nothing when a character has no Latin-1
// form; `refused` then receives that character.
std::optional<std::string> ToName(const QString& text, char32_t* refused = nullptr);

// A typed name as stored: its Latin-1 bytes, cut to MaxNameLength. A
// character without a Latin-1 form (named by its code point) or a control
// character (a line end, a tab) is reported through `warnings` and nothing is
// returned, so the caller keeps its window open.
std::optional<std::string> StoredName(const QString& typed, kelvo::WarningSink& warnings);

// Whether `name` (as stored) may become the name of variable `self` (0 for a
// variable not yet added), by the core's name rules; a refusal is reported
// through `warnings`.
bool AcceptVariableName(const kelvo::InputSide& ts, const std::string& name, int self, kelvo::WarningSink& warnings);

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
