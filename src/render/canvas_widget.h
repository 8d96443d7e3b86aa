#pragma once
// The canvas control Picture1: shows a Canvas's picture inside a 2-pixel
// sunken frame, turns mouse events into world coordinates, and draws the
// floating items (crosshair, rubber bands, eraser square, the text box
// Textwz) on top of the picture without ever touching it.
#include <QColor>
#include <QLineF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include "render/canvas.h"

struct FloatingLine {
    bool visible = false;
    QLineF world;  // end points in world units
    QColor color{0, 0, 0};
};

struct FloatingShape {
    bool visible = false;
    bool oval = false;  // oval inscribed in the rectangle, else the rectangle
    QPointF topLeft;    // world
    QSizeF worldSize;   // world width, height (used when pixelSize is empty)
    QSize pixelSize;    // fixed pixel size (the eraser's 9 x 9), if set
    QColor color{0, 0, 0};
};

class QLineEdit;

class QPainter;
class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrame = 2;
    // Shows canvas (owned elsewhere, usually by the same window); a canvas
    // that goes first leaves an empty frame, never a dangling picture.
    explicit CanvasWidget(Canvas* canvas, QWidget* parent = nullptr);

    Canvas* canvas() const { return canvas_; }

    // Floating items; change them, then call update().
    FloatingLine linex, liney, line1;  // crosshair lines, line tool's rubber band
    FloatingShape shape1, shape2;      // eraser square, ellipse tool's rubber band

    // World point -> widget pixel (including the frame).
    QPointF toWidget(double x, double y) const;
    // Paints what the screen shows (frame, picture, floating items) for a
    // device pixel ratio of dpr; the widget's own painting uses its screen's.
    void paintAt(QPainter& p, double dpr);

    // The text tool's entry box Textwz, a child of the canvas; hidden until
    // the text tool presses on the canvas.
    QLineEdit* textBox() const { return textBox_; }
    // Puts the text box's top-left corner on the world point.
    void placeTextBox(double x, double y);

    // Mouse handlers with world coordinates; the real mouse and the script
    // driver both come in here.
    void mousePress(Qt::MouseButton b, double x, double y);
    void mouseMove(Qt::MouseButtons b, double x, double y);
    void mouseRelease(Qt::MouseButton b, double x, double y);
    void mouseDoubleClick();

signals:
    void pressed(Qt::MouseButton button, double x, double y);
    void moved(Qt::MouseButtons buttons, double x, double y);
    void released(Qt::MouseButton button, double x, double y);
    void doubleClicked();
    // A key press into Textwz, before the box itself handles it.
    void textKey(int key);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointF worldOf(const QPointF& widgetPos) const;
    QPointer<Canvas> canvas_;
    QLineEdit* textBox_ = nullptr;
    // The picture painted at the screen's device pixel ratio, and what it shows.
    QImage sharp_;
    Canvas::Painted sharpState_;
    quint64 sharpRevision_ = ~quint64(0);
    const Canvas* sharpOf_ = nullptr;
};
