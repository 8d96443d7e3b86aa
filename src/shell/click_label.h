#pragma once
// A label or picture that behaves like a link: it reports a press, a click
// (release over it) and the pointer passing over it, so the windows can change
// its look as the pointer moves. Pictures are drawn from vector images at the
// label's size, so stretched images stay crisp.
#include <QLabel>
#include <QString>

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

    // Shows the vector image (a resource path such as ":/shell/help.svg"),
    // stretched to the label.
    void setPicture(const QString& resource);

    // Text colour, background (invalid = transparent), and font style.
    void setLook(const QColor& fore, const QColor& back = QColor());
    void setFontStyle(double points, bool bold, bool italic);
    void setItalic(bool italic);

signals:
    void pressed();
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void renderPicture();
    QString resource_;
    bool down_ = false;
};

// Renders a vector image from the resources into a pixmap of the given size
// (a null pixmap when the resource is missing).
class QPixmap;
class QSize;
QPixmap vectorPixmap(const QString& resource, const QSize& size, qreal dpr = 1.0);
