// 参数动画: a frame is the window the pupil would get by typing the frame's
// values and pressing 刷新作图; the trail keeps the earlier curves; refused
// values are skipped without a box; bad settings start nothing; a run is one
// undo step; touching a parameter pauses; Space plays and pauses.
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "captions_fit.h"
#include "frame/accessibility.h"
#include "frame/plot_file.h"
#include "numfmt/numfmt.h"
#include "test_support.h"
#include "tools/animator.h"
#include "tools/install.h"

namespace {

QImage canvasImage(FamilyWindow* w) { return w->canvas().render(1).convertToFormat(QImage::Format_RGB32); }

QString boxText(FamilyWindow* w, const QString& name) {
    auto* e = qobject_cast<QLineEdit*>(namedControl(w, name));
    return e ? e->text() : QStringLiteral("<no box %1>").arg(name);
}

QString labelText(FamilyWindow* w, const QString& name) {
    auto* l = qobject_cast<QLabel*>(namedControl(w, name));
    return l ? l->text() : QStringLiteral("<no label %1>").arg(name);
}

QString caption(FamilyWindow* w, const QString& name) {
    auto* b = qobject_cast<QAbstractButton*>(namedControl(w, name));
    return b ? b->text() : QStringLiteral("<no button %1>").arg(name);
}

bool anyMessageBox(const QStringList& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const QString& l) { return l.contains(QLatin1String("msgbox")); });
}

}  // namespace

class AnimatorTest : public QObject {
    Q_OBJECT
private slots:
    void init() { s_ = std::make_unique<DriverSession>(); }
    void cleanup() { s_.reset(); }

    // The order of the frames in each mode, and the values along a sweep.
    void framesFollowTheMode() {
        using anim::Mode;
        auto steps = [](Mode m, int n, int count) {
            QList<int> out;
            for (int s = 0; s < count; ++s) out << anim::frameAt(m, n, s).value_or(-1);
            return out;
        };
        QCOMPARE(steps(Mode::PingPong, 4, 9), QList<int>({0, 1, 2, 3, 2, 1, 0, 1, 2}));
        QCOMPARE(steps(Mode::Up, 3, 7), QList<int>({0, 1, 2, 0, 1, 2, 0}));
        QCOMPARE(steps(Mode::Down, 3, 7), QList<int>({2, 1, 0, 2, 1, 0, 2}));
        QCOMPARE(steps(Mode::Once, 3, 5), QList<int>({0, 1, 2, -1, -1}));
        const std::vector<int> there = anim::sweep(Mode::PingPong, 4);
        QCOMPARE(QList<int>(there.begin(), there.end()), QList<int>({0, 1, 2, 3, 2, 1}));
        QCOMPARE(int(anim::sweep(Mode::Down, 5).front()), 4);
        QCOMPARE(anim::frameValue(-1, 3, 5, 0), -1.0);
        QCOMPARE(anim::frameValue(-1, 3, 5, 4), 3.0);
        QCOMPARE(anim::frameValue(-1, 3, 5, 1), 0.0);
    }

    // In every window, frame 2 of a five-frame sweep moving every parameter
    // at once is the picture that typing its values and 刷新作图 give.
    void aFrameIsTheHandMadePicture_data() {
        QTest::addColumn<QString>("family");
        for (const FamilyEntry& e : familyTable()) QTest::newRow(qPrintable(e.key)) << e.key;
    }
    void aFrameIsTheHandMadePicture() {
        QFETCH(QString, family);
        FamilyWindow* w = s_->open(family);
        const auto& links = w->frameControls().sliders;
        QVERIFY2(!links.empty(), "a window without parameters");
        QVERIFY(s_->run({"click Animsh", "type Animframes 5", "type Animspeed 20", "choose Animmode 一次"}));
        QStringList boxes, expected;
        for (size_t i = 0; i < links.size(); ++i) {
            const double v = numfmt::value(links[i].text->text());
            const QString n = QString::number(i);
            QVERIFY(s_->run(QStringLiteral("type Animfrom(%1) %2").arg(n, numfmt::textDouble(v))));
            QVERIFY(s_->run(QStringLiteral("type Animto(%1) %2").arg(n, numfmt::textDouble(v + 2))));
            auto* use = qobject_cast<QCheckBox*>(namedControl(w, QStringLiteral("Animuse(%1)").arg(n)));
            QVERIFY(use);
            if (!use->isChecked()) QVERIFY(s_->run(QStringLiteral("click Animuse(%1)").arg(n)));
            boxes << links[i].text->objectName();
            expected << numfmt::text(float(v + 1));
        }
        QVERIFY(s_->run({"click Animplay", "wait 100"}));
        QVERIFY(!anyMessageBox(s_->lines()));
        QCOMPARE(labelText(w, "Animskip"), QString());
        QVERIFY(s_->run("click Animplay"));  // pause on frame 2
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));
        for (int i = 0; i < boxes.size(); ++i) QCOMPARE(boxText(w, boxes[i]), expected[i]);
        const QImage frame = canvasImage(w);
        const QString redraw = w->frameControls().redraw->objectName();

        // By hand in a fresh window of the family.
        QVERIFY(s_->run("close"));
        FamilyWindow* hand = s_->open(family);
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY(s_->run(QStringLiteral("type %1 %2").arg(boxes[i], expected[i])));
        click(hand, redraw);
        QVERIFY(canvasImage(hand) == frame);
    }

    // 导出 GIF writes one sweep (往返: there and back) that a second decoder
    // reads back frame by frame, each the canvas the player shows for it;
    // the file is made new or not at all, as the picture's own save.
    void theSweepIsExportedAsAGif() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        s_->driver().confineFiles = true;
        s_->driver().filesFolder = dir.path();
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run({"click Animsh", "type Animfrom(0) 1", "type Animto(0) 3", "type Animframes 3",
                         "type Animspeed 25", "choose Animmode 往返"}));
        // The frames as the player shows them: 0 1 2 1.
        std::vector<QImage> shown;
        QVERIFY(s_->run("click Animplay"));
        for (int k = 0; k < 4; ++k) {
            shown.push_back(canvasImage(w));
            QVERIFY(s_->run("wait 40"));
        }
        QVERIFY(s_->run({"click Animstop", "savename sweep.gif", "click Animgif"}));
        QVERIFY2(!s_->output().contains(QLatin1String("msgbox")), qPrintable(s_->output()));
        QFile file(dir.filePath(QStringLiteral("sweep.gif")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        QBuffer buf;
        buf.setData(bytes);
        QVERIFY(buf.open(QIODevice::ReadOnly));
        QImageReader r(&buf, "gif");
        QCOMPARE(r.loopCount(), -1);
        std::vector<QImage> read;
        for (QImage img = r.read(); !img.isNull() && read.size() < 20; img = r.read()) {
            QCOMPARE(r.nextImageDelay(), 40);
            read.push_back(img.convertToFormat(QImage::Format_RGB32));
        }
        QCOMPARE(read.size(), shown.size());
        // Each frame the canvas shown for it: exact where its colours fit a
        // palette; a frame with more (the smoothed edges of its letters) may
        // show a few of those rare shades as the nearest colour kept.
        for (size_t k = 0; k < read.size(); ++k) {
            QCOMPARE(read[k].size(), shown[k].size());
            int off = 0;
            QSet<QRgb> colours;
            for (int y = 0; y < read[k].height(); ++y)
                for (int x = 0; x < read[k].width(); ++x) {
                    off += read[k].pixel(x, y) != shown[k].pixel(x, y);
                    colours.insert(shown[k].pixel(x, y));
                }
            const int allowed = colours.size() <= 256 ? 0 : 100;
            QVERIFY2(off <= allowed, qPrintable(QStringLiteral("frame %1: %2 pixels differ").arg(k).arg(off)));
        }

        // The same name again: refused with the message, the file as it was.
        QVERIFY(s_->run({"savename sweep.gif", "click Animgif"}));
        QVERIFY2(s_->output().contains(QStringLiteral("已经存在")), qPrintable(s_->output()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        file.close();
        // A folder that cannot be written (its name is taken by a file): a
        // clear message, nothing left.
        s_->driver().filesFolder = dir.filePath(QStringLiteral("sweep.gif"));
        QVERIFY(s_->run({"savename other.gif", "click Animgif"}));
        QVERIFY2(s_->output().contains(QStringLiteral("msgbox")), qPrintable(s_->output()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("sweep.gif")});
    }

    // With 保留轨迹 the last frame still shows every earlier frame's curve,
    // lighter; without it they are gone.
    void theTrailKeepsEveryEarlierCurve() {
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run(
            {"click Animsh", "type Animfrom(0) 1", "type Animto(0) 3", "type Animframes 5", "choose Animmode 一次"}));
        // The curves of frames 0 to 3 as the window draws them alone.
        std::vector<std::vector<QPointF>> earlier;
        QVERIFY(s_->run("click Animplay"));
        for (int k = 0; k < 4; ++k) {
            QVERIFY(!w->drawnCurves().empty());
            std::vector<QPointF> probes;
            for (const auto& run : w->drawnCurves().back().runs)
                for (size_t j = 0; j < run.size(); j += 7) probes.push_back(run[j]);
            earlier.push_back(probes);
            QVERIFY(s_->run("wait 50"));
        }
        const QImage alone = canvasImage(w);
        QVERIFY(s_->run({"click Animstop", "click Animtrail", "click Animplay", "wait 500"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));  // 一次 ends by itself
        const QImage trail = canvasImage(w);
        const QColor curve = w->canvas().foreColor();
        for (size_t k = 0; k < earlier.size(); ++k) {
            int shown = 0, light = 0, aloneShown = 0;
            for (const QPointF& p : earlier[k]) {
                const QPoint at = w->canvas().pixelAt(p.x(), p.y());
                if (!trail.rect().contains(at)) continue;
                const QColor c = trail.pixelColor(at);
                if (c != Qt::white) ++shown;
                if (c != Qt::white && c != curve && c.red() > 100 && c.green() > 100 && c.blue() > 100) ++light;
                if (alone.pixelColor(at) != Qt::white) ++aloneShown;
            }
            QVERIFY2(earlier[k].size() > 20, "too few points of a curve");
            QVERIFY2(shown >= int(earlier[k].size()) * 9 / 10,
                     qPrintable(QStringLiteral("frame %1: %2 of %3 shown").arg(k).arg(shown).arg(earlier[k].size())));
            QVERIFY2(light > 0, qPrintable(QStringLiteral("frame %1 not in a lighter shade").arg(k)));
            // Without the trail the same points are mostly white.
            QVERIFY(aloneShown < int(earlier[k].size()) / 2);
        }
    }

    // a = 0 draws nothing in the quadratic window: the frame is skipped
    // without a box, the quiet line names it, the other frames are drawn.
    void refusedValuesAreSkipped() {
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run({"click Animsh", "type Animfrom(0) -1", "type Animto(0) 1", "type Animframes 3",
                         "choose Animmode 一次", "click Animplay"}));
        QCOMPARE(boxText(w, "Text1(0)"), QStringLiteral("-1"));
        const QImage first = canvasImage(w);
        QVERIFY(s_->run("wait 50"));
        QVERIFY(!anyMessageBox(s_->lines()));
        // The refused frame leaves the picture and the boxes as they were.
        QCOMPARE(boxText(w, "Text1(0)"), QStringLiteral("-1"));
        QVERIFY(canvasImage(w) == first);
        QVERIFY(s_->run("wait 100"));
        QVERIFY(!anyMessageBox(s_->lines()));
        QCOMPARE(boxText(w, "Text1(0)"), QStringLiteral("1"));
        QVERIFY2(labelText(w, "Animskip").contains(QStringLiteral("a = 0")), qPrintable(labelText(w, "Animskip")));
        // The same value pressed by hand still gets its box.
        QVERIFY(s_->run({"type Text1(0) 0", "click Command1"}));
        QVERIFY(anyMessageBox(s_->lines()));
    }

    // A bad box or an overlay in progress: play and export alike say why
    // (naming the box) and neither starts nor writes anything.
    void badSettingsStartNothing_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("named");
        QTest::newRow("from") << "type Animfrom(0) abc"
                              << "起";
        QTest::newRow("to") << "type Animto(0) "
                            << "止";
        QTest::newRow("one frame") << "type Animframes 1"
                                   << "每轮帧数";
        QTest::newRow("too many frames") << "type Animframes 1001"
                                         << "每轮帧数";
        QTest::newRow("part of a frame") << "type Animframes 2.5"
                                         << "每轮帧数";
        QTest::newRow("no speed") << "type Animspeed 0"
                                  << "每秒帧数";
        QTest::newRow("too fast") << "type Animspeed 61"
                                  << "每秒帧数";
        QTest::newRow("not a speed") << "type Animspeed 快"
                                     << "每秒帧数";
        QTest::newRow("infinite") << "type Animto(0) 1e999"
                                  << "止";
        QTest::newRow("nothing checked") << "click Animuse(0)"
                                         << "勾选";
        QTest::newRow("overlay") << "click fugai"
                                 << "覆盖";
    }
    void badSettingsStartNothing() {
        QFETCH(QString, step);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        s_->driver().confineFiles = true;
        s_->driver().filesFolder = dir.path();
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run({"click Animsh"}));
        QVERIFY(s_->run(step));
        const quint64 revision = w->canvas().revision();
        QVERIFY(s_->run("click Animplay"));
        QVERIFY2(s_->output().contains(QLatin1String("msgbox")) && s_->output().contains(named),
                 qPrintable(s_->output()));
        QVERIFY(s_->run("wait 200"));
        QCOMPARE(w->canvas().revision(), revision);
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));
        QCOMPARE(boxText(w, "Text1(0)"), QStringLiteral("2"));
        // Export checks the same, before it asks for a file name.
        QVERIFY(s_->run({"savename x.gif", "click Animgif"}));
        QVERIFY2(s_->output().contains(QLatin1String("msgbox")) && s_->output().contains(named),
                 qPrintable(s_->output()));
        QCOMPARE(w->canvas().revision(), revision);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    // A whole run, however many frames, is one step: undo brings back the
    // picture and the values from before play.
    void aRunIsOneUndoStep() {
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run("click Command1"));
        const QImage before = canvasImage(w);
        const int steps = w->views().history().steps();
        QVERIFY(s_->run({"click Animsh", "type Animfrom(0) 1", "type Animto(0) 3", "type Animframes 10",
                         "choose Animmode 往返", "click Animplay", "wait 700"}));
        QCOMPARE(w->views().history().steps(), steps);  // nothing recorded while it plays
        QVERIFY(s_->run("click Animstop"));
        QCOMPARE(w->views().history().steps(), steps + 1);
        QVERIFY(canvasImage(w) != before);
        QVERIFY(s_->run("click Undosh"));
        QCOMPARE(boxText(w, "Text1(0)"), QStringLiteral("2"));
        QVERIFY(canvasImage(w) == before);
    }

    // Moving a parameter's slider while it plays pauses on the user's value;
    // play again goes on. Stop keeps the last frame shown.
    void touchingASliderPauses() {
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run({"click Animsh", "type Animfrom(0) 1", "type Animto(0) 3", "click Animplay", "wait 100"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("⏸ 暂停"));
        QVERIFY(s_->run({"slide HScroll1 5"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));
        QVERIFY(s_->run("wait 300"));
        QCOMPARE(boxText(w, "Text1(0)"), QStringLiteral("5"));
        // Typing into a moving parameter's box pauses too.
        QVERIFY(s_->run({"click Animplay", "wait 50"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("⏸ 暂停"));
        QVERIFY(s_->run({"type Text1(1) 1"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));
        QVERIFY(s_->run({"click Animplay", "wait 50", "click Animstop"}));
        const QString last = boxText(w, "Text1(0)");
        const QImage shown = canvasImage(w);
        QVERIFY(s_->run("wait 300"));
        QCOMPARE(boxText(w, "Text1(0)"), last);
        QVERIFY(canvasImage(w) == shown);
    }

    // Space in the tool window plays and pauses; every control has a name
    // for a screen reader; play, pause and stop are said; the tool window's
    // controls fit and stand clear of one another; one tool window per
    // family window, gone with it.
    void theToolWindowIsReachedByEveryone() {
        QStringList said;
        a11y::setObserver([&](QWidget*, const QString& text) { said << text; });
        FamilyWindow* w = s_->open(QStringLiteral("sine"));
        said.clear();  // the new window's first description
        QVERIFY(s_->run({"click Animsh", "key Animframes Space"}));
        // A box takes its Space as typing.
        QCOMPARE(boxText(w, "Animframes"), QStringLiteral("40 "));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));
        QVERIFY(s_->run({"key Animmode Space"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("⏸ 暂停"));
        QVERIFY(s_->run({"wait 300"}));  // frames go by, saying nothing of their own
        QVERIFY(s_->run({"key Animplay Space"}));
        QCOMPARE(caption(w, "Animplay"), QStringLiteral("▶ 播放"));
        QVERIFY(s_->run({"click Animstop"}));
        a11y::setObserver({});
        QVERIFY2(said.contains(QStringLiteral("开始播放")) && said.contains(QStringLiteral("已暂停")) &&
                     said.contains(QStringLiteral("已停止")) && said.size() == 3,
                 qPrintable(said.join(QLatin1Char('|'))));

        Animator* a = toolOf<Animator>(*w);
        QVERIFY(a && a->panel());
        QWidget* panel = a->panel();
        QVERIFY(panel->isWindow());
        QStringList unnamed;
        for (QWidget* c : panel->findChildren<QWidget*>()) {
            if (c->objectName().isEmpty() || c->objectName().startsWith(QLatin1String("qt_"))) continue;
            if (qobject_cast<QLabel*>(c)) continue;
            if (c->accessibleName().isEmpty()) unnamed << c->objectName();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
        const QStringList bad = placementFaults(panel) + captionsThatDoNotFit(panel);
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));

        QVERIFY(s_->run("click Animsh"));  // opened again: the same one
        QCOMPARE(a->panel(), panel);
        QPointer<QWidget> gone = panel;
        QVERIFY(s_->run("close"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gone.isNull());
    }

    // The settings travel with the plot file; undo leaves them; a file
    // written before the animator existed leaves them at their defaults.
    void settingsTravelWithThePlotFile() {
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        QVERIFY(s_->run({"type Animfrom(1) -3", "type Animto(1) 4", "click Animuse(1)", "type Animframes 12",
                         "type Animspeed 7.5", "choose Animmode 递减", "click Animtrail", "choose Animscale 2×",
                         "click Command1"}));
        const QByteArray bytes = plotfile::toJson(w->views().take());
        QVERIFY(s_->run({"click Undosh"}));
        QCOMPARE(boxText(w, "Animframes"), QStringLiteral("12"));  // undo leaves the tool's settings
        QVERIFY(s_->run("close"));

        FamilyWindow* again = s_->open(QStringLiteral("quadratic"));
        QCOMPARE(boxText(again, "Animframes"), QStringLiteral("40"));
        const plotfile::Reading r = plotfile::fromJson(bytes);
        QVERIFY2(r.view, qPrintable(r.problem));
        again->views().open(*r.view);
        QCOMPARE(boxText(again, "Animfrom(1)"), QStringLiteral("-3"));
        QCOMPARE(boxText(again, "Animto(1)"), QStringLiteral("4"));
        QCOMPARE(boxText(again, "Animframes"), QStringLiteral("12"));
        QCOMPARE(boxText(again, "Animspeed"), QStringLiteral("7.5"));
        auto* use = qobject_cast<QCheckBox*>(namedControl(again, QStringLiteral("Animuse(1)")));
        auto* trail = qobject_cast<QCheckBox*>(namedControl(again, QStringLiteral("Animtrail")));
        auto* mode = qobject_cast<QComboBox*>(namedControl(again, QStringLiteral("Animmode")));
        auto* scale = qobject_cast<QComboBox*>(namedControl(again, QStringLiteral("Animscale")));
        QVERIFY(use && trail && mode && scale);
        QVERIFY(use->isChecked() && trail->isChecked());
        QCOMPARE(mode->currentText(), QStringLiteral("递减"));
        QCOMPARE(scale->currentText(), QStringLiteral("2×"));
        QVERIFY(s_->run("close"));

        FamilyWindow* old = s_->open(QStringLiteral("linear"));
        const plotfile::Reading v2 = plotfile::readFile(QStringLiteral(VESMAR_TEST_FILES "/linear-v2.vesmar"));
        QVERIFY2(v2.view, qPrintable(v2.problem));
        old->views().open(*v2.view);
        QCOMPARE(boxText(old, "Text1(0)"), QStringLiteral("-0.5"));
        QCOMPARE(boxText(old, "Animframes"), QStringLiteral("40"));
        QCOMPARE(boxText(old, "Animspeed"), QStringLiteral("20"));
    }

private:
    std::unique_ptr<DriverSession> s_;
};

VESMAR_WINDOW_TEST_MAIN(AnimatorTest)
#include "animator_test.moc"
