#include "help_viewer.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "dialog_frame.h"
#include "window_geometry.h"

namespace kelvo::ui {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("KELVO help"));
    ApplyWindowColors(this);
    resize(760, 580);

    ContentsButton = new QPushButton(QStringLiteral("&Contents"), this);
    BackButton = new QPushButton(QStringLiteral("&Back"), this);
    ForwardButton = new QPushButton(QStringLiteral("&Forward"), this);
    CloseButton = new QPushButton(QStringLiteral("C&lose"), this);
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setAccessibleName(windowTitle());
    Browser->setOpenExternalLinks(true);
    Browser->setSearchPaths({QStringLiteral(":/help")});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ContentsButton);
    buttons->addWidget(BackButton);
    buttons->addWidget(ForwardButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Browser, 1);

    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);
    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QPushButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardButton, &QPushButton::setEnabled);
    connect(BackButton, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardButton, &QPushButton::clicked, Browser, &QTextBrowser::forward);
    connect(ContentsButton, &QPushButton::clicked, this, [this] { Browser->setSource(ContentsUrl()); });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes the help as it closes a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QUrl HelpViewer::ContentsUrl() { return QUrl(QStringLiteral("qrc:/help/index.html")); }

void HelpViewer::ShowContents() {
    Browser->setSource(ContentsUrl());
    Browser->clearHistory();
    const bool opening = !isVisible();
    show();
    // Placed once shown, when the window's frame is known.
    if (opening) CenterOnScreen(this);
    raise();
    activateWindow();
}

}  // namespace kelvo::ui
