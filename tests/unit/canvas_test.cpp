// The canvas: the world mapping, the pen, clipping of wild coordinates, and
// the axes and grid every window draws.
#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

#include "render/canvas.h"
#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {
QColor at(const Canvas& c, double x, double y) { return c.image().pixelColor(c.pixelAt(x, y)); }
const QColor white(255, 255, 255), black(0, 0, 0), gridBlue(10, 10, 200), gridRed(200, 10, 10);
}  // namespace

class CanvasTest : public QObject {
    Q_OBJECT
private slots:
    void mapping() {
        Canvas c;
        QCOMPARE(c.width(), 396);
        // 18 pixels a unit, the origin in the middle, y growing upwards.
        QCOMPARE(c.toPixel(0, 0), QPointF(198, 198));
        QCOMPARE(c.toPixel(-11, 11), QPointF(0, 0));
        QCOMPARE(c.toPixel(1, 1), QPointF(216, 180));
        QCOMPARE(c.toWorld(216, 180), QPointF(1, 1));
        QVERIFY(c.image().rect().contains(c.pixelAt(10.5, 10.5)));
        QVERIFY(!c.image().rect().contains(c.pixelAt(11.5, 0)));
    }

    void pointsAndLines() {
        Canvas c;
        c.point(10.5, 10.5);
        QCOMPARE(at(c, 10.5, 10.5), black);
        c.point(11.5, 0);  // off the canvas: nothing, no crash
        c.setForeColor(QColor(0, 255, 0));
        c.line(-5, -5, 5, 5);
        QCOMPARE(at(c, 0, 0), QColor(0, 255, 0));
        QCOMPARE(at(c, 3, 3), QColor(0, 255, 0));
        QCOMPARE(at(c, 3, -3), white);
        // The pen is 2 pixels wide.
        Canvas d;
        d.line(-10, 0, 10, 0);
        const QPoint p = d.pixelAt(5, 0);
        QCOMPARE(d.image().pixelColor(p.x(), p.y() - 1), black);
        QCOMPARE(d.image().pixelColor(p.x(), p.y() - 2), white);
        QCOMPARE(d.image().pixelColor(p.x(), p.y() + 1), white);
    }

    // A curve given as one batch of dots is drawn and collected (the runs
    // the trace walks and the description reads) exactly as the same dots
    // given one by one: repeated points, breaks where the curve jumps,
    // points off the picture and undefined ones, dots on its edges.
    void dotsInABatchAsOneByOne() {
        std::vector<QPointF> pts;
        for (int i = 0; i <= 400; ++i) pts.emplace_back(-10 + i * 0.05, std::sin(i * 0.05));
        pts.emplace_back(pts.back());  // repeated
        pts.emplace_back(pts.back());
        for (int i = 0; i < 50; ++i) pts.emplace_back(-5 + i * 0.01, 8 + i * 0.001);  // after a jump
        pts.emplace_back(0, 30);                                                      // off the picture
        pts.emplace_back(qQNaN(), 1);
        pts.emplace_back(-11, -11);  // corners
        pts.emplace_back(11, 11);
        for (int i = 0; i < 20; ++i) pts.emplace_back(3, i % 2 ? 3 : 3.2);  // back and forth
        Canvas batch, single;
        batch.startCollecting();
        single.startCollecting();
        batch.points(pts);
        // One by one, the points that show (a single point is collected
        // wherever it lies; a batch keeps only those on the picture).
        for (const QPointF& p : pts)
            if (std::abs(p.x()) <= 11 && std::abs(p.y()) <= 11) single.point(p.x(), p.y());
        QCOMPARE(batch.image(), single.image());
        const auto runs = batch.takeCollected();
        QCOMPARE(runs, single.takeCollected());
        QVERIFY(runs.size() >= 3);  // the jump and the back-and-forth start runs of their own
    }

    // The same for segments: a curve drawn as a batch of segments gives the
    // runs and pixels of drawing them one at a time, across gaps, repeats,
    // broken segments and the limit of what is collected.
    void segmentsInABatchAsOneByOne() {
        std::vector<QLineF> segs;
        // Segments end to end (each starts exactly where the last ended).
        auto stretch = [&](double x0, double y0, int n, double dx) {
            auto at = [&](int i) { return QPointF(x0 + i * dx, y0 + std::sin(x0 + i * dx)); };
            for (int i = 0; i < n; ++i) segs.emplace_back(at(i), at(i + 1));
        };
        stretch(-10, 0, 300, 0.05);
        segs.push_back(segs.back());             // the same segment again
        segs.emplace_back(qQNaN(), 0, 1, 1);     // broken: skipped
        stretch(-10 + 300 * 0.05, 0, 20, 0.05);  // goes on where the curve was
        stretch(-5, 5, 40, 0.01);                // after a jump
        segs.emplace_back(0, 0, 0, 0);           // a point
        stretch(-10, -5, 120000, 1e-4);          // past what is collected
        stretch(2, 2, 10, 0.1);                  // nothing more is taken
        // Segments each a rounding away from the last: thousands of runs,
        // past the limit on runs.
        for (int i = 0; i < 5000; ++i) segs.emplace_back(-9 + i * 1e-3, 3, -9 + i * 1e-3 + 5e-4, 3.5);
        Canvas batch, single;
        batch.startCollecting();
        single.startCollecting();
        batch.lines(segs);
        for (const QLineF& l : segs) single.line(l.x1(), l.y1(), l.x2(), l.y2());
        QCOMPARE(batch.image(), single.image());
        const auto runs = batch.takeCollected();
        const auto one = single.takeCollected();
        QCOMPARE(runs, one);
        QVERIFY(runs.size() >= 4);
        size_t points = 0;
        for (const auto& r : runs) points += r.size();
        QVERIFY(points > 100000);
        // With the limit on points reached first, the broken segments add
        // nothing; drawn first, they reach the limit on runs.
        Canvas manyRuns, manyOne;
        manyRuns.startCollecting();
        manyOne.startCollecting();
        std::vector<QLineF> broken(segs.end() - 5000, segs.end() - 904);
        // The run begun past the limit on runs takes one segment, even of a
        // stretch end to end.
        const size_t before = segs.size();
        stretch(4, -4, 10, 0.1);
        broken.insert(broken.end(), segs.begin() + before, segs.end());
        manyRuns.lines(broken);
        for (const QLineF& l : broken) manyOne.line(l.x1(), l.y1(), l.x2(), l.y2());
        const auto many = manyRuns.takeCollected();
        QCOMPARE(many, manyOne.takeCollected());
        QCOMPARE(many.size(), size_t(4097));
    }

    // Lines and circles far outside the picture are cut to it before they
    // are drawn (a hang here would show as the test's time-out).
    void wildCoordinatesAreCut() {
        Canvas c;
        c.line(-10, -1e30, 10, 1e30);
        c.line(-10, -3e38, 10, 3e38);
        c.line(0, 0, qInf(), 5);
        c.line(qQNaN(), 0, 1, 1);
        c.circle(0, 0, 1e30);
        c.circle(qInf(), 0, 1);
        c.currentX = 1e30;
        c.print(QStringLiteral("far away"));
        QCOMPARE(at(c, 0, 0), black);  // the steep line still crosses the middle
    }

    void clearKeepsTheBackground() {
        Canvas c;
        c.line(-10, 0, 10, 0);
        const Picture saved = c.picture();
        c.clear();
        QCOMPARE(at(c, 5, 0), white);
        c.setBackground(saved);
        QCOMPARE(at(c, 5, 0), black);
        c.line(0, -10, 0, 10);
        c.clear();  // the drawing goes, the background stays
        QCOMPARE(at(c, 5, 0), black);
        QCOMPARE(at(c, 0, 5), white);
        c.removeBackground();
        c.clear();
        QCOMPARE(at(c, 5, 0), white);
        QCOMPARE(c.currentX, 0.0);
    }

    void boxAndEllipse() {
        Canvas c;
        c.box(-1, 1, 1, -1, QColor(255, 0, 0));
        QCOMPARE(at(c, 0, 0), QColor(255, 0, 0));
        QCOMPARE(at(c, 1.5, 0), white);
        Canvas e;
        e.circle(0, 0, 5, 0.5);  // 5 across, 2.5 up
        QCOMPARE(at(e, 5, 0).red(), 0);
        QCOMPARE(at(e, 0, 5), white);
        QCOMPARE(at(e, 0, 2.5).red(), 0);
    }

    void ownedByItsWindowAndWatchedBySignal() {
        auto* c = new Canvas;
        auto* widget = new CanvasWidget(c);
        widget->resize(400, 400);
        QSignalSpy spy(c, &Canvas::changed);
        c->line(-10, 0, 10, 0);
        c->points({QPointF(1, 1), QPointF(2, 2)});
        QCOMPARE(spy.count(), 2);
        // The canvas may go first: the widget then shows an empty frame.
        delete c;
        QVERIFY(!widget->canvas());
        const QImage shown = widget->grab().toImage();
        QCOMPARE(shown.size(), QSize(400, 400));
        delete widget;

        FamilyWindow* w = openFamily(QStringLiteral("sine"));
        QCOMPARE(w->canvas().parent(), w);
        QCOMPARE(w->canvasWidget()->canvas(), &w->canvas());
        QPointer<Canvas> owned = &w->canvas();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(owned.isNull());  // gone with its window
    }

    void axesAndGridOfAWindow() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        Canvas& c = w->canvas();
        // Shown once: plain black axes with ticks, no numbers.
        QCOMPARE(at(c, 5, 0), black);
        QCOMPARE(at(c, 0, -5), black);
        QCOMPARE(at(c, 3, 0.1), black);    // tick at 3
        QCOMPARE(at(c, 3.5, 0.1), white);  // between ticks
        QCOMPARE(at(c, 9.9, 0.1), black);  // arrow
        QCOMPARE(at(c, 5, 5), white);
        const QPoint before = c.pixelAt(2.5, 5);
        w->gridClicked();
        QVERIFY(w->gridOn());
        QCOMPARE(at(c, 3, 5), gridBlue);
        QCOMPARE(at(c, 5.5, 7), gridBlue);  // horizontal line at 7
        QCOMPARE(at(c, 5, 0), gridRed);
        QCOMPARE(at(c, 5.5, 5.5), white);
        w->gridClicked();
        QVERIFY(!w->gridOn());
        QCOMPARE(at(c, 3, 5), white);
        QCOMPARE(at(c, 5, 0), black);
        // The mapping never moves: not by a redraw, a grid toggle or an overlay step.
        QCOMPARE(c.pixelAt(2.5, 5), before);
        w->redrawClicked();
        QCOMPARE(at(c, 2.5, 5), black);  // y = 2x passes through (2.5, 5)
        w->overlayClicked();
        w->commitClicked();
        QCOMPARE(at(c, 2.5, 5), black);
        w->overlayClicked();
        QCOMPARE(c.pixelAt(2.5, 5), before);
        w->close();
    }
};

VESMAR_WINDOW_TEST_MAIN(CanvasTest)
#include "canvas_test.moc"
