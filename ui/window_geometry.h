// Where a top-level window stands and how large it may be on its screen.
#pragma once

class QRect;
class QWidget;

namespace kelvo::ui {

// Places a top-level window in the middle of the screen it is on (or the
// primary screen), fitted to the screen's available area first, its frame
// included. KELVO's windows open centred on the screen, not on their
// parent. The window manager frames a window only after it is shown: once
// it has, the window is fitted and centred again with its frame.
void CenterOnScreen(QWidget* window);

// Shrinks a window whose frame (frameGeometry) is larger than `available` (a
// screen's available area) to fit it; when the window's content needs more
// room than that, the content is moved into a scroll area inside the window.
// A window that fits is left as it is.
void FitOnScreen(QWidget* window, const QRect& available);

}  // namespace kelvo::ui
