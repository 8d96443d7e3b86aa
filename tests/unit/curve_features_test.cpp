// What the picture's description says of the curve in each of the fourteen
// windows: the window's own expression and the features of that curve, with
// the numbers the family's mathematics gives for the parameters drawn.
#include <QAccessible>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "frame/family_window.h"
#include "numfmt/numfmt.h"
#include "recording_platform.h"
#include "render/canvas_widget.h"
#include "test_support.h"

namespace {

struct Case {
    const char* family;
    // Boxes typed (name, text) and a radio button chosen before the redraw;
    // none for the window's defaults.
    std::vector<std::pair<const char*, const char*>> typed;
    const char* choose;
    QStringList features;
    // What the description must not say.
    QStringList wrong = {};
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"linear", {}, nullptr, {"斜率 2", "y 轴上的截距 0", "x 轴上的截距 0", "y 随 x 的增大而增大"}},
        {"linear",
         {{"Text1(0)", "-0.5"}, {"Text1(1)", "3"}},
         nullptr,
         {"斜率 -0.5", "y 轴上的截距 3", "x 轴上的截距 6", "y 随 x 的增大而减小"}},
        {"linear", {{"Text1(0)", "0"}, {"Text1(1)", "-2"}}, nullptr, {"斜率 0", "平行于 x 轴"}},
        {"quadratic", {}, nullptr, {"开口向上", "顶点 (0,0)", "对称轴 x=0"}},
        {"quadratic",
         {{"Text1(0)", "-1"}, {"Text1(1)", "2"}, {"Text1(2)", "3"}},
         nullptr,
         {"开口向下", "顶点 (1,4)", "对称轴 x=1"}},
        {"inverse", {}, nullptr, {"渐近线 x=0 和 y=0", "图像在第一、三象限"}},
        {"power", {}, nullptr, {"过点 (0,0) 和 (1,1)", "图像关于 y 轴对称", "在第一象限内单调递增"}},
        {"power", {{"Text1", "-3"}}, nullptr, {"过点 (1,1)", "图像关于原点对称", "渐近线 x=0 和 y=0"}},
        // Fraction mode, 1/2: the even root leaves only the right half.
        {"power", {{"Text2(0)", "1"}, {"Text2(1)", "2"}}, "Option2", {"图像只在 y 轴右侧", "在第一象限内单调递增"}},
        {"exponential", {}, nullptr, {"过定点 (0,1)", "渐近线 y=0", "单调递增"}},
        {"exponential", {{"Text1", "0.5"}}, nullptr, {"过定点 (0,1)", "单调递减"}},
        {"logarithm", {}, nullptr, {"过定点 (1,0)", "渐近线 x=0", "单调递增"}},
        {"sine", {}, nullptr, {"振幅 1", "周期 2π", "值域 [-1,1]"}},
        {"sine", {{"Text1", "-3"}, {"Text2", "4"}}, nullptr, {"振幅 3", "周期 0.5π", "值域 [-3,3]"}},
        {"cosine", {}, nullptr, {"振幅 1", "周期 2π", "值域 [-1,1]"}},
        {"tangent", {}, nullptr, {"周期 1π", "渐近线 x=0.5π+kπ（k 为整数）"}},
        {"tangent", {{"Text2", "2"}}, nullptr, {"周期 0.5π", "渐近线 x=0.25π+0.5kπ（k 为整数）"}},
        {"cotangent", {}, nullptr, {"周期 1π", "渐近线 x=kπ（k 为整数）"}},
        // A cloud of dots has no order to read turns from: the circle's lowest
        // point is (-4,-4), not where the dots of both halves meet.
        {"circle", {}, nullptr, {"圆心 (-4,0)", "半径 4"}, {"最低点 (-8"}},
        {"circle", {{"Text1(0)", "-2"}, {"Text1(1)", "4"}, {"Text1(2)", "-4"}}, nullptr, {"圆心 (1,-2)", "半径 3"}},
        {"ellipse",
         {},
         nullptr,
         {"中心 (0,0)", "长轴在 x 轴上，长 12", "短轴长 6", "焦点 (-5.2,0) 和 (5.2,0)", "离心率 0.87"},
         {"最低点 (-6"}},
        {"ellipse",
         {{"Text1(0)", "3"}, {"Text1(1)", "5"}},
         nullptr,
         {"长轴在 y 轴上，长 10", "短轴长 6", "焦点 (0,-4) 和 (0,4)", "离心率 0.8"}},
        {"hyperbola",
         {},
         nullptr,
         {"中心 (0,0)", "焦点 (-3.61,0) 和 (3.61,0)", "渐近线 y=0.6666667x 和 y=-0.6666667x", "离心率 1.2"}},
        {"hyperbola",
         {{"Text1(0)", "3"}, {"Text1(1)", "4"}},
         "Option2",
         {"焦点 (0,-5) 和 (0,5)", "渐近线 y=0.75x 和 y=-0.75x", "离心率 1.67"}},
        {"parabola", {}, nullptr, {"顶点 (0,0)", "开口向右", "对称轴是 x 轴", "焦点 (1.5,0)", "准线 x=-1.5"}},
        {"parabola", {{"Text1", "-4"}}, "Option2", {"开口向下", "对称轴是 y 轴", "焦点 (0,-2)", "准线 y=2"}},
        // The own function's curve is described from its drawn points, its
        // expression in words.
        {"own",
         {{"Exprtext", "y = x² - 2x - 3"}},
         nullptr,
         {"与 x 轴交于 (-1,0)、(3,0)", "与 y 轴交于 (0,-3)", "最低点 (1,-4)"}},
    };
    return all;
}

}  // namespace

class CurveFeaturesTest : public QObject {
    Q_OBJECT
    RecordingPlatform fake_;

private slots:
    void init() { setPlatform(&fake_); }
    void cleanup() {
        FamilyManager::instance().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Every family is in the table.
    void everyFamilyIsDescribed() {
        QSet<QString> seen;
        for (const Case& c : cases()) seen.insert(QString::fromLatin1(c.family));
        for (const FamilyEntry& e : familyTable()) QVERIFY2(seen.contains(e.key), qPrintable(e.key));
    }

    void theDescriptionNamesTheExpressionAndItsFeatures() {
        for (const Case& c : cases()) {
            const QString key = QString::fromLatin1(c.family);
            FamilyWindow* w = openFamily(key);
            for (const auto& [name, text] : c.typed) {
                auto* box = qobject_cast<QLineEdit*>(namedControl(w, QString::fromLatin1(name)));
                QVERIFY2(box, name);
                box->setText(QString::fromUtf8(text));
            }
            if (c.choose) {
                auto* option = qobject_cast<QRadioButton*>(namedControl(w, QString::fromLatin1(c.choose)));
                QVERIFY2(option, c.choose);
                option->click();
            }
            w->redrawClicked();
            const QString d = QAccessible::queryAccessibleInterface(w->canvasWidget())->text(QAccessible::Description);
            // The window's name of the curve as it is read aloud ("X 的平方" for "X^2").
            const QString expression = numfmt::spoken(w->curveName());
            QVERIFY2(!expression.isEmpty() && d.contains(expression), qPrintable(key + ": " + d));
            // The features follow the expression they belong to.
            const int after = d.indexOf(expression) + expression.size();
            for (const QString& f : c.features)
                QVERIFY2(d.indexOf(f, after) >= after, qPrintable(key + ": no \"" + f + "\" in " + d));
            for (const QString& f : c.wrong) QVERIFY2(!d.contains(f), qPrintable(key + ": \"" + f + "\" in " + d));
            FamilyManager::instance().closeAll();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

VESMAR_WINDOW_TEST_MAIN(CurveFeaturesTest)
#include "curve_features_test.moc"
