// The shared look-up panel: the names and captions a window's script and
// code rely on come out of the short description, the places given are
// kept, and what it places by itself lies inside the frame, clear of the
// rest, with room for its caption.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "captions_fit.h"
#include "frame/controls.h"
#include "frame/lookup_panel.h"

namespace {

QStringList childNames(const QWidget& w) {
    QStringList names;
    for (auto* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) names << c->objectName();
    return names;
}

}  // namespace

class LookupPanelTest : public QObject {
    Q_OBJECT
private slots:
    // Input, button and one result: nothing else, named and placed as given.
    void plainYPanel() {
        QWidget w;
        buildLookupPanel(&w, {.frame = {16, 296, 353, 81},
                              .start = "1",
                              .button = {152, 40, 65, 25},
                              .caption = {240, 48, 25, 17},
                              .result = {264, 48, 81, 18}});
        auto* frame = w.findChild<QGroupBox*>("Frame1(0)");
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("速查y值"));
        QCOMPARE(frame->geometry(), QRect(16, 296, 353, 81));
        QCOMPARE(childNames(*frame), (QStringList{"Label10(0)", "Tx1", "Label11(0)", "cay", "Label12(0)", "Ty1"}));
        QCOMPARE(frame->findChild<QLabel*>("Label10(0)")->text(), QStringLiteral("当 X="));
        QCOMPARE(frame->findChild<QLineEdit*>("Tx1")->text(), QStringLiteral("1"));
        QCOMPARE(frame->findChild<QPushButton*>("cay")->text(), QStringLiteral("计算得"));
        QCOMPARE(frame->findChild<QPushButton*>("cay")->geometry(), QRect(152, 40, 65, 25));
        QCOMPARE(frame->findChild<QLabel*>("Label12(0)")->text(), QStringLiteral("y="));
        QCOMPARE(frame->findChild<QLineEdit*>("Ty1")->geometry(), QRect(264, 48, 81, 18));
        QVERIFY(frame->findChild<QLineEdit*>("Ty1")->text().isEmpty());
        QVERIFY(frame->toolTip().isEmpty());
        const QStringList faults = placementFaults(frame);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // Two captioned results and the equation, with indexed names, the small
    // caption font, the dark red equation, a title and a tooltip of its own.
    void fullIndexedXPanel() {
        QWidget w;
        LookupPanel p{.forY = false,
                      .frame = {8, 408, 353, 113},
                      .title = "速查x值（近似）",
                      .input = {48, 24, 72, 17},
                      .when = {128, 24, 33, 17},
                      .button = {168, 24, 49, 24},
                      .caption = {224, 24, 30, 17},
                      .result = {256, 24, 80, 17},
                      .caption2 = {224, 48, 30, 17},
                      .result2 = {256, 48, 81, 18},
                      .eqCaption = {24, 80, 81, 17},
                      .equation = {104, 80, 217, 25},
                      .smallCaption = true,
                      .indexed = true,
                      .tip = "近似值"};
        buildLookupPanel(&w, p);
        auto* frame = w.findChild<QGroupBox*>("Frame1(1)");
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("速查x值（近似）"));
        QCOMPARE(frame->toolTip(), QStringLiteral("近似值"));
        QCOMPARE(childNames(*frame), (QStringList{"Label10(1)", "Ty2", "Label11(1)", "cax", "Label12(1)", "Tx2",
                                                  "Label13(1)", "Tx3", "Label16(1)", "Labfc2"}));
        QCOMPARE(frame->findChild<QLabel*>("Label10(1)")->text(), QStringLiteral("当 y="));
        QCOMPARE(frame->findChild<QLineEdit*>("Ty2")->text(), QStringLiteral("0"));
        QCOMPARE(frame->findChild<QLineEdit*>("Ty2")->geometry(), QRect(48, 24, 72, 17));
        QCOMPARE(frame->findChild<QLabel*>("Label12(1)")->text(), QStringLiteral("X1="));
        QCOMPARE(frame->findChild<QLabel*>("Label13(1)")->text(), QStringLiteral("X2="));
        QCOMPARE(frame->findChild<QLabel*>("Label13(1)")->geometry(), QRect(224, 48, 30, 17));
        QCOMPARE(frame->findChild<QLineEdit*>("Tx3")->geometry(), QRect(256, 48, 81, 18));
        auto* caption = frame->findChild<QLabel*>("Label16(1)");
        QCOMPARE(caption->text(), QStringLiteral("此时方程为："));
        buildControls(&w, {label("reference", 0, 0, 10, 10).font("宋体", 9)});
        QCOMPARE(caption->font(), w.findChild<QLabel*>("reference")->font());
        QVERIFY(caption->font() != frame->findChild<QLabel*>("Label10(1)")->font());
        auto* equation = frame->findChild<QLabel*>("Labfc2");
        QCOMPARE(equation->geometry(), QRect(104, 80, 217, 25));
        QCOMPARE(equation->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        const QStringList faults = placementFaults(frame);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // A second result without a caption of its own leaves the first caption
    // unnumbered; unindexed names; the y panel's equation is Labfc3.
    void uncaptionedSecondResult() {
        QWidget w;
        w.setFont(QFont(w.font().family(), 14));
        buildLookupPanel(&w, {.forY = false,
                              .frame = {16, 344, 345, 153},
                              .button = {144, 48, 65, 25},
                              .caption = {224, 48, 25, 17},
                              .result = {256, 48, 81, 18},
                              .result2 = {256, 72, 81, 18},
                              .eqCaption = {8, 112, 84, 17},
                              .equation = {96, 108, 241, 25}});
        buildLookupPanel(&w, {.frame = {16, 240, 345, 89},
                              .button = {144, 48, 65, 25},
                              .caption = {224, 56, 25, 17},
                              .result = {248, 56, 81, 18},
                              .caption2 = {224, 80, 25, 17},
                              .result2 = {248, 80, 81, 18},
                              .eqCaption = {8, 100, 84, 17},
                              .equation = {96, 100, 200, 17}});
        auto* x = w.findChild<QGroupBox*>("Frame1(1)");
        QCOMPARE(childNames(*x), (QStringList{"Label10(1)", "Ty2", "Label11(1)", "cax", "Label12(1)", "Tx2", "Tx3",
                                              "Label16", "Labfc2"}));
        QCOMPARE(x->findChild<QLabel*>("Label12(1)")->text(), QStringLiteral("X="));
        QCOMPARE(x->findChild<QLabel*>("Label16")->font().pointSizeF(), 14.0);
        auto* y = w.findChild<QGroupBox*>("Frame1(0)");
        QCOMPARE(childNames(*y), (QStringList{"Label10(0)", "Tx1", "Label11(0)", "cay", "Label12(0)", "Ty1", "Label13",
                                              "ty3", "Label16", "Labfc3"}));
        QCOMPARE(y->findChild<QLabel*>("Label12(0)")->text(), QStringLiteral("y1="));
        QCOMPARE(y->findChild<QLabel*>("Label13")->text(), QStringLiteral("y2="));
    }
};

QTEST_MAIN(LookupPanelTest)
#include "lookup_panel_test.moc"
