// The shared frame: a slider reports one change when a drag ends, the
// overlay snapshot is what later previews are drawn on, and a closed window
// starts afresh.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSet>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>

#include "captions_fit.h"
#include "driver/driver.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "tools/freehand.h"
#include "tools/install.h"
#include "tools/output.h"
#include "tools/pointer.h"
#include "test_support.h"

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void init() { s_ = std::make_unique<DriverSession>(); }
    void cleanup() { s_.reset(); }

    void sliderDragRedrawsOnceAtTheEnd() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* s = w->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        auto* box = w->findChild<QLineEdit*>(QStringLiteral("Text1(0)"));
        QVERIFY(s && box);
        QStyleOptionSlider opt;
        opt.initFrom(s);
        opt.orientation = Qt::Horizontal;
        opt.minimum = s->minimum();
        opt.maximum = s->maximum();
        opt.sliderPosition = opt.sliderValue = s->value();
        opt.pageStep = s->pageStep();
        opt.singleStep = s->singleStep();
        const QRect thumb = s->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, s);
        int changes = 0;
        connect(s, &QScrollBar::valueChanged, this, [&] { ++changes; });
        const quint64 before = w->canvas().revision();
        QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, thumb.center());
        for (int dx = 4; dx <= 40; dx += 4) {
            QMouseEvent move(QEvent::MouseMove, QPointF(thumb.center() + QPoint(dx, 0)),
                             s->mapToGlobal(QPointF(thumb.center() + QPoint(dx, 0))), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(s, &move);
            // Dragging itself draws nothing and leaves the box alone.
            QCOMPARE(changes, 0);
            QCOMPARE(box->text(), QStringLiteral("2"));
        }
        QCOMPARE(w->canvas().revision(), before);
        QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, thumb.center() + QPoint(40, 0));
        QCOMPARE(changes, 1);
        QVERIFY(s->value() > 0);
        QCOMPARE(box->text(), QString::number(s->value()));
        // An arrow click is one step and one change.
        s->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(changes, 2);
        w->close();
    }

    void reopenedWindowStartsAfresh() {
        const FamilyEntry& e = *familyByKey(QStringLiteral("linear"));
        FamilyWindow* w = FamilyManager::instance().open(e);
        w->findChild<QLineEdit*>(QStringLiteral("Text1(0)"))->setText(QStringLiteral("7"));
        w->overlayClicked();
        QVERIFY(w->overlayOn());
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w = FamilyManager::instance().open(e);
        QVERIFY(!w->overlayOn());
        QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("2"));
        QCOMPARE(namedText(w, QStringLiteral("Label1(1)")), QStringLiteral("当前一次函数：Y = kX + b"));
        w->close();
    }

    void onlyOneFamilyWindowAtATime() {
        int opened = 0;
        for (const FamilyEntry& e : familyTable()) {
            QVERIFY2(FamilyManager::instance().open(e), qPrintable(e.key));
            ++opened;
            int visible = 0;
            for (QWidget* t : QApplication::topLevelWidgets())
                if (qobject_cast<FamilyWindow*>(t) && t->isVisible()) ++visible;
            QVERIFY(visible <= 1);
        }
        QCOMPARE(opened, int(familyTable().size()));
        FamilyManager::instance().closeAll();
    }

    void everyWindowHasTheCommonControls() {
        // The frame's contract with the tools, the driver and the output.
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            QVERIFY2(w, qPrintable(e.key));
            const FrameControls& c = w->frameControls();
            QCOMPARE(w->objectName(), QStringLiteral("Form%1").arg(e.number));
            QCOMPARE(w->size(), QSize(794, 543));
            QVERIFY2(namedControl(w, QStringLiteral("Picture1"))->geometry() == QRect(384, 40, 400, 400),
                     qPrintable(e.key));
            QVERIFY2(!c.commit->isVisibleTo(w), qPrintable(e.key));
            QCOMPARE(c.grid->text(), QStringLiteral("显示网格"));
            // The frame's controls carry the names scripts use.
            QCOMPARE(c.hideAxes->objectName(), QStringLiteral("Checkhide"));
            QCOMPARE(c.showExpression->objectName(), QStringLiteral("Check1"));
            QCOMPARE(c.commit->objectName(), QStringLiteral("Commandfgqd"));
            QCOMPARE(c.yLookup.button->objectName(), QStringLiteral("cay"));
            QCOMPARE(c.xLookup.button->objectName(), QStringLiteral("cax"));
            QVERIFY2(!w->traits().title.isEmpty() && !w->traits().fileName.isEmpty(), qPrintable(e.key));
            for (const SliderLink& l : c.sliders) QVERIFY2(l.slider && l.text, qPrintable(e.key));
            w->close();
        }
    }

    // Every grid line is drawn: probed where no curve, text or tick lies.
    void everyGridLineIsDrawn() {
        FamilyWindow* w = openFamily(QStringLiteral("circle"));
        w->frameControls().showExpression->setChecked(false);
        w->redrawClicked();
        w->gridClicked();
        const QImage img = w->canvas().image();
        auto at = [&](double x, double y) { return img.pixel(w->canvas().pixelAt(x, y)) | 0xFF000000u; };
        const QRgb blue = qRgb(10, 10, 200);
        for (int i = -9; i <= 9; ++i) {
            if (i == 0) continue;  // the red axes
            QVERIFY2(at(i, 9.5) == blue, qPrintable(QStringLiteral("x = %1").arg(i)));
            QVERIFY2(at(9.5, i) == blue, qPrintable(QStringLiteral("y = %1").arg(i)));
        }
        QCOMPARE(at(9.5, 9.5 + 0.25), qRgb(255, 255, 255));  // between the lines
        w->close();
    }

    void registryNamesEveryFamilyOnce() {
        QSet<QString> keys;
        QSet<int> numbers, menus;
        for (const FamilyEntry& e : familyTable()) {
            keys << e.key;
            numbers << e.number;
            menus << e.menuIndex;
            QCOMPARE(familyByKey(e.key), &e);
            QCOMPARE(familyByNumber(e.number), &e);
            QCOMPARE(familyByMenu(e.menuIndex), &e);
        }
        // The fourteen families are windows 1 to 14; the own function is 16
        // (15 is the full-screen viewer), the bar's fifteenth entry.
        QCOMPARE(keys.size(), 15);
        for (int i = 0; i < 14; ++i) QVERIFY(numbers.contains(i + 1) && menus.contains(i));
        QVERIFY(numbers.contains(16) && menus.contains(14) && !numbers.contains(15));
        QVERIFY(!familyByKey(QStringLiteral("cubic")) && !familyByMenu(15) && !familyByNumber(15));
    }

    void toolsAreChildrenOfTheirWindow() {
        FamilyWindow* w = openFamily(QStringLiteral("circle"));
        QPointer<QObject> pointer(toolOf<PointerTool>(*w)), freehand(toolOf<FreehandTools>(*w)),
            output(toolOf<OutputTools>(*w));
        QVERIFY(pointer && freehand && output);
        QCOMPARE(pointer->parent(), w);
        QCOMPARE(freehand->parent(), w);
        QCOMPARE(output->parent(), w);
        QCOMPARE(FamilyManager::instance().current(), w);
        // Focus in a text box and the freehand text box open while the window
        // goes: the controls' last signals must not reach the dying frame.
        w->activateWindow();
        namedControl(w, QStringLiteral("Tx1"))->setFocus();
        delete w;  // without a close event
        QVERIFY(!pointer && !freehand && !output);
        QVERIFY(!FamilyManager::instance().current());
    }

    void aMissingControlIsReported() {
        static QStringList missing;
        missing.clear();
        const MissingControlHandler old = setMissingControlHandler(
            [](const QString& window, const QString& name) { missing << window + QLatin1Char(':') + name; });
        QWidget host;
        host.setObjectName(QStringLiteral("host"));
        QLineEdit* box = nullptr;
        QPushButton* notBound = nullptr;
        buildControls(&host, {
                                 label(QStringLiteral("inside"), 1, 2, 3, 4).in(QStringLiteral("Frame9")),
                                 // A label bound where a box is wanted.
                                 label(QStringLiteral("Labfc"), 1, 2, 3, 4).bind(&box),
                             });
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        w->onClick(notBound, [] {});
        setMissingControlHandler(old);
        QVERIFY(!box);
        QCOMPARE(missing,
                 QStringList({QStringLiteral("host:Frame9"), QStringLiteral("host:Labfc (bound to another type)"),
                              QStringLiteral("Form2:a button given a click handler (unbound)")}));
        w->close();
    }

    // Option buttons that share a frame (or the window itself) are one
    // choice: clicking any of them, chosen or not, leaves exactly one chosen.
    // Every window is walked, so a group that loses its choice in any of
    // them shows up here.
    void everyOptionGroupKeepsOneChoice() {
        auto checkWindow = [](QWidget* window, const QString& label) -> int {
            QMap<QWidget*, QList<QRadioButton*>> groups;
            for (QRadioButton* b : window->findChildren<QRadioButton*>()) groups[b->parentWidget()] << b;
            for (const QList<QRadioButton*>& group : std::as_const(groups)) {
                for (QRadioButton* b : group) {
                    for (int round = 0; round < 2; ++round) {
                        // A hidden panel's options can only be reached the way a key would.
                        if (b->isVisible()) QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
                        else b->click();
                        QStringList chosen;
                        for (QRadioButton* o : group)
                            if (o->isChecked()) chosen << o->objectName();
                        if (chosen != QStringList{b->objectName()})
                            qWarning("%s: after click %d on %s chosen: %s", qPrintable(label), round + 1,
                                     qPrintable(b->objectName()), qPrintable(chosen.join(QLatin1Char(' '))));
                        if (chosen != QStringList{b->objectName()}) return -1;
                    }
                }
            }
            return int(groups.size());
        };
        s_->run(QStringLiteral("start"));
        QWidget* barWindow = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == QLatin1String("Formtop")) barWindow = t;
        QVERIFY(barWindow);
        QCOMPARE(checkWindow(barWindow, QStringLiteral("Formtop")), 0);
        int groups = 0;
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            QVERIFY(QTest::qWaitForWindowExposed(w));
            const int n = checkWindow(w, e.key);
            QVERIFY2(n >= 1, qPrintable(e.key));  // the freehand panel at least
            groups += n;
            w->close();
        }
        // Freehand in all 15 windows; power's mode and sign; the conics' focus
        // axis (2 windows); the trig windows' sign of p and of x (4 windows, 2 each).
        QCOMPARE(groups, 15 + 2 + 2 + 8);
    }

    // Every caption of a push or option button fits, in every window.
    void captionsFitTheirControls() {
        const QStringList bad = captionsThatDoNotFitInAnyFamily();
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1String("\n"))));
    }

    // The frame's small buttons (undo, redo, hear the picture, the
    // animator) are as tall as a finger or a pointer needs, in every window,
    // and stand clear of every other control of it. The animator's button
    // stands clear of the hidden ones too (they show in other modes), save
    // 确定覆盖 where the window has no free place: the two then take turns,
    // never shown together. (Its caption fits: captionsFitTheirControls
    // here and in the test at 200 %.)
    void smallButtonsStandClear() {
        QStringList bad;
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            QVERIFY(w);
            for (const char* name : {"Undosh", "Redosh", "Cmdhear", "Animsh"}) {
                QWidget* b = namedControl(w, QLatin1String(name));
                if (!b || b->parentWidget() != w) {
                    bad << e.key + QLatin1Char(' ') + QLatin1String(name) + QStringLiteral(" is not on the window");
                    continue;
                }
                const QRect g = b->geometry();
                if (g.height() < 24)
                    bad << e.key + QStringLiteral(" %1 is %2 high").arg(QLatin1String(name)).arg(g.height());
                if (!w->rect().contains(g))
                    bad << e.key + QStringLiteral(" %1 leaves the window").arg(QLatin1String(name));
                const bool animator = QLatin1String(name) == QLatin1String("Animsh");
                QWidget* turns = animator && w->traits().animatorButton.isEmpty() ? w->frameControls().commit : nullptr;
                for (QWidget* other : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (other == b || other == turns || other->isWindow() || (other->isHidden() && !animator)) continue;
                    // Qt's own helpers (a focus proxy of one pixel) are no controls.
                    if (other->width() <= 1 && other->height() <= 1) continue;
                    const QRect both = g.intersected(other->geometry());
                    if (both.width() > 1 && both.height() > 1)
                        bad << e.key + QStringLiteral(" %1 covers %2").arg(QLatin1String(name), other->objectName());
                }
                if (turns) {
                    QVERIFY(s_->run("click " + w->frameControls().overlay->objectName()));
                    if (!turns->isVisible() || b->isVisible())
                        bad << e.key + QStringLiteral(" Animsh and %1 do not take turns").arg(turns->objectName());
                    QVERIFY(s_->run("click " + w->frameControls().overlay->objectName()));
                    if (turns->isVisible() || !b->isVisible())
                        bad << e.key + QStringLiteral(" Animsh does not come back after overlay");
                }
            }
            w->close();
        }
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1String("\n"))));
    }

private:
    std::unique_ptr<DriverSession> s_;
};

VESMAR_WINDOW_TEST_MAIN(FrameTest)
#include "frame_test.moc"
