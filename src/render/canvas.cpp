#include "render/canvas.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "numfmt/numfmt.h"
#include "platform/platform.h"

Canvas::Canvas(QObject* parent) : QObject(parent), img_(kSize, kSize, QImage::Format_RGB32) { img_.fill(Qt::white); }

Canvas::~Canvas() = default;

QPoint Canvas::pixelAt(double x, double y) const {
    const QPointF p = toPixel(x, y);
    auto clampInt = [](double v) { return int(std::clamp(std::floor(v), -1e6, 1e6)); };
    return {clampInt(p.x()), clampInt(p.y())};
}

picture::Raster& Canvas::live() const {
    if (!live_) live_ = std::make_unique<picture::Raster>(img_, 1.0);
    return *live_;
}

const QImage& Canvas::image() const {
    if (live_) live_->endPainter();
    return img_;
}

void Canvas::touch() {
    ++revision_;
    keepBounded();
    emit changed();
}

picture::Description& Canvas::mine() {
    if (own_.use_count() > 1) own_ = std::make_shared<picture::Description>(*own_);
    return *own_;
}

void Canvas::paintBackground() {
    live().endPainter();
    if (own_.use_count() > 1) {
        // A state still holds the old one: start a new one of its size.
        auto fresh = std::make_shared<picture::Description>();
        fresh->points.reserve(own_->points.size());
        fresh->ops.reserve(own_->ops.size());
        own_ = std::move(fresh);
    } else {
        own_->clear();
    }
    ++generation_;
    under_ = restore_;
    if (restore_.isNull()) {
        img_.fill(Qt::white);
        return;
    }
    // A straight copy of the saved rows.
    const QImage& src = restore_.image();
    uchar* bits = img_.bits();
    const qsizetype bpl = img_.bytesPerLine();
    for (int y = 0; y < kSize; ++y) std::memcpy(bits + y * bpl, src.constScanLine(y), size_t(kSize) * sizeof(QRgb));
}

void Canvas::clear() {
    paintBackground();
    currentX = currentY = 0;
    touch();
}

void Canvas::setBackground(const Picture& picture) {
    restore_ = picture.image().size() == QSize(kSize, kSize) ? picture : Picture();
    paintBackground();
    touch();
}

void Canvas::removeBackground() { restore_ = Picture(); }

QImage Canvas::snapshot() const { return image().copy(); }

Picture Canvas::picture() const {
    auto d = std::make_shared<picture::Description>();
    if (own_->hasBase() || under_.isNull()) {
        *d = *own_;
    } else {
        *d = *under_.description();
        d->append(*own_);
    }
    const QImage exact = image().copy();
    if (d->weight() > kBudget) {
        QImage high(kSize * picture::kFlatScale, kSize * picture::kFlatScale, QImage::Format_RGB32);
        {
            picture::Raster r(high, picture::kFlatScale);
            r.paint(*d);
        }
        d->clear();
        d->base = exact;
        d->baseHigh = high;
    }
    return Picture(std::move(d), exact);
}

void Canvas::keepBounded() {
    if (own_->weight() <= kBudget) return;
    // Everything drawn so far becomes the base: exact at scale 1, and kept
    // at a fixed larger scale for sharper output than the bitmap.
    QImage high = render(picture::kFlatScale);
    auto flat = std::make_shared<picture::Description>();
    flat->base = image().copy();
    flat->baseHigh = high;
    own_ = std::move(flat);
    under_ = Picture();
    ++generation_;
}

size_t Canvas::descriptionWeight() const {
    return own_->weight() + (!under_.isNull() && !own_->hasBase() ? under_.description()->weight() : 0);
}

Canvas::State Canvas::state() const {
    return State{restore_, under_, own_, fore_, penWidth_, fontName_, fontSize_, currentX, currentY};
}

void Canvas::setState(const State& s) {
    // Only whole pictures of this canvas's size are taken.
    auto sane = [](const Picture& p) {
        return p.description() && p.image().size() == QSize(kSize, kSize) ? p : Picture();
    };
    restore_ = sane(s.restore);
    under_ = sane(s.under);
    // A copy: what the state holds stays as it is whatever is drawn next.
    own_ = s.own ? std::make_shared<picture::Description>(*s.own) : std::make_shared<picture::Description>();
    fore_ = s.fore;
    setDrawWidth(s.penWidth);
    fontName_ = s.fontName;
    fontSize_ = s.fontSize;
    currentX = s.currentX;
    currentY = s.currentY;
    ++generation_;
    // The same pixels as when it was drawn: the picture under the operations
    // as it was kept, then the operations in order.
    picture::Raster& r = live();
    if (own_->hasBase() || under_.isNull()) {
        r.paint(*own_);
    } else {
        r.endPainter();
        const QImage& src = under_.image();
        uchar* bits = img_.bits();
        const qsizetype bpl = img_.bytesPerLine();
        for (int y = 0; y < kSize; ++y) std::memcpy(bits + y * bpl, src.constScanLine(y), size_t(kSize) * sizeof(QRgb));
        r.paintOps(*own_);
    }
    ++revision_;
    emit changed();
}

QImage Canvas::render(double scale) const {
    QImage out;
    renderInto(out, scale);
    return out;
}

void Canvas::renderInto(QImage& img, double scale) const {
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    const int side = picture::sideAt(scale);
    if (side == kSize) {
        img = image();
        return;
    }
    const double s = double(side) / kSize;
    // Pixels of the right size are painted over (a copy still shared with
    // someone else is left to them); a painter on an image with a pixel
    // ratio would scale once more.
    if (img.width() != side || img.height() != side || img.format() != QImage::Format_RGB32 || !img.isDetached())
        img = QImage(side, side, QImage::Format_RGB32);
    const qreal ratio = img.devicePixelRatio();
    img.setDevicePixelRatio(1);
    if (own_->hasBase() || under_.isNull()) {
        picture::Raster r(img, s);
        r.paint(*own_);
    } else {
        // The saved picture under a preview rarely changes while the curve
        // over it does (a slider in overlay mode): keep it painted at this size.
        if (underCacheOf_ != under_.shared() || underCache_.width() != side) {
            if (underCache_.width() != side || !underCache_.isDetached())
                underCache_ = QImage(side, side, QImage::Format_RGB32);
            picture::Raster r(underCache_, s);
            r.paint(*under_.description());
            underCacheOf_ = under_.shared();
        }
        const qsizetype bytes = std::min(img.sizeInBytes(), underCache_.sizeInBytes());
        std::memcpy(img.bits(), underCache_.constBits(), size_t(bytes));
        picture::Raster r(img, s);
        r.paintOps(*own_);
    }
    img.setDevicePixelRatio(ratio);
}

void Canvas::update(QImage& img, double scale, Painted& state) const {
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    const int side = picture::sideAt(scale);
    if (state.generation != generation_ || img.width() != side || img.height() != side ||
        state.ops > own_->ops.size()) {
        if (side == kSize) img = image().copy();
        else renderInto(img, scale);
    } else if (state.ops < own_->ops.size() || (state.ops && own_->ops[state.ops - 1].kind != picture::Kind::Text)) {
        // The last operation painted may have grown since (a stroke's
        // segments, a curve's dots share one); painting it again changes
        // nothing already there. A text is never painted twice: its edges
        // are blended.
        size_t from = state.ops;
        if (from && own_->ops[from - 1].kind != picture::Kind::Text) --from;
        // A painter on an image with a pixel ratio would scale once more.
        const qreal ratio = img.devicePixelRatio();
        img.setDevicePixelRatio(1);
        {
            picture::Raster r(img, double(side) / kSize);
            r.paintOps(*own_, from);
        }
        img.setDevicePixelRatio(ratio);
    }
    state.generation = generation_;
    state.ops = own_->ops.size();
}

void Canvas::line(double x1, double y1, double x2, double y2) { line(x1, y1, x2, y2, fore_); }

void Canvas::line(double x1, double y1, double x2, double y2, QColor c) {
    if (collecting_) collectSegment({x1, y1}, {x2, y2});
    const QPointF a = toPixel(x1, y1), b = toPixel(x2, y2);
    const QRgb rgb = c.rgb();
    mine().addSegment(a.x(), a.y(), b.x(), b.y(), rgb, penWidth_);
    live().segment(a.x(), a.y(), b.x(), b.y(), rgb, penWidth_);
    touch();
}

void Canvas::lines(const std::vector<QLineF>& segments) {
    const QRgb rgb = fore_.rgb();
    picture::Raster& r = live();
    if (collecting_) collectSegments(segments);
    for (const QLineF& s : segments) {
        const QPointF a = toPixel(s.x1(), s.y1()), b = toPixel(s.x2(), s.y2());
        mine().addSegment(a.x(), a.y(), b.x(), b.y(), rgb, penWidth_);
        r.segment(a.x(), a.y(), b.x(), b.y(), rgb, penWidth_);
    }
    touch();
}

void Canvas::point(double x, double y) { point(x, y, fore_); }

void Canvas::point(double x, double y, QColor c) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (collecting_) collectDot({x, y});
    const QPointF at = toPixel(x, y);
    mine().addDot(at.x(), at.y(), c.rgb(), penWidth_);
    live().dots(&at, 1, c.rgb(), penWidth_);
    touch();
}

void Canvas::points(const std::vector<QPointF>& pts) {
    const QRgb rgb = fore_.rgb();
    const double sx = double(kSize) / (kRight - kLeft), sy = double(kSize) / (kTop - kBottom);
    const double w = kSize, h = kSize;
    picture::Description& d = mine();
    const size_t from = d.points.size();
    // The dots inside the picture, for the curve's runs: a buffer kept from
    // one curve to the next, as fresh memory costs a page fault every 4 KB.
    std::vector<QPointF>& kept = keptDots_;
    kept.clear();
    if (collecting_) kept.reserve(pts.size());
    for (const QPointF& q : pts) {
        // The same mapping as pixelAt(), inlined: a curve has thousands of dots.
        const double px = (q.x() - kLeft) * sx, py = (kTop - q.y()) * sy;
        if (!(px > -2 && px < w + 2 && py > -2 && py < h + 2)) continue;  // also drops NaN
        if (collecting_) kept.push_back(q);
        d.points.emplace_back(px, py);
    }
    if (collecting_) collectDots(kept);
    d.markDots(from, rgb, penWidth_);
    if (d.points.size() > from) live().dots(d.points.data() + from, d.points.size() - from, rgb, penWidth_);
    touch();
}

void Canvas::circle(double x, double y, double r, double aspect) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(r) || !std::isfinite(aspect)) return;
    r = std::fabs(r);
    // Radius is the larger semi-axis: horizontal when aspect < 1, else vertical.
    double rx = r, ry = r;
    if (aspect < 1) ry = r * std::fabs(aspect);
    else if (aspect > 1) rx = r / aspect;
    const double sx = double(kSize) / (kRight - kLeft), sy = double(kSize) / (kTop - kBottom);
    const QPointF c = toPixel(x, y);
    // Far outside the picture nothing would show; keep the painter's numbers sane.
    if (std::fabs(c.x()) > 1e6 || std::fabs(c.y()) > 1e6 || rx * sx > 1e6 || ry * sy > 1e6) return;
    mine().addEllipse(c, rx * sx, ry * sy, fore_.rgb(), penWidth_);
    live().ellipse(c, rx * sx, ry * sy, fore_.rgb(), penWidth_);
    touch();
}

void Canvas::box(double x1, double y1, double x2, double y2, QColor c) {
    const QPointF a = toPixel(x1, y1), b = toPixel(x2, y2);
    auto cl = [](double v, int hi) { return int(std::clamp(std::floor(v), 0.0, double(hi))); };
    const int xa = cl(std::min(a.x(), b.x()), kSize), xb = cl(std::max(a.x(), b.x()), kSize);
    const int ya = cl(std::min(a.y(), b.y()), kSize), yb = cl(std::max(a.y(), b.y()), kSize);
    if (xa < xb && ya < yb) {
        mine().addBox(xa, ya, xb, yb, c.rgb());
        live().box(xa, ya, xb, yb, c.rgb());
    }
    touch();
}

QFont Canvas::currentFont() const { return uiFont(fontName_, fontSize_); }

void Canvas::print(const QString& text) {
    if (text.isEmpty() || !std::isfinite(currentX) || !std::isfinite(currentY)) return;
    const QPointF at = toPixel(currentX, currentY);
    if (std::fabs(at.x()) > 1e5 || std::fabs(at.y()) > 1e5) return;
    const QFont font = currentFont();
    const QFontMetrics fm(font);
    // Long texts are cut: nothing beyond the canvas width can show anyway.
    const QString shown = text.left(2000);
    const QPointF baseline(at.x(), at.y() + fm.ascent());
    mine().addText(baseline, shown, font, fore_.rgb());
    live().text(baseline, shown, font, fore_.rgb());
    touch();
}

void Canvas::printNumber(float v) { print(numfmt::printForm(v)); }

void Canvas::startCollecting() {
    collecting_ = true;
    collected_.clear();
    collectedCount_ = 0;
}

std::vector<std::vector<QPointF>> Canvas::takeCollected() {
    collecting_ = false;
    return std::exchange(collected_, {});
}

namespace {
// Dots closer than this (world units) belong to one run: a curve sampled
// every 0.01 stays one run until it leaves the picture or breaks.
constexpr double kJoin = 0.3;
// A curve has at most a few thousand samples; a window that draws far more
// keeps only the first ones in words.
constexpr size_t kMaxCollected = 200000;
bool near(QPointF a, QPointF b) { return std::abs(a.x() - b.x()) < kJoin && std::abs(a.y() - b.y()) < kJoin; }
// The same point again, exactly: QPointF's own comparison is a relative
// fuzzy one, several times the cost on a curve's twenty thousand dots, and a
// point a rounding away from the last one is a point of its own.
bool same(QPointF a, QPointF b) { return a.x() == b.x() && a.y() == b.y(); }
}  // namespace

namespace {
bool finite(const QLineF& s) {
    return std::isfinite(s.x1()) && std::isfinite(s.y1()) && std::isfinite(s.x2()) && std::isfinite(s.y2());
}
}  // namespace

// As collectSegment() for each segment in turn, a stretch of segments each
// starting where the last one ended at a time (a curve's thousands of them).
void Canvas::collectSegments(const std::vector<QLineF>& segments) {
    size_t i = 0;
    while (i < segments.size()) {
        if (collected_.size() > 4096 || collectedCount_ > kMaxCollected) return;
        if (!finite(segments[i])) {
            ++i;
            continue;
        }
        const QPointF a = segments[i].p1();
        if (collected_.empty() || !same(collected_.back().back(), a)) collected_.push_back({a});
        // One by one, a segment is taken while the count before it is
        // within the limit; each adds two.
        // A run begun past the limit on runs takes just this one.
        const size_t room = collected_.size() > 4096 ? 1 : (kMaxCollected - collectedCount_) / 2 + 1;
        size_t end = i + 1;
        while (end < segments.size() && end - i < room && finite(segments[end]) &&
               same(segments[end].p1(), segments[end - 1].p2()))
            ++end;
        std::vector<QPointF>& run = collected_.back();
        if (run.capacity() < run.size() + (end - i)) run.reserve(std::max(run.size() + (end - i), 2 * run.capacity()));
        collectedCount_ += 2 * (end - i);
        for (; i < end; ++i) run.push_back(segments[i].p2());
    }
}

void Canvas::collectSegment(QPointF a, QPointF b) {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y())) return;
    if (collected_.size() > 4096 || collectedCount_ > kMaxCollected) return;
    if (collected_.empty() || !same(collected_.back().back(), a)) collected_.push_back({a});
    collected_.back().push_back(b);
    collectedCount_ += 2;
}

// As collectDot() for each point in turn, a stretch of near points at a
// time: a curve of dots brings tens of thousands.
void Canvas::collectDots(const std::vector<QPointF>& pts) {
    size_t i = 0;
    while (i < pts.size()) {
        if (collected_.size() > 4096 || collectedCount_ > kMaxCollected) return;
        if (collected_.empty() || !near(collected_.back().back(), pts[i])) {
            collected_.push_back({pts[i]});
            ++collectedCount_;
            ++i;
            continue;
        }
        // How far the points stay near each other, within the limit.
        size_t end = i + 1;
        const size_t room = kMaxCollected + 1 - collectedCount_;
        while (end < pts.size() && end - i < room && near(pts[end - 1], pts[end])) ++end;
        std::vector<QPointF>& run = collected_.back();
        if (run.capacity() < run.size() + (end - i)) run.reserve(std::max(run.size() + (end - i), 2 * run.capacity()));
        collectedCount_ += end - i;
        QPointF last = run.back();
        for (; i < end; ++i) {
            if (!same(pts[i], last)) run.push_back(pts[i]);
            last = pts[i];
        }
    }
}

void Canvas::collectDot(QPointF p) {
    if (collected_.size() > 4096 || collectedCount_ > kMaxCollected) return;
    if (collected_.empty() || !near(collected_.back().back(), p)) collected_.push_back({p});
    else if (!same(collected_.back().back(), p)) collected_.back().push_back(p);
    ++collectedCount_;
}
