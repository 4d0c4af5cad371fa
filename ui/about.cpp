#include "about.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>

#include "dialog_frame.h"
#include "version.h"

namespace kelvo::ui {

namespace {

constexpr QSize LogoSize(146, 77);

QLabel* CreditLine(const char* name, const QString& text, QWidget* parent, int y) {
    auto* label = Named<QLabel>(parent, name, text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setGeometry(4, y, 185, 16);
    return label;
}

}  // namespace

QPixmap LogoPixmap(qreal devicePixelRatio) {
    QSvgRenderer renderer(QStringLiteral(":/images/kelvo_logo.svg"));
    if (!renderer.isValid()) return {};
    QPixmap pixmap(LogoSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(LogoSize)));
    return pixmap;
}

TAbout::TAbout(QWidget* parent)
    // A fixed border without the close button.
    : QDialog(parent, TitleBarOnly) {
    SetUpDialog(this, "About", " About KELVO");
    setModal(true);

    Panel1 = Named<QFrame>(this, "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(20, 12, 153, 89);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    Panel1->setAutoFillBackground(true);

    Image2 = Named<QLabel>(Panel1, "Image2");
    Image2->setGeometry(4, 4, 145, 81);
    Image2->setAlignment(Qt::AlignCenter);
    Image2->setPixmap(LogoPixmap(devicePixelRatioF()));

    Label1 = Named<QLabel>(this, "Label1", "Quendar");
    QFont large = Label1->font();
    large.setPixelSize(19);
    large.setBold(true);
    Label1->setFont(large);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(4, 110, 185, 26);

    Label2 = Named<QLabel>(this, "Label2", "Version: 0.0");
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(4, 138, 185, 18);

    Label3 = CreditLine("Label3", QStringLiteral("Linear models for"), this, 168);
    Label4 = CreditLine("Label4", QStringLiteral("categorical data"), this, 184);
    Label5 = CreditLine("Label5", QStringLiteral("from two-way tables"), this, 200);
    Label6 = CreditLine("Label6", QStringLiteral("by the KELVO developers"), this, 216);

    OKButton = AddButton(this, "OKButton", "OK", PressedByEnter::Always, &TAbout::OKButtonClick);
    OKButton->setGeometry(59, 252, 75, 25);
    FixClientSize(this, {193, 293});
    CenterOnEveryShowing(this, [this] { FormActivate(); });
}

void TAbout::FormActivate() { Label2->setText(QStringLiteral("Version %1").arg(QLatin1String(kelvo::KelvoVersion))); }

void TAbout::OKButtonClick() { accept(); }

}  // namespace kelvo::ui
