// Undo and redo in a family window: a step brings back the picture and the
// values it was drawn from, exactly; the history is bounded; the keys reach
// the window's history from its buttons but a text box's typing from the box.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "driver/driver.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/history.h"
#include "test_support.h"

namespace {
// A view whose operations are n dots, its own description.
View viewWithDots(int n) {
    View v;
    auto d = std::make_shared<picture::Description>();
    for (int i = 0; i < n; ++i) d->addDot(i % 396, i / 396, 0xFF000000, 1);
    v.canvas.own = d;
    return v;
}

// A picture flattened to stay within the canvas's budget: its pixels at
// scale 1 and at the flat scale, each image its own.
std::shared_ptr<picture::Description> flattened(QRgb colour) {
    auto d = std::make_shared<picture::Description>();
    d->base = QImage(picture::kSize, picture::kSize, QImage::Format_RGB32);
    d->base.fill(colour);
    const int high = picture::kSize * picture::kFlatScale;
    d->baseHigh = QImage(high, high, QImage::Format_RGB32);
    d->baseHigh.fill(colour);
    return d;
}
// What those two images take, by their size.
constexpr size_t kFlattenedBytes =
    size_t(picture::kSize) * picture::kSize * 4 * (1 + picture::kFlatScale * picture::kFlatScale);
}  // namespace

class UndoTest : public QObject {
    Q_OBJECT
private slots:
    void init() { s_ = std::make_unique<DriverSession>(); }
    void cleanup() { s_.reset(); }

    void historyKeepsItsBounds() {
        // By steps: the oldest go, the newest stay.
        History steps(200, size_t(1) << 30);
        steps.reset(viewWithDots(1));
        for (int i = 2; i <= 260; ++i) steps.record(viewWithDots(i));
        QCOMPARE(steps.steps(), 200);
        QCOMPARE(steps.current().canvas.own->points.size(), size_t(260));
        const View* oldest = nullptr;
        for (int i = 0; i < 200; ++i) oldest = steps.undo();
        QVERIFY(oldest);
        QCOMPARE(oldest->canvas.own->points.size(), size_t(60));
        QVERIFY(!steps.canUndo());
        QVERIFY(steps.undo() == nullptr);

        // By bytes: a view of 10 000 dots weighs about 160 KB; a 1 MB budget keeps a handful.
        History bytes(1000, size_t(1) << 20);
        bytes.reset(viewWithDots(10000));
        for (int i = 0; i < 50; ++i) bytes.record(viewWithDots(10000));
        QVERIFY(bytes.weight() <= size_t(1) << 20);
        QVERIFY(bytes.steps() >= 4 && bytes.steps() < 10);

        // A picture shared by many views counts once.
        History shared(1000, size_t(1) << 20);
        View v = viewWithDots(10000);
        shared.reset(v);
        for (int i = 0; i < 300; ++i) {
            v.controls[QStringLiteral("Text1(0)")].text = QString::number(i);
            shared.record(v);
        }
        QCOMPARE(shared.steps(), 300);

        // A new step drops what could be redone.
        shared.undo();
        shared.undo();
        QVERIFY(shared.canRedo());
        shared.record(viewWithDots(3));
        QVERIFY(!shared.canRedo());
        QCOMPARE(shared.steps(), 299);
    }

    void historyCountsTheImagesItHolds() {
        // Every step flattened anew (a long freehand session): about 10.7 MB
        // of pixels a view, so the 64 MB budget keeps six views, never all.
        History history;
        View v;
        v.canvas.own = flattened(0xFFFFFFFF);
        history.reset(v);
        for (int i = 1; i < 20; ++i) {
            View next;
            next.canvas.own = flattened(qRgb(i, i, i));
            // The picture a clear puts back holds the same pixels once more, shared.
            next.canvas.restore = Picture(next.canvas.own, next.canvas.own->base);
            history.record(next);
        }
        const size_t held = size_t(history.steps() + 1) * kFlattenedBytes;
        QVERIFY2(held <= History::kBudget,
                 qPrintable(QStringLiteral("%1 steps hold %2 bytes").arg(history.steps()).arg(held)));
        QVERIFY(history.weight() >= held);
        QVERIFY(history.weight() <= History::kBudget);
        QCOMPARE(history.steps(), int(History::kBudget / kFlattenedBytes) - 1);

        // Views that copy one flattened description share its images: counted
        // once, a hundred steps fit.
        History shared;
        const auto base = flattened(0xFFFFFFFF);
        for (int i = 0; i < 100; ++i) {
            auto d = std::make_shared<picture::Description>(*base);
            d->addDot(i, i, 0xFF000000, 1);
            View step;
            step.canvas.own = d;
            if (i == 0) shared.reset(step);
            else shared.record(step);
        }
        QCOMPARE(shared.steps(), 99);
        QVERIFY(shared.weight() >= kFlattenedBytes);
        QVERIFY(shared.weight() < 2 * kFlattenedBytes);
    }

    void lineUndoneAndRedone() {
        FamilyWindow* w = s_->open(QStringLiteral("linear"));
        auto* undoButton = w->findChild<QPushButton*>(QStringLiteral("Undosh"));
        auto* redoButton = w->findChild<QPushButton*>(QStringLiteral("Redosh"));
        QVERIFY(undoButton && redoButton);
        QVERIFY(!undoButton->isEnabled());
        QVERIFY(!redoButton->isEnabled());
        s_->run("click Command1(0)");
        s_->run("click Option1sh");
        s_->run("choose Combo1sh 红色");
        const QImage before = w->canvas().image().copy();
        s_->run("press left -5 5");
        s_->run("release left 5 5");
        const QImage after = w->canvas().image().copy();
        QCOMPARE(after.pixel(w->canvas().pixelAt(0, 5)), qRgb(255, 0, 0));
        QVERIFY(undoButton->isEnabled());
        QVERIFY(!redoButton->isEnabled());

        undoButton->click();
        QCOMPARE(w->canvas().image(), before);
        QVERIFY(redoButton->isEnabled());
        redoButton->click();
        QCOMPARE(w->canvas().image(), after);
        QVERIFY(!redoButton->isEnabled());
        // The tool and the colour are the user's choice, not a step: they stay.
        QCOMPARE(namedText(w, QStringLiteral("Combo1sh")), QStringLiteral("红色"));
    }

    void redrawUndoneBringsBackAnnotationsAndValues() {
        FamilyWindow* w = s_->open(QStringLiteral("linear"));
        s_->run("type Text1(0) 0.5");
        s_->run("click Command1(0)");
        s_->run("click Option3sh");
        s_->run("press left -3 -3");
        s_->run("move left 2 4");
        s_->run("release left 2 4");
        s_->run("type Tx1 2");
        s_->run("click cay");
        const QString y = namedText(w, QStringLiteral("Ty1"));
        QVERIFY(!y.isEmpty());
        const QImage drawn = w->canvas().image().copy();
        auto* slider = w->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        const int thumb = slider->value();

        // The slider redraws: the stroke is gone, the box and the result change.
        s_->run("slide HScroll1 7");
        QVERIFY(w->canvas().image() != drawn);
        QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("7"));

        w->views().undo();
        QCOMPARE(w->canvas().image(), drawn);
        QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("0.5"));
        QCOMPARE(namedText(w, QStringLiteral("Ty1")), y);
        QCOMPARE(slider->value(), thumb);
        // Putting values back runs no handler: nothing was drawn again.
        QCOMPARE(w->canvas().image(), drawn);
        w->views().redo();
        QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("7"));
        QCOMPARE(slider->value(), 7);
    }

    void overlayStateComesBack() {
        FamilyWindow* w = s_->open(QStringLiteral("linear"));
        s_->run("type Text1(0) 2");
        s_->run("click Command1(0)");
        s_->run("click Command1(1)");
        s_->run("type Text1(0) -1");
        s_->run("click Commandfgqd");
        s_->run("click Command2");
        const QString point = namedText(w, QStringLiteral("Label4"));
        QVERIFY(point.contains(QLatin1Char('(')));
        const QImage overlaid = w->canvas().image().copy();
        s_->run("click Command1(1)");  // ends overlay mode
        QVERIFY(!w->overlayOn());
        s_->run("slide HScroll1 3");

        w->views().undo();  // the slider's redraw
        w->views().undo();  // the end of overlay mode
        QVERIFY(w->overlayOn());
        QCOMPARE(w->overlayCount(), 1);
        QCOMPARE(namedText(w, QStringLiteral("Command1(1)")), QStringLiteral("结束覆盖"));
        QVERIFY(!w->frameControls().redraw->isEnabled());
        QVERIFY(w->frameControls().commit->isVisibleTo(w));
        QVERIFY(w->frameControls().feature->isEnabled());
        QCOMPARE(namedText(w, QStringLiteral("Label4")), point);
        QCOMPARE(w->canvas().image(), overlaid);
        // The first curve's values came back too: the intersection is found again.
        s_->run("click Command2");
        QCOMPARE(namedText(w, QStringLiteral("Label4")), point);
    }

    void keysReachTheHistoryButNotATextBox() {
        FamilyWindow* w = s_->open(QStringLiteral("quadratic"));
        s_->run("click Command1");
        const QImage plotted = w->canvas().image().copy();
        QVERIFY(s_->stroke({{0, 0}, {4, 4}}));
        const QImage stroked = w->canvas().image().copy();
        QVERIFY(stroked != plotted);

        // In a text box Ctrl+Z undoes the typing, and the picture stays.
        auto* box = w->findChild<QLineEdit*>(QStringLiteral("Text1(0)"));
        QVERIFY(box);
        const QString was = box->text();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("9"));
        QCOMPARE(box->text(), was + QStringLiteral("9"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), was);
        QCOMPARE(w->canvas().image(), stroked);

        // From a button the keys walk the history.
        auto* button = w->frameControls().redraw;
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->canvas().image(), plotted);
        QTest::keyClick(button, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w->canvas().image(), stroked);
        QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->canvas().image(), stroked);
    }

    void twoHundredStrokesCanBeUndone() {
        FamilyWindow* w = s_->open(QStringLiteral("sine"));
        s_->run("click Option3sh");
        const QImage start = w->canvas().image().copy();
        for (int i = 0; i < 220; ++i) {
            const double x = -9 + (i % 90) * 0.2;
            QVERIFY(s_->stroke({{x, -5}, {x, 5}}, false));
        }
        QCOMPARE(w->views().history().steps(), 220);
        for (int i = 0; i < 220; ++i) w->views().undo();
        QCOMPARE(w->canvas().image(), start);
    }

private:
    std::unique_ptr<DriverSession> s_;
};

VESMAR_WINDOW_TEST_MAIN(UndoTest)
#include "undo_test.moc"
