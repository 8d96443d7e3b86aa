#include "shell/click_label.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include "frame/accessibility.h"
#include "render/png.h"
#include "platform/platform.h"
#include "shell/shell.h"

QPixmap picturePixmap(const QString& name, const QSize& size, qreal dpr) {
    if (size.isEmpty() || !(dpr > 0)) return {};
    initShellResources();
    const QSize want = size * dpr;
    QImage image;
    for (int f = 1; f <= 3; ++f) {
        const QString file = f == 1 ? QStringLiteral(":/images/%1.png").arg(name)
                                    : QStringLiteral(":/images/%1@%2x.png").arg(name).arg(f);
        QImage candidate = png::read(file);
        if (candidate.isNull()) break;
        image = std::move(candidate);
        if (image.width() >= want.width() && image.height() >= want.height()) break;
    }
    if (image.isNull()) return {};
    // Stretched to the whole label, as the images of the windows are.
    if (image.size() != want) image = image.scaled(want, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(image);
}

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    // The driver's "get" reports the colours and font of these labels.
    setProperty("reportsLook", true);
}

void ClickLabel::setPicture(const QString& name) {
    resource_ = name;
    rendered_ = {};
    setProperty("reportsLook", false);
    if (isVisible()) renderPicture();
}

// Made when the label shows, once for each size and pixel ratio: the bar's
// hidden twins (the brighter pictures under the pointer) cost nothing until
// the pointer first comes.
void ClickLabel::renderPicture() {
    if (resource_.isEmpty()) return;
    const QSizeF at = QSizeF(size()) * devicePixelRatioF();
    if (at == rendered_) return;
    rendered_ = at;
    setPixmap(picturePixmap(resource_, size(), devicePixelRatioF()));
}

void ClickLabel::showEvent(QShowEvent* e) {
    renderPicture();
    QLabel::showEvent(e);
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
    if (auto* focused = qobject_cast<ClickLabel*>(window()->focusWidget())) focused->dropFocusMark();
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
    if (isVisible()) renderPicture();
}

void ClickLabel::makeReachable(bool link) {
    a11y::install();
    setProperty("a11yPress", link ? QStringLiteral("link") : QStringLiteral("button"));
    setFocusPolicy(Qt::TabFocus);
    // Setting the text made a plain label's interface already; the next
    // question gets the button.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void ClickLabel::activate() {
    if (!isEnabled()) return;
    emit activated();
}

void ClickLabel::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space) && !e->isAutoRepeat() &&
        (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        e->accept();
        keyFocus_ = true;
        update();
        activate();
        return;
    }
    // Anything else (the arrows) goes to the window.
    QLabel::keyPressEvent(e);
}

void ClickLabel::focusInEvent(QFocusEvent* e) {
    QLabel::focusInEvent(e);
    // The window's own first focus, or a click, shows no mark: the bar
    // looks as designed until the keyboard is used.
    const Qt::FocusReason r = e->reason();
    keyFocus_ = r == Qt::TabFocusReason || r == Qt::BacktabFocusReason || r == Qt::ShortcutFocusReason;
    update();
}

void ClickLabel::focusOutEvent(QFocusEvent* e) {
    QLabel::focusOutEvent(e);
    keyFocus_ = false;
    update();
}

void ClickLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!showsFocusMark()) return;
    // A dotted frame in the text colour on a white line, seen on every
    // background of the bar, one pixel of the window's own size.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(r);
    p.setPen(QPen(QColor(0, 0, 192), 1, Qt::DotLine));
    p.drawRect(r);
}
