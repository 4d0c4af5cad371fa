#include "window_geometry.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>
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

}  // namespace

void FitOnScreen(QWidget* window, const QRect& available) {
    // The frame the window manager adds (nothing before the first showing).
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize room = available.size() - frame;
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
    const QRect available = screen->availableGeometry();
    // The size the content asks for now, not after the next layout pass.
    if (window->layout() != nullptr) window->layout()->activate();
    FitOnScreen(window, available);
    QRect frame = window->frameGeometry();
    frame.moveCenter(available.center());
    // Never beyond the top or left edge, where the title bar and the first
    // controls are.
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    window->move(frame.topLeft());
}

}  // namespace kelvo::ui
