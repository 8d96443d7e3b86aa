#pragma once
// PNG read without the image-format plug-ins. An image reader left to guess
// asks every installed plug-in first whether it reads PNG, which loads all of
// them (about twenty libraries, a third of the start-up's extra work). Where
// the system's libpng is at hand (Linux: the toolkit itself uses it) it
// decodes directly; elsewhere the toolkit's built-in decoder is named, with
// guessing off. A file or buffer that is not PNG, or is larger than the
// limits below, gives a null image: nothing else is tried.
#include <QImage>
#include <QSize>

class QIODevice;
class QString;

namespace png {

// Far above any picture of the program (a plot file's largest is 1 584
// pixels square): a file claiming more is refused before any pixel memory
// is taken.
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;
constexpr qint64 kMaxBytes = 64LL * 1024 * 1024;

QImage read(QIODevice* device);
QImage read(const QString& file);
// The size the header gives, without decoding the pixels; invalid when the
// data is not PNG.
QSize size(QIODevice* device);

}  // namespace png
