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

QByteArray readAll(QIODevice* device) {
    if (!device || !device->isReadable()) return {};
    return device->read(kMaxBytes + 1);
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return readAll(&f);
}
#else
void builtInOnly(QImageReader& r) {
    r.setFormat("png");
    r.setAutoDetectImageFormat(false);
}
#endif

}  // namespace

#ifdef VESMAR_LIBPNG
QImage read(QIODevice* device) {
    const QByteArray data = readAll(device);
    return data.size() > kMaxBytes ? QImage() : decode(data);
}

QImage read(const QString& file) {
    const QByteArray data = readAll(file);
    return data.size() > kMaxBytes ? QImage() : decode(data);
}

QSize size(QIODevice* device) {
    if (!device || !device->isReadable()) return {};
    // The header and the chunks before the pixels; the reader stays where it was.
    const QByteArray data = device->peek(kMaxBytes + 1);
    if (data.size() > kMaxBytes) return {};
    return Header(data).size();
}
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
