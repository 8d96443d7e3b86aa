#include "render/png.h"

#include <QImageReader>
#include <QString>

namespace png {

namespace {
void builtInOnly(QImageReader& r) {
    r.setFormat("png");
    r.setAutoDetectImageFormat(false);
}
}  // namespace

QImage read(QIODevice* device) {
    QImageReader r(device);
    builtInOnly(r);
    return r.read();
}

QImage read(const QString& file) {
    QImageReader r(file);
    builtInOnly(r);
    return r.read();
}

QSize size(QIODevice* device) {
    QImageReader r(device);
    builtInOnly(r);
    return r.size();
}

}  // namespace png
