// A widget that draws an SVG document scaled to fit, keeping its proportions.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

class QSvgRenderer;

namespace kelvo::ui {

class SvgView : public QWidget {
    Q_OBJECT
public:
    explicit SvgView(QWidget* parent = nullptr);
    // False when the text is not an SVG document Qt can draw.
    bool Load(const QByteArray& svg);
    // The document's own size, in its coordinates.
    QSize DocumentSize() const;
    // The drawing at `size` pixels, on white.
    QImage Render(const QSize& size) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer* m_renderer;
};

}  // namespace kelvo::ui
