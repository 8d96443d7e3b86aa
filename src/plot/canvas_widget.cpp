#include "plot/canvas_widget.h"

#include <QMouseEvent>
#include <QPainter>

CanvasWidget::CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setObjectName(QStringLiteral("Picture1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.onChange = [this] { update(); };
}

QPointF CanvasWidget::toWidget(double x, double y) const {
    return canvas_.toPixel(x, y) + QPointF(kFrame, kFrame);
}

QPointF CanvasWidget::worldOf(const QPointF& p) const {
    return canvas_.toWorld(p.x() - kFrame, p.y() - kFrame);
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Sunken 3-D frame: dark grey and black outside, white and light grey inside.
    const int w = width(), h = height();
    p.fillRect(rect(), palette().window());
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.setPen(QColor(64, 64, 64));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(QColor(212, 208, 200));
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
    p.drawImage(kFrame, kFrame, canvas_.image());

    p.setClipRect(QRect(kFrame, kFrame, canvas_.width(), canvas_.height()));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const FloatingLine* l : {&linex, &liney, &line1}) {
        if (!l->visible) continue;
        p.setPen(QPen(l->color, 1));
        p.drawLine(QLineF(toWidget(l->world.x1(), l->world.y1()), toWidget(l->world.x2(), l->world.y2())));
    }
    for (const FloatingShape* s : {&shape1, &shape2}) {
        if (!s->visible) continue;
        const QPointF tl = toWidget(s->topLeft.x(), s->topLeft.y());
        QSizeF size = s->pixelSize.isEmpty()
                          ? QSizeF(s->worldSize.width() * canvas_.width() / 22.0,
                                   s->worldSize.height() * canvas_.height() / 22.0)
                          : QSizeF(s->pixelSize);
        p.setPen(QPen(s->color, 1));
        p.setBrush(Qt::NoBrush);
        if (s->oval) p.drawEllipse(QRectF(tl, size));
        else p.drawRect(QRectF(tl, size - QSizeF(1, 1)));
    }
}

void CanvasWidget::mousePress(Qt::MouseButton b, double x, double y) { emit pressed(b, x, y); }
void CanvasWidget::mouseMove(Qt::MouseButtons b, double x, double y) { emit moved(b, x, y); }
void CanvasWidget::mouseRelease(Qt::MouseButton b, double x, double y) { emit released(b, x, y); }
void CanvasWidget::mouseDoubleClick() { emit doubleClicked(); }

void CanvasWidget::mousePressEvent(QMouseEvent* e) {
    const QPointF w = worldOf(e->position());
    mousePress(e->button(), float(w.x()), float(w.y()));
}
void CanvasWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPointF w = worldOf(e->position());
    mouseMove(e->buttons(), float(w.x()), float(w.y()));
}
void CanvasWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF w = worldOf(e->position());
    mouseRelease(e->button(), float(w.x()), float(w.y()));
}
void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    // The platform delivers press/release around a double-click as usual.
    const QPointF w = worldOf(e->position());
    mousePress(e->button(), float(w.x()), float(w.y()));
    mouseDoubleClick();
}
