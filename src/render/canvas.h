#pragma once
// The picture of a plot window with its world coordinates and its drawing
// state. Every drawing operation takes world coordinates; the one mapping
// function toPixel() is shared by drawing, the pointer and the tests.
//
// Each operation is kept as a description (see picture.h) and drawn at once
// into the picture at scale 1, so that the bitmap the windows save, copy and
// probe is exact and immediate, while the same picture can be painted sharp
// at any other scale.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QString>
#include <memory>
#include <vector>

#include "render/picture.h"
#include "render/raster.h"

// A QObject so that its window owns it like any other child, and so that
// whoever shows it learns of changes through a signal rather than a callback
// that could outlive the one it calls.
class Canvas : public QObject {
    Q_OBJECT
public:
    // The drawable area of the 400 x 400 canvas inside its 2-pixel frame:
    // 396 / 22 gives exactly 18 pixels per world unit.
    static constexpr int kSize = picture::kSize;
    static constexpr double kLeft = -11, kRight = 11, kTop = 11, kBottom = -11;
    // What the operations since the last clear may hold before the oldest
    // part is flattened into pixels (a long freehand session).
    static constexpr size_t kBudget = size_t(8) << 20;

    explicit Canvas(QObject* parent = nullptr);
    ~Canvas() override;

    int width() const { return kSize; }
    int height() const { return kSize; }

    // World -> pixel position (fractional) and back.
    static QPointF mapToPixel(double x, double y) {
        return {(x - kLeft) * kSize / (kRight - kLeft), (kTop - y) * kSize / (kTop - kBottom)};
    }
    static QPointF mapToWorld(double px, double py) {
        return {kLeft + px * (kRight - kLeft) / kSize, kTop - py * (kTop - kBottom) / kSize};
    }
    QPointF toPixel(double x, double y) const { return mapToPixel(x, y); }
    QPointF toWorld(double px, double py) const { return mapToWorld(px, py); }
    // The pixel that holds world (x, y); may lie outside the image.
    QPoint pixelAt(double x, double y) const;

    // --- operations ---
    void clear();                                // erase drawing; background stays; CurrentX/Y := 0
    void setBackground(const Picture& picture);  // replaces all content by the picture
    void removeBackground();
    bool hasBackground() const { return !restore_.isNull(); }
    QImage snapshot() const;  // current content as an image (scale 1)
    Picture picture() const;  // current content as a saved description

    void line(double x1, double y1, double x2, double y2);
    void line(double x1, double y1, double x2, double y2, QColor c);
    // Many segments at once (x1, y1, x2, y2 per entry), foreground colour.
    void lines(const std::vector<QLineF>& segments);
    void point(double x, double y);
    void point(double x, double y, QColor c);
    // Many dots at once in the foreground colour.
    void points(const std::vector<QPointF>& pts);
    // Outline circle of radius r (world x units); aspect = vertical/horizontal
    // semi-axis ratio, so aspect != 1 gives an ellipse.
    void circle(double x, double y, double r, double aspect = 1.0);
    // Filled box between two world corners.
    void box(double x1, double y1, double x2, double y2, QColor c);
    // Text with its top-left corner at (CurrentX, CurrentY), transparent background.
    void print(const QString& text);
    // A number printed the way print text writes numbers (" 5 ", "-5 ").
    void printNumber(float v);

    // While collecting, the world points of every line and dot drawn are
    // kept too, in drawing order, as the runs they form (a curve's samples:
    // what a screen reader's description and the keyboard trace walk on).
    void startCollecting();
    std::vector<std::vector<QPointF>> takeCollected();

    // --- drawing state ---
    QColor foreColor() const { return fore_; }
    void setForeColor(QColor c) { fore_ = c; }
    int drawWidth() const { return penWidth_; }
    void setDrawWidth(int w) { penWidth_ = w < 1 ? 1 : (w > 64 ? 64 : w); }
    QString fontName() const { return fontName_; }
    void setFontName(const QString& n) { fontName_ = n; }
    double fontSize() const { return fontSize_; }
    void setFontSize(double pt) { fontSize_ = pt; }
    double currentX = 0, currentY = 0;

    // The picture as it stands at scale 1 (saved, copied, probed).
    const QImage& image() const;
    // The picture painted at scale (the side is kSize * scale, capped); at
    // scale 1 exactly image().
    QImage render(double scale) const;
    // The same into img, whose pixels are reused when it already has the
    // size (a picture painted afresh many times a second, an animation's
    // frames, then costs no new memory each time).
    void renderInto(QImage& img, double scale) const;
    // Where an image painted by update() stands.
    struct Painted {
        quint64 generation = ~quint64(0);
        size_t ops = 0;
    };
    // Brings img, painted at scale by earlier calls, up to date: only what
    // was drawn since is painted when nothing was cleared in between (a
    // freehand stroke on a dense screen), else all of it.
    void update(QImage& img, double scale, Painted& state) const;
    // Bytes the description holds (bounded: a clear drops what it covers).
    size_t descriptionWeight() const;

    // The picture and the drawing state as one value: what undo, plot files
    // and recovery keep. The pictures in it are shared, never copied; the
    // operations since the last clear are copied once per change.
    struct State {
        Picture restore;                                  // what a clear puts back
        Picture under;                                    // under the operations since the last clear
        std::shared_ptr<const picture::Description> own;  // the operations since the last clear
        QColor fore{0, 0, 0};
        int penWidth = 2;
        QString fontName = QStringLiteral("宋体");
        double fontSize = 9;
        double currentX = 0, currentY = 0;
    };
    State state() const;
    // Puts a state back: the picture is painted from it exactly as it was.
    void setState(const State& s);
    // Incremented on every change so that a widget knows when to repaint.
    quint64 revision() const { return revision_; }

signals:
    // After every change (the widget schedules a repaint).
    void changed();

private:
    void touch();
    void paintBackground();  // the background picture, or white
    picture::Raster& live() const;
    QFont currentFont() const;
    // Keeps the description within the budget by flattening it.
    void keepBounded();

    mutable QImage img_;
    mutable std::unique_ptr<picture::Raster> live_;  // draws into img_ at scale 1
    // What was drawn since the last clear. Shared with the states handed
    // out (the history keeps one a click), copied only when drawn on while
    // one of them still holds it: a redraw starts a fresh one instead.
    std::shared_ptr<picture::Description> own_ = std::make_shared<picture::Description>();
    picture::Description& mine();
    Picture under_;    // under own_ unless own_ has a base
    Picture restore_;  // what a clear puts back
    // The part under the operations, painted at the last scale asked for.
    mutable QImage underCache_;
    mutable std::shared_ptr<const picture::Description> underCacheOf_;

    QColor fore_{0, 0, 0};
    int penWidth_ = 2;
    QString fontName_ = QStringLiteral("宋体");
    double fontSize_ = 9;
    quint64 revision_ = 0;
    bool collecting_ = false;
    size_t collectedCount_ = 0;
    std::vector<std::vector<QPointF>> collected_;
    std::vector<QPointF> keptDots_;  // Canvas::points's buffer
    void collectSegment(QPointF a, QPointF b);
    void collectSegments(const std::vector<QLineF>& segments);
    void collectDot(QPointF p);
    void collectDots(const std::vector<QPointF>& pts);
    quint64 generation_ = 0;  // changes whenever what is drawn starts afresh
};
