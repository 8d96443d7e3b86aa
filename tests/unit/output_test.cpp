// Saving, copying, printing and the full-screen viewer on a real plot window:
// every output carries exactly the canvas picture (never what floats above
// it), existing files survive, and failures are reported instead of passing
// for success.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <deque>

#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "tools/output.h"
#include "tools/viewer.h"
#include "platform/platform.h"
#include "focus_frame.h"
#include "recording_platform.h"
#include "test_support.h"

namespace {

// A picture with a curve, so that rows and columns are told apart.
void plot(FamilyWindow* w, const QString& k) {
    qobject_cast<QLineEdit*>(namedControl(w, QStringLiteral("Text1(0)")))->setText(k);
    click(w, QStringLiteral("Command1(0)"));
}

quint32 le(const QByteArray& b, int at, int n) {
    quint32 v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | quint8(b.at(at + i));
    return v;
}

// Decodes an uncompressed 24- or 32-bit Windows bitmap without Qt's reader,
// so that a fault shared by Qt's writer and reader cannot hide.
QImage decodeBmp(const QByteArray& b) {
    if (b.size() < 54 || !b.startsWith("BM")) return {};
    if (le(b, 2, 4) != quint32(b.size())) return {};
    const int offset = int(le(b, 10, 4));
    const int width = int(le(b, 18, 4));
    const int rawHeight = int(qint32(le(b, 22, 4)));
    const int bpp = int(le(b, 28, 2));
    if (le(b, 14, 4) < 40 || le(b, 30, 4) != 0 || (bpp != 24 && bpp != 32)) return {};
    const int height = std::abs(rawHeight);
    const int stride = ((width * bpp + 31) / 32) * 4;
    if (offset < 54 || offset + qint64(stride) * height > b.size()) return {};
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int row = rawHeight > 0 ? height - 1 - y : y;  // bottom-up unless negative
        const char* p = b.constData() + offset + row * stride;
        for (int x = 0; x < width; ++x, p += bpp / 8)
            img.setPixel(x, y, qRgb(quint8(p[2]), quint8(p[1]), quint8(p[0])));
    }
    return img;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// Shows the crosshair and the eraser square over the canvas.
void showFloatingItems(FamilyWindow* w) {
    CanvasWidget* cw = w->canvasWidget();
    cw->mouseDoubleClick();
    w->findChild<QRadioButton*>(QStringLiteral("Option6sh"))->setChecked(true);
    cw->mouseMove(Qt::NoButton, 3, -4);
}

}  // namespace

class OutputTest : public QObject {
    Q_OBJECT
    RecordingPlatform plat;
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }

private slots:
    void init() {
        plat = RecordingPlatform();
        plat.documentsOpen = true;
        setPlatform(&plat);
    }
    void cleanup() {
        FamilyManager::instance().closeAll();
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setPlatform(nullptr);
    }

    // The file is a valid bitmap holding the canvas picture, also under a
    // .jpg name, and the floating crosshair and eraser square are not in it.
    void savedFileIsTheCanvasPicture() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        const QImage before = w->canvas().snapshot();
        showFloatingItems(w);
        QVERIFY(w->canvasWidget()->linex.visible);
        QVERIFY(w->canvasWidget()->shape1.visible);
        QCOMPARE(w->canvas().image(), before);

        plat.names = {at(QStringLiteral("一次函数图像.bmp")), at(QStringLiteral("picture.jpg"))};
        click(w, QStringLiteral("Cmdsave"));
        click(w, QStringLiteral("Cmdsave"));
        QVERIFY(plat.boxes.empty());
        for (const QString& name : {QStringLiteral("一次函数图像.bmp"), QStringLiteral("picture.jpg")}) {
            const QImage img = decodeBmp(readAll(at(name)));
            QVERIFY2(!img.isNull(), qPrintable(name));
            QCOMPARE(img.size(), QSize(w->canvas().width(), w->canvas().height()));
            QVERIFY(samePixels(img, before));
        }
        // What the dialog was asked to offer.
        QCOMPARE(plat.request.title, QStringLiteral("函数图像另存为"));
        QCOMPARE(plat.request.initialName, QStringLiteral("一次函数图像"));
        QCOMPARE(plat.request.defaultSuffix, QStringLiteral("bmp"));
        QCOMPARE(plat.request.filters,
                 (QStringList{QStringLiteral("所有文件(all files) (*)"), QStringLiteral("函数图像(*.bmp)"),
                              QStringLiteral("高清图片(*.png)"), QStringLiteral("矢量图(*.svg)")}));
        QCOMPARE(plat.request.selectedFilter, 1);
        QCOMPARE(plat.request.suffixes.value(2), QStringLiteral("png"));
        QCOMPARE(plat.request.suffixes.value(3), QStringLiteral("svg"));
    }

    // The picture's keyboard focus shows as a dotted frame on the screen,
    // and only there: the saved file, the copy and the picture lack it.
    void theFocusMarkIsNeverInThePicture() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        CanvasWidget* cw = w->canvasWidget();
        const QImage before = w->canvas().snapshot();
        const QImage unfocused = cw->grab().toImage();
        cw->setFocus(Qt::TabFocusReason);
        QVERIFY(cw->hasFocus());
        const QImage focused = cw->grab().toImage();
        QCOMPARE(focused.size(), unfocused.size());
        // The ring of device pixels just inside the picture's edge carries the dots.
        const int ring = (CanvasWidget::kFrame + 1) * int(std::lround(cw->devicePixelRatioF()));
        const double marked = ringChanged(unfocused, focused, ring);
        QVERIFY2(marked > 0.3, qPrintable(QString::number(marked)));
        QCOMPARE(w->canvas().image(), before);
        plat.names = {at(QStringLiteral("focused.bmp"))};
        click(w, QStringLiteral("Cmdsave"));
        QVERIFY(plat.boxes.empty());
        QVERIFY(samePixels(decodeBmp(readAll(at(QStringLiteral("focused.bmp")))), before));
        click(w, QStringLiteral("Cmdcopy"));
        QVERIFY(samePixels(plat.clipboard, before));
        // The mark goes with the focus.
        w->frameControls().redraw->setFocus(Qt::TabFocusReason);
        QVERIFY(!cw->hasFocus());
        QCOMPARE(cw->grab().toImage(), unfocused);
    }

    // The two added entries write their own formats under their own
    // extensions; like a bitmap, never over an existing file.
    void pngAndSvgForDocuments() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        showFloatingItems(w);
        plat.answers = {SaveAnswer{at(QStringLiteral("sheet")), 2}, SaveAnswer{at(QStringLiteral("sheet.jpg")), 2},
                        SaveAnswer{at(QStringLiteral("vector.svg")), 3}, SaveAnswer{at(QStringLiteral("sheet.png")), 2},
                        SaveAnswer{at(QStringLiteral("no/such/folder/v.svg")), 3}};
        for (int i = 0; i < 5; ++i) click(w, QStringLiteral("Cmdsave"));

        // A PNG at four times the size, the curve black where y = 2x.
        const QImage png(at(QStringLiteral("sheet.png")));
        QCOMPARE(png.size(), QSize(1584, 1584));
        for (double x : {-4.0, -1.5, 2.5, 4.0}) {
            const QPointF p = w->canvas().toPixel(x, 2 * x) * 4;
            QCOMPARE(png.pixel(int(p.x()), int(p.y())) | 0xFF000000u, 0xFF000000u);
        }
        QCOMPARE(png.pixel(40, 40) | 0xFF000000u, 0xFFFFFFFFu);
        // A name with another extension gets .png added: the file is what its name says.
        QVERIFY(QFile::exists(at(QStringLiteral("sheet.jpg.png"))));
        QVERIFY(!QFile::exists(at(QStringLiteral("sheet.jpg"))));

        // The SVG: root <svg>, the axes and the line as vector elements.
        QFile f(at(QStringLiteral("vector.svg")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        // The picture's own square, at the screen's 96 dots per inch.
        QCOMPARE(xml.attributes().value(QStringLiteral("viewBox")).toString(), QStringLiteral("0 0 396 396"));
        QCOMPARE(xml.attributes().value(QStringLiteral("width")).toString(), QStringLiteral("104.775mm"));
        int shapes = 0, images = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            const QString n = xml.name().toString();
            shapes += n == QLatin1String("path") || n == QLatin1String("polyline") || n == QLatin1String("line");
            images += n == QLatin1String("image");
        }
        QVERIFY(!xml.hasError());
        QVERIFY2(shapes >= 3, qPrintable(QString::number(shapes)));
        QCOMPARE(images, 0);

        // The same PNG name again: refused, file untouched; no folder: failure.
        QCOMPARE(int(plat.boxes.size()), 2);
        QCOMPARE(plat.boxes.at(0).text, output::existsMessage());
        QCOMPARE(plat.boxes.at(1).text, output::saveFailedMessage());
        QCOMPARE(QImage(at(QStringLiteral("sheet.png"))).size(), QSize(1584, 1584));
    }

    // A known extension typed by the user decides the format, whatever entry
    // is selected; other names take the entry's format (and its extension).
    void typedExtensionPicksTheFormat() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        plat.answers = {SaveAnswer{at(QStringLiteral("图像.png")), 1}, SaveAnswer{at(QStringLiteral("b.SVG")), 2},
                        SaveAnswer{at(QStringLiteral("c.Bmp")), 3},    SaveAnswer{at(QStringLiteral("d.png")), 0},
                        SaveAnswer{at(QStringLiteral("e.jpg")), 1},    SaveAnswer{at(QStringLiteral("f")), 3}};
        for (int i = 0; i < 6; ++i) click(w, QStringLiteral("Cmdsave"));
        QVERIFY(plat.boxes.empty());
        const QByteArray pngMagic("\x89PNG\r\n\x1a\n");
        QVERIFY(readAll(at(QStringLiteral("图像.png"))).startsWith(pngMagic));
        QVERIFY(readAll(at(QStringLiteral("d.png"))).startsWith(pngMagic));
        QCOMPARE(QImage(at(QStringLiteral("图像.png"))).size(), QSize(1584, 1584));
        QVERIFY(readAll(at(QStringLiteral("b.SVG"))).contains("<svg"));
        QVERIFY(!decodeBmp(readAll(at(QStringLiteral("c.Bmp")))).isNull());
        QVERIFY(!decodeBmp(readAll(at(QStringLiteral("e.jpg")))).isNull());  // as the entry says
        QVERIFY(readAll(at(QStringLiteral("f.svg"))).contains("<svg"));
        for (const char* extra : {"图像.png.bmp", "b.SVG.png", "c.Bmp.svg", "e.jpg.bmp", "f"})
            QVERIFY2(!QFile::exists(at(QString::fromUtf8(extra))), extra);
        QCOMPARE(output::formatOfName(QStringLiteral("/a.b/c")), std::nullopt);
        QCOMPARE(output::formatOfName(QStringLiteral("x.PnG")), std::optional(output::Format::Png));
    }

    // Every format has the printed size, 396 pixels at 96 per inch (10.5
    // cm): the PNG at four times the pixels says four times the density.
    void everyFormatHasThePrintedSize() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        plat.answers = {SaveAnswer{at(QStringLiteral("p.png")), 2}, SaveAnswer{at(QStringLiteral("b.bmp")), 1}};
        click(w, QStringLiteral("Cmdsave"));
        click(w, QStringLiteral("Cmdsave"));
        const double metresPerInch = 0.0254;
        const QImage png(at(QStringLiteral("p.png")));
        QCOMPARE(png.dotsPerMeterX(), qRound(384 / metresPerInch));
        QCOMPARE(png.dotsPerMeterY(), qRound(384 / metresPerInch));
        QVERIFY(std::abs(png.width() / (png.dotsPerMeterX() * metresPerInch) - 4.125) < 0.001);  // inches
        // The bitmap's own header (pixels per metre at offsets 38 and 42).
        const QByteArray bmp = readAll(at(QStringLiteral("b.bmp")));
        QVERIFY(bmp.size() > 54);
        QCOMPARE(int(le(bmp, 38, 4)), qRound(96 / metresPerInch));
        QCOMPARE(int(le(bmp, 42, 4)), qRound(96 / metresPerInch));
    }

    void existingFilesAreNeverOverwritten() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("1"));
        const QString first = at(QStringLiteral("first.bmp"));
        plat.names = {first};
        click(w, QStringLiteral("Cmdsave"));
        const QByteArray kept = readAll(first);
        QVERIFY(!kept.isEmpty());

        // Another picture under the same name, and a foreign file under a picture name.
        plot(w, QStringLiteral("-3"));
        const QString foreign = at(QStringLiteral("notes.bmp"));
        {
            QFile f(foreign);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a picture");
        }
        plat.names = {first, foreign};
        click(w, QStringLiteral("Cmdsave"));
        click(w, QStringLiteral("Cmdsave"));
        QCOMPARE(int(plat.boxes.size()), 2);
        for (const RecordingPlatform::Box& s : plat.boxes) {
            QCOMPARE(s.text, QStringLiteral("你新建的文件已经存在，请更换一个新的！"));
            QCOMPARE(s.title, QStringLiteral("操作提示"));
            QCOMPARE(s.icon, MsgIcon::Warning);
        }
        QCOMPARE(readAll(first), kept);
        QCOMPARE(readAll(foreign), QByteArray("not a picture"));

        // Cancel and an empty name: nothing written, nothing said.
        const int files = QDir(dir.path()).entryList(QDir::Files).size();
        plat.names = {std::nullopt, QString()};
        click(w, QStringLiteral("Cmdsave"));
        click(w, QStringLiteral("Cmdsave"));
        QCOMPARE(int(plat.boxes.size()), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), files);
    }

    // No permission, no such folder, a full disk, no printer, a job that
    // cannot be written: each reported, nothing half-written left behind.
    void failuresAreReported() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        const QString missingFolder = at(QStringLiteral("no/such/folder/x.bmp"));
        plat.names = {missingFolder, QStringLiteral("/proc/vesmar-output-test.bmp")};
        click(w, QStringLiteral("Cmdsave"));
        click(w, QStringLiteral("Cmdsave"));
        QCOMPARE(int(plat.boxes.size()), 2);
        for (const RecordingPlatform::Box& s : plat.boxes) {
            QCOMPARE(s.text, output::saveFailedMessage());
            QCOMPARE(s.title, QStringLiteral("操作提示"));
        }
        QVERIFY(!QFile::exists(missingFolder));

        const QByteArray bytes = output::bmpBytes(w->canvas().image());
        QFile full(QStringLiteral("/dev/full"));
        if (full.open(QIODevice::WriteOnly)) QVERIFY(!output::writeAll(full, bytes));
        QFile fine(at(QStringLiteral("fine.bmp")));
        QVERIFY(fine.open(QIODevice::WriteOnly));
        QVERIFY(output::writeAll(fine, bytes));
        QCOMPARE(readAll(fine.fileName()), bytes);

        plat.boxes.clear();
        plat.pdfTargets = {QString(), at(QStringLiteral("no/such/folder/page.pdf"))};
        click(w, w->traits().printButton);
        click(w, w->traits().printButton);
        QCOMPARE(int(plat.boxes.size()), 2);
        for (const RecordingPlatform::Box& s : plat.boxes) QCOMPARE(s.text, output::printFailedMessage());
    }

    void clipboardGetsTheCanvasPicture() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("0.5"));
        const QImage before = w->canvas().snapshot();
        showFloatingItems(w);
        click(w, QStringLiteral("Cmdcopy"));
        QVERIFY(samePixels(plat.clipboard, before));
        // A copy, not a view: later drawing leaves the clipboard alone.
        plot(w, QStringLiteral("-5"));
        QVERIFY(samePixels(plat.clipboard, before));
    }

    // One page: the picture at its natural size (96 dpi) in the middle of
    // the printable area, the heading above it; the job named after the window.
    void printedPageShowsHeadingAndPicture() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) QSKIP("pdftoppm is not installed");
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        const QImage picture = w->canvas().snapshot();
        showFloatingItems(w);
        const QString pdf = at(QStringLiteral("page.pdf"));
        plat.pdfTargets = {pdf};
        click(w, w->traits().printButton);
        QVERIFY(plat.boxes.empty());
        QProcess render;
        render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                                  QStringLiteral("-singlefile"), pdf, at(QStringLiteral("page"))});
        QVERIFY(render.waitForFinished(60000));
        const QImage page = QImage(at(QStringLiteral("page.png"))).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!page.isNull());
        // The picture went to the printer as lines, dots and text: the PDF
        // holds no image at all, so nothing can be smeared by compression.
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty(),
                 "pdfimages (poppler-utils) is missing");
        {
            QProcess list;
            list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
            QVERIFY(list.waitForFinished(60000));
            QCOMPARE(list.exitCode(), 0);
            const QStringList rows =
                QString::fromLocal8Bit(list.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY2(rows.size() == 2, qPrintable(rows.join(QLatin1Char('\n'))));  // the two header lines only
        }

        // The document's title is the window's caption.
        {
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {pdf});
            QVERIFY(info.waitForFinished(60000));
            QCOMPARE(info.exitCode(), 0);
            const QString out = QString::fromUtf8(info.readAllStandardOutput());
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("^Title:[ \\t]*(.*)$"), QRegularExpression::MultilineOption)
                    .match(out);
            QVERIFY2(m.hasMatch(), qPrintable(out));
            QCOMPARE(m.captured(1).trimmed(), w->windowTitle());
        }

        // Where the printable area lies on this printer's page, at 96 dpi.
        QPrinter probe(QPrinter::HighResolution);
        probe.setOutputFormat(QPrinter::PdfFormat);
        const QRectF area = probe.pageLayout().paintRectPixels(96);
        const int centreLeft = qRound(area.left() + (area.width() - picture.width()) / 2);
        const int centreTop = qRound(area.top() + (area.height() - picture.height()) / 2);

        // The picture lies in the middle at its own size; find where exactly
        // and count the pixels that differ.
        int left = centreLeft;
        auto mismatches = [&](int top) {
            int bad = 0;
            for (int y = 0; y < picture.height(); y += 2)
                for (int x = 0; x < picture.width(); x += 2) {
                    const QColor a = picture.pixelColor(x, y), b = page.pixelColor(left + x, top + y);
                    if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) >
                        120)
                        ++bad;
                }
            return bad;
        };
        int bestTop = -1, bestLeft = -1, best = INT_MAX;
        for (left = centreLeft - 2; left <= centreLeft + 2; ++left)
            for (int top = centreTop - 2; top <= centreTop + 2; ++top) {
                const int m = mismatches(top);
                if (m < best) best = m, bestTop = top, bestLeft = left;
            }
        left = bestLeft;
        QVERIFY2(best < picture.width() * picture.height() / 4 / 100, qPrintable(QString::number(best)));
        // The heading: dark text in the lines just above the picture, none
        // higher up on the page.
        int dark = 0, higher = 0;
        for (int y = bestTop - 60; y < bestTop - 10; ++y)
            for (int x = left; x < left + 300; ++x) dark += qGray(page.pixel(x, y)) < 100;
        for (int y = 0; y < bestTop - 60; ++y)
            for (int x = 0; x < page.width(); ++x) higher += qGray(page.pixel(x, y)) < 100;
        QVERIFY(dark > 50);
        QCOMPARE(higher, 0);
        // Nothing but white to the right of the picture (no stray items).
        for (int y = bestTop; y < bestTop + picture.height(); y += 3)
            QCOMPARE(qGray(page.pixel(left + picture.width() + 20, y)), 255);
    }

    void viewerSquareRule() {
        // Wider than high: as high as the window less 600 twips, centred across.
        QCOMPARE(ViewerWindow::imageRect(QSize(798, 545)), QRect(153, 1, 505, 505));
        // Higher than wide: as wide as the window less 600 twips, centred down.
        QCOMPARE(ViewerWindow::imageRect(QSize(400, 700)), QRect(1, 177, 360, 360));
        // Smaller than the margin: nothing rather than a negative size.
        QCOMPARE(ViewerWindow::imageRect(QSize(30, 20)).size(), QSize(0, 0));
    }

    void viewerShowsTheSnapshotTakenAtLoad() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        plot(w, QStringLiteral("2"));
        const QImage first = w->canvas().snapshot();
        showFloatingItems(w);
        click(w, QStringLiteral("Commandquanpin"));
        ViewerWindow* v = ViewerWindow::current();
        QVERIFY(v);
        QCOMPARE(v->objectName(), QStringLiteral("Form15"));
        QCOMPARE(v->windowTitle(), QStringLiteral("图像全屏展示"));
        QVERIFY(v->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(v->size(), QSize(798, 545));
        QVERIFY(samePixels(v->picture().image(), first));
        QCOMPARE(v->image()->geometry(), ViewerWindow::imageRect(v->frameGeometry().size()));

        // Drawn stretched on the light green background.
        const QImage shot = v->grab().toImage();
        const QRect r = v->image()->geometry();
        QCOMPARE(shot.pixelColor(r.left() / 2, v->height() / 2), QColor(192, 255, 192));
        QCOMPARE(shot.pixelColor(r.right() + (v->width() - r.right()) / 2, v->height() / 2), QColor(192, 255, 192));
        const QPointF worldOrigin = w->canvas().toPixel(0, 0);  // the axes cross here
        const double scale = double(r.width()) / first.width();
        const QPoint mapped(r.left() + int(worldOrigin.x() * scale), r.top() + int(worldOrigin.y() * scale));
        QCOMPARE(shot.pixelColor(mapped), first.pixelColor(worldOrigin.toPoint()));

        // Drawing more and asking again brings the same viewer forward, unchanged.
        plot(w, QStringLiteral("-4"));
        click(w, QStringLiteral("Commandquanpin"));
        QCOMPARE(ViewerWindow::current(), v);
        QVERIFY(samePixels(v->picture().image(), first));

        // Resizing keeps the largest square that fits.
        v->resize(1000, 1400);
        QCOMPARE(v->image()->geometry(), ViewerWindow::imageRect(v->frameGeometry().size()));
        QCOMPARE(v->image()->width(), v->image()->height());

        // Closed, the next click loads a fresh snapshot.
        v->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!ViewerWindow::current());
        click(w, QStringLiteral("Commandquanpin"));
        QVERIFY(ViewerWindow::current());
        QVERIFY(samePixels(ViewerWindow::current()->picture().image(), w->canvas().image()));
        QVERIFY(!samePixels(ViewerWindow::current()->picture().image(), first));

        // Choosing a family closes it.
        openFamily(QStringLiteral("linear"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!ViewerWindow::current());
    }
};

VESMAR_WINDOW_TEST_MAIN(OutputTest)
#include "output_test.moc"
