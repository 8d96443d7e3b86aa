#include "frame/plot_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "frame/family_manager.h"
#include "render/raster.h"

namespace plotfile {

// Points packed for a file: all x, then all y, each stored as the difference
// of its bit pattern from the one before, the bytes then regrouped by
// position (every lowest byte, then every next one...). Neighbouring values
// of a curve share their high bytes, so most of the regrouped block is long
// runs that compress to almost nothing. The windows compute in single
// precision: when every value is exactly a float, four bytes each are kept
// instead of eight (the first byte of the block says which).
namespace {
bool allSingle(const std::vector<QPointF>& points) {
    for (const QPointF& p : points) {
        const float x = float(p.x()), y = float(p.y());
        if (double(x) != p.x() || double(y) != p.y() || std::signbit(x) != std::signbit(p.x()) ||
            std::signbit(y) != std::signbit(p.y()))
            return false;
    }
    return true;
}
}  // namespace

QByteArray packPoints(const std::vector<QPointF>& points) {
    const size_t n = points.size() * 2;
    const int width = allSingle(points) ? 4 : 8;
    std::vector<quint64> values(n);
    quint64 previous = 0;
    for (size_t i = 0; i < n; ++i) {
        const QPointF& p = points[i % points.size()];
        const double v = i < points.size() ? p.x() : p.y();
        quint64 bits;
        if (width == 4) {
            const float f = float(v);
            quint32 b32;
            std::memcpy(&b32, &f, 4);
            bits = b32;
        } else {
            std::memcpy(&bits, &v, 8);
        }
        values[i] = bits - previous;
        previous = bits;
    }
    QByteArray planes(1 + qsizetype(n) * width, Qt::Uninitialized);
    uchar* out = reinterpret_cast<uchar*>(planes.data());
    *out++ = uchar(width);
    for (int b = 0; b < width; ++b)
        for (size_t i = 0; i < n; ++i) *out++ = uchar(values[i] >> (8 * b));
    return qCompress(planes, 9);
}

bool unpackPoints(const QByteArray& packed, qsizetype count, std::vector<QPointF>& out) {
    if (count < 0 || count > (qsizetype(1) << 40) / 16 || packed.size() < 4) return false;
    // The first four bytes claim the unpacked size: checked before anything is unpacked.
    const quint32 claimed = qFromBigEndian<quint32>(packed.constData());
    if (quint64(claimed) != 1 + quint64(count) * 16 && quint64(claimed) != 1 + quint64(count) * 8) return false;
    const QByteArray planes = qUncompress(packed);
    if (planes.size() != qsizetype(claimed)) return false;
    const int width = planes.at(0);
    if (planes.size() != 1 + count * 2 * width) return false;
    const size_t n = size_t(count) * 2;
    const uchar* in = reinterpret_cast<const uchar*>(planes.constData()) + 1;
    std::vector<quint64> values(n, 0);
    for (int b = 0; b < width; ++b)
        for (size_t i = 0; i < n; ++i) values[i] |= quint64(*in++) << (8 * b);
    quint64 bits = 0;
    std::vector<double> v(n);
    for (size_t i = 0; i < n; ++i) {
        bits += values[i];
        if (width == 4) {
            const quint32 b32 = quint32(bits);
            float f;
            std::memcpy(&f, &b32, 4);
            v[i] = f;
        } else {
            std::memcpy(&v[i], &bits, 8);
        }
    }
    out.reserve(out.size() + size_t(count));
    for (size_t i = 0; i < size_t(count); ++i) out.emplace_back(v[i], v[size_t(count) + i]);
    return true;
}

namespace {

// Bounds a file must keep. They are far above anything the program draws,
// and low enough that a hostile file cannot make it hang or run out of memory.
constexpr int kMaxPictures = 8;
constexpr qsizetype kMaxOps = 300000;
constexpr qsizetype kMaxPoints = 2000000;
constexpr qsizetype kMaxCanvasText = 2000;  // the canvas cuts longer texts anyway
constexpr qsizetype kMaxTextChars = 2000000;
constexpr qsizetype kMaxFonts = 1000;
constexpr qsizetype kMaxCurves = 100000;
constexpr qsizetype kMaxCurveText = 10000;
constexpr qsizetype kMaxBoxText = 32767;  // what a text box holds
constexpr int kMaxControls = 1000;
constexpr int kMaxNumbers = 64;
constexpr int kMaxWidth = 64;
constexpr double kMaxFontPoints = 200;
// Pixel coordinates: a line may run far outside the picture (a steep line
// of a large parameter), up to the largest single value in world units.
constexpr double kMaxCoordinate = 1e40;
// Shapes and texts the canvas keeps only near the picture.
constexpr double kMaxShape = 1e6;

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

QString pngBase64(const QImage& img) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "PNG");
    w.write(img);
    return QString::fromLatin1(bytes.toBase64());
}

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

// An operation as a file keeps it: a short array rather than an object, as
// a picture has hundreds of them: ["d", rgb, width, count] for dots, "s" for
// segments, ["e", rgb, width, x, y, rx, ry], ["b", rgb, x0, y0, x1, y1],
// ["t", rgb, x, y, text, font]. Read back as the object form the older
// files use, so that one reader checks both.
QJsonObject expandOp(const QJsonArray& a) {
    static const QHash<QString, QString> kinds = {{QStringLiteral("d"), QStringLiteral("dots")},
                                                  {QStringLiteral("s"), QStringLiteral("segments")},
                                                  {QStringLiteral("e"), QStringLiteral("ellipse")},
                                                  {QStringLiteral("b"), QStringLiteral("box")},
                                                  {QStringLiteral("t"), QStringLiteral("text")}};
    const QString kind = kinds.value(a.at(0).toString(), a.at(0).toString().left(40));
    QJsonObject j{{QStringLiteral("kind"), kind}, {QStringLiteral("rgb"), a.at(1)}};
    auto at = [&](int from, int n) {
        QJsonArray v;
        for (int i = from; i < from + n && i < a.size(); ++i) v << a.at(i);
        return v;
    };
    if (kind == QLatin1String("dots") || kind == QLatin1String("segments")) {
        j[QStringLiteral("width")] = a.at(2);
        j[QStringLiteral("count")] = a.at(3);
        if (a.size() != 4) j[QStringLiteral("count")] = QJsonValue();
    } else if (kind == QLatin1String("ellipse")) {
        j[QStringLiteral("width")] = a.at(2);
        j[QStringLiteral("at")] = a.size() == 7 ? at(3, 4) : QJsonArray();
    } else if (kind == QLatin1String("box")) {
        j[QStringLiteral("at")] = a.size() == 6 ? at(2, 4) : QJsonArray();
    } else if (kind == QLatin1String("text")) {
        j[QStringLiteral("at")] = a.size() == 6 || a.size() == 4 ? at(2, 2) : QJsonArray();
        if (a.size() == 6) {
            j[QStringLiteral("text")] = a.at(4);
            j[QStringLiteral("font")] = a.at(5);
        }
    }
    return j;
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
    if (!points.empty()) o[QStringLiteral("points")] = QString::fromLatin1(packPoints(points).toBase64());
    if (!fonts.isEmpty()) o[QStringLiteral("fonts")] = fonts;
    if (from == 0 && d.hasBase()) {
        o[QStringLiteral("base")] = pngBase64(d.base);
        if (!d.baseHigh.isNull()) o[QStringLiteral("baseHigh")] = pngBase64(d.baseHigh);
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
    if (!points.empty()) o[QStringLiteral("points")] = QString::fromLatin1(packPoints(points).toBase64());
    return o;
}

qsizetype curvePoints(const std::vector<DrawnCurve>& list) {
    qsizetype n = 0;
    for (const DrawnCurve& c : list)
        for (const auto& run : c.runs) n += qsizetype(run.size());
    return n;
}

// ---------------------------------------------------------------- reading

// Cuts a description to its first n operations and the points and texts they use.
void keepFirst(picture::Description& d, size_t n) {
    d.ops.resize(n);
    size_t points = 0, texts = 0;
    for (const picture::Op& op : d.ops) {
        if (op.pointCount() > 0) points = std::max(points, size_t(op.first) + op.pointCount());
        if (op.text >= 0) texts = std::max(texts, size_t(op.text) + 1);
    }
    d.points.resize(std::min(points, d.points.size()));
    d.texts.resize(std::min(texts, d.texts.size()));
    d.textBytes = 0;
    for (const picture::TextItem& t : d.texts) d.textBytes += size_t(t.text.size()) * sizeof(QChar);
}

class Reader {
public:
    int version = 1;
    QString problem;
    qsizetype ops = 0, points = 0, textChars = 0, curvePointCount = 0;

    bool fail(const QString& p) {
        if (problem.isEmpty()) problem = p;
        return false;
    }
    bool picturesWrong(const QString& what) { return fail(QStringLiteral("图像数据有误（%1）。").arg(what)); }

    bool readColor(const QJsonObject& j, QRgb& rgb) {
        const QJsonValue v = j.value(QStringLiteral("rgb"));
        const double c = v.toDouble(-1);
        if (!v.isDouble() || c < 0 || c > 0xFFFFFF || c != std::floor(c)) return picturesWrong(QStringLiteral("颜色"));
        rgb = 0xFF000000u | quint32(c);
        return true;
    }
    bool readWidth(const QJsonObject& j, int& width) {
        const QJsonValue v = j.value(QStringLiteral("width"));
        const double w = v.toDouble(-1);
        if (!v.isDouble() || !(w >= 1 && w <= kMaxWidth) || w != std::floor(w))
            return picturesWrong(QStringLiteral("线宽不在 1 到 %1 之间").arg(kMaxWidth));
        width = int(w);
        return true;
    }
    bool readNumbers(const QJsonObject& j, int n, double* out, double limit) {
        const QJsonArray a = j.value(QStringLiteral("at")).toArray();
        if (a.size() != n) return picturesWrong(QStringLiteral("位置"));
        for (int i = 0; i < n; ++i) {
            if (!a[i].isDouble()) return picturesWrong(QStringLiteral("位置"));
            out[i] = a[i].toDouble();
            if (!std::isfinite(out[i])) return picturesWrong(QStringLiteral("坐标不是有限的数"));
            if (std::fabs(out[i]) > limit) return picturesWrong(QStringLiteral("坐标过大"));
        }
        return true;
    }
    bool readPoints(const QJsonObject& j, picture::Description& d, int per, quint32& count) {
        const QJsonValue v = j.value(QStringLiteral("points"));
        if (!v.isString()) return picturesWrong(QStringLiteral("点"));
        const QString s = v.toString();
        // Checked before decoding: four characters of base64 are three bytes.
        if (s.size() / 4 * 3 > (kMaxPoints - points + 1) * 16) return picturesWrong(QStringLiteral("点太多"));
        const QByteArray packed = QByteArray::fromBase64(s.toLatin1());
        // The packed data names its unpacked size in its first four bytes:
        // checked before anything is unpacked.
        if (packed.size() < 4) return picturesWrong(QStringLiteral("点"));
        const quint32 claimed = qFromBigEndian<quint32>(packed.constData());
        if (claimed > quint64(kMaxPoints - points) * 16) return picturesWrong(QStringLiteral("点太多"));
        const QByteArray raw = qUncompress(packed);
        if (raw.isEmpty() || raw.size() != qsizetype(claimed) || raw.size() % (16 * per) != 0)
            return picturesWrong(QStringLiteral("点"));
        const qsizetype n = raw.size() / 16;
        if (points + n > kMaxPoints) return picturesWrong(QStringLiteral("点太多"));
        points += n;
        const char* in = raw.constData();
        d.points.reserve(d.points.size() + size_t(n));
        const size_t from = d.points.size();
        for (qsizetype i = 0; i < n; ++i, in += 16)
            d.points.emplace_back(qFromLittleEndian<double>(in), qFromLittleEndian<double>(in + 8));
        count = quint32(n / per);
        return usable(d.points, from);
    }
    // Points from `from` on: finite, and no further out than anything drawn.
    bool usable(const std::vector<QPointF>& pts, size_t from) {
        for (size_t i = from; i < pts.size(); ++i) {
            const QPointF& p = pts[i];
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                return picturesWrong(QStringLiteral("坐标不是有限的数"));
            if (std::fabs(p.x()) > kMaxCoordinate || std::fabs(p.y()) > kMaxCoordinate)
                return picturesWrong(QStringLiteral("坐标过大"));
        }
        return true;
    }
    bool readImage(const QJsonValue& v, int side, QImage& out) {
        if (!v.isString()) return picturesWrong(QStringLiteral("底图"));
        QByteArray bytes = QByteArray::fromBase64(v.toString().toLatin1());
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        QImageReader r(&buf, "PNG");
        // The size is known before any pixel is decoded.
        if (r.size() != QSize(side, side)) return picturesWrong(QStringLiteral("底图"));
        QImage img = r.read();
        if (img.isNull() || img.size() != QSize(side, side)) return picturesWrong(QStringLiteral("底图"));
        out = img.convertToFormat(QImage::Format_RGB32);
        return true;
    }
    bool readFont(const QString& fontText, QFont& font) {
        if (fontText.size() > 1000 || !font.fromString(fontText)) return picturesWrong(QStringLiteral("字体"));
        const double pt = font.pixelSize() > 0 ? font.pixelSize() * 0.75 : font.pointSizeF();
        if (!(pt >= 1 && pt <= kMaxFontPoints))
            return picturesWrong(QStringLiteral("字号不在 1 到 %1 之间").arg(kMaxFontPoints));
        return true;
    }
    // A count of points an operation of a newer file takes from its
    // description's block.
    bool readCount(const QJsonObject& j, int per, qsizetype pending, quint32& count) {
        const QJsonValue v = j.value(QStringLiteral("count"));
        const double c = v.toDouble(-1);
        if (!v.isDouble() || c < 0 || c != std::floor(c)) return picturesWrong(QStringLiteral("点数"));
        if (c * per > double(kMaxPoints - points - pending)) return picturesWrong(QStringLiteral("点太多"));
        count = quint32(c);
        return true;
    }
    bool readPointBlock(const QJsonObject& o, qsizetype count, picture::Description& d) {
        const QJsonValue v = o.value(QStringLiteral("points"));
        if (count == 0) return v.isUndefined() || picturesWrong(QStringLiteral("点数"));
        if (!v.isString()) return picturesWrong(QStringLiteral("点"));
        const size_t from = d.points.size();
        if (!unpackPoints(QByteArray::fromBase64(v.toString().toLatin1()), count, d.points))
            return picturesWrong(QStringLiteral("点数"));
        points += count;
        return usable(d.points, from);
    }
    // A description; in a newer file it may begin as an earlier one of
    // `earlier` and add to it.
    bool readDescription(const QJsonValue& value, picture::Description& d, const std::vector<Picture>& earlier) {
        if (!value.isObject()) return picturesWrong(QStringLiteral("图像"));
        const QJsonObject o = value.toObject();
        const bool packed = version >= 2;
        if (packed && o.contains(QStringLiteral("extends"))) {
            const double k = o.value(QStringLiteral("extends")).toDouble(-1);
            if (!(k >= 0 && k < double(earlier.size())) || k != std::floor(k))
                return picturesWrong(QStringLiteral("图像编号"));
            d = *earlier[size_t(k)].description();
            // Only its first `take` operations, when given, and what they use.
            if (o.contains(QStringLiteral("take"))) {
                const double take = o.value(QStringLiteral("take")).toDouble(-1);
                if (!(take >= 1 && take <= double(d.ops.size())) || take != std::floor(take))
                    return picturesWrong(QStringLiteral("图像编号"));
                keepFirst(d, size_t(take));
            }
            // What is copied counts against the bounds as if it were written again.
            if (ops + qsizetype(d.ops.size()) > kMaxOps) return picturesWrong(QStringLiteral("操作太多"));
            if (points + qsizetype(d.points.size()) > kMaxPoints) return picturesWrong(QStringLiteral("点太多"));
            ops += qsizetype(d.ops.size());
            points += qsizetype(d.points.size());
            textChars += qsizetype(d.textBytes / sizeof(QChar));
            if (textChars > kMaxTextChars) return picturesWrong(QStringLiteral("文字太多"));
        } else if (o.contains(QStringLiteral("base"))) {
            if (!readImage(o.value(QStringLiteral("base")), picture::kSize, d.base)) return false;
            if (o.contains(QStringLiteral("baseHigh")) &&
                !readImage(o.value(QStringLiteral("baseHigh")), picture::kSize * picture::kFlatScale, d.baseHigh))
                return false;
        }
        std::vector<QFont> fonts;
        if (packed) {
            const QJsonArray list = o.value(QStringLiteral("fonts")).toArray();
            if (list.size() > kMaxFonts) return picturesWrong(QStringLiteral("字体太多"));
            for (const QJsonValue& f : list) {
                fonts.emplace_back();
                if (!readFont(f.toString(), fonts.back())) return false;
            }
        }
        const QJsonArray list = o.value(QStringLiteral("ops")).toArray();
        if (ops + list.size() > kMaxOps) return picturesWrong(QStringLiteral("操作太多"));
        ops += list.size();
        d.ops.reserve(d.ops.size() + size_t(list.size()));
        // In a newer file the points of all operations follow in one block.
        qsizetype pending = 0;
        for (const QJsonValue& item : list) {
            if (packed ? !item.isArray() || item.toArray().size() < 2 : !item.isObject())
                return picturesWrong(QStringLiteral("操作"));
            const QJsonObject j = packed ? expandOp(item.toArray()) : item.toObject();
            const QString kind = j.value(QStringLiteral("kind")).toString();
            picture::Op op;
            if (!readColor(j, op.rgb)) return false;
            double at[4] = {};
            if (kind == QLatin1String("dots") || kind == QLatin1String("segments")) {
                const bool segs = kind == QLatin1String("segments");
                op.kind = segs ? picture::Kind::Segments : picture::Kind::Dots;
                if (!readWidth(j, op.width)) return false;
                if (packed) {
                    op.first = quint32(d.points.size() + size_t(pending));
                    if (!readCount(j, segs ? 2 : 1, pending, op.count)) return false;
                    pending += qsizetype(op.count) * (segs ? 2 : 1);
                } else {
                    op.first = quint32(d.points.size());
                    if (!readPoints(j, d, segs ? 2 : 1, op.count)) return false;
                }
            } else if (kind == QLatin1String("ellipse")) {
                op.kind = picture::Kind::Ellipse;
                if (!readWidth(j, op.width) || !readNumbers(j, 4, at, kMaxShape)) return false;
                if (at[2] < 0 || at[3] < 0) return picturesWrong(QStringLiteral("半径"));
            } else if (kind == QLatin1String("box")) {
                op.kind = picture::Kind::Box;
                if (!readNumbers(j, 4, at, kMaxShape)) return false;
                for (double v : at)
                    if (v < 0 || v > picture::kSize || v != std::floor(v))
                        return picturesWrong(QStringLiteral("方块超出画板"));
                if (!(at[0] < at[2] && at[1] < at[3])) return picturesWrong(QStringLiteral("方块"));
            } else if (kind == QLatin1String("text")) {
                op.kind = picture::Kind::Text;
                if (!readNumbers(j, 2, at, kMaxShape)) return false;
                const QString text = j.value(QStringLiteral("text")).toString();
                if (text.size() > kMaxCanvasText) return picturesWrong(QStringLiteral("文字太长"));
                textChars += text.size();
                if (textChars > kMaxTextChars) return picturesWrong(QStringLiteral("文字太多"));
                QFont font;
                const QJsonValue f = j.value(QStringLiteral("font"));
                if (packed && f.isDouble()) {
                    const double i = f.toDouble();
                    if (!(i >= 0 && i < double(fonts.size())) || i != std::floor(i))
                        return picturesWrong(QStringLiteral("字体"));
                    font = fonts[size_t(i)];
                } else if (!readFont(f.toString(), font)) {
                    return false;
                }
                op.text = int(d.texts.size());
                d.texts.push_back({text, font});
                d.textBytes += size_t(text.size()) * sizeof(QChar);
            } else {
                return picturesWrong(QStringLiteral("未知的操作“%1”").arg(kind.left(40)));
            }
            op.a = at[0];
            op.b = at[1];
            op.c = at[2];
            op.d = at[3];
            d.ops.push_back(op);
        }
        return !packed || readPointBlock(o, pending, d);
    }

    // A list of curves; `earlier` is the list a later one may begin with.
    bool readCurves(const QJsonValue& value, const std::vector<DrawnCurve>& earlier, std::vector<DrawnCurve>& out) {
        if (value.isUndefined()) return true;
        auto wrong = [this] { return fail(QStringLiteral("曲线数据有误。")); };
        if (!value.isObject()) return wrong();
        const QJsonObject o = value.toObject();
        const double first = o.value(QStringLiteral("first")).toDouble(0);
        if (!(first >= 0 && first <= double(earlier.size())) || first != std::floor(first)) return wrong();
        out.assign(earlier.begin(), earlier.begin() + qsizetype(first));
        curvePointCount += curvePoints(out);
        const QJsonArray items = o.value(QStringLiteral("list")).toArray();
        if (qsizetype(out.size()) + items.size() > kMaxCurves) return fail(QStringLiteral("曲线太多。"));
        // The runs' lengths first, checked, then the block that fills them.
        std::vector<qsizetype> lengths;
        qsizetype needed = 0;
        for (const QJsonValue& item : items) {
            const QJsonObject c = item.toObject();
            DrawnCurve curve;
            curve.text = c.value(QStringLiteral("text")).toString();
            textChars += curve.text.size();
            if (curve.text.size() > kMaxCurveText || textChars > kMaxTextChars) return wrong();
            const QJsonArray runs = c.value(QStringLiteral("runs")).toArray();
            for (const QJsonValue& r : runs) {
                const double n = r.toDouble(-1);
                if (!(n >= 1) || n != std::floor(n) || n > double(kMaxPoints - curvePointCount - needed))
                    return fail(QStringLiteral("曲线的点太多。"));
                lengths.push_back(qsizetype(n));
                needed += qsizetype(n);
            }
            curve.runs.resize(size_t(runs.size()));
            out.push_back(std::move(curve));
        }
        std::vector<QPointF> points;
        if (needed > 0 && !unpackPoints(QByteArray::fromBase64(o.value(QStringLiteral("points")).toString().toLatin1()),
                                        needed, points))
            return wrong();
        if (needed == 0 && o.contains(QStringLiteral("points"))) return wrong();
        curvePointCount += needed;
        if (!usable(points, 0)) return false;
        qsizetype at = 0;
        size_t length = 0;
        for (size_t i = size_t(first); i < out.size(); ++i)
            for (auto& run : out[i].runs) {
                const qsizetype n = lengths[length++];
                run.assign(points.begin() + at, points.begin() + at + n);
                at += n;
            }
        return true;
    }

    bool readControls(const QJsonValue& value, std::map<QString, ControlValue>& out) {
        const QJsonObject o = value.toObject();
        if (o.size() > kMaxControls) return fail(QStringLiteral("控件太多。"));
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (it.key().size() > 100 || !it.value().isObject()) continue;
            const QJsonObject j = it.value().toObject();
            ControlValue c;
            const QString text = j.value(QStringLiteral("text")).toString();
            if (text.size() > kMaxBoxText)
                return fail(QStringLiteral("控件“%1”的文字太长（%2 个字符）。").arg(it.key()).arg(text.size()));
            c.text = text;
            const double v = j.value(QStringLiteral("value")).toDouble();
            c.value = std::isfinite(v) && std::fabs(v) < 1e9 ? int(v) : 0;
            c.checked = j.value(QStringLiteral("checked")).toBool();
            c.enabled = j.value(QStringLiteral("enabled")).toBool(true);
            c.visible = j.value(QStringLiteral("visible")).toBool(true);
            out[it.key()] = c;
        }
        return true;
    }
};

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

Reading fromJson(const QByteArray& bytes) {
    Reading out;
    Reader r;
    auto refuse = [&](const QString& p) {
        out.problem = p;
        return out;
    };
    if (bytes.trimmed().isEmpty()) return refuse(QStringLiteral("文件是空的。"));
    if (bytes.size() > kMaxBytes) return refuse(QStringLiteral("文件太大（最大 20 MB）。"));
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError) {
        // Text that breaks off where the file ends is a file cut short.
        // (the parser may stop a few characters before the end, inside the
        // last number or name).
        if (err.error != QJsonParseError::DeepNesting && err.offset >= bytes.trimmed().size() - 64 &&
            bytes.trimmed().startsWith('{'))
            return refuse(QStringLiteral("文件不完整，可能在保存或复制时被截断了。"));
        switch (err.error) {
        case QJsonParseError::UnterminatedObject:
        case QJsonParseError::UnterminatedArray:
        case QJsonParseError::UnterminatedString:
            return refuse(QStringLiteral("文件不完整，可能在保存或复制时被截断了。"));
        case QJsonParseError::DeepNesting: return refuse(QStringLiteral("文件中的数据嵌套太深。"));
        default: return refuse(QStringLiteral("这不是作图文件（内容不是 JSON 数据）。"));
        }
    }
    if (!doc.isObject() || doc.object().value(QStringLiteral("format")).toString() != kFormat)
        return refuse(QStringLiteral("这不是 Vesmar 作图文件。"));
    const QJsonObject root = doc.object();
    const QJsonValue version = root.value(QStringLiteral("version"));
    const double ver = version.toDouble(-1);
    if (!version.isDouble() || ver < 1 || ver != std::floor(ver)) return refuse(QStringLiteral("文件的版本号有误。"));
    if (ver > kVersion)
        return refuse(QStringLiteral("文件是第 %1 版的作图文件，本程序只能读第 %2 版及以前的，请用新版本的程序打开。")
                          .arg(ver, 0, 'f', 0)
                          .arg(kVersion));

    r.version = int(ver);
    View v;
    v.family = root.value(QStringLiteral("family")).toString();
    if (!familyByKey(v.family))
        return refuse(QStringLiteral("文件中的函数类型“%1”本程序不认识。").arg(v.family.left(40)));
    if (!r.readControls(root.value(QStringLiteral("controls")), v.controls)) return refuse(r.problem);
    const QJsonArray numbers = root.value(QStringLiteral("numbers")).toArray();
    if (numbers.size() > kMaxNumbers) return refuse(QStringLiteral("文件中的数值太多。"));
    for (const QJsonValue& n : numbers) {
        const QString t = n.toString();
        if (t == QLatin1String("nan")) v.numbers.push_back(NAN);
        else if (t == QLatin1String("inf")) v.numbers.push_back(INFINITY);
        else if (t == QLatin1String("-inf")) v.numbers.push_back(-INFINITY);
        else v.numbers.push_back(t.left(40).toFloat());
    }
    v.gridOn = root.value(QStringLiteral("gridOn")).toBool();
    v.overlayOn = root.value(QStringLiteral("overlayOn")).toBool();
    const double count = root.value(QStringLiteral("overlayCount")).toDouble();
    v.overlayCount = count >= 0 && count <= 32767 ? int(count) : 0;

    // The pictures, each painted at scale 1 as the canvas would have.
    const QJsonArray list = root.value(QStringLiteral("pictures")).toArray();
    if (list.size() > kMaxPictures) return refuse(QStringLiteral("文件中的图像太多。"));
    std::vector<Picture> pictures;
    for (const QJsonValue& item : list) {
        auto d = std::make_shared<picture::Description>();
        if (!r.readDescription(item, *d, pictures)) return refuse(r.problem);
        QImage img(picture::kSize, picture::kSize, QImage::Format_RGB32);
        {
            picture::Raster raster(img, 1);
            raster.paint(*d);
        }
        pictures.emplace_back(std::move(d), std::move(img));
    }
    bool refOk = true;
    auto pictureAt = [&](const QJsonValue& ref) {
        const double i = ref.toDouble(-1);
        if (i == -1) return Picture();
        if (!(i >= 0 && i < double(pictures.size())) || i != std::floor(i)) {
            refOk = false;
            return Picture();
        }
        return pictures[size_t(i)];
    };
    const QJsonObject canvas = root.value(QStringLiteral("canvas")).toObject();
    Canvas::State& s = v.canvas;
    s.restore = pictureAt(canvas.value(QStringLiteral("restore")));
    s.under = pictureAt(canvas.value(QStringLiteral("under")));
    v.overlay = pictureAt(root.value(QStringLiteral("overlay")));
    if (!refOk) return refuse(QStringLiteral("图像数据有误（图像编号）。"));
    auto own = std::make_shared<picture::Description>();
    const QJsonValue ownValue = canvas.value(QStringLiteral("own"));
    if (r.version >= 2) {
        // The canvas goes on drawing into its own operations: a copy of its own.
        const Picture p = pictureAt(ownValue);
        if (!refOk || p.isNull()) return refuse(QStringLiteral("图像数据有误（图像编号）。"));
        *own = *p.description();
    } else if (!r.readDescription(ownValue, *own, pictures)) {
        return refuse(r.problem);
    }
    s.own = std::move(own);
    const double fore = canvas.value(QStringLiteral("fore")).toDouble();
    s.fore = fore >= 0 && fore <= 0xFFFFFF ? QColor::fromRgb(QRgb(fore)) : QColor(0, 0, 0);
    const double pen = canvas.value(QStringLiteral("penWidth")).toDouble(1);
    if (!(pen >= 1 && pen <= kMaxWidth)) return refuse(QStringLiteral("画笔宽度不在 1 到 %1 之间。").arg(kMaxWidth));
    s.penWidth = int(pen);
    s.fontName = canvas.value(QStringLiteral("fontName")).toString().left(100);
    if (s.fontName.isEmpty()) s.fontName = QStringLiteral("宋体");
    s.fontSize = canvas.value(QStringLiteral("fontSize")).toDouble(9);
    if (!(s.fontSize >= 1 && s.fontSize <= kMaxFontPoints))
        return refuse(QStringLiteral("字号不在 1 到 %1 之间。").arg(kMaxFontPoints));
    s.currentX = canvas.value(QStringLiteral("currentX")).toDouble();
    s.currentY = canvas.value(QStringLiteral("currentY")).toDouble();
    if (!std::isfinite(s.currentX) || !std::isfinite(s.currentY)) s.currentX = s.currentY = 0;
    std::vector<DrawnCurve> curves, overlayCurves;
    if (!r.readCurves(root.value(QStringLiteral("curves")), {}, curves) ||
        !r.readCurves(root.value(QStringLiteral("overlayCurves")), curves, overlayCurves))
        return refuse(r.problem);
    if (!curves.empty()) v.curves = std::make_shared<const std::vector<DrawnCurve>>(std::move(curves));
    if (!overlayCurves.empty())
        v.overlayCurves = std::make_shared<const std::vector<DrawnCurve>>(std::move(overlayCurves));
    auto howMany = [&](const char* name) {
        const double n = root.value(QLatin1String(name)).toDouble(0);
        return n >= 0 && n <= 1000000 ? int(n) : 0;
    };
    v.annotations = howMany("annotations");
    v.overlayAnnotations = howMany("overlayAnnotations");
    out.view = std::move(v);
    return out;
}

QString openFailed(const QString& path, const QString& problem) {
    return QStringLiteral("无法打开作图文件“%1”：\n%2").arg(QDir::toNativeSeparators(path), problem);
}

Reading readFile(const QString& path) {
    Reading out;
    QFile f(path);
    const QFileInfo info(path);
    if (info.exists() && info.size() > kMaxBytes) {
        out.problem = openFailed(path, QStringLiteral("文件太大（%1 MB），作图文件最大为 20 MB。")
                                           .arg(double(info.size()) / (1 << 20), 0, 'f', 1));
        return out;
    }
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        out.problem = openFailed(path, QStringLiteral("文件无法读取，可能它不存在、是一个文件夹或没有读取权限。"));
        return out;
    }
    // A file that grows while it is read is cut at the limit and refused as too large.
    const QByteArray bytes = f.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes) {
        out.problem = openFailed(path, QStringLiteral("文件太大，作图文件最大为 20 MB。"));
        return out;
    }
    out = fromJson(bytes);
    if (!out.view) out.problem = openFailed(path, out.problem);
    return out;
}

QString writeFile(const QString& path, const View& v) { return writeBytes(path, toJson(v)); }

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return QStringLiteral(
                   "作图文件“%1”没有保存成功！可能是没有写入的权限、文件夹不存在或磁盘已满，请换一个位置或文件名再保存。")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

}  // namespace plotfile
