#include "render/picture_codec.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <cmath>
#include <cstring>

#include "render/png.h"

namespace picturecodec {

// Neighbouring values of a curve share their high bytes, so most of the
// regrouped block is long runs that compress to almost nothing. The windows
// compute in single precision: when every value is exactly a float, four
// bytes each are kept instead of eight (the first byte of the block says which).
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

qint64 claimedSize(const QByteArray& compressed) {
    if (compressed.size() < 4) return -1;
    return qint64(qFromBigEndian<quint32>(compressed.constData()));
}

bool unpackPoints(const QByteArray& packed, qsizetype count, std::vector<QPointF>& out) {
    if (count < 0 || count > (qsizetype(1) << 40) / 16) return false;
    // The claimed size is checked before anything is unpacked.
    const qint64 claimed = claimedSize(packed);
    if (claimed < 0 || (quint64(claimed) != 1 + quint64(count) * 16 && quint64(claimed) != 1 + quint64(count) * 8))
        return false;
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

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "PNG");
    w.write(image);
    return bytes;
}

QImage decodePng(const QByteArray& png, int side) {
    QByteArray bytes = png;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    if (png::size(&buf) != QSize(side, side)) return {};
    buf.seek(0);
    const QImage img = png::read(&buf);
    if (img.isNull() || img.size() != QSize(side, side)) return {};
    return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace picturecodec
