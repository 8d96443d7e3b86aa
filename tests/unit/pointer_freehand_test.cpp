// The pointer readout, the crosshair and the freehand tools on a real plot
// window: what lands in the picture, what only floats above it, and that
// odd pointer values end no action badly.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "tools/freehand.h"
#include "tools/install.h"
#include "tools/pointer.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {
const QColor white(255, 255, 255), black(0, 0, 0), red(255, 0, 0), cyan(0, 192, 192);

QColor at(const Canvas& c, double x, double y) { return c.image().pixelColor(c.pixelAt(x, y)); }

int countColor(const QImage& img, const QColor& c) {
    int n = 0;
    const QRgb want = c.rgb();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == want) ++n;
    return n;
}

}  // namespace

class PointerFreehandTest : public QObject {
    Q_OBJECT
private slots:
    void readoutText() {
        QCOMPARE(pointer::readoutText(3.14159f, -2.5f), QStringLiteral("(3.14,-2.5)"));
        // Halves go to the even hundredth, on the single value as held.
        QCOMPARE(pointer::readoutText(0.125f, 0.375f), QStringLiteral("(0.12,0.38)"));
        // 2.675 held as single lies a hair below the half.
        QCOMPARE(pointer::readoutText(-0.125f, 2.675f), QStringLiteral("(-0.12,2.67)"));
        // Tiny values read 0, never "-0".
        QCOMPARE(pointer::readoutText(0.004f, -0.004f), QStringLiteral("(0,0)"));
        QCOMPARE(pointer::readoutText(-11.f, 11.f), QStringLiteral("(-11,11)"));
        QCOMPARE(pointer::readoutText(10.999f, -10.996f), QStringLiteral("(11,-11)"));
    }

    void ellipseOfADrag() {
        using freehand::ellipseOf;
        // Wide: the radius is the horizontal semi-axis, squeezed vertically.
        auto e = ellipseOf(-4, 1, 4, -1);
        QVERIFY(e);
        QCOMPARE(e->cx, 0.f);
        QCOMPARE(e->cy, 0.f);
        QCOMPARE(e->r, 4.f);
        QCOMPARE(e->aspect, 0.25f);
        // Tall, dragged right to left and upwards: radius is the vertical semi-axis.
        e = ellipseOf(3, -2, 1, 6);
        QVERIFY(e);
        QCOMPARE(e->cx, 2.f);
        QCOMPARE(e->cy, 2.f);
        QCOMPARE(e->r, 4.f);
        QCOMPARE(e->aspect, 4.f);
        // No width, nothing; no height is a flat ellipse.
        QVERIFY(!ellipseOf(2, -3, 2, 5));
        e = ellipseOf(-1, 2, 3, 2);
        QVERIFY(e && e->aspect == 0.f && e->r == 2.f);
        QVERIFY(!ellipseOf(-3e38f, 0, 3e38f, 1));  // the width overflows single
        QCOMPARE(freehand::large(-1, 2), 2.f);
        QCOMPARE(freehand::small(-1, 2), -1.f);
    }

    void colorNames() {
        QCOMPARE(freehand::colorNames(), QStringList({"黑色", "绿色", "蓝色", "红色", "黄色"}));
        QCOMPARE(freehand::colorOf("黄色"), QColor(255, 255, 0));
        QCOMPARE(freehand::colorOf("绿色"), QColor(0, 255, 0));
        QVERIFY(!freehand::colorOf("紫色").isValid());
        QVERIFY(!freehand::colorOf("").isValid());
    }

    void readoutAndCrosshairOnTheWindow() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        QVERIFY(w);
        CanvasWidget* cw = w->canvasWidget();
        auto* labzb = w->findChild<QLabel*>(QStringLiteral("Labzb"));
        QVERIFY(labzb);
        QCOMPARE(labzb->text(), QStringLiteral("(0,0)"));
        // At the family's place, on the window, and a long readout fits it.
        QCOMPARE(labzb->pos(), w->traits().readoutPos);
        QVERIFY(w->rect().contains(labzb->geometry()));
        const QFontMetrics fm(labzb->font());
        QVERIFY(fm.height() <= labzb->height());
        QVERIFY(fm.horizontalAdvance(QStringLiteral("(-10.25,-10.25)")) <= labzb->width());

        // Double-click before any move: the crosshair goes through (0, 0).
        const QImage before = w->canvas().snapshot();
        cw->mouseDoubleClick();
        QVERIFY(toolOf<PointerTool>(*w)->crosshairOn());
        QVERIFY(cw->linex.visible && cw->liney.visible);
        QCOMPARE(cw->linex.world, QLineF(-11, 0, 11, 0));
        QCOMPARE(cw->liney.world, QLineF(0, -11, 0, 11));
        // It follows the pointer unrounded while the readout shows hundredths.
        cw->mouseMove(Qt::NoButton, 1.23456, -7.891);
        QCOMPARE(labzb->text(), QStringLiteral("(1.23,-7.89)"));
        QCOMPARE(cw->liney.world.x1(), double(1.23456f));
        QCOMPARE(cw->linex.world.y1(), double(-7.891f));

        // Seen on the screen, never in the picture, and kept across a redraw.
        QCOMPARE(w->canvas().snapshot(), before);
        QVERIFY(countColor(cw->grab().toImage(), cyan) > 300);
        w->redrawClicked();
        w->gridClicked();
        QVERIFY(toolOf<PointerTool>(*w)->crosshairOn());
        QCOMPARE(countColor(w->canvas().snapshot(), cyan), 0);
        QVERIFY(countColor(cw->grab().toImage(), cyan) > 300);

        // The second double-click takes it away at the rounded position of
        // the last move; the picture stays as it was.
        const QImage gridded = w->canvas().snapshot();
        cw->mouseDoubleClick();
        QVERIFY(!toolOf<PointerTool>(*w)->crosshairOn());
        QCOMPARE(countColor(cw->grab().toImage(), cyan), 0);
        cw->mouseDoubleClick();
        QCOMPARE(cw->liney.world.x1(), double(1.23f));
        cw->mouseDoubleClick();
        QCOMPARE(w->canvas().snapshot(), gridded);

        // Positions no mouse can give leave the readout as it was.
        cw->mouseMove(Qt::NoButton, qInf(), 0);
        cw->mouseMove(Qt::NoButton, qQNaN(), 1e300);
        QCOMPARE(labzb->text(), QStringLiteral("(1.23,-7.89)"));
        w->close();
    }

    // Rubber bands and the eraser square float; only the release (or the
    // eraser under the left button) touches the picture.
    void outlinesAndEraser() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        CanvasWidget* cw = w->canvasWidget();
        Canvas& c = w->canvas();
        chooseTool(w, "Option1sh");
        chooseColor(w, "红色");
        QCOMPARE(w->findChild<QLabel*>("Labcolor")->palette().color(QPalette::Window), red);
        QCOMPARE(c.foreColor(), black);  // the canvas colour only changes at a press
        const QImage clean = c.snapshot();
        cw->mousePress(Qt::LeftButton, -5, -5);
        QCOMPARE(c.foreColor(), red);
        QVERIFY(cw->line1.visible);
        cw->mouseMove(Qt::LeftButton, 2, 3);
        QCOMPARE(cw->line1.world, QLineF(-5, -5, 2, 3));
        QCOMPARE(cw->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(c.snapshot(), clean);
        cw->mouseRelease(Qt::LeftButton, 5, 5);
        QVERIFY(!cw->line1.visible);
        QCOMPARE(at(c, 3, 3), red);

        chooseTool(w, "Option2sh");
        cw->mousePress(Qt::LeftButton, -2, 2);
        cw->mouseMove(Qt::LeftButton, -6, 7);
        QVERIFY(cw->shape2.visible);
        QCOMPARE(cw->shape2.topLeft, QPointF(-6, 7));
        QCOMPARE(cw->shape2.worldSize, QSizeF(4, 5));
        cw->mouseMove(Qt::RightButton, -7, 8);  // only the left button reshapes it
        QCOMPARE(cw->shape2.worldSize, QSizeF(4, 5));
        // A drag without width draws nothing and still ends the press.
        const QImage kept = c.snapshot();
        cw->mouseRelease(Qt::LeftButton, -2, 7);
        QVERIFY(!cw->shape2.visible);
        QVERIFY(!toolOf<FreehandTools>(*w)->buttonDown());
        QCOMPARE(c.snapshot(), kept);

        // The eraser wipes exactly 9 x 9 pixels, with the left button alone.
        chooseTool(w, "Option6sh");
        cw->mouseMove(Qt::LeftButton | Qt::RightButton, 5.41, 0.26);
        QVERIFY(cw->shape1.visible);
        QCOMPARE(cw->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(c.snapshot(), kept);
        const int whiteBefore = countColor(c.snapshot(), white);
        cw->mouseMove(Qt::LeftButton, 5.41, 0.26);  // clear of the ticks at 5 and 6
        const QPoint p = c.pixelAt(5.41, 0.26);
        QCOMPARE(c.image().pixelColor(p + QPoint(8, 8)), white);
        // 9 pixels of the 2-pixel axis turn white: the square is 9 wide.
        QCOMPARE(countColor(c.snapshot(), white) - whiteBefore, 18);
        QCOMPARE(at(c, 5.9, 0), black);
        QCOMPARE(at(c, 5.3, 0), black);
        chooseTool(w, "Option4sh");
        cw->mouseMove(Qt::NoButton, 1, 1);
        QVERIFY(!cw->shape1.visible);
        w->close();
    }

    void textTool() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        CanvasWidget* cw = w->canvasWidget();
        Canvas& c = w->canvas();
        QLineEdit* box = cw->textBox();
        QCOMPARE(box->objectName(), QStringLiteral("Textwz"));
        chooseTool(w, "Option5sh");
        chooseColor(w, "红色");
        cw->mousePress(Qt::LeftButton, -9, -3);
        cw->mouseRelease(Qt::LeftButton, -9, -3);
        QVERIFY(!box->isHidden());
        QCOMPARE(box->pos(), cw->toWidget(-9, -3).toPoint());
        QTest::keyClicks(box, "  abc ");
        QCOMPARE(countColor(c.snapshot(), red), 0);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->isHidden());
        // The text's top-left corner is the press point.
        const QImage img = c.snapshot();
        const QPoint p = c.pixelAt(-9, -3);
        int reds = 0, minX = 1 << 20, minY = 1 << 20;
        for (int y = p.y() - 2; y < p.y() + 30; ++y)
            for (int x = p.x() - 20; x < p.x() + 60; ++x) {
                const QColor q = img.pixelColor(x, y);
                if (q.red() - q.green() < 60) continue;  // text is smoothed: reddish will do
                ++reds;
                minX = std::min(minX, x);
                minY = std::min(minY, y);
            }
        QVERIFY(reds > 10);
        // Starts at the press point: the blanks before abc are gone.
        QVERIFY2(minX >= p.x() - 1 && minX <= p.x() + 3, qPrintable(QString::number(minX - p.x())));
        QVERIFY(minY >= p.y() - 1);

        // A release with another tool chosen hides the box; Enter then
        // prints nothing.
        cw->mousePress(Qt::LeftButton, 2, 2);
        QTest::keyClicks(box, "xyz");
        chooseTool(w, "Option1sh");
        cw->mouseRelease(Qt::LeftButton, 2, 2);
        QVERIFY(box->isHidden());
        const QImage kept = c.snapshot();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(c.snapshot(), kept);
        QCOMPARE(at(c, 2.5, 1.8), white);
        // So does the next plot.
        chooseTool(w, "Option5sh");
        cw->mousePress(Qt::LeftButton, 4, 4);
        QVERIFY(!box->isHidden());
        w->redrawClicked();
        QVERIFY(box->isHidden());
        w->close();
    }

    void wildPointerValues() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        CanvasWidget* cw = w->canvasWidget();
        for (const char* opt : {"Option1sh", "Option2sh", "Option3sh", "Option5sh", "Option6sh"}) {
            chooseTool(w, opt);
            cw->mousePress(Qt::LeftButton, 1e30, -1e30);
            cw->mouseMove(Qt::LeftButton, qInf(), 3);
            cw->mouseMove(Qt::LeftButton, 1e300, -1e300);
            cw->mouseRelease(Qt::LeftButton, qQNaN(), 0);
            cw->mouseDoubleClick();
        }
        cw->grab();  // paints every floating item where it was left
        QVERIFY(w->isVisible());
        w->close();
    }
};

VESMAR_WINDOW_TEST_MAIN(PointerFreehandTest)
#include "pointer_freehand_test.moc"
