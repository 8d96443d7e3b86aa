// Plot files: a saved window reopens pixel for pixel with the same controls;
// every kind of bad file is refused with a message naming the file and what
// is wrong, and leaves the open window and its history as they were.
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>

#include "driver/driver.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_actions.h"
#include "frame/plot_file.h"
#include "pixels_off_text.h"
#include "render/picture_codec.h"
#include "test_support.h"

namespace {
QImage grabOf(QWidget* w) {
    if (QWidget* f = QApplication::focusWidget()) f->clearFocus();
    return w->grab().toImage();
}
// A description's block of points as files keep them now.
QString pointsOf(std::initializer_list<double> values) {
    std::vector<QPointF> pts;
    for (auto it = values.begin(); it != values.end() && it + 1 != values.end(); it += 2) pts.emplace_back(*it, it[1]);
    return QString::fromLatin1(picturecodec::packPoints(pts).toBase64());
}
bool curvesEqual(const View& a, const View& b) {
    auto same = [](const SharedCurves& x, const SharedCurves& y) {
        const std::vector<DrawnCurve> none;
        const auto &p = x ? *x : none, &q = y ? *y : none;
        if (p.size() != q.size()) return false;
        for (size_t i = 0; i < p.size(); ++i)
            if (p[i].text != q[i].text || p[i].runs != q[i].runs) return false;
        return true;
    };
    return same(a.curves, b.curves) && same(a.overlayCurves, b.overlayCurves) && a.annotations == b.annotations &&
           a.overlayAnnotations == b.overlayAnnotations;
}
QJsonArray picturesOf(const QByteArray& file) {
    return QJsonDocument::fromJson(file).object()[QStringLiteral("pictures")].toArray();
}
}  // namespace

class PlotFileTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        s_.reset();  // the one a data function made goes first, with the platform it installed
        s_ = std::make_unique<DriverSession>();
        QVERIFY(dir_.isValid());
    }
    void cleanup() { s_.reset(); }

    void savedWindowReopensTheSame() {
        // Overlaid curves, a stroke, a text and a grid, in overlay mode.
        FamilyWindow* w = s_->open(QStringLiteral("sine"));
        s_->run("type Text1 2.5");
        s_->run("click Command1");
        s_->run("click fugai");
        s_->run("slide HScroll2 3");
        s_->run("click Commandfgqd");
        s_->run("choose Combo1sh 蓝色");
        QVERIFY(s_->stroke({{-8, -8}, {-2, -6}, {3, -9}}));
        s_->run("click Option5sh");
        s_->run("press left -9 9");
        s_->run("type Textwz 标注 abc");
        s_->run("key Textwz Enter");
        s_->run("click wangge");
        const QImage canvas1 = w->canvas().image().copy();
        const QImage canvas2 = w->canvas().render(2);
        const QImage window = grabOf(w);
        const QString said = w->canvasDescription();
        const View before = w->views().take();
        const QString path = dir_.filePath(QStringLiteral("sine.vesmar"));
        s_->run(QStringLiteral("savename ") + path);
        plotactions::saveByDialog(w);
        QVERIFY(QFile::exists(path));
        {
            // A picture that begins as another is written as that one and
            // what it adds: fewer operations in the file than in the pictures.
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QJsonArray pictures = picturesOf(f.readAll());
            qsizetype written = 0;
            bool extends = false;
            for (const QJsonValue& p : pictures) {
                written += p[QStringLiteral("ops")].toArray().size();
                extends = extends || p.toObject().contains(QStringLiteral("extends"));
            }
            qsizetype held = 0;
            for (const picture::Description* d :
                 {before.canvas.restore.description(), before.canvas.under.description(), before.overlay.description(),
                  before.canvas.own.get()})
                held += d ? qsizetype(d->ops.size()) : 0;
            QVERIFY(extends);
            QVERIFY2(written < held, qPrintable(QStringLiteral("%1 of %2").arg(written).arg(held)));
        }

        FamilyManager::instance().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        s_->open(QStringLiteral("linear"));
        QVERIFY(plotactions::openPath(nullptr, path));
        FamilyWindow* again = FamilyManager::instance().current();
        QVERIFY(again && again != w);
        QCOMPARE(again->traits().key, QStringLiteral("sine"));
        QVERIFY(QTest::qWaitForWindowExposed(again));
        QCOMPARE(again->canvas().image(), canvas1);
        QCOMPARE(again->canvas().render(2), canvas2);
        QCOMPARE(grabOf(again), window);
        // What a screen reader hears of it, and what the trace walks along, come back too.
        QCOMPARE(again->canvasDescription(), said);
        QVERIFY(curvesEqual(again->views().take(), before));
        const View after = again->views().take();
        QVERIFY(after.controls == before.controls);
        QVERIFY(after.overlayOn && after.gridOn);
        QCOMPARE(after.overlay.image(), before.overlay.image());
        // The opening is a step of its own: undo gives the window as it opened.
        QVERIFY(again->views().history().canUndo());

        // The overlay goes on from the saved picture: a slider previews over it.
        s_->run("slide HScroll1 5");
        QVERIFY(again->canvas().image() != canvas1);
    }

    void saveAsksBeforeReplacing() {
        FamilyWindow* w = s_->open(QStringLiteral("linear"));
        const QString path = dir_.filePath(QStringLiteral("old.vesmar"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("older");
        }
        s_->run(QStringLiteral("savename ") + path);
        s_->run("answer No");
        plotactions::saveByDialog(w);
        QVERIFY(s_->lines().join(QString()).contains(QStringLiteral("已经存在")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("older"));
        f.close();
        s_->run(QStringLiteral("savename ") + path);
        s_->run("answer Yes");
        plotactions::saveByDialog(w);
        QVERIFY(plotfile::readFile(path).view.has_value());
        QCOMPARE(s_->driver().scripted().lastSaveRequest.filters,
                 QStringList{QStringLiteral("Vesmar 作图文件 (*.vesmar)")});
    }

    void badFilesChangeNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const QByteArray good = goodFile();
        auto edited = [&](const std::function<void(QJsonObject&)>& edit) {
            QJsonObject o = QJsonDocument::fromJson(good).object();
            edit(o);
            return QJsonDocument(o).toJson(QJsonDocument::Compact);
        };
        // The canvas's own picture replaced by one holding the operation,
        // with its block of points and list of fonts when given.
        auto withOp = [&](const QJsonArray& op, const QString& points = QString(), QJsonObject more = {}) {
            return edited([&](QJsonObject& o) {
                QJsonArray pictures = o[QStringLiteral("pictures")].toArray();
                QJsonArray ops;  // not QJsonArray{op}: some compilers take that for a copy
                ops.append(op);
                more[QStringLiteral("ops")] = ops;
                if (!points.isNull()) more[QStringLiteral("points")] = points;
                pictures.append(more);
                QJsonObject canvas = o[QStringLiteral("canvas")].toObject();
                canvas[QStringLiteral("own")] = pictures.size() - 1;
                o[QStringLiteral("pictures")] = pictures;
                o[QStringLiteral("canvas")] = canvas;
            });
        };
        // An operation as files keep it: its kind's letter, a colour, the rest.
        auto op = [](const char* kind, const QJsonArray& rest) {
            QJsonArray a{QString::fromLatin1(kind), 255};
            for (const QJsonValue& v : rest) a << v;
            return a;
        };
        QTest::newRow("not JSON") << "a.vesmar" << QByteArray("GIF89a\x01\x02 not a plot") << "不是 JSON";
        QTest::newRow("truncated") << "b.vesmar" << good.left(good.size() / 2) << "不完整";
        QTest::newRow("empty") << "c.vesmar" << QByteArray() << "空的";
        QTest::newRow("other JSON") << "d.vesmar" << QByteArray(R"({"name":"x","version":1})") << "不是 Vesmar";
        QTest::newRow("newer") << "e.vesmar" << edited([](QJsonObject& o) { o[QStringLiteral("version")] = 7; })
                               << "第 7 版";
        QTest::newRow("family") << "f.vesmar" << edited([](QJsonObject& o) {
            o[QStringLiteral("family")] = QStringLiteral("spiral");
        }) << "spiral";
        QTest::newRow("NaN") << "g.vesmar" << withOp(op("d", {2, 1}), pointsOf({1, NAN})) << "有限";
        QTest::newRow("infinite") << "h.vesmar" << withOp(op("s", {2, 1}), pointsOf({0, 0, INFINITY, 3})) << "有限";
        QTest::newRow("points that claim gigabytes")
            << "s.vesmar" << withOp(op("d", {2, 1e9}), pointsOf({1, 1})) << "点太多";
        QTest::newRow("a block that claims gigabytes")
            << "s2.vesmar"
            << withOp(op("d", {2, 1}), QString::fromLatin1(QByteArray("\xff\xff\xff\xf0xxxx").toBase64())) << "点数";
        QTest::newRow("fewer points than the operations take")
            << "s3.vesmar" << withOp(op("s", {2, 2}), pointsOf({0, 0, 1, 1, 2, 2})) << "点数";
        QTest::newRow("points left over") << "s4.vesmar" << withOp(op("d", {2, 1}), pointsOf({0, 0, 1, 1})) << "点数";
        QTest::newRow("a picture that extends itself") << "s5.vesmar" << edited([](QJsonObject& o) {
            QJsonArray pictures = o[QStringLiteral("pictures")].toArray();
            QJsonObject last = pictures.last().toObject();
            last[QStringLiteral("extends")] = pictures.size() - 1;
            pictures.replace(pictures.size() - 1, last);
            o[QStringLiteral("pictures")] = pictures;
        }) << "图像编号";
        QTest::newRow("a font not in the list")
            << "s6.vesmar"
            << withOp(op("t", {10, 10, "x", 1}), QString(),
                      QJsonObject{{"fonts", QJsonArray{"Liberation Serif,12,-1,5,400,0,0,0,0,0"}}})
            << "字体";
        QTest::newRow("huge") << "i.vesmar" << withOp(op("e", {1, 1e300, 5, 2, 2})) << "过大";
        QTest::newRow("negative width") << "j.vesmar" << withOp(op("d", {-3, 1}), pointsOf({1, 1})) << "线宽";
        QTest::newRow("huge width") << "k.vesmar" << withOp(op("d", {1e9, 1}), pointsOf({1, 1})) << "线宽";
        QTest::newRow("huge font") << "l.vesmar"
                                   << withOp(op("t", {10, 10, "x", "Liberation Serif,90000,-1,5,400,0,0,0,0,0"}))
                                   << "字号";
        QTest::newRow("millions of operations") << "m.vesmar" << edited([](QJsonObject& o) {
            QJsonArray ops;
            for (int i = 0; i < 400000; ++i) ops.append(QJsonValue(0));
            o[QStringLiteral("pictures")] = QJsonArray{QJsonObject{{"ops", ops}}};
        }) << "操作太多";
        QByteArray nested = good;
        nested.insert(nested.size() - 1, ",\"x\":" + QByteArray(100000, '[') + QByteArray(100000, ']'));
        QTest::newRow("deeply nested") << "n.vesmar" << nested << "嵌套";
        QTest::newRow("megabytes of text") << "o.vesmar" << edited([](QJsonObject& o) {
            QJsonObject controls = o[QStringLiteral("controls")].toObject();
            controls[QStringLiteral("Text1(0)")] = QJsonObject{{"text", QString(3000000, QLatin1Char('7'))}};
            o[QStringLiteral("controls")] = controls;
        }) << "太长";
        QTest::newRow("megabytes of canvas text")
            << "p.vesmar"
            << withOp(op("t", {10, 10, QString(3000000, QLatin1Char('x')), "Liberation Serif,12,-1,5,400,0,0,0,0,0"}))
            << "太长";
        QTest::newRow("over 20 MB") << "q.vesmar" << QByteArray() << "20 MB";
        QTest::newRow("unreadable") << "missing/r.vesmar" << QByteArray() << "无法读取";
    }

    void badFilesChangeNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString path = dir_.filePath(name);
        if (!name.startsWith(QLatin1String("missing/"))) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
            // Over the limit without writing 20 MB: a sparse file of that size.
            if (name == QLatin1String("q.vesmar")) QVERIFY(f.resize(plotfile::kMaxBytes + 1));
        }
        FamilyWindow* w = s_->open(QStringLiteral("linear"));
        QVERIFY(s_->line({-5, 5}, {5, 5}));
        const QImage image = w->canvas().image().copy();
        const int steps = w->views().history().steps();
        const View view = w->views().take();

        s_->run(QStringLiteral("answer OK"));
        s_->driver().scripted().openNames.push_back(path);
        plotactions::openByDialog(w);
        QCOMPARE(s_->lines().size(), 1);
        const QJsonObject box =
            QJsonDocument::fromJson(s_->lines().first().toUtf8()).object()[QStringLiteral("msgbox")].toObject();
        const QString text = box[QStringLiteral("text")].toString();
        QVERIFY2(text.contains(QFileInfo(path).fileName()), qPrintable(text));
        QVERIFY2(text.contains(says), qPrintable(text));
        QCOMPARE(box[QStringLiteral("title")].toString(), QStringLiteral("打开作图"));

        QCOMPARE(FamilyManager::instance().current(), w);
        QCOMPARE(w->canvas().image(), image);
        QCOMPARE(w->views().history().steps(), steps);
        QVERIFY(w->views().take().controls == view.controls);
    }

    void olderFilesStillOpen() {
        // Written by the first form of the format (each operation's points on
        // their own, fonts as text), beside the canvas it showed.
        const QString path = QStringLiteral(VESMAR_TEST_FILES "/linear-v1.vesmar");
        const QImage shown(QStringLiteral(VESMAR_TEST_FILES "/linear-v1.png"));
        QVERIFY(!shown.isNull());
        s_->open(QStringLiteral("linear"));
        QVERIFY(plotactions::openPath(nullptr, path));
        FamilyWindow* w = FamilyManager::instance().current();
        QVERIFY(w);
        QCOMPARE(w->traits().key, QStringLiteral("linear"));
        // The texts were smoothed by the font engine of the system that wrote
        // the PNG: everything else must come back to the pixel. The texts
        // cover under a quarter of the picture, so most of it is compared.
        const Picture opened = w->canvas().picture();
        QVERIFY(opened.description());
        const QRegion texts = textArea(*opened.description());
        QVERIFY(!texts.isEmpty());
        qint64 masked = 0;
        for (const QRect& r : texts) masked += qint64(r.width()) * r.height();
        QVERIFY2(masked < picture::kSize * picture::kSize / 4, qPrintable(QString::number(masked)));
        QString differ = differencesOffText(w->canvas().image(), shown, texts);
        QVERIFY2(differ.isEmpty(), qPrintable(differ));
        // Written again in the present form, it reads back the same.
        const View v = w->views().take();
        const plotfile::Reading again = plotfile::fromJson(plotfile::toJson(v));
        QVERIFY2(again.view, qPrintable(again.problem));
        QVERIFY(again.view->controls == v.controls);
        const QImage before = w->canvas().image().copy();
        w->views().put(*again.view);
        QCOMPARE(w->canvas().image(), before);
        differ = differencesOffText(w->canvas().image(), shown, texts);
        QVERIFY2(differ.isEmpty(), qPrintable(differ));
    }

    void packedPointsComeBackExactly() {
        // Values a curve gives, and the awkward ones: signs, zeros, tiny, huge.
        std::vector<QPointF> pts;
        for (int i = 0; i < 500; ++i) pts.emplace_back(-10 + i * 0.04, std::sin(i * 0.04) * 1e-300);
        pts.emplace_back(-0.0, 0.0);
        pts.emplace_back(1e40, -1e40);
        pts.emplace_back(5e-324, -5e-324);
        pts.emplace_back(1, 1);
        std::vector<QPointF> back;
        QVERIFY(picturecodec::unpackPoints(picturecodec::packPoints(pts), qsizetype(pts.size()), back));
        QCOMPARE(back.size(), pts.size());
        for (size_t i = 0; i < pts.size(); ++i)
            QVERIFY2(std::memcmp(&back[i], &pts[i], sizeof(QPointF)) == 0, qPrintable(QString::number(i)));
        // A block is exactly the points it claims: one more or less is refused.
        back.clear();
        QVERIFY(!picturecodec::unpackPoints(picturecodec::packPoints(pts), qsizetype(pts.size()) - 1, back));
        QVERIFY(!picturecodec::unpackPoints(picturecodec::packPoints(pts), qsizetype(pts.size()) + 1, back));
        QVERIFY(!picturecodec::unpackPoints(QByteArray("\0\0"), 0, back));
    }

    void unknownFieldsAreIgnored() {
        QJsonObject o = QJsonDocument::fromJson(goodFile()).object();
        o[QStringLiteral("comment")] = QStringLiteral("made by a later version");
        QJsonObject controls = o[QStringLiteral("controls")].toObject();
        controls[QStringLiteral("NoSuchControl")] = QJsonObject{{"text", "x"}};
        controls[QStringLiteral("Text1(0)")] = QJsonObject{{"text", "abc 1e40"}, {"colour", "red"}};
        o[QStringLiteral("controls")] = controls;
        const plotfile::Reading r = plotfile::fromJson(QJsonDocument(o).toJson());
        QVERIFY2(r.view, qPrintable(r.problem));
        // A box's text is taken as typed, whatever it says.
        QCOMPARE(r.view->controls.at(QStringLiteral("Text1(0)")).text, QStringLiteral("abc 1e40"));
    }

private:
    QByteArray goodFile() {
        if (!s_) init();  // a data function runs before init()
        FamilyWindow* w = s_->open(QStringLiteral("linear"));
        s_->run("click Command1(0)");
        const QByteArray bytes = plotfile::toJson(w->views().take());
        FamilyManager::instance().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return bytes;
    }
    std::unique_ptr<DriverSession> s_;
    QTemporaryDir dir_;
};

VESMAR_WINDOW_TEST_MAIN(PlotFileTest)
#include "plotfile_test.moc"
