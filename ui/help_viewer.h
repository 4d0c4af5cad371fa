// KELVO's help: the HTML pages that ship inside the program, shown in a
// window of their own beside the main window.
#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace kelvo::ui {

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // The table of contents of the help.
    static QUrl ContentsUrl();

    // Opens the window at the table of contents and brings it to the front.
    void ShowContents();

    QTextBrowser* Browser = nullptr;
    QPushButton* ContentsButton = nullptr;
    QPushButton* BackButton = nullptr;
    QPushButton* ForwardButton = nullptr;
    QPushButton* CloseButton = nullptr;
};

}  // namespace kelvo::ui
