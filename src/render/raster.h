#pragma once
// The software rasteriser: paints a picture's description onto an image at
// a scale, writing pixels directly for dots, lines and boxes and through a
// painter for ellipses and text.
#include <QImage>
#include <QPointF>
#include <QString>

#include "render/picture.h"

class QFont;
class QPainter;

namespace picture {

// Paints operations onto a raster image at a scale, writing pixels directly
// for dots, lines and boxes (the curves are thousands of dots) and through a
// painter for ellipses and text. At scale 1 this is the canvas's own drawing.
class Raster {
public:
    // target: the picture's square at this scale (at least kSize * scale a side).
    Raster(QImage& target, double scale);
    ~Raster();
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;

    // The whole description: its base (or white), then its operations.
    void paint(const Description& d);
    // Operations only, from index `from` on.
    void paintOps(const Description& d, size_t from = 0);
    void paintOp(const Description& d, const Op& op);
    // Ends the painter that ellipses and texts use, so that direct writes may follow.
    void endPainter();

    // Integer pixel operations, also used by the canvas while it draws.
    void dots(const QPointF* pts, size_t n, QRgb rgb, int width);
    void segment(double x1, double y1, double x2, double y2, QRgb rgb, int width);
    void box(int x0, int y0, int x1, int y1, QRgb rgb);
    void ellipse(QPointF centre, double rx, double ry, QRgb rgb, int width);
    void text(QPointF baseline, const QString& text, const QFont& font, QRgb rgb);
    void fillWhite();
    void drawBase(const Description& d);

private:
    void begin();
    QRgb* row(int y) { return reinterpret_cast<QRgb*>(bits_ + qsizetype(y) * bpl_); }
    void plotDot(int cx, int cy, QRgb rgb, int w);
    int scaled(int width) const;

    QImage& img_;
    double s_;
    uchar* bits_ = nullptr;
    qsizetype bpl_ = 0;
    int W_ = 0, H_ = 0;
    QPainter* painter_ = nullptr;
};

}  // namespace picture
