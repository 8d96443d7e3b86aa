#include "render/svg_writer.h"

#include <QBuffer>
#include <QColor>
#include <QFontInfo>
#include <QImageWriter>
#include <QXmlStreamWriter>
#include <cmath>

#include "render/picture.h"
#include "render/vector_replay.h"

namespace picture {

namespace {

// Coordinates go out in hundredths of a pixel: dots sit on quarter pixels
// and lines need no finer grain at any zoom a document offers.
qint64 hundredths(double v) { return std::llround(v * 100); }

QString number(qint64 h) {
    QString s;
    if (h < 0) s += QLatin1Char('-');
    const qint64 a = h < 0 ? -h : h;
    if (a >= 100 || a == 0) s += QString::number(a / 100);
    if (a % 100) {
        s += QLatin1Char('.');
        const qint64 f = a % 100;
        s += f % 10 ? QString::number(f).rightJustified(2, QLatin1Char('0')) : QString::number(f / 10);
    }
    return s;
}

// The path data of a path made of moves and lines, relative and with the
// separators left out where the grammar allows: the curves are thousands of
// squares, and every byte counts.
class PathData {
public:
    explicit PathData(const QPainterPath& path) {
        qint64 startX = 0, startY = 0;
        int lines = 0;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            const qint64 x = hundredths(e.x), y = hundredths(e.y);
            if (e.type == QPainterPath::MoveToElement) {
                if (d_.isEmpty()) command('M', {x, y});
                else command('m', {x - x_, y - y_});
                startX = x, startY = y, lines = 0;
            } else if (lines >= 2 && x == startX && y == startY) {
                command('z', {});  // back to the start: a closed square
            } else if (x == x_) {
                command('v', {y - y_});
            } else if (y == y_) {
                command('h', {x - x_});
            } else {
                command('l', {x - x_, y - y_});
            }
            ++lines;
            x_ = x, y_ = y;
        }
    }
    const QString& text() const { return d_; }

private:
    void command(char c, std::initializer_list<qint64> values) {
        d_ += QLatin1Char(c);
        bool first = true, lastHasPoint = false;
        for (qint64 v : values) {
            const QString n = number(v);
            // "1 2" needs its blank; "1-2" and ".5.5" do not.
            if (!first && !n.startsWith(QLatin1Char('-')) && !(n.startsWith(QLatin1Char('.')) && lastHasPoint))
                d_ += QLatin1Char(' ');
            d_ += n;
            lastHasPoint = n.contains(QLatin1Char('.'));
            first = false;
        }
    }
    QString d_;
    qint64 x_ = 0, y_ = 0;
};

QString colour(QRgb rgb) { return QColor(rgb).name(); }

QString plain(double v) { return number(hundredths(v)); }

// The family asked for, what the system gave for it (so a reader without
// the asked-for name finds the same face), then the generic kind.
QString fontFamilies(const QFont& font) {
    QStringList names;
    auto add = [&](const QString& name) {
        if (name.isEmpty()) return;
        const QString quoted = QLatin1Char('\'') + QString(name).remove(QLatin1Char('\'')) + QLatin1Char('\'');
        if (!names.contains(quoted, Qt::CaseInsensitive)) names << quoted;
    };
    add(font.family());
    add(QFontInfo(font).family());
    names << (font.styleHint() == QFont::SansSerif ? QStringLiteral("sans-serif") : QStringLiteral("serif"));
    return names.join(QStringLiteral(", "));
}

void writePath(QXmlStreamWriter& x, const QPainterPath& path, const QString& fill, const QString& stroke, double width,
               bool squareCaps = false) {
    const QString d = PathData(path).text();
    if (d.isEmpty()) return;
    x.writeEmptyElement(QStringLiteral("path"));
    if (stroke.isEmpty()) {
        x.writeAttribute(QStringLiteral("fill"), fill);
    } else {
        x.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        x.writeAttribute(QStringLiteral("stroke"), stroke);
        x.writeAttribute(QStringLiteral("stroke-width"), plain(width));
        if (squareCaps) x.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("square"));
    }
    x.writeAttribute(QStringLiteral("d"), d);
}

void writeOp(QXmlStreamWriter& x, const Description& d, const Op& op) {
    const QString c = colour(op.rgb);
    switch (op.kind) {
    case Kind::Dots: writePath(x, dotSquares(d, op), c, QString(), 0); break;
    case Kind::Segments: {
        QPainterPath points;
        for (const Stroke& s : segmentStrokes(d, op, points)) writePath(x, s.path, QString(), c, s.width, s.squareCaps);
        writePath(x, points, c, QString(), 0);
        break;
    }
    case Kind::Ellipse: {
        // Far beyond the picture an outline would only carry huge numbers.
        const double limit = 1e6;
        if (!(std::fabs(op.a) < limit && std::fabs(op.b) < limit && std::fabs(op.c) < limit && std::fabs(op.d) < limit))
            break;
        x.writeEmptyElement(QStringLiteral("ellipse"));
        x.writeAttribute(QStringLiteral("cx"), plain(op.a));
        x.writeAttribute(QStringLiteral("cy"), plain(op.b));
        x.writeAttribute(QStringLiteral("rx"), plain(std::fabs(op.c)));
        x.writeAttribute(QStringLiteral("ry"), plain(std::fabs(op.d)));
        x.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        x.writeAttribute(QStringLiteral("stroke"), c);
        x.writeAttribute(QStringLiteral("stroke-width"), QString::number(op.width));
        break;
    }
    case Kind::Box: {
        // Whole pixels, within the square, as the bitmap takes them.
        auto in = [](double v) { return std::clamp(std::round(v), 0.0, double(kSize)); };
        const double x0 = in(op.a), y0 = in(op.b), x1 = in(op.c), y1 = in(op.d);
        if (x1 <= x0 || y1 <= y0) break;
        x.writeEmptyElement(QStringLiteral("rect"));
        x.writeAttribute(QStringLiteral("x"), plain(x0));
        x.writeAttribute(QStringLiteral("y"), plain(y0));
        x.writeAttribute(QStringLiteral("width"), plain(x1 - x0));
        x.writeAttribute(QStringLiteral("height"), plain(y1 - y0));
        x.writeAttribute(QStringLiteral("fill"), c);
        break;
    }
    case Kind::Text: {
        const TextItem& t = d.texts[size_t(op.text)];
        if (!(std::fabs(op.a) < 1e6 && std::fabs(op.b) < 1e6)) break;
        const double px = t.font.pixelSize() > 0 ? t.font.pixelSize() : t.font.pointSizeF() * 96 / 72;
        x.writeStartElement(QStringLiteral("text"));
        x.writeAttribute(QStringLiteral("x"), plain(op.a));
        x.writeAttribute(QStringLiteral("y"), plain(op.b));
        x.writeAttribute(QStringLiteral("font-family"), fontFamilies(t.font));
        x.writeAttribute(QStringLiteral("font-size"), plain(px));
        if (t.font.bold()) x.writeAttribute(QStringLiteral("font-weight"), QStringLiteral("bold"));
        if (t.font.italic()) x.writeAttribute(QStringLiteral("font-style"), QStringLiteral("italic"));
        if (t.font.underline()) x.writeAttribute(QStringLiteral("text-decoration"), QStringLiteral("underline"));
        x.writeAttribute(QStringLiteral("fill"), c);
        // Blanks around numbers are part of what was printed.
        x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        x.writeCharacters(t.text);
        x.writeEndElement();
        break;
    }
    }
}

QByteArray pngData(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    return writer.write(image) ? bytes : QByteArray();
}

}  // namespace

QByteArray svgDocument(const Description* d, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter x(&buffer);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(0);
    x.writeStartDocument();
    x.writeStartElement(QStringLiteral("svg"));
    x.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    const bool base = d && d->hasBase();
    if (base) x.writeNamespace(QStringLiteral("http://www.w3.org/1999/xlink"), QStringLiteral("xlink"));
    x.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    x.writeAttribute(QStringLiteral("width"), QLatin1String(kSvgSide));
    x.writeAttribute(QStringLiteral("height"), QLatin1String(kSvgSide));
    const QString side = QString::number(kSize);
    x.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %1").arg(side));
    x.writeTextElement(QStringLiteral("title"), title);

    // Whatever reaches over the edge is cut there, also where the picture
    // is placed in a larger document.
    x.writeStartElement(QStringLiteral("clipPath"));
    x.writeAttribute(QStringLiteral("id"), QStringLiteral("square"));
    x.writeEmptyElement(QStringLiteral("rect"));
    x.writeAttribute(QStringLiteral("width"), side);
    x.writeAttribute(QStringLiteral("height"), side);
    x.writeEndElement();
    x.writeStartElement(QStringLiteral("g"));
    x.writeAttribute(QStringLiteral("clip-path"), QStringLiteral("url(#square)"));
    x.writeEmptyElement(QStringLiteral("rect"));
    x.writeAttribute(QStringLiteral("width"), side);
    x.writeAttribute(QStringLiteral("height"), side);
    x.writeAttribute(QStringLiteral("fill"), QStringLiteral("#ffffff"));
    if (d) {
        if (base) {
            // The flattened start of a very long session: its pixels as they are.
            const QByteArray png = pngData(d->baseHigh.isNull() ? d->base : d->baseHigh);
            x.writeEmptyElement(QStringLiteral("image"));
            x.writeAttribute(QStringLiteral("width"), side);
            x.writeAttribute(QStringLiteral("height"), side);
            x.writeAttribute(QStringLiteral("preserveAspectRatio"), QStringLiteral("none"));
            x.writeAttribute(QStringLiteral("image-rendering"), QStringLiteral("optimizeSpeed"));
            x.writeAttribute(QStringLiteral("http://www.w3.org/1999/xlink"), QStringLiteral("href"),
                             QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64()));
        }
        for (const Op& op : d->ops) writeOp(x, *d, op);
    }
    x.writeEndElement();  // g
    x.writeEndElement();  // svg
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

}  // namespace picture
