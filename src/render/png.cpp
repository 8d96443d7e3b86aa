#include "render/png.h"

#include <QIODevice>
#include <QImageReader>
#include <QString>

#ifdef VESMAR_LIBPNG
#include <QFile>
#include <png.h>
#endif

namespace png {

namespace {

#ifdef VESMAR_LIBPNG
// Decoded by libpng itself, which the toolkit has already loaded for its own
// PNG support: the toolkit's image reader first reads the descriptions of
// every installed image-format plug-in (a few milliseconds at start-up) even
// when it then decodes PNG itself. libpng's simple interface reports every
// error of a broken or hostile file as a failed call, never a jump out.
struct Header {
    png_image image{};
    explicit Header(const QByteArray& data) {
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, data.constData(), size_t(data.size()))) image.width = 0;
    }
    ~Header() { png_image_free(&image); }
    Header(const Header&) = delete;
    Header& operator=(const Header&) = delete;
    QSize size() const { return image.width ? QSize(int(image.width), int(image.height)) : QSize(); }
};

QImage decode(const QByteArray& data) {
    Header h(data);
    const QSize size = h.size();
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxPixels) return {};
    const bool alpha = h.image.format & PNG_FORMAT_FLAG_ALPHA;
    // Blue, green, red, alpha in memory is a 32-bit 0xAARRGGBB on the
    // little-endian machines the program runs on.
    h.image.format = PNG_FORMAT_BGRA;
    QImage out(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull()) return {};
    if (!png_image_finish_read(&h.image, nullptr, out.bits(), out.bytesPerLine(), nullptr)) return {};
    return out;
}

// What is left of the device, or nothing when that is more than kMaxBytes
// (a file claiming to be a picture of that size is no picture of ours).
// Sized from what the device holds: asking for kMaxBytes at once would take
// that much memory first.
QByteArray readAll(QIODevice* device, bool peek) {
    if (!device || !device->isReadable()) return {};
    if (!device->isSequential()) {
        const qint64 left = device->size() - device->pos();
        if (left > kMaxBytes) return {};
        return peek ? device->peek(left) : device->read(left);
    }
    // A stream: its start for a peek (the header comes first), otherwise
    // read a piece at a time up to the limit.
    constexpr qint64 kPiece = 64 * 1024;
    if (peek) return device->peek(kPiece);
    QByteArray data;
    while (data.size() <= kMaxBytes) {
        const QByteArray piece = device->read(kPiece);
        if (piece.isEmpty()) break;
        data += piece;
    }
    return data.size() > kMaxBytes ? QByteArray() : data;
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return readAll(&f, false);
}
#else
void builtInOnly(QImageReader& r) {
    r.setFormat("png");
    r.setAutoDetectImageFormat(false);
}
#endif

}  // namespace

#ifdef VESMAR_LIBPNG
QImage read(QIODevice* device) { return decode(readAll(device, false)); }

QImage read(const QString& file) { return decode(readAll(file)); }

// The reader stays where it was.
QSize size(QIODevice* device) { return Header(readAll(device, true)).size(); }
#else
QImage read(QIODevice* device) {
    QImageReader r(device);
    builtInOnly(r);
    const QSize s = r.size();
    if (s.isEmpty() || qint64(s.width()) * s.height() > kMaxPixels) return {};
    return r.read();
}

QImage read(const QString& file) {
    QImageReader r(file);
    builtInOnly(r);
    const QSize s = r.size();
    if (s.isEmpty() || qint64(s.width()) * s.height() > kMaxPixels) return {};
    return r.read();
}

QSize size(QIODevice* device) {
    if (!device || !device->isReadable()) return {};
    const qint64 at = device->pos();
    QSize s;
    {
        QImageReader r(device);
        builtInOnly(r);
        s = r.size();
    }
    device->seek(at);
    return s;
}
#endif

}  // namespace png
