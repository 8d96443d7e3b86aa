// Sliders: a change that arrives while a message box of the window is open
// (a held arrow keeps stepping behind a modal box) waits until the handler
// that opened the box has finished; sliders take the keyboard focus and step
// by key as by mouse.
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include "focus_frame.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "recording_platform.h"
#include "test_support.h"

namespace {

const QString kLineBox = QStringLiteral(
    "你输入了a=0或无效数字，这时就不再是二次函数，而成为一次函数了。如果继续请按“确定”，想重新输入a值，请按“取消”!");

QRgb at(FamilyWindow* w, double x, double y) {
    const QPoint p = w->canvas().pixelAt(x, y);
    return w->canvas().image().pixel(p) & 0xffffff;
}

// A black pixel at world (x, y) or one of its eight neighbours (a curve's
// samples are joined by aliased segments that may pass a pixel beside).
bool blackNear(FamilyWindow* w, double x, double y) {
    const QPoint p = w->canvas().pixelAt(x, y);
    const QImage& img = w->canvas().image();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if ((img.pixel(p + QPoint(dx, dy)) & 0xffffff) == 0) return true;
    return false;
}

}  // namespace

class SliderTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setPlatform(&fake_); }
    void cleanup() { closeWindowsAndRestore(fake_); }

    void stepsBehindABoxWaitForItsAnswer_data() {
        QTest::addColumn<MsgReply>("reply");
        QTest::newRow("OK draws the line asked about") << MsgReply::OK;
        QTest::newRow("Cancel draws nothing for it") << MsgReply::Cancel;
    }
    void stepsBehindABoxWaitForItsAnswer() {
        QFETCH(MsgReply, reply);
        FamilyWindow* w = openFamily(QStringLiteral("quadratic"));
        QVERIFY(w);
        auto* a = w->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        auto* b = w->findChild<QScrollBar*>(QStringLiteral("HScroll2"));
        QVERIFY(a && b);
        setControlText(namedControl(w, QStringLiteral("Text1(2)")), QStringLiteral("1"));
        a->setValue(1);
        QCOMPARE(namedText(w, QStringLiteral("Labfc")), QStringLiteral("当前函数的解析式为：Y = 1X^2 + 0X + 1"));
        QVERIFY(fake_.boxes.empty());

        // The arrow held through a = 0: the box opens, and behind it the
        // scroll bars go on stepping, a to -3 and b to 2.
        quint64 revisionInBox = 0, revisionAfterSteps = 0;
        QString labelAfterSteps;
        fake_.reply = reply;
        fake_.inside = [&] {
            revisionInBox = w->canvas().revision();
            for (int i = 0; i < 3; ++i) a->triggerAction(QAbstractSlider::SliderSingleStepSub);
            for (int i = 0; i < 2; ++i) b->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            revisionAfterSteps = w->canvas().revision();
            labelAfterSteps = namedText(w, QStringLiteral("Labfc"));
        };
        a->setValue(0);

        // Nothing was redrawn while the box was up.
        QCOMPARE(a->value(), -3);
        QCOMPARE(revisionAfterSteps, revisionInBox);
        QCOMPARE(labelAfterSteps, QStringLiteral("当前函数的解析式为：Y = 1X^2 + 0X + 1"));
        // One box, about a = 0; then the waiting steps ran once each with
        // the sliders' last values, and a = -3 is no line: no second box.
        QCOMPARE(int(fake_.boxes.size()), 1);
        QCOMPARE(fake_.boxes[0].text, kLineBox);
        QCOMPARE(fake_.boxes[0].buttons, MsgButtons::OKCancel);
        QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("-3"));
        QCOMPARE(namedText(w, QStringLiteral("Text1(1)")), QStringLiteral("2"));
        QCOMPARE(namedText(w, QStringLiteral("Labfc")), QStringLiteral("当前函数的解析式为：Y = -3X^2 + 2X + 1"));
        // The canvas shows that parabola alone: no line y = 1 (the box's
        // values) or y = 2x + 1 (the values stepped to behind it) is left.
        QVERIFY(blackNear(w, -1, -4));            // -3 - 2 + 1
        QCOMPARE(at(w, 7, 1), QRgb(0xffffff));    // the line asked about
        QCOMPARE(at(w, 3.5, 8), QRgb(0xffffff));  // 2x + 1
    }

    void aBoxOpenedByAWaitingStepIsAnsweredToo() {
        // The waiting step itself meets a = 0 again: its own box, its own answer.
        FamilyWindow* w = openFamily(QStringLiteral("quadratic"));
        auto* a = w->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        auto* b = w->findChild<QScrollBar*>(QStringLiteral("HScroll2"));
        a->setValue(1);
        fake_.inside = [&] { b->setValue(5); };
        a->setValue(0);
        QCOMPARE(int(fake_.boxes.size()), 2);
        QCOMPARE(fake_.boxes[1].text, kLineBox);
        QCOMPARE(namedText(w, QStringLiteral("Text1(1)")), QStringLiteral("5"));
        QCOMPARE(namedText(w, QStringLiteral("Labfc")), QStringLiteral("当前函数的解析式为：Y = 5X + 0"));
        QVERIFY(blackNear(w, 1, 5));
    }

    void sineAmplitudeZeroAsWell() {
        FamilyWindow* w = openFamily(QStringLiteral("sine"));
        auto* a = w->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        QVERIFY(a);
        a->setValue(2);
        QCOMPARE(namedText(w, QStringLiteral("Text1")), QStringLiteral("1"));
        QVERIFY(fake_.boxes.empty());
        quint64 inBox = 0, afterSteps = 0;
        fake_.inside = [&] {
            inBox = w->canvas().revision();
            a->triggerAction(QAbstractSlider::SliderSingleStepSub);
            a->triggerAction(QAbstractSlider::SliderSingleStepSub);
            afterSteps = w->canvas().revision();
        };
        a->setValue(0);  // A = 0
        QCOMPARE(afterSteps, inBox);
        QCOMPARE(int(fake_.boxes.size()), 1);
        QCOMPARE(fake_.boxes[0].title, QStringLiteral("操作提示：请更换一个新的A值"));
        QCOMPARE(namedText(w, QStringLiteral("Text1")), QStringLiteral("-1"));
        QVERIFY2(namedText(w, QStringLiteral("Labfc")).startsWith(QStringLiteral("当前正弦函数:Y=-1")),
                 qPrintable(namedText(w, QStringLiteral("Labfc"))));
    }

    void slidersTakeFocusAndStepByKey() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto* s = w->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        auto* k = w->findChild<QLineEdit*>(QStringLiteral("Text1(0)"));
        QVERIFY(s && k);
        // Tab goes from the k box to its slider.
        k->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(k, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s);
        // Arrow keys: the small change; Page Down/Up: the large one, towards
        // the maximum and the minimum as on any scroll bar. Each is
        // one change: box, label and canvas follow, the focus stays.
        int changes = 0;
        connect(s, &QScrollBar::valueChanged, this, [&] { ++changes; });
        QTest::keyClick(s, Qt::Key_Right);
        QCOMPARE(s->value(), 1);
        QCOMPARE(k->text(), QStringLiteral("1"));
        QCOMPARE(namedText(w, QStringLiteral("Label1(1)")), QStringLiteral("当前一次函数:Y = 1X + 0"));
        QTest::keyClick(s, Qt::Key_PageDown);
        QCOMPARE(s->value(), 3);
        QTest::keyClick(s, Qt::Key_PageUp);
        QCOMPARE(s->value(), 1);
        QTest::keyClick(s, Qt::Key_Left);
        QCOMPARE(s->value(), 0);
        QCOMPARE(changes, 4);
        QCOMPARE(k->text(), QStringLiteral("0"));
        QCOMPARE(QApplication::focusWidget(), s);
        // A click on the other slider gives it the focus.
        auto* b = w->findChild<QScrollBar*>(QStringLiteral("HScroll2"));
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(b->width() / 2, b->height() / 2));
        QCOMPARE(QApplication::focusWidget(), b);
    }

    void aFocusedSliderShowsIt() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        checkSliderFocusFrame(w, w->findChild<QScrollBar*>(QStringLiteral("HScroll1")),
                              w->findChild<QLineEdit*>(QStringLiteral("Text1(0)")));
    }

    void everySliderTakesFocus() {
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            QVERIFY(w);
            for (const SliderLink& l : w->frameControls().sliders) {
                QScrollBar* s = l.slider;
                QVERIFY2(s && s->focusPolicy() == Qt::StrongFocus,
                         qPrintable(e.key + QLatin1Char(' ') + s->objectName()));
            }
        }
    }

private:
    RecordingPlatform fake_;
};

VESMAR_WINDOW_TEST_MAIN(SliderTest)
#include "slider_test.moc"
