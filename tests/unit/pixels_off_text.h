#pragma once
// Two renderings of one picture compared away from its texts: the smoothing
// of glyphs differs between systems and font engines, while lines, dots,
// circles and boxes are drawn aliased and must match to the pixel.
#include <QFontMetricsF>
#include <QImage>
#include <QRegion>
#include <QString>

#include "render/picture.h"

// Where the picture's texts may have put a pixel, at scale 1, with a margin
// for another engine's metrics.
inline QRegion textArea(const picture::Description& d) {
    QRegion area;
    for (const picture::Op& op : d.ops) {
        if (op.kind != picture::Kind::Text || op.text < 0 || size_t(op.text) >= d.texts.size()) continue;
        const picture::TextItem& t = d.texts[size_t(op.text)];
        const QRectF box = QFontMetricsF(t.font).boundingRect(t.text).translated(op.a, op.b);
        area += box.adjusted(-3, -3, 3, 3).toAlignedRect();
    }
    return area;
}

// "N pixels differ away from the texts, the first at (x, y)", or empty when
// every pixel outside the text area is the same in both.
inline QString differencesOffText(const QImage& a, const QImage& b, const QRegion& texts) {
    if (a.size() != b.size()) return QStringLiteral("sizes differ");
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int differ = 0;
    QPoint first;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (x.pixel(col, row) != y.pixel(col, row) && !texts.contains(QPoint(col, row)))
                if (differ++ == 0) first = QPoint(col, row);
    if (!differ) return QString();
    return QStringLiteral("%1 pixels differ away from the texts, the first at (%2, %3)")
        .arg(differ)
        .arg(first.x())
        .arg(first.y());
}
