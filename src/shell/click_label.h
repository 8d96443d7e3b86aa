#pragma once
// A label or picture that behaves like a link: it reports a press, a click
// (release over it) and the pointer passing over it, so the windows can change
// its look as the pointer moves. Pictures are shown at the label's size from
// the sharpest rendering the screen can use.
#include <QLabel>
#include <QSizeF>
#include <QString>

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

    // Shows the picture (a name such as "help"), stretched to the label.
    void setPicture(const QString& name);

    // Text colour, background (invalid = transparent), and font style.
    void setLook(const QColor& fore, const QColor& back = QColor());
    void setFontStyle(double points, bool bold, bool italic);
    void setItalic(bool italic);

    // Makes the label reachable without a mouse: it takes the focus by Tab
    // (a mouse click leaves the focus alone), Enter and Space activate it,
    // and assistive technology sees a button (or a link) with a Press
    // action, named by the label's text or else its tooltip.
    void makeReachable(bool link = false);
    // Whether the focus mark is shown: only while the label has the focus
    // and the keyboard brought it there.
    bool showsFocusMark() const { return keyFocus_ && hasFocus(); }
    // The mouse is in use again: the mark goes until the keyboard is.
    void dropFocusMark() {
        keyFocus_ = false;
        update();
    }

public slots:
    // The keyboard's or assistive technology's click.
    void activate();

signals:
    void pressed();
    void clicked();
    void hovered();
    void activated();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void renderPicture();
    QString resource_;
    QSizeF rendered_;  // the device size of the picture shown
    bool down_ = false;
    bool keyFocus_ = false;
};

// One of the program's pictures (resources/images, rendered at build time at
// 1x, 2x and 3x its size) as a pixmap of the given size for a screen of the
// given pixel ratio: the smallest rendering with enough pixels (else the
// largest), scaled smoothly where the size differs. A null pixmap when there
// is no such picture.
class QPixmap;
class QSize;
QPixmap picturePixmap(const QString& name, const QSize& size, qreal dpr = 1.0);
