// Real printing: run by tests/desktop/with-cups beside a private print server
// whose default printer writes PDF files. 打印 in the quadratic window sends
// one page to it; the PDF holds the heading and the picture.
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QtTest>

#include "desktop_common.h"
#include "platform/platform.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "shell/shell.h"

using namespace desktop;

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(!qEnvironmentVariableIsEmpty("VESMAR_PDF_DIR"), "run through tests/desktop/with-cups");
        setupApplication(*qobject_cast<QApplication*>(qApp));
        initShellResources();
    }

    void printsHeadingAndPicture() {
        const QDir out(qEnvironmentVariable("VESMAR_PDF_DIR"));
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), qEnvironmentVariable("VESMAR_PRINTER"));
        QVERIFY(out.entryList({"*.pdf"}, QDir::Files).isEmpty());

        const FamilyEntry* e = familyByKey(QStringLiteral("quadratic"));
        QVERIFY(e);
        FamilyWindow* w = FamilyManager::instance().open(*e);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // A curve and its expression: the heading then ends in plain text.
        auto* redraw = w->findChild<QAbstractButton*>("Command1");
        QVERIFY(redraw);
        redraw->click();
        const QString heading = w->findChild<QLabel*>("Labfc")->text();
        const QString prefix = QStringLiteral("当前函数的解析式为：");
        QVERIFY2(heading.startsWith(prefix) && heading.size() > prefix.size() + 3, qPrintable(heading));
        const QString expression = heading.mid(prefix.size());

        // No message may come up while printing works; if one does, it is
        // recorded and answered so the test ends.
        QString message;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->done(0);
            }
        });
        watch.start(100);
        auto* print = w->findChild<QAbstractButton*>("Command5");
        QVERIFY(print);
        print->click();
        watch.stop();
        QVERIFY2(message.isEmpty(), qPrintable(message));

        // The job passes through the server's filters and the PDF printer;
        // wait (bounded) until a complete PDF is there.
        QString pdf;
        Run text;
        for (int i = 0; i < 600; ++i) {
            const QStringList files = out.entryList({"*.pdf"}, QDir::Files);
            if (!files.isEmpty()) {
                pdf = out.filePath(files.first());
                text = run("pdftotext", {"-layout", pdf, "-"});
                if (text.finished && text.exitCode == 0) break;
            }
            QTest::qWait(200);
        }
        QVERIFY2(!pdf.isEmpty(), "no PDF came out of the printer");
        QVERIFY2(text.finished && text.exitCode == 0, text.err.constData());
        QCOMPARE(out.entryList({"*.pdf"}, QDir::Files).size(), 1);

        // The print server turns the job into PostScript and back, which
        // keeps the glyphs but not what they mean (text extraction yields
        // one made-up character per distinct glyph): the heading is checked
        // as a line of about as many glyphs as it has characters, and on the
        // rendered page below.
        QString firstLine = QString::fromUtf8(text.out).section(QLatin1Char('\n'), 0, 0);
        firstLine.remove(QRegularExpression("\\s"));
        QString headingGlyphs = heading;
        headingGlyphs.remove(QRegularExpression("\\s"));
        QVERIFY2(std::abs(firstLine.size() - headingGlyphs.size()) <= 2,
                 qPrintable(QStringLiteral("heading %1, printed line %2").arg(headingGlyphs, firstLine)));
        QVERIFY(!expression.isEmpty());

        // One page, and the canvas picture on it: the page rendered at 96 dpi
        // shows the canvas's red axes and blue curve.
        const Run info = run("pdfinfo", {pdf});
        QVERIFY2(info.finished && info.exitCode == 0, info.err.constData());
        QVERIFY2(QRegularExpression("Pages: *1\\n").match(QString::fromUtf8(info.out)).hasMatch(),
                 info.out.constData());
        const QString png = out.filePath("page");
        const Run render = run("pdftoppm", {"-png", "-r", "96", "-singlefile", pdf, png});
        QVERIFY2(render.finished && render.exitCode == 0, render.err.constData());
        QImage page(png + ".png");
        QVERIFY(!page.isNull());
        const QImage canvas = w->canvas().snapshot();
        auto dark = [](const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; };
        // The canvas's drawing (axes, curve, marks): its box of dark pixels.
        QRect drawn;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (dark(canvas, x, y)) drawn |= QRect(x, y, 1, 1);
        QVERIFY(drawn.width() > 300 && drawn.height() > 300);

        // The page from top to bottom: bands of rows with dark pixels,
        // separated by blank rows. The first is the heading, the rest the
        // picture, printed at its natural size (396 pixels at 96 dpi).
        QList<QRect> bands;
        int blank = 1000;
        for (int y = 0; y < page.height(); ++y) {
            QRect row;
            for (int x = 0; x < page.width(); ++x)
                if (dark(page, x, y)) row |= QRect(x, y, 1, 1);
            if (row.isNull()) {
                ++blank;
                continue;
            }
            if (blank >= 6 || bands.isEmpty()) bands << row;
            else bands.last() |= row;
            blank = 0;
        }
        QVERIFY2(bands.size() >= 2, qPrintable(QStringLiteral("%1 bands of print on the page").arg(bands.size())));
        const QRect headingBox = bands.first();
        QRect pictureBox;
        for (qsizetype i = 1; i < bands.size(); ++i) pictureBox |= bands.at(i);
        const QString sizes = QStringLiteral("canvas drawing %1x%2, printed %3x%4")
                                  .arg(drawn.width())
                                  .arg(drawn.height())
                                  .arg(pictureBox.width())
                                  .arg(pictureBox.height());
        QVERIFY2(
            std::abs(pictureBox.width() - drawn.width()) <= 3 && std::abs(pictureBox.height() - drawn.height()) <= 3,
            qPrintable(sizes));
        // The heading starts where the picture's left edge is, above it, and
        // is as wide as ten Chinese characters and an expression at 16 pt.
        const int pictureLeft = pictureBox.left() - drawn.left();
        QVERIFY2(std::abs(headingBox.left() - pictureLeft) <= 4,
                 qPrintable(QStringLiteral("heading at %1, picture at %2").arg(headingBox.left()).arg(pictureLeft)));
        QVERIFY2(headingBox.width() > 250 && headingBox.height() >= 12 && headingBox.height() < 40,
                 qPrintable(QStringLiteral("heading %1x%2").arg(headingBox.width()).arg(headingBox.height())));
    }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
