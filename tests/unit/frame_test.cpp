// The shared frame: a slider reports one change when a drag ends, the
// overlay snapshot is what later previews are drawn on, and a closed window
// starts afresh.
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>

#include "driver/driver.h"
#include "plot/family_manager.h"
#include "plot/family_window.h"

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driver_ = std::make_unique<ScriptDriver>([this](const QString& s) { lines_ << s; }); }
    void cleanup() {
        driver_.reset();
        lines_.clear();
    }

    void sliderDragRedrawsOnceAtTheEnd() {
        FamilyWindow* w = FamilyManager::instance().open(*familyByKey(QStringLiteral("linear")));
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
        QCOMPARE(w->text(QStringLiteral("Text1(0)")), QStringLiteral("2"));
        QCOMPARE(w->text(QStringLiteral("Label1(1)")), QStringLiteral("当前一次函数：Y = kX + b"));
        w->close();
    }

    void onlyOneFamilyWindowAtATime() {
        int opened = 0;
        for (const FamilyEntry& e : familyTable()) {
            if (FamilyManager::instance().open(e)) ++opened;
            int visible = 0;
            for (QWidget* t : QApplication::topLevelWidgets())
                if (qobject_cast<FamilyWindow*>(t) && t->isVisible()) ++visible;
            QVERIFY(visible <= 1);
        }
        QVERIFY(opened >= 1);
        FamilyManager::instance().closeAll();
    }

    void everyWindowHasTheCommonControls() {
        // The frame's contract with the tools, the driver and the output.
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            if (!w) continue;
            const FamilyTraits& t = w->traits();
            QCOMPARE(w->objectName(), QStringLiteral("Form%1").arg(e.number));
            QCOMPARE(w->size(), QSize(794, 543));
            QVERIFY2(w->control(QStringLiteral("Picture1"))->geometry() == QRect(384, 40, 400, 400), qPrintable(e.key));
            for (const QString& name : {t.redrawButton, t.overlayButton, t.commitButton, t.gridButton,
                                        QStringLiteral("Checkhide"), QStringLiteral("Check1")})
                QVERIFY2(w->control(name), qPrintable(e.key + QStringLiteral(": ") + name));
            QVERIFY2(!w->control(t.commitButton)->isVisibleTo(w), qPrintable(e.key));
            QCOMPARE(w->text(t.gridButton), QStringLiteral("显示网格"));
            QVERIFY2(!t.title.isEmpty() && !t.fileName.isEmpty(), qPrintable(e.key));
            for (const SliderLink& l : t.sliders) {
                QVERIFY2(w->findChild<QScrollBar*>(l.slider), qPrintable(e.key + QStringLiteral(": ") + l.slider));
                QVERIFY2(w->control(l.text), qPrintable(e.key + QStringLiteral(": ") + l.text));
            }
            w->close();
        }
    }

private:
    std::unique_ptr<ScriptDriver> driver_;
    QStringList lines_;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);
    FrameTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "frame_test.moc"
