#include "svg_view.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kelvo::ui {

SvgView::SvgView(QWidget* parent) : QWidget(parent), m_renderer(new QSvgRenderer(this)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(300, 150);
}

bool SvgView::Load(const QByteArray& svg) {
    const bool loaded = m_renderer->load(svg);
    updateGeometry();
    update();
    return loaded;
}

QSize SvgView::DocumentSize() const { return m_renderer->isValid() ? m_renderer->defaultSize() : QSize(600, 300); }

QSize SvgView::sizeHint() const { return DocumentSize(); }

namespace {

// The largest rectangle of the document's proportions inside `area`, centred.
QRectF Fitted(const QSize& document, const QRectF& area) {
    if (document.isEmpty()) return area;
    const double scale = std::min(area.width() / document.width(), area.height() / document.height());
    const QSizeF size(document.width() * scale, document.height() * scale);
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

}  // namespace

QImage SvgView::Render(const QSize& size) const {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer->render(&painter, Fitted(DocumentSize(), QRectF(QPointF(0, 0), QSizeF(size))));
    return image;
}

void SvgView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer->render(&painter, Fitted(DocumentSize(), QRectF(rect())));
}

}  // namespace kelvo::ui
