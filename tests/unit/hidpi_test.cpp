// On a screen scaled to 200 %: the canvas, its floating items and the
// full-screen viewer are painted at the device's resolution, and the script
// driver's grab, canvas and savename commands give what they promise.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "captions_fit.h"
#include "focus_frame.h"
#include "driver/driver.h"
#include "render/canvas.h"
#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_file.h"
#include "tools/viewer.h"
#include "platform/platform.h"

namespace {

const QRgb kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u;

int countExactly(const QImage& img, QRgb c, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += (img.pixel(x, y) | 0xFF000000u) == c;
    return n;
}

// Aligned 2 x 2 blocks inside area holding more than one colour.
int mixedBlocks(const QImage& img, const QRect& area) {
    int mixed = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2)
        for (int x = area.left(); x + 1 <= area.right(); x += 2) {
            const QRgb c = img.pixel(x, y);
            mixed += img.pixel(x + 1, y) != c || img.pixel(x, y + 1) != c || img.pixel(x + 1, y + 1) != c;
        }
    return mixed;
}

}  // namespace

class HiDpiTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QStringList out;
    std::unique_ptr<ScriptDriver> driver;

    QString at(const QString& name) const { return dir.filePath(name); }
    QStringList run(const QString& script) {
        out.clear();
        driver->runScript(script);
        return out;
    }

private slots:
    void init() {
        driver = std::make_unique<ScriptDriver>([this](const QString& s) { out << s; });
    }
    void cleanup() { driver.reset(); }

    void theScreenIsReallyScaled() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    // The sine window's picture as the screen shows it: 800 x 800 device
    // pixels for the 400-pixel control, the curve drawn on the fine grid.
    void canvasIsPaintedAtTheDevicePixelRatio() {
        const QString shot = at(QStringLiteral("g.png"));
        QCOMPARE(run(QStringLiteral("open sine\nclick Command1\ngrab Picture1 ") + shot), QStringList());
        const QImage g(shot);
        QCOMPARE(g.size(), QSize(800, 800));
        // Inside the frame, away from the texts: the band just above the
        // x axis left of the y axis, where the wave (amplitude 1) runs.
        const QRect curveArea(4 + 2 * 20, 4 + 2 * 176, 2 * 170, 2 * 17);
        QVERIFY2(countExactly(g, kBlack, curveArea) > 200, "no exact black curve");
        QVERIFY2(mixedBlocks(g, curveArea) > 50, "a doubled copy of the small picture");
        // The red marks of pi on the x axis.
        QVERIFY(countExactly(g, kRed, QRect(4, 4, 792, 792)) > 20);
        // The same picture as the canvas paints it at scale 2, inside the frame.
        FamilyWindow* w = FamilyManager::instance().current();
        QVERIFY(w);
        const QImage two = w->canvas().render(2);
        QCOMPARE(g.copy(4, 4, 792, 792).convertToFormat(QImage::Format_RGB32), two);
    }

    // The animator's trail (the earlier curves, lighter) is drawn at the
    // device's resolution like the curve over it: its lines step by single
    // device pixels, not in the 2 x 2 blocks of the small picture stretched.
    void animatorTrailIsPaintedAtTheDevicePixelRatio() {
        const QString shot = at(QStringLiteral("trail.png"));
        QCOMPARE(run(QStringLiteral("open quadratic\nclick Animsh\ntype Animfrom(0) 0.5\ntype Animto(0) 2\n"
                                    "type Animframes 8\nchoose Animmode 一次\nclick Animtrail\nclick Animplay\n"
                                    "wait 1000\ngrab Picture1 ") +
                     shot),
                 QStringList());
        const QImage g(shot);
        QCOMPARE(g.size(), QSize(800, 800));
        // The trail's grey, the black curve's shade: aligned 2 x 2 blocks
        // holding it and something else.
        const QRgb grey = qRgb(153, 153, 153);
        const QRect inside(4, 4, 792, 792);
        const int trail = countExactly(g, grey, inside);
        QVERIFY2(trail > 2000, qPrintable(QString::number(trail)));
        int withGrey = 0, mixed = 0;
        for (int y = inside.top(); y + 1 <= inside.bottom(); y += 2)
            for (int x = inside.left(); x + 1 <= inside.right(); x += 2) {
                const QRgb c[] = {g.pixel(x, y) | kBlack, g.pixel(x + 1, y) | kBlack, g.pixel(x, y + 1) | kBlack,
                                  g.pixel(x + 1, y + 1) | kBlack};
                if (std::find(std::begin(c), std::end(c), grey) == std::end(c)) continue;
                ++withGrey;
                mixed += std::count(std::begin(c), std::end(c), grey) < 4;
            }
        QVERIFY2(mixed * 5 > withGrey, qPrintable(QStringLiteral("%1 of %2 blocks mixed").arg(mixed).arg(withGrey)));
        // What the screen shows is the picture painted at scale 2.
        FamilyWindow* w = FamilyManager::instance().current();
        QVERIFY(w);
        QCOMPARE(g.copy(inside).convertToFormat(QImage::Format_RGB32), w->canvas().render(2));
        // A plot file keeps the picture with its trail, and opens again.
        const plotfile::Reading r = plotfile::fromJson(plotfile::toJson(w->views().take()));
        QVERIFY2(r.view, qPrintable(r.problem));
        w->views().open(*r.view);
        QCOMPARE(w->canvas().render(2), g.copy(inside).convertToFormat(QImage::Format_RGB32));
        QVERIFY(run(QStringLiteral("close")).isEmpty());
    }

    // The sunken frame meets the picture at every scale: from each edge
    // inwards there are only the frame's colours and then the white picture,
    // never a row of the window's colour between them.
    void canvasFrameMeetsThePicture() {
        QCOMPARE(run(QStringLiteral("open quadratic")), QStringList());
        FamilyWindow* w = FamilyManager::instance().current();
        QVERIFY(w);
        CanvasWidget* cw = w->canvasWidget();
        const QList<QRgb> frame = {qRgb(128, 128, 128), qRgb(64, 64, 64), qRgb(212, 208, 200), qRgb(255, 255, 255)};
        for (double dpr : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
            const int side = int(std::ceil(cw->width() * dpr));
            QImage img(side, side, QImage::Format_RGB32);
            img.setDevicePixelRatio(dpr);
            img.fill(qRgb(255, 0, 255));
            {
                QPainter p(&img);
                cw->paintAt(p, dpr);
            }
            // Away from the axes and their numbers: a quarter of the way in.
            const int depth = int(std::ceil(2 * dpr)) + 1;
            QStringList bad;
            for (int along = side / 8; along < side * 3 / 8; ++along) {
                for (int d = 0; d < depth; ++d) {
                    const QRgb edges[] = {img.pixel(along, d), img.pixel(d, along), img.pixel(along, side - 1 - d),
                                          img.pixel(side - 1 - d, along)};
                    for (QRgb c : edges)
                        if (!frame.contains(c | 0xFF000000u))
                            bad << QStringLiteral("%1 at depth %2: #%3").arg(dpr).arg(d).arg(c & 0xFFFFFF, 6, 16);
                }
            }
            bad.removeDuplicates();
            QVERIFY2(bad.isEmpty(), qPrintable(bad.mid(0, 4).join(QLatin1String("; "))));
            // The picture itself begins right after the frame.
            QCOMPARE(img.pixel(side / 4, depth) | 0xFF000000u, kWhite);
        }
    }

    // At 200 % every push and option button caption still fits.
    void captionsFitTheirControls() {
        const QStringList bad = captionsThatDoNotFitInAnyFamily();
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1String("\n"))));
    }

    void aFocusedSliderShowsIt() {
        QCOMPARE(run(QStringLiteral("open linear")), QStringList());
        FamilyWindow* w = FamilyManager::instance().current();
        QVERIFY(w);
        checkSliderFocusFrame(w, w->findChild<QScrollBar*>(QStringLiteral("HScroll1")),
                              w->findChild<QWidget*>(QStringLiteral("Text1(0)")));
    }

    void floatingItemsArePaintedToo() {
        const QString shot = at(QStringLiteral("cross.png"));
        QCOMPARE(
            run(QStringLiteral("open linear\nclick Command1(0)\nmove none 3 4\ndblclick 3 4\ngrab Picture1 ") + shot),
            QStringList());
        const QImage g(shot);
        QCOMPARE(g.size(), QSize(800, 800));
        // The crosshair's horizontal line at y = 4, two device pixels thick.
        FamilyWindow* w = FamilyManager::instance().current();
        const QPointF p = w->canvasWidget()->toWidget(-8, 4) * 2;
        int cyan = 0;
        for (int y = int(p.y()) - 4; y <= int(p.y()) + 4; ++y) cyan += g.pixel(int(p.x()), y) == qRgb(0, 192, 192);
        QCOMPARE(cyan, 2);
    }

    void viewerPaintsAtItsRealSize() {
        QCOMPARE(run(QStringLiteral("open sine\nclick Command1\nclick Commandquanpin")), QStringList());
        ViewerWindow* v = ViewerWindow::current();
        QVERIFY(v);
        const QImage shot = v->grab().toImage();
        PictureView* image = v->image();
        QVERIFY(image->width() > 300);
        QCOMPARE(image->painted().width(), image->width() * 2);
        QCOMPARE(image->painted().height(), image->width() * 2);
        const QRect r(image->geometry().topLeft() * 2, image->size() * 2);
        QVERIFY(mixedBlocks(shot, r) > 50);
        QVERIFY(countExactly(shot, kBlack, r) > 500);
        // A window resized to a sliver paints nothing wrong and nothing huge.
        v->resize(1, 1);
        const QImage tiny = v->grab().toImage();
        QVERIFY(!tiny.isNull());
        QCOMPARE(image->size(), QSize(0, 0));
        v->close();
    }

    void canvasCommandPaintsAtTheScaleAsked() {
        const QString one = at(QStringLiteral("c1.png")), four = at(QStringLiteral("c4.png"));
        const QStringList answer =
            run(QStringLiteral("open sine\nclick Command1\ncanvas ") + one + QStringLiteral("\ncanvas ") + four +
                QStringLiteral(" 4\ncanvas ") + at(QStringLiteral("z.png")) + QStringLiteral(" 0\ncanvas ") +
                at(QStringLiteral("n.png")) + QStringLiteral(" -2\ncanvas ") + at(QStringLiteral("h.png")) +
                QStringLiteral(" 9"));
        QCOMPARE(answer.size(), 3);
        for (const QString& line : answer)
            QVERIFY2(line.startsWith(QStringLiteral("{\"error\":\"scale")), qPrintable(line));
        FamilyWindow* w = FamilyManager::instance().current();
        QCOMPARE(QImage(one).convertToFormat(QImage::Format_RGB32), w->canvas().image());
        const QImage big(four);
        QCOMPARE(big.size(), QSize(1584, 1584));
        QCOMPARE(big.pixel(20, 20), kWhite);
        for (const QString& name : {QStringLiteral("z.png"), QStringLiteral("n.png"), QStringLiteral("h.png")})
            QVERIFY(!QFile::exists(at(name)));
    }

    void savenameChoosesTheDialogEntry() {
        const QString png = at(QStringLiteral("x")), svg = at(QStringLiteral("x.svg"));
        QCOMPARE(run(QStringLiteral("open sine\nclick Command1\nsavename ") + png +
                     QStringLiteral(" png\nclick Cmdsave\nsavename ") + svg + QStringLiteral(" svg\nclick Cmdsave")),
                 QStringList());
        QCOMPARE(QImage(png + QStringLiteral(".png")).size(), QSize(1584, 1584));
        QFile f(svg);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        // Each written once: the same names again are refused.
        const QStringList again = run(QStringLiteral("savename ") + png + QStringLiteral(" png\nclick Cmdsave"));
        QCOMPARE(again.size(), 1);
        QVERIFY(again.front().contains(QStringLiteral("你新建的文件已经存在，请更换一个新的！")));
    }
};

int main(int argc, char** argv) {
    // The classroom panel: every window scaled to 200 %.
    qputenv("QT_SCALE_FACTOR", "2");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);
    HiDpiTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "hidpi_test.moc"
