// The About box: the logo, the program's name and version and the credits.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace kelvo::ui {

class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* OKButton = nullptr;

public slots:
    void FormActivate();
    void OKButtonClick();
};

// The logo drawn at its natural size (146 x 77) for the given pixel ratio;
// a null pixmap when the picture is missing from the program's resources.
QPixmap LogoPixmap(qreal devicePixelRatio);

}  // namespace kelvo::ui
