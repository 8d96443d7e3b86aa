#include "frame/plot_file_reader.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "frame/family_manager.h"
#include "frame/plot_file.h"
#include "render/picture_codec.h"
#include "render/raster.h"

namespace plotfile {

namespace {

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
        const qint64 claimed = picturecodec::claimedSize(packed);
        if (claimed < 0) return picturesWrong(QStringLiteral("点"));
        if (quint64(claimed) > quint64(kMaxPoints - points) * 16) return picturesWrong(QStringLiteral("点太多"));
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
        // The size is known before any pixel is decoded.
        out = picturecodec::decodePng(QByteArray::fromBase64(v.toString().toLatin1()), side);
        return !out.isNull() || picturesWrong(QStringLiteral("底图"));
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
        if (!picturecodec::unpackPoints(QByteArray::fromBase64(v.toString().toLatin1()), count, d.points))
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
        if (needed > 0 &&
            !picturecodec::unpackPoints(QByteArray::fromBase64(o.value(QStringLiteral("points")).toString().toLatin1()),
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

}  // namespace plotfile
