#pragma once
// PNG read by the toolkit's built-in decoder alone. An image reader left to
// guess asks every installed image-format plug-in first whether it reads
// PNG, which loads all of them (about twenty libraries, a third of the
// start-up's extra work); naming the format with guessing off goes straight
// to the built-in decoder. A file or buffer that is not PNG gives a null
// image: nothing else is tried.
#include <QImage>
#include <QSize>

class QIODevice;
class QString;

namespace png {

QImage read(QIODevice* device);
QImage read(const QString& file);
// The size the header gives, without decoding the pixels; invalid when the
// data is not PNG.
QSize size(QIODevice* device);

}  // namespace png
