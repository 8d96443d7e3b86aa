// The SVG file written from the picture's description, read by another
// program (librsvg's rsvg-convert, as a document or a browser would): it
// shows what the PNG at four times the size shows, curves solid at any zoom,
// lines as wide, and it stays small.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>

#include "render/canvas.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "tools/output.h"
#include "render/picture.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

FamilyWindow* plotted(const char* key) {
    FamilyWindow* w = openFamily(QLatin1String(key));
    if (auto* b = qobject_cast<QAbstractButton*>(namedControl(w, QStringLiteral("Command1")))) b->click();
    return w;
}

struct Comparison {
    double rmse = 0;  // of the grey levels, 0 … 1
    int dark = 0;     // pixels dark in the bitmap, and all eight around them
    int holes = 0;    // of those, light in the rendered SVG
};

// Grey levels compared pixel by pixel; a hole is where the bitmap has ink all
// around and the SVG has (almost) none. (Along an edge the two may differ by
// a pixel of smoothing: that is no hole.)
Comparison compare(const QImage& bitmap, const QImage& svg) {
    Comparison c;
    const QImage a = bitmap.convertToFormat(QImage::Format_RGB32), b = svg.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size()) {
        c.rmse = 1;
        return c;
    }
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int ga = qGray(a.pixel(x, y)), gb = qGray(b.pixel(x, y));
            sum += double(ga - gb) * (ga - gb);
            bool inside = x > 0 && y > 0 && x + 1 < a.width() && y + 1 < a.height();
            for (int dy = -1; inside && dy <= 1; ++dy)
                for (int dx = -1; inside && dx <= 1; ++dx) inside = qGray(a.pixel(x + dx, y + dy)) < 128;
            if (inside) {
                ++c.dark;
                c.holes += gb > 192;
            }
        }
    c.rmse = std::sqrt(sum / (double(a.width()) * a.height())) / 255;
    return c;
}

QString describe(const Comparison& c) {
    return QStringLiteral("RMSE %1, %2 of %3 dark pixels light in the SVG").arg(c.rmse).arg(c.holes).arg(c.dark);
}

}  // namespace

class SvgTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }

    // The document rendered by rsvg-convert at side x side pixels; viewBox
    // replaces the document's own to render a part of it.
    QImage render(const QByteArray& svg, int side, const QString& viewBox = QString()) {
        QByteArray doc = svg;
        if (!viewBox.isEmpty()) doc.replace("viewBox=\"0 0 396 396\"", "viewBox=\"" + viewBox.toLatin1() + '"');
        const QString in = at(QStringLiteral("in.svg")), out = at(QStringLiteral("out.png"));
        QFile::remove(out);
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(doc) != doc.size()) return {};
        f.close();
        QProcess p;
        p.start(QStringLiteral("rsvg-convert"), {QStringLiteral("-w"), QString::number(side), QStringLiteral("-h"),
                                                 QString::number(side), QStringLiteral("-o"), out, in});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) return {};
        return QImage(out);
    }

private slots:
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")).isEmpty(),
                 "rsvg-convert (librsvg2-bin) is missing");
    }
    void cleanup() {
        FamilyManager::instance().closeAll();
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Curves of thousands of dots: as solid as in the bitmap, at its size and
    // sixteen times enlarged, in a file of a few dozen kilobytes.
    void curvesMatchTheX4Png_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QPointF>("onCurve");  // world point of the curve, clear of axes and texts
        QTest::newRow("sine") << QStringLiteral("sine") << QPointF(-2, std::sin(-2 + 1.0471975));
        QTest::newRow("hyperbola") << QStringLiteral("hyperbola") << QPointF(5, 2.0 / 3 * std::sqrt(16.0));
        QTest::newRow("quadratic") << QStringLiteral("quadratic") << QPointF(-1, 1.0);
    }
    void curvesMatchTheX4Png() {
        QFETCH(QString, key);
        QFETCH(QPointF, onCurve);
        FamilyWindow* w = plotted(key.toLatin1().constData());
        QVERIFY(w);
        const Picture picture = w->canvas().picture();
        const QByteArray svg = output::svgBytes(picture, w->windowTitle());
        QVERIFY(!svg.isEmpty());
        qInfo("%s: %lld bytes", qPrintable(key), qlonglong(svg.size()));
        QVERIFY2(svg.size() < 150 * 1024, qPrintable(QString::number(svg.size())));
        QVERIFY(!svg.contains("evenodd"));

        const QImage four = picture.render(output::kPngScale);
        const QImage whole = render(svg, four.width());
        QVERIFY(!whole.isNull());
        const Comparison c = compare(four, whole);
        qInfo("%s at x4: %s", qPrintable(key), qPrintable(describe(c)));
        QVERIFY2(c.rmse < 0.03 && c.holes * 1000 < c.dark, qPrintable(describe(c)));

        // A 24-pixel square around a point of the curve, sixteen times
        // enlarged, against the x4 bitmap's pixels blown up four times (the
        // dots sit on its quarter pixels, so that is their exact shape; a
        // slanting line's edge is a staircase there and smooth in the SVG).
        const QPointF p = w->canvas().toPixel(onCurve.x(), onCurve.y());
        const int x0 = int(p.x()) - 12, y0 = int(p.y()) - 12;
        const QImage zoomed = render(svg, 24 * 16, QStringLiteral("%1 %2 24 24").arg(x0).arg(y0));
        QVERIFY(!zoomed.isNull());
        const QImage blown = four.copy(x0 * 4, y0 * 4, 96, 96).scaled(384, 384);
        const Comparison z = compare(blown, zoomed);
        qInfo("%s at x16: %s", qPrintable(key), qPrintable(describe(z)));
        QVERIFY2(z.dark > 1000, qPrintable(describe(z)));  // the curve is there
        QVERIFY2(z.rmse < 0.08 && z.holes * 100 < z.dark, qPrintable(describe(z)));
    }

    // Lines are as wide as in the bitmap in every direction: the pen covers
    // its width across the line's major axis there, so a diagonal is thinner
    // measured square to it. Ellipses and boxes land where the bitmap has them.
    void shapesMatchTheX4Png() {
        auto d = std::make_shared<picture::Description>();
        const QRgb black = qRgb(0, 0, 0);
        d->addSegment(20, 40, 376, 40, black, 2);
        d->addSegment(20, 80, 170, 230, black, 2);    // 45 degrees
        d->addSegment(200, 80, 376, 182, black, 3);   // about 30 degrees
        d->addSegment(300, 300, 300, 300, black, 2);  // no length: its dot
        d->addEllipse(QPointF(110, 300), 60, 40, qRgb(0, 0, 255), 1);
        d->addBox(200, 250, 260, 280, qRgb(255, 0, 0));
        const Picture picture(d, QImage(picture::kSize, picture::kSize, QImage::Format_RGB32));
        const QByteArray svg = output::svgBytes(picture, QStringLiteral("线"));
        const QImage four = picture.render(4), rendered = render(svg, four.width());
        QVERIFY(!rendered.isNull());

        // Ink down one column through each line, in device pixels.
        auto thickness = [](const QImage& img, int column, int from, int to) {
            int n = 0;
            for (int y = from; y < to; ++y) n += qGray(img.pixel(column, y)) < 128;
            return n;
        };
        struct Probe {
            int column, from, to;
        };
        for (const Probe& pr :
             {Probe{200 * 4, 30 * 4, 50 * 4}, Probe{100 * 4, 150 * 4, 170 * 4}, Probe{290 * 4, 120 * 4, 150 * 4}}) {
            const int want = thickness(four, pr.column, pr.from, pr.to),
                      got = thickness(rendered, pr.column, pr.from, pr.to);
            QVERIFY2(want > 0 && std::abs(got - want) <= 1,
                     qPrintable(QStringLiteral("column %1: %2 pixels in the SVG, %3 in the PNG")
                                    .arg(pr.column)
                                    .arg(got)
                                    .arg(want)));
        }
        const Comparison c = compare(four, rendered);
        QVERIFY2(c.rmse < 0.03 && c.holes * 100 < c.dark, qPrintable(describe(c)));
        // The box in its red, the ellipse's outline in its blue.
        QCOMPARE(rendered.pixel(230 * 4, 265 * 4) | 0xFF000000u, qRgb(255, 0, 0));
        QCOMPARE(qBlue(rendered.pixel(110 * 4, 260 * 4 + 1)) > 200 && qRed(rendered.pixel(110 * 4, 260 * 4 + 1)) < 100,
                 true);
    }

    // One element per kind of thing drawn, the caption as the title, the
    // picture's square at its printed size, texts with their fonts and colours.
    void documentCarriesTheDrawing() {
        FamilyWindow* w = plotted("sine");
        QVERIFY(w);
        const QByteArray svg = output::svgBytes(w->canvas().picture(), w->windowTitle());
        QXmlStreamReader xml(svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        QCOMPARE(xml.attributes().value(QStringLiteral("viewBox")).toString(), QStringLiteral("0 0 396 396"));
        // 396 pixels at 96 per inch: 10.5 cm, as printed.
        QCOMPARE(xml.attributes().value(QStringLiteral("width")).toString(), QStringLiteral("104.775mm"));
        QCOMPARE(xml.attributes().value(QStringLiteral("height")).toString(), QStringLiteral("104.775mm"));
        QString title;
        int filled = 0, stroked = 0, texts = 0, redTexts = 0, images = 0;
        QStringList families;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            const QString n = xml.name().toString();
            const QXmlStreamAttributes a = xml.attributes();
            if (n == QLatin1String("title")) title = xml.readElementText();
            if (n == QLatin1String("path")) {
                filled += a.value(QStringLiteral("fill")) != QLatin1String("none");
                stroked += a.hasAttribute(QStringLiteral("stroke"));
            }
            if (n == QLatin1String("text")) {
                ++texts;
                redTexts += a.value(QStringLiteral("fill")) == QLatin1String("#ff0000");
                families << a.value(QStringLiteral("font-family")).toString();
                QVERIFY(a.value(QStringLiteral("font-size")).toDouble() > 8);
            }
            images += n == QLatin1String("image");
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(title, w->windowTitle());
        QVERIFY(!title.isEmpty());
        QVERIFY2(filled >= 1 && stroked >= 1, qPrintable(QStringLiteral("%1 %2").arg(filled).arg(stroked)));
        QVERIFY(texts > 10);     // the grid numbers and the expression
        QVERIFY(redTexts >= 1);  // the expression and the π labels
        QVERIFY(families.join(' ').contains(QStringLiteral("Times New Roman"), Qt::CaseInsensitive));
        QCOMPARE(images, 0);
    }
};

VESMAR_WINDOW_TEST_MAIN(SvgTest)
#include "svg_test.moc"
