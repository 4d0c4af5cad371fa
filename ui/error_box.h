// The standard error box.
#pragma once

class QString;
class QWidget;

namespace kelvo::ui {

// A failed file operation's text ("File not found", "Disk full", ...), shown
// modally over `parent`. A handler that runs inside a dialog's event loop
// must catch IoError itself and report it here: no exception may pass
// through Qt's event loop.
void ShowErrorBox(QWidget* parent, const QString& text);

}  // namespace kelvo::ui
