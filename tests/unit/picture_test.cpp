// The picture kept as a description: painted at scale 1 it is exactly the
// canvas bitmap, painted larger it is sharp (not a blown-up bitmap) with
// exact colours, and what it holds stays bounded however long one draws.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <cmath>
#include <set>

#include "render/canvas.h"
#include "render/png.h"
#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

// The first pixel where two images differ, for the failure message.
QString firstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return QStringLiteral("sizes differ");
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    QString first;
    for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c)
            if (x.pixel(c, r) != y.pixel(c, r)) {
                if (!n)
                    first = QStringLiteral("(%1,%2) %3 vs %4")
                                .arg(c)
                                .arg(r)
                                .arg(x.pixel(c, r), 0, 16)
                                .arg(y.pixel(c, r), 0, 16);
                ++n;
            }
    return n ? QStringLiteral("%1 pixels differ, first %2").arg(n).arg(first) : QString();
}

// Painting the saved description afresh at scale 1 gives the bitmap.
void checkReplay(FamilyWindow* w, const char* what) {
    const Picture p = w->canvas().picture();
    const QString d = firstDifference(p.render(1), w->canvas().image());
    QVERIFY2(d.isEmpty(), qPrintable(QStringLiteral("%1 %2: %3").arg(w->traits().key, QLatin1String(what), d)));
}

// Aligned s x s blocks of a picture painted at scale s that are not of one
// colour: zero for a blown-up bitmap.
int mixedBlocks(const QImage& img, int s) {
    int mixed = 0;
    for (int y = 0; y + s <= img.height(); y += s)
        for (int x = 0; x + s <= img.width(); x += s) {
            const QRgb c = img.pixel(x, y);
            bool same = true;
            for (int j = 0; j < s && same; ++j)
                for (int i = 0; i < s && same; ++i) same = img.pixel(x + i, y + j) == c;
            mixed += !same;
        }
    return mixed;
}

std::set<QRgb> colours(const QImage& img) {
    std::set<QRgb> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) out.insert(img.pixel(x, y) | 0xFF000000u);
    return out;
}

std::vector<QPointF> sineDots() {
    std::vector<QPointF> pts;
    for (float x = -10.f; x <= 10.f; x += 0.01f) pts.emplace_back(x, 3 * std::sin(x));
    return pts;
}

const QRgb kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

// An image painted at scale s seen at scale 1: each s x s block becomes its
// one colour, or a colour no drawing uses when the block is mixed.
QImage reduced(const QImage& big, int s) {
    const QRgb kMixed = 0xFF123456u;
    QImage out(big.width() / s, big.height() / s, QImage::Format_RGB32);
    for (int by = 0; by < out.height(); ++by)
        for (int bx = 0; bx < out.width(); ++bx) {
            const QRgb c = big.pixel(bx * s, by * s) | 0xFF000000u;
            bool same = true;
            for (int y = by * s; y < (by + 1) * s && same; ++y)
                for (int x = bx * s; x < (bx + 1) * s && same; ++x) same = (big.pixel(x, y) | 0xFF000000u) == c;
            out.setPixel(bx, by, same ? c : kMixed);
        }
    return out;
}

}  // namespace

class PictureTest : public QObject {
    Q_OBJECT
private slots:
    // The pictures and a plot file's picture come back exactly as written:
    // every channel in its place, partial transparency kept unmixed, and a
    // broken file is refused whole (never half a picture). Reading the size
    // leaves the reader where it was, as the plot file then reads the pixels.
    void pngComesBackExactlyOrNotAtAll() {
        QImage argb(7, 5, QImage::Format_ARGB32);
        QImage rgb(7, 5, QImage::Format_RGB32);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                argb.setPixel(x, y, qRgba(x * 37, y * 51, 200 - x * 20, 30 + 30 * y + x));
                rgb.setPixel(x, y, qRgb(250 - x * 30, 17 * y, x * y * 5));
            }
        for (const QImage& original : {argb, rgb}) {
            QByteArray bytes;
            QBuffer out(&bytes);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QVERIFY(QImageWriter(&out, "PNG").write(original));
            QBuffer in(&bytes);
            QVERIFY(in.open(QIODevice::ReadOnly));
            QCOMPARE(png::size(&in), original.size());
            QCOMPARE(in.pos(), qint64(0));
            const QImage back = png::read(&in);
            QCOMPARE(back.size(), original.size());
            QCOMPARE(back.hasAlphaChannel(), original.hasAlphaChannel());
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) QCOMPARE(back.pixel(x, y), original.pixel(x, y));

            for (const QByteArray& broken : {bytes.left(bytes.size() - 20), bytes.left(30), QByteArray("not a png")}) {
                QBuffer b;
                b.setData(broken);
                QVERIFY(b.open(QIODevice::ReadOnly));
                QVERIFY(png::read(&b).isNull());
            }
        }
        QVERIFY(png::read(QStringLiteral("/nonexistent/picture.png")).isNull());
    }

    // Painting at a whole scale s is painting at scale 1 with every pixel an
    // s x s block, for whatever starts and ends on whole pixels: dots of every
    // pen width, lines along the axes in the usual pen of 2 (their spans and
    // end dots; other pens are centred anew at each scale) and boxes.
    // An oracle independent of the scaled painting: shifting the scaled dots
    // or caps by a device pixel leaves mixed blocks.
    void wholeScalesAreScaleOneInBlocks() {
        auto d = std::make_shared<picture::Description>();
        const QRgb black = 0xFF000000u, red = 0xFFFF0000u, blue = 0xFF0000FFu;
        for (int w = 1; w <= 4; ++w) {
            d->addDot(40 + 20 * w, 30, black, w);
            d->addDot(40 + 20 * w, 60 + w, red, w);
        }
        d->addSegment(20, 100, 300, 100, black, 2);  // horizontal, pen 2
        d->addSegment(50, 120, 50, 380, blue, 2);    // vertical
        d->addSegment(100, 150, 100, 152, red, 2);   // a tick shorter than the pen
        d->addBox(200, 250, 260, 290, red);
        d->addBox(210, 260, 211, 261, blue);  // one pixel
        const Picture p(d, QImage());
        const QImage one = p.render(1);
        for (int s : {2, 3, 4}) {
            const QString diff = firstDifference(reduced(p.render(s), s), one);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("scale %1: %2").arg(s).arg(diff)));
        }
    }

    // A short tick at any scale is a straight stroke of the scaled pen's
    // width: its end dots sit on the stroke, not one pixel off to the side.
    void shortTicksStayStraightAtEveryScale() {
        Canvas c;
        c.line(1, 0, 1, 0.2);  // a tick standing on the x axis
        c.line(0, 3, 0.2, 3);  // a tick beside the y axis
        for (double s : {1.0, 1.25, 1.5, 2.0, 3.0}) {
            const QImage img = c.render(s).convertToFormat(QImage::Format_RGB32);
            const int w = std::max(1, int(std::lround(2 * s)));
            std::set<int> cols, rows;
            // The vertical tick stands right of the centre column, the
            // horizontal one lies in a band around it.
            const int mid = img.width() / 2, band = int(9 * s);
            for (int y = 0; y < img.height(); ++y)
                for (int x = mid - band; x < img.width(); ++x)
                    if (img.pixel(x, y) == 0xFF000000u) (x >= mid + band ? cols : rows).insert(x >= mid + band ? x : y);
            QVERIFY2(int(cols.size()) == w && *cols.rbegin() - *cols.begin() == w - 1,
                     qPrintable(QStringLiteral("scale %1: vertical tick %2 columns wide").arg(s).arg(cols.size())));
            QVERIFY2(int(rows.size()) == w && *rows.rbegin() - *rows.begin() == w - 1,
                     qPrintable(QStringLiteral("scale %1: horizontal tick %2 rows high").arg(s).arg(rows.size())));
        }
    }
    void cleanup() {
        FamilyManager::instance().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Every window's own drawing, with the grid and in overlay mode.
    void everyFamilyPaintsTheSamePixelsAtScaleOne() {
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            QVERIFY2(w, qPrintable(e.key));
            QCoreApplication::processEvents();
            checkReplay(w, "as opened");
            w->frameControls().redraw->click();
            checkReplay(w, "redrawn");
            w->gridClicked();
            checkReplay(w, "with the grid");
            w->gridClicked();
            w->overlayClicked();
            if (!w->frameControls().sliders.empty()) {
                QScrollBar* s = w->frameControls().sliders.front().slider;
                QVERIFY(s);
                s->setValue(s->value() == s->maximum() ? s->value() - 1 : s->value() + 1);
            }
            checkReplay(w, "overlay preview");
            w->commitClicked();
            checkReplay(w, "overlay committed");
            w->overlayClicked();
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void eachFreehandToolPaintsTheSamePixelsAtScaleOne() {
        FamilyWindow* w = openFamily(QStringLiteral("quadratic"));
        QVERIFY(w);
        w->frameControls().redraw->click();
        CanvasWidget* cw = w->canvasWidget();
        auto* colour = w->findChild<QComboBox*>(QStringLiteral("Combo1sh"));
        QVERIFY(colour);

        chooseTool(w, "Option1sh");  // line
        colour->setCurrentIndex(colour->findText(QStringLiteral("红色")));
        cw->mousePress(Qt::LeftButton, -6, -6);
        cw->mouseMove(Qt::LeftButton, 4, 2);
        cw->mouseRelease(Qt::LeftButton, 4.3, 2.1);
        checkReplay(w, "line");

        chooseTool(w, "Option2sh");  // ellipse
        colour->setCurrentIndex(colour->findText(QStringLiteral("蓝色")));
        cw->mousePress(Qt::LeftButton, -8, 7);
        cw->mouseMove(Qt::LeftButton, -2, 4);
        cw->mouseRelease(Qt::LeftButton, -2.2, 4.1);
        checkReplay(w, "ellipse");

        chooseTool(w, "Option3sh");  // free stroke
        colour->setCurrentIndex(colour->findText(QStringLiteral("绿色")));
        cw->mousePress(Qt::LeftButton, 1, -8);
        for (int i = 0; i < 60; ++i) cw->mouseMove(Qt::LeftButton, 1 + i * 0.13, -8 + std::sin(i * 0.3) * 2);
        cw->mouseRelease(Qt::LeftButton, 8.8, -8);
        checkReplay(w, "stroke");

        chooseTool(w, "Option5sh");  // text
        cw->mousePress(Qt::LeftButton, -9, -2);
        cw->mouseRelease(Qt::LeftButton, -9, -2);
        QLineEdit* box = cw->textBox();
        box->setText(QStringLiteral("文字 text 123"));
        QTest::keyClick(box, Qt::Key_Return);
        checkReplay(w, "text");

        chooseTool(w, "Option6sh");  // eraser, across everything above
        for (int i = 0; i < 40; ++i) cw->mouseMove(Qt::LeftButton, -9 + i * 0.45, -6 + i * 0.3);
        checkReplay(w, "eraser");
        // And all of it as the overlay's saved picture.
        w->overlayClicked();
        w->commitClicked();
        checkReplay(w, "freehand under an overlay");
    }

    // Painted at twice the size: the curve follows the finer pixel grid
    // instead of being the 1x bitmap doubled, and line art keeps exact colours.
    void largerScalesAreSharpWithExactColours() {
        Canvas c;
        c.line(-10, 0, 10, 0);
        c.line(0, -10, 0, 10);
        c.points(sineDots());
        c.point(3.14159, 0, QColor(255, 0, 0));
        c.setForeColor(QColor(0, 0, 255));
        c.circle(-5, 5, 2, 0.5);
        c.box(5, 9, 7, 7, QColor(255, 0, 0));

        const QImage one = c.image();
        const QImage two = c.render(2);
        QCOMPARE(two.size(), QSize(792, 792));
        QCOMPARE(mixedBlocks(one.scaled(792, 792), 2), 0);  // the check itself sees a doubled bitmap
        QVERIFY2(mixedBlocks(two, 2) > 200, qPrintable(QString::number(mixedBlocks(two, 2))));
        QCOMPARE(colours(two), (std::set<QRgb>{kWhite, kBlack, kRed, kBlue}));

        // At four times the size every world point of the curve lies on black.
        const QImage four = c.render(4);
        QCOMPARE(four.size(), QSize(1584, 1584));
        QCOMPARE(colours(four), (std::set<QRgb>{kWhite, kBlack, kRed, kBlue}));
        for (const QPointF& q : sineDots()) {
            const QPointF p = c.toPixel(q.x(), q.y()) * 4;
            const QPoint at(int(std::floor(p.x())), int(std::floor(p.y())));
            if (!four.rect().contains(at) || std::fabs(q.x() - 3.14159) < 0.2) continue;  // the red dot is on top
            QVERIFY2(four.pixel(at) == kBlack, qPrintable(QStringLiteral("%1,%2").arg(q.x()).arg(q.y())));
        }
        QCOMPARE(four.pixel(four.width() / 4, 80), kWhite);  // background above the curve
        // The line widths grow with the scale: the x axis is 2 pixels at 1x, 8 at 4x.
        int thick = 0;
        for (int y = 4 * 198 - 12; y < 4 * 198 + 12; ++y) thick += four.pixel(4 * 100, y) == kBlack;
        QCOMPARE(thick, 8);

        // The red box covers exactly its 1x pixels, scaled.
        const QPoint tl = c.pixelAt(5, 9);
        QCOMPARE(four.pixel(4 * tl.x(), 4 * tl.y()), kRed);
        QCOMPARE(four.pixel(4 * tl.x() - 1, 4 * tl.y()), kWhite);
    }

    // The screen's copy grows with each stroke instead of being painted anew:
    // it must always equal a full painting, across texts, clears and saved pictures.
    void updatingAPaintedCopyEqualsPaintingItAnew() {
        Canvas c;
        QImage img;
        img.setDevicePixelRatio(2);
        Canvas::Painted state;
        auto check = [&](const char* what) {
            c.update(img, 2, state);
            QVERIFY2(firstDifference(img, c.render(2)).isEmpty(), what);
        };
        check("empty");
        c.line(-10, 0, 10, 0);
        check("one line");
        c.currentX = -3;
        c.currentY = 5;
        c.print(QStringLiteral("y = x"));
        check("a text");
        check("nothing new: the text is not blended twice");
        c.setForeColor(QColor(0, 0, 255));
        for (int i = 0; i < 50; ++i) {
            c.line(i * 0.1, std::sin(i * 0.1), (i + 1) * 0.1, std::sin((i + 1) * 0.1));
            if (i % 10 == 0) check("a growing stroke");
        }
        c.box(0, 0, 2, -2, QColor(255, 255, 255));
        check("an eraser box");
        c.clear();
        c.points(sineDots());
        check("after a clear");
        c.setBackground(c.picture());
        c.circle(1, 1, 3);
        check("over a saved picture");
    }

    void scalesOutOfRangeStayBounded() {
        Canvas c;
        c.points(sineDots());
        for (double s : {0.0, -3.0, qQNaN(), qInf()}) QCOMPARE(c.render(s).size(), QSize(396, 396));
        const QImage huge = c.render(1e9);
        QVERIFY(huge.width() <= picture::kMaxSide);
        QCOMPARE(huge.width(), huge.height());
        const Picture p = c.picture();
        QVERIFY(p.render(1e12).width() <= picture::kMaxSide);
        QCOMPARE(p.render(-1).size(), QSize(396, 396));
        QCOMPARE(p.render(1.0 / 396).size(), QSize(1, 1));  // a sliver of a window
        QCOMPARE(Picture().render(2).pixel(5, 5), kWhite);
    }

    // Thousands of slider steps rebuild the picture each time: a clear drops
    // what it covers, so nothing piles up.
    void clearsDropWhatTheyCover() {
        FamilyWindow* w = openFamily(QStringLiteral("sine"));
        QVERIFY(w);
        QVERIFY(!w->frameControls().sliders.empty());
        QScrollBar* s = w->frameControls().sliders.front().slider;
        QVERIFY(s);
        const int a = s->value() < s->maximum() ? s->value() + 1 : s->value() - 1, b = s->value();
        s->setValue(a);
        const size_t first = w->canvas().descriptionWeight();
        QVERIFY(first > 0);
        for (int i = 0; i < 2000; ++i) s->setValue(i % 2 ? a : b);
        QVERIFY2(w->canvas().descriptionWeight() <= first * 2,
                 qPrintable(QStringLiteral("%1 -> %2").arg(first).arg(w->canvas().descriptionWeight())));
        // In overlay mode each step goes back to the saved picture.
        w->overlayClicked();
        s->setValue(a);
        const size_t overlay = w->canvas().descriptionWeight();
        for (int i = 0; i < 2000; ++i) s->setValue(i % 2 ? a : b);
        QVERIFY(w->canvas().descriptionWeight() <= overlay * 2);
    }

    // A freehand session without any clear: the oldest part is flattened
    // into pixels once the budget is reached; the bitmap stays exact.
    void longSessionsStayWithinTheBudget() {
        Canvas c;
        c.points(sineDots());
        const int moves = int(Canvas::kBudget / (2 * sizeof(QPointF))) + 5000;
        c.setForeColor(QColor(0, 0, 255));
        for (int i = 0; i < moves; ++i) {
            const double t = i * 0.001;
            c.line(std::sin(t) * 9, std::cos(t * 1.3) * 9, std::sin(t + 0.001) * 9, std::cos((t + 0.001) * 1.3) * 9);
        }
        QVERIFY(c.descriptionWeight() <= Canvas::kBudget);
        const Picture p = c.picture();
        QVERIFY(p.description()->weight() <= Canvas::kBudget);
        QCOMPARE(firstDifference(p.render(1), c.image()), QString());
        const QImage two = c.render(2);
        QCOMPARE(two.size(), QSize(792, 792));
        QVERIFY(colours(two).size() <= 3);  // white, black, blue: nothing smeared
        // A saved picture and the drawing over it, each within the budget,
        // together beyond it.
        std::vector<QPointF> many;
        for (int i = 0; i < int(Canvas::kBudget / sizeof(QPointF) / 2) + 100; ++i)
            many.emplace_back(-10 + (i % 2000) * 0.01, -10 + (i / 2000) * 0.05);
        Canvas e;
        e.points(many);
        const Picture half = e.picture();
        QVERIFY(half.description()->weight() > Canvas::kBudget / 2);
        Canvas d;
        d.setBackground(half);
        d.setForeColor(QColor(255, 0, 0));
        for (QPointF& q : many) q += QPointF(0.02, 0.02);
        d.points(many);
        QVERIFY(d.descriptionWeight() > Canvas::kBudget);
        const Picture q = d.picture();
        QVERIFY(q.description()->weight() <= Canvas::kBudget);
        QCOMPARE(firstDifference(q.render(1), d.image()), QString());
        QCOMPARE(q.render(2).size(), QSize(792, 792));
    }
};

VESMAR_WINDOW_TEST_MAIN(PictureTest)
#include "picture_test.moc"
