// Animated GIFs as the animator exports them, read back by a decoder of
// their own (the toolkit's GIF reader): every frame, its time, the loop.
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

#include "render/gif_writer.h"

namespace {

// A frame as a plot looks: white, axes, a curve that moves with k, and
// smoothed text (its edges are shades no palette of the main colours holds).
QImage plotFrame(int k, QSize size = QSize(200, 160)) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QColor(0, 0, 0));
    p.drawLine(0, size.height() / 2, size.width(), size.height() / 2);
    p.drawLine(size.width() / 2, 0, size.width() / 2, size.height());
    p.setPen(QPen(QColor(255, 0, 0), 2));
    for (int x = 0; x + 1 < size.width(); ++x) {
        auto y = [&](int at) { return int(size.height() / 2 - (k + 1) * 0.002 * (at - 100) * (at - 100)); };
        p.drawLine(x, y(x), x + 1, y(x + 1));
    }
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(0, 0, 255));
    p.drawText(10, 20, QStringLiteral("Y = %1X^2").arg(k + 1));
    return img;
}

struct Decoded {
    std::vector<QImage> frames;
    std::vector<int> delays;
    int loops = -2;
};

Decoded decode(const QByteArray& bytes) {
    Decoded d;
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader r(&buf, "gif");
    d.loops = r.loopCount();
    for (int guard = 0; guard < 1000; ++guard) {
        QImage img = r.read();
        if (img.isNull()) break;
        d.frames.push_back(img.convertToFormat(QImage::Format_RGB32));
        d.delays.push_back(r.nextImageDelay());
    }
    return d;
}

int colours(const QImage& img) {
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) seen.insert(img.pixel(x, y));
    return int(seen.size());
}

}  // namespace

class GifTest : public QObject {
    Q_OBJECT
private slots:
    void framesComeBackExactly() {
        QVERIFY(QImageReader::supportedImageFormats().contains("gif"));
        std::vector<QImage> frames = {plotFrame(0), plotFrame(1), plotFrame(1), plotFrame(3)};
        for (const QImage& f : frames) QVERIFY2(colours(f) <= 256, "a test frame must fit one palette");
        QString error;
        const QByteArray bytes = gif::encode(frames, 5, &error);
        QVERIFY2(!bytes.isEmpty(), qPrintable(error));
        const Decoded d = decode(bytes);
        QCOMPARE(d.frames.size(), frames.size());  // the unchanged frame keeps its place and time
        for (size_t i = 0; i < frames.size(); ++i) QCOMPARE(d.frames[i], frames[i]);
        for (int delay : d.delays) QCOMPARE(delay, 50);  // milliseconds
        QCOMPARE(d.loops, -1);                           // for ever
    }

    // More colours than a palette holds: the frame's commonest colours stay
    // exact (background, axes, curve), the rare shades go to the nearest.
    void manyColoursKeepTheMainOnesExact() {
        QImage img = plotFrame(2, QSize(300, 200));
        for (int i = 0; i < 600; ++i) img.setPixel(i % 300, 150 + i / 300, qRgb(i % 256, (i * 7) % 256, 128));
        QVERIFY(colours(img) > 256);
        QString error;
        const Decoded d = decode(gif::encode({img}, 10, &error));
        QCOMPARE(d.frames.size(), size_t(1));
        const QImage& back = d.frames[0];
        QCOMPARE(back.pixel(5, 5), qRgb(255, 255, 255));
        QCOMPARE(back.pixel(150, 60), img.pixel(150, 60));  // on the y axis
        QCOMPARE(back.pixel(20, 100), qRgb(0, 0, 0));       // on the x axis
        // The rest is close: no pixel is further off than the rare shades allow.
        int off = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) off += back.pixel(x, y) != img.pixel(x, y);
        QVERIFY2(off > 0 && off <= 600, qPrintable(QString::number(off)));
    }

    void badFramesAreRefusedWithAReason() {
        QString error;
        QVERIFY(gif::encode({}, 5, &error).isEmpty());
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(gif::encode({plotFrame(0), plotFrame(0, QSize(10, 10))}, 5, &error).isEmpty());
        QVERIFY(!error.isEmpty());
        QCOMPARE(gif::delayFor(20), 5);
        QCOMPARE(gif::delayFor(60), 2);  // never below what viewers honour
        QCOMPARE(gif::delayFor(0), 10);
        QCOMPARE(gif::delayFor(qQNaN()), 10);
    }
};

QTEST_MAIN(GifTest)
#include "gif_test.moc"
