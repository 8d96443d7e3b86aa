#include "render/canvas_widget.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace {
// Floating items only ever lie near the picture; a wild world value (the
// script driver can send any number) is pulled in to a harmless pixel.
QPointF tame(QPointF p) {
    auto t = [](double v) { return std::isfinite(v) ? std::clamp(v, -1e5, 1e5) : -1e5; };
    return {t(p.x()), t(p.y())};
}
}  // namespace

CanvasWidget::CanvasWidget(Canvas* canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setObjectName(QStringLiteral("Picture1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (canvas_) connect(canvas_, &Canvas::changed, this, qOverload<>(&QWidget::update));

    textBox_ = new QLineEdit(this);
    textBox_->setObjectName(QStringLiteral("Textwz"));
    textBox_->setAccessibleName(QStringLiteral("图上文字"));
    textBox_->setFont(uiFont(QStringLiteral("宋体"), 10.5));
    textBox_->resize(121, 25);
    textBox_->setMaxLength(65535);
    textBox_->hide();
    textBox_->installEventFilter(this);
}

void CanvasWidget::placeTextBox(double x, double y) {
    const QPointF p = tame(toWidget(x, y));
    textBox_->move(int(std::floor(p.x())), int(std::floor(p.y())));
}

bool CanvasWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textBox_ && event->type() == QEvent::KeyPress) {
        // A hidden box takes no typing (only a press of the text tool shows it).
        if (textBox_->isHidden()) return true;
        const int key = static_cast<QKeyEvent*>(event)->key();
        emit textKey(key);
        // Enter ends the entry; the box has nothing to do with it.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The same mapping as the canvas's, so that the widget answers even while
// no canvas is attached.
QPointF CanvasWidget::toWidget(double x, double y) const { return Canvas::mapToPixel(x, y) + QPointF(kFrame, kFrame); }

QPointF CanvasWidget::worldOf(const QPointF& p) const { return Canvas::mapToWorld(p.x() - kFrame, p.y() - kFrame); }

void CanvasWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintAt(p, devicePixelRatioF());
    if (!hasFocus()) return;
    // The keyboard focus (the canvas takes it only by Tab; QWidget repaints
    // when it comes and goes) shows as a dotted frame just inside the
    // picture's edge, over the picture and never in it, so nothing saved,
    // copied or printed carries it. Black dots on a white line read on any
    // background.
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect mark(kFrame + 1, kFrame + 1, Canvas::kSize - 3, Canvas::kSize - 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.drawRect(mark);
    p.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    p.drawRect(mark);
}

void CanvasWidget::paintAt(QPainter& p, double dpr) {
    // Sunken 3-D frame: dark grey and black outside, white and light grey
    // inside. Each line is a filled band one window pixel wide, so at any
    // scale it covers whole device pixels and meets the picture without a
    // seam (a stroked line at 150 % left a row of window colour between).
    const int w = width(), h = height();
    p.fillRect(QRect(0, 0, w, h), QColor(128, 128, 128));
    p.fillRect(QRect(0, h - 1, w, 1), QColor(255, 255, 255));
    p.fillRect(QRect(w - 1, 0, 1, h), QColor(255, 255, 255));
    p.fillRect(QRect(1, 1, w - 2, h - 2), QColor(64, 64, 64));
    p.fillRect(QRect(1, h - 2, w - 2, 1), QColor(212, 208, 200));
    p.fillRect(QRect(w - 2, 1, 1, h - 2), QColor(212, 208, 200));
    if (canvas_) {
        // On a dense screen the picture is painted at the device's own
        // resolution (lines and dots thicker by the ratio, text at full
        // size), never a stretched copy of the 396-pixel bitmap.
        if (dpr == 1) {
            p.drawImage(kFrame, kFrame, canvas_->image());
        } else {
            const int side = picture::sideAt(dpr);
            if (sharpOf_ != canvas_) sharpState_ = Canvas::Painted();
            if (sharpOf_ != canvas_ || sharpRevision_ != canvas_->revision() || sharp_.width() != side) {
                canvas_->update(sharp_, dpr, sharpState_);
                sharp_.setDevicePixelRatio(double(sharp_.width()) / Canvas::kSize);
                sharpOf_ = canvas_;
                sharpRevision_ = canvas_->revision();
            }
            p.drawImage(QPointF(kFrame, kFrame), sharp_);
        }
    }

    p.setClipRect(QRect(kFrame, kFrame, Canvas::kSize, Canvas::kSize));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const FloatingLine* l : {&linex, &liney, &line1}) {
        if (!l->visible) continue;
        p.setPen(QPen(l->color, 1));
        p.drawLine(QLineF(tame(toWidget(l->world.x1(), l->world.y1())), tame(toWidget(l->world.x2(), l->world.y2()))));
    }
    for (const FloatingShape* s : {&shape1, &shape2}) {
        if (!s->visible) continue;
        const QPointF tl = tame(toWidget(s->topLeft.x(), s->topLeft.y()));
        const QPointF extent = s->pixelSize.isEmpty() ? tame(QPointF(s->worldSize.width() * Canvas::kSize / 22.0,
                                                                     s->worldSize.height() * Canvas::kSize / 22.0))
                                                      : QPointF(s->pixelSize.width(), s->pixelSize.height());
        const QSizeF size(std::fabs(extent.x()), std::fabs(extent.y()));
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
