#include "shell/click_label.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSvgRenderer>

#include "platform/platform.h"

QPixmap vectorPixmap(const QString& resource, const QSize& size, qreal dpr) {
    QSvgRenderer renderer(resource);
    if (!renderer.isValid() || size.isEmpty()) return {};
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Stretched to the whole label, as the images of the windows are.
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    // The driver's "get" reports the colours and font of these labels.
    setProperty("reportsLook", true);
}

void ClickLabel::setPicture(const QString& resource) {
    resource_ = resource;
    setProperty("reportsLook", false);
    renderPicture();
}

void ClickLabel::renderPicture() {
    if (resource_.isEmpty()) return;
    setPixmap(vectorPixmap(resource_, size(), devicePixelRatioF()));
}

void ClickLabel::setLook(const QColor& fore, const QColor& back) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, fore);
    if (back.isValid()) pal.setColor(QPalette::Window, back);
    setPalette(pal);
    setAutoFillBackground(back.isValid());
}

void ClickLabel::setFontStyle(double points, bool bold, bool italic) {
    QFont f = uiFont(font().family(), points, bold);
    f.setItalic(italic);
    setFont(f);
}

void ClickLabel::setItalic(bool italic) {
    QFont f = font();
    f.setItalic(italic);
    setFont(f);
}

// The label keeps its mouse events: passed on, they would reach the window
// beneath and count as the pointer moving over (or clicking) the background.
void ClickLabel::mousePressEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    down_ = true;
    emit pressed();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton || !down_) return;
    down_ = false;
    // A click counts only when the button comes up over the label.
    if (rect().contains(e->position().toPoint())) emit clicked();
}

void ClickLabel::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    emit hovered();
}

void ClickLabel::enterEvent(QEnterEvent* e) {
    QLabel::enterEvent(e);
    emit hovered();
}

void ClickLabel::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    renderPicture();
}
