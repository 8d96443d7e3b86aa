// The plot file's writer: a view as versioned JSON, each picture once and
// written as the earlier one it begins with and what it adds.
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

#include "frame/plot_file.h"
#include "render/picture_codec.h"

namespace plotfile {

namespace {

const char* kindName(picture::Kind k) {
    switch (k) {
    case picture::Kind::Dots: return "dots";
    case picture::Kind::Segments: return "segments";
    case picture::Kind::Ellipse: return "ellipse";
    case picture::Kind::Box: return "box";
    case picture::Kind::Text: return "text";
    }
    return "";
}

QString pngBase64(const QImage& img) { return QString::fromLatin1(picturecodec::encodePng(img).toBase64()); }

bool sameOp(const picture::Description& a, const picture::Op& x, const picture::Description& b, const picture::Op& y) {
    if (x.kind != y.kind || x.width != y.width || x.rgb != y.rgb || x.count != y.count || x.a != y.a || x.b != y.b ||
        x.c != y.c || x.d != y.d)
        return false;
    if (x.kind == picture::Kind::Dots || x.kind == picture::Kind::Segments) {
        const size_t n = x.pointCount();
        if (size_t(x.first) + n > a.points.size() || size_t(y.first) + n > b.points.size()) return false;
        return std::equal(a.points.begin() + x.first, a.points.begin() + x.first + n, b.points.begin() + y.first,
                          samePoint);
    }
    if (x.kind == picture::Kind::Text) {
        const bool hx = x.text >= 0 && size_t(x.text) < a.texts.size();
        const bool hy = y.text >= 0 && size_t(y.text) < b.texts.size();
        if (hx != hy) return false;
        return !hx || (a.texts[size_t(x.text)].text == b.texts[size_t(y.text)].text &&
                       a.texts[size_t(x.text)].font == b.texts[size_t(y.text)].font);
    }
    return true;
}

// How many operations `a` and `b` begin with alike: drawing goes on from a
// saved picture, and a redraw repeats the axes of the one before, so the
// pictures of one window mostly share a beginning.
size_t sharedStart(const picture::Description& a, const picture::Description& b) {
    if (a.hasBase() != b.hasBase()) return 0;
    if (a.hasBase() && (a.base.cacheKey() != b.base.cacheKey() || a.baseHigh.cacheKey() != b.baseHigh.cacheKey()))
        return 0;
    const size_t n = std::min(a.ops.size(), b.ops.size());
    size_t i = 0;
    while (i < n && sameOp(a, a.ops[i], b, b.ops[i])) ++i;
    return i;
}

// One description as written, from operation `from` on (the ones before are
// the picture it extends). Its points go in one packed block in operation
// order, its fonts in a list the text operations refer to by number.
QJsonObject descriptionJson(const picture::Description& d, size_t from) {
    QJsonObject o;
    QJsonArray ops;
    QJsonArray fonts;
    QHash<QString, int> fontIndex;
    std::vector<QPointF> points;
    for (size_t i = from; i < d.ops.size(); ++i) {
        const picture::Op& op = d.ops[i];
        QJsonArray j{QString(QLatin1Char(kindName(op.kind)[0])), int(op.rgb & 0xFFFFFF)};
        switch (op.kind) {
        case picture::Kind::Dots:
        case picture::Kind::Segments: {
            j << op.width << qint64(op.count);
            const size_t end = std::min(d.points.size(), size_t(op.first) + op.pointCount());
            if (op.first < end) points.insert(points.end(), d.points.begin() + op.first, d.points.begin() + end);
            break;
        }
        case picture::Kind::Ellipse: j << op.width << op.a << op.b << op.c << op.d; break;
        case picture::Kind::Box: j << op.a << op.b << op.c << op.d; break;
        case picture::Kind::Text:
            j << op.a << op.b;
            if (op.text >= 0 && size_t(op.text) < d.texts.size()) {
                const picture::TextItem& t = d.texts[size_t(op.text)];
                const QString font = t.font.toString();
                auto it = fontIndex.find(font);
                if (it == fontIndex.end()) {
                    it = fontIndex.insert(font, int(fonts.size()));
                    fonts.append(font);
                }
                j << t.text << *it;
            }
            break;
        }
        ops.append(j);
    }
    o[QStringLiteral("ops")] = ops;
    if (!points.empty()) o[QStringLiteral("points")] = QString::fromLatin1(picturecodec::packPoints(points).toBase64());
    if (!fonts.isEmpty()) o[QStringLiteral("fonts")] = fonts;
    if (from == 0 && d.hasBase()) {
        o[QStringLiteral("base")] = pngBase64(d.base);
        if (!d.baseHigh.isNull()) {
            // A file keeps the larger copy at one scale; a picture kept
            // sharp at a screen's own scale is stretched to it (nearest
            // pixel: its colours stay exact).
            const int side = picture::kSize * picture::kFlatScale;
            o[QStringLiteral("baseHigh")] =
                pngBase64(d.baseHigh.size() == QSize(side, side)
                              ? d.baseHigh
                              : d.baseHigh.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
    }
    return o;
}

// Every picture of a view once, smallest first, each written as the earlier
// one it begins with (if any) and what it adds.
class PictureTable {
public:
    // Registers a picture; its number in the file is known after list().
    void add(const picture::Description* d) {
        if (d && std::find(order_.begin(), order_.end(), d) == order_.end()) order_.push_back(d);
    }
    QJsonArray list() {
        std::stable_sort(order_.begin(), order_.end(), [](auto* a, auto* b) { return a->ops.size() < b->ops.size(); });
        QJsonArray out;
        for (size_t i = 0; i < order_.size(); ++i) {
            const picture::Description& d = *order_[i];
            // The earlier picture this one shares the longest beginning with.
            size_t best = 0, from = 0;
            for (size_t k = 0; k < i; ++k) {
                const size_t n = sharedStart(d, *order_[k]);
                if (n > from) {
                    best = k;
                    from = n;
                }
            }
            QJsonObject o = descriptionJson(d, from);
            if (from > 0) {
                o[QStringLiteral("extends")] = int(best);
                if (from < order_[best]->ops.size()) o[QStringLiteral("take")] = qint64(from);
            }
            out.append(o);
        }
        return out;
    }
    int indexOf(const picture::Description* d) const {
        auto it = std::find(order_.begin(), order_.end(), d);
        return d && it != order_.end() ? int(it - order_.begin()) : -1;
    }

private:
    std::vector<const picture::Description*> order_;
};

QString numberText(float v) {
    if (std::isnan(v)) return QStringLiteral("nan");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    return QString::number(double(v), 'g', 9);
}

// ---------------------------------------------------------------- curves

// The curves a picture shows, as the window knows them (its description, the
// trace, the sound): from curve `from` on, each one's text and the lengths of
// its runs, and all their points in one packed block.
QJsonObject curvesJson(const std::vector<DrawnCurve>& list, size_t from) {
    QJsonArray items;
    std::vector<QPointF> points;
    for (size_t i = from; i < list.size(); ++i) {
        QJsonArray runs;
        for (const auto& run : list[i].runs) {
            runs.append(qint64(run.size()));
            points.insert(points.end(), run.begin(), run.end());
        }
        items.append(QJsonObject{{QStringLiteral("text"), list[i].text}, {QStringLiteral("runs"), runs}});
    }
    QJsonObject o{{QStringLiteral("list"), items}};
    if (from > 0) o[QStringLiteral("first")] = qint64(from);
    if (!points.empty()) o[QStringLiteral("points")] = QString::fromLatin1(picturecodec::packPoints(points).toBase64());
    return o;
}

}  // namespace

QByteArray toJson(const View& v) {
    QJsonObject root;
    root[QStringLiteral("format")] = kFormat;
    root[QStringLiteral("version")] = kVersion;
    root[QStringLiteral("family")] = v.family;
    QJsonObject controls;
    for (const auto& [name, c] : v.controls) {
        // What a control shows when nothing is said of it is left unsaid.
        QJsonObject j;
        if (!c.text.isEmpty()) j[QStringLiteral("text")] = c.text;
        if (c.value != 0) j[QStringLiteral("value")] = c.value;
        if (c.checked) j[QStringLiteral("checked")] = true;
        if (!c.enabled) j[QStringLiteral("enabled")] = false;
        if (!c.visible) j[QStringLiteral("visible")] = false;
        controls[name] = j;
    }
    root[QStringLiteral("controls")] = controls;
    QJsonArray numbers;
    for (float n : v.numbers) numbers.append(numberText(n));
    root[QStringLiteral("numbers")] = numbers;
    root[QStringLiteral("gridOn")] = v.gridOn;
    root[QStringLiteral("overlayOn")] = v.overlayOn;
    root[QStringLiteral("overlayCount")] = v.overlayCount;

    // The canvas's own operations go in the table too: they mostly begin
    // with one of the saved pictures.
    PictureTable table;
    const Canvas::State& s = v.canvas;
    const picture::Description none;
    const picture::Description* own = s.own ? s.own.get() : &none;
    for (const picture::Description* d : {s.restore.description(), s.under.description(), v.overlay.description(), own})
        table.add(d);
    root[QStringLiteral("pictures")] = table.list();
    QJsonObject canvas;
    canvas[QStringLiteral("restore")] = table.indexOf(s.restore.description());
    canvas[QStringLiteral("under")] = table.indexOf(s.under.description());
    root[QStringLiteral("overlay")] = table.indexOf(v.overlay.description());
    canvas[QStringLiteral("own")] = table.indexOf(own);
    canvas[QStringLiteral("fore")] = int(s.fore.rgb() & 0xFFFFFF);
    canvas[QStringLiteral("penWidth")] = s.penWidth;
    canvas[QStringLiteral("fontName")] = s.fontName;
    canvas[QStringLiteral("fontSize")] = s.fontSize;
    // JSON has no infinities; a text position out there prints nothing, as 0 would not.
    canvas[QStringLiteral("currentX")] = std::isfinite(s.currentX) ? s.currentX : 1e300;
    canvas[QStringLiteral("currentY")] = std::isfinite(s.currentY) ? s.currentY : 1e300;
    root[QStringLiteral("canvas")] = canvas;
    // What the pictures show in words and points. Lists beyond what a file
    // may hold are left out: the pictures stay exact, only the words go.
    static const std::vector<DrawnCurve> noCurves;
    const std::vector<DrawnCurve>& curves = v.curves ? *v.curves : noCurves;
    const std::vector<DrawnCurve>& overlayCurves = v.overlayCurves ? *v.overlayCurves : noCurves;
    if (curvePoints(curves) + curvePoints(overlayCurves) <= kMaxPoints &&
        qsizetype(curves.size() + overlayCurves.size()) <= kMaxCurves) {
        root[QStringLiteral("curves")] = curvesJson(curves, 0);
        // The snapshot's curves mostly are the first of the picture's.
        size_t shared = 0;
        while (shared < curves.size() && shared < overlayCurves.size() &&
               sameCurve(curves[shared], overlayCurves[shared]))
            ++shared;
        root[QStringLiteral("overlayCurves")] = curvesJson(overlayCurves, shared);
    }
    root[QStringLiteral("annotations")] = v.annotations;
    root[QStringLiteral("overlayAnnotations")] = v.overlayAnnotations;
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

}  // namespace plotfile
