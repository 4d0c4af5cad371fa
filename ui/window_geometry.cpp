#include "window_geometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "dialog_frame.h"

namespace kelvo::ui {

namespace {

// Moves the window's content into a scroll area that fills the window, so
// that a window smaller than its content still shows all of it.
void MakeScrollable(QWidget* window) {
    QLayout* content = window->layout();
    if (content == nullptr || window->property("kelvoScrollable").toBool()) return;
    window->setProperty("kelvoScrollable", true);
    auto* inner = new QWidget;
    inner->setObjectName(QStringLiteral("ScrolledContent"));
    inner->setLayout(content);  // takes the layout and its widgets from the window
    ApplyWindowColors(inner);
    auto* area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("WindowScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(inner);
    area->viewport()->setAutoFillBackground(false);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
}

// The frame that the window manager adds around a window: known only once it
// has framed the window, which it does after each showing. Asked of the
// window system each time, since a window remembers the frame it first had.
QMargins FrameMargins(const QWidget* window) {
    if (const QWindow* handle = window->windowHandle()) return handle->frameMargins();
    const QRect frame = window->frameGeometry(), inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

QSize FrameOf(const QWidget* window) {
    const QMargins margins = FrameMargins(window);
    return {margins.left() + margins.right(), margins.top() + margins.bottom()};
}

constexpr const char* FittedFrame = "kelvoFittedFrame";

// Watches a shown window until its window manager has framed it. A frame
// other than the one the window was fitted with (none, before the framing)
// fits and centres the window again, so that the frame too lies on the
// screen. The window manager frames a window anew after every showing.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(QWidget* window) : QObject(window), m_window(window) {}

    // From now on until the next framing.
    void ExpectFraming() {
        m_waiting = true;
        CheckFrame();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_window) return false;
        switch (event->type()) {
            case QEvent::Show:
                m_waiting = true;
                break;
            case QEvent::Hide:
                m_waiting = false;
                break;
            case QEvent::Move:
            case QEvent::Resize:
                // Looked at once the window has taken in the new geometry
                // and the frame that came with it.
                if (m_waiting && !m_checkPending) {
                    m_checkPending = true;
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            m_checkPending = false;
                            CheckFrame();
                        },
                        Qt::QueuedConnection);
                }
                break;
            default:
                break;
        }
        return false;
    }

private:
    void CheckFrame() {
        const QSize frame = FrameOf(m_window);
        if (!m_waiting || !m_window->isVisible() || frame.isNull()) return;
        // Framed: fitted once more unless the fitting knew this frame.
        m_waiting = false;
        if (m_window->property(FittedFrame).toSize() != frame) CenterOnScreen(m_window);
    }

    QWidget* m_window;
    bool m_waiting = false;
    bool m_checkPending = false;
};

// At a scale factor the screen's size in points is rounded, up as often as
// down: a window kept one point inside the screen keeps its last pixel on it.
int ScaleRounding(const QWidget* window) { return window->devicePixelRatioF() > 1.0 ? 1 : 0; }

void WatchFrame(QWidget* window) {
    if (window->property("kelvoFrameWatched").toBool()) return;
    window->setProperty("kelvoFrameWatched", true);
    // Installed from the event loop: a filter installed while the window's
    // event filters see its show event would have the filters after it see
    // that event twice.
    QMetaObject::invokeMethod(
        window,
        [window] {
            auto* watcher = new FrameWatcher(window);
            window->installEventFilter(watcher);
            // Placed while it was being shown: the framing may have come.
            if (window->isVisible()) watcher->ExpectFraming();
        },
        Qt::QueuedConnection);
}

}  // namespace

void FitOnScreen(QWidget* window, const QRect& available) {
    const QSize frame = FrameOf(window);
    window->setProperty(FittedFrame, frame);
    const int rounding = ScaleRounding(window);
    const QSize room = available.size() - frame - QSize(rounding, rounding);
    const QSize size = window->size();
    if (size.width() <= room.width() && size.height() <= room.height()) return;
    // Smaller than its content allows: the content scrolls.
    const QSize needed = window->layout() != nullptr ? window->layout()->totalMinimumSize() : window->minimumSizeHint();
    if (needed.width() > room.width() || needed.height() > room.height()) MakeScrollable(window);
    const QSize fitted = size.boundedTo(room);
    window->setMinimumSize(window->minimumSize().boundedTo(fitted));
    window->setMaximumSize(window->maximumSize().expandedTo(fitted).boundedTo(room));
    window->resize(fitted);
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    WatchFrame(window);
    const QRect available = screen->availableGeometry();
    // The size the content asks for now, not after the next layout pass.
    if (window->layout() != nullptr) window->layout()->activate();
    FitOnScreen(window, available);
    QRect frame = window->geometry().marginsAdded(FrameMargins(window));
    frame.moveCenter(available.center());
    // Inside the screen, and never beyond the top or left edge, where the
    // title bar and the first controls are.
    const int rounding = ScaleRounding(window);
    frame.moveRight(std::min(frame.right(), available.right() - rounding));
    frame.moveBottom(std::min(frame.bottom(), available.bottom() - rounding));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    window->move(frame.topLeft());
}

}  // namespace kelvo::ui
