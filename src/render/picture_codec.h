#pragma once
// A picture's data in the compact forms a file keeps: the points of its
// operations packed into one compressed block, and its flattened images as
// PNG. Reading checks the sizes a block or an image claims before anything
// is unpacked or decoded, so that hostile bytes cost no memory or time.
#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <vector>

namespace picturecodec {

// Points packed: all x, then all y, each stored as the difference of its bit
// pattern from the one before, the bytes regrouped by position and
// compressed; four bytes a value when every one is exactly a float.
QByteArray packPoints(const std::vector<QPointF>& points);
// Appends exactly `count` points to out; false (out unchanged) when the
// block is not `count` points.
bool unpackPoints(const QByteArray& packed, qsizetype count, std::vector<QPointF>& out);
// The unpacked size a compressed block claims (its first four bytes), read
// without unpacking anything; -1 when the block is too short to say.
qint64 claimedSize(const QByteArray& compressed);

// The image as PNG bytes.
QByteArray encodePng(const QImage& image);
// The image in png when it is side x side pixels, as RGB32; a null image
// otherwise. The size is read from the header before any pixel is decoded.
QImage decodePng(const QByteArray& png, int side);

}  // namespace picturecodec
