#include "render/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace gif {

namespace {

constexpr int kMaxSide = 65535;  // a GIF's sizes are 16-bit

int appendBytes(GifFileType* file, const GifByteType* data, int length) {
    static_cast<QByteArray*>(file->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// A frame's colours and each pixel's index into them.
class Palette {
public:
    // The colours of `image` within `r`: exact when 256 or fewer, else the
    // 255 commonest exactly and the rest mapped to the nearest of those.
    Palette(const QImage& image, const QRect& r) {
        std::unordered_map<QRgb, int> counts;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = r.left(); x <= r.right(); ++x) ++counts[line[x] | 0xff000000u];
        }
        std::vector<std::pair<int, QRgb>> byUse;
        byUse.reserve(counts.size());
        for (const auto& [rgb, n] : counts) byUse.emplace_back(-n, rgb);
        std::sort(byUse.begin(), byUse.end());
        const size_t kept = byUse.size() <= 256 ? byUse.size() : 255;
        for (size_t i = 0; i < kept; ++i) {
            index_[byUse[i].second] = int(colours_.size());
            colours_.push_back(byUse[i].second);
        }
    }

    int indexOf(QRgb rgb) {
        rgb |= 0xff000000u;
        if (rgb == lastRgb_) return lastIndex_;
        auto it = index_.find(rgb);
        const int i = it != index_.end() ? it->second : (index_[rgb] = nearest(rgb));
        lastRgb_ = rgb;
        lastIndex_ = i;
        return i;
    }

    // The palette for the file: a power of two entries, at least two.
    ColorMapObject* makeMap() const {
        int size = 2;
        while (size < int(colours_.size())) size *= 2;
        std::vector<GifColorType> c(size_t(size), GifColorType{0, 0, 0});
        for (size_t i = 0; i < colours_.size(); ++i)
            c[i] = GifColorType{GifByteType(qRed(colours_[i])), GifByteType(qGreen(colours_[i])),
                                GifByteType(qBlue(colours_[i]))};
        return GifMakeMapObject(size, c.data());
    }

private:
    int nearest(QRgb rgb) const {
        int best = 0;
        long bestDistance = -1;
        for (size_t i = 0; i < colours_.size(); ++i) {
            const long dr = qRed(rgb) - qRed(colours_[i]), dg = qGreen(rgb) - qGreen(colours_[i]),
                       db = qBlue(rgb) - qBlue(colours_[i]);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = int(i);
        }
        return best;
    }

    std::vector<QRgb> colours_;
    std::unordered_map<QRgb, int> index_;
    QRgb lastRgb_ = 0;  // never a colour looked up (those are opaque)
    int lastIndex_ = 0;
};

// Where two frames of one size differ; an empty rectangle when they do not.
QRect changed(const QImage& before, const QImage& now) {
    int top = -1, bottom = -1, left = now.width(), right = -1;
    for (int y = 0; y < now.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(now.constScanLine(y));
        if (std::equal(a, a + now.width(), b)) continue;
        if (top < 0) top = y;
        bottom = y;
        int l = 0;
        while (a[l] == b[l]) ++l;
        int r = now.width() - 1;
        while (a[r] == b[r]) --r;
        left = std::min(left, l);
        right = std::max(right, r);
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

bool putFrame(GifFileType* file, const QImage& image, const QRect& r, int delay) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;  // the next frame paints over this one
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_ERROR) return false;
    Palette palette(image, r);
    ColorMapObject* map = palette.makeMap();
    if (!map) return false;
    const bool put = EGifPutImageDesc(file, r.x(), r.y(), r.width(), r.height(), false, map) != GIF_ERROR;
    GifFreeMapObject(map);
    if (!put) return false;
    std::vector<GifPixelType> line(size_t(r.width()));
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < r.width(); ++x) line[size_t(x)] = GifPixelType(palette.indexOf(src[r.x() + x]));
        if (EGifPutLine(file, line.data(), r.width()) == GIF_ERROR) return false;
    }
    return true;
}

}  // namespace

int delayFor(double framesPerSecond) {
    if (!(framesPerSecond > 0) || !std::isfinite(framesPerSecond)) return 10;
    return int(std::clamp(std::lround(100.0 / framesPerSecond), 2L, 65535L));
}

QByteArray encode(const std::vector<QImage>& frames, int delayCentiseconds, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return QByteArray();
    };
    if (frames.empty() || frames.front().isNull()) return fail(QStringLiteral("没有可以写入的画面"));
    const QSize size = frames.front().size();
    if (size.width() > kMaxSide || size.height() > kMaxSide) return fail(QStringLiteral("画面太大"));
    std::vector<QImage> rgb;
    rgb.reserve(frames.size());
    for (const QImage& f : frames) {
        if (f.size() != size) return fail(QStringLiteral("画面大小不一致"));
        rgb.push_back(f.format() == QImage::Format_RGB32 || f.format() == QImage::Format_ARGB32
                          ? f
                          : f.convertToFormat(QImage::Format_RGB32));
    }
    const int delay = std::clamp(delayCentiseconds, 0, 65535);

    QByteArray bytes;
    int code = 0;
    GifFileType* file = EGifOpen(&bytes, appendBytes, &code);
    if (!file) return fail(QStringLiteral("无法生成 GIF（%1）").arg(QString::fromUtf8(GifErrorString(code))));
    EGifSetGifVersion(file, true);
    bool ok = EGifPutScreenDesc(file, size.width(), size.height(), 8, 0, nullptr) != GIF_ERROR;
    // Loops for ever: the application extension every viewer knows.
    static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kForever[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) != GIF_ERROR &&
         EGifPutExtensionBlock(file, sizeof kNetscape, kNetscape) != GIF_ERROR &&
         EGifPutExtensionBlock(file, sizeof kForever, kForever) != GIF_ERROR &&
         EGifPutExtensionTrailer(file) != GIF_ERROR;
    for (size_t i = 0; ok && i < rgb.size(); ++i) {
        QRect r = i == 0 ? rgb[i].rect() : changed(rgb[i - 1], rgb[i]);
        if (r.isEmpty()) r = QRect(0, 0, 1, 1);  // unchanged: one pixel still carries the frame's time
        ok = putFrame(file, rgb[i], r, delay);
    }
    int closeCode = 0;
    const bool closed = EGifCloseFile(file, &closeCode) != GIF_ERROR;
    if (!ok || !closed) return fail(QStringLiteral("无法生成 GIF"));
    return bytes;
}

}  // namespace gif
