// The crossings and turning points said of a curve from the points it was
// drawn through.
#include <QtTest>
#include <cmath>
#include <functional>

#include "curve_samples.h"
#include "frame/curve_facts.h"

using curvefacts::Runs;

class CurveFactsTest : public QObject {
    Q_OBJECT
private slots:
    void parabolaAndLine() {
        QCOMPARE(curvefacts::features(sampledRuns([](double x) { return x * x - 4; })),
                 QStringList({"与 x 轴交于 (-2,0)、(2,0)", "与 y 轴交于 (0,-4)", "最低点 (0,-4)"}));
        QCOMPARE(curvefacts::features(sampledRuns([](double x) { return -2 * x + 1; })),
                 QStringList({"与 x 轴交于 (0.5,0)", "与 y 轴交于 (0,1)"}));
        // A curve that only touches the axis at its top.
        QCOMPARE(curvefacts::features(sampledRuns([](double x) { return -(x - 1) * (x - 1); })),
                 QStringList({"与 x 轴交于 (1,0)", "与 y 轴交于 (0,-1)", "最高点 (1,0)"}));
    }

    // Broken curves (1/x), a level top met at its middle, and a list cut
    // short where a curve crosses often.
    void breaksPlateausAndLongLists() {
        QCOMPARE(curvefacts::features(sampledRuns([](double x) { return 1 / x; })), QStringList());
        Runs plateau{{{-3, 0.5}, {-2, 1}, {-1, 2}, {0, 2}, {1, 2}, {2, 1}}};
        QCOMPARE(curvefacts::features(plateau), QStringList({"与 y 轴交于 (0,2)", "最高点 (0,2)"}));
        const QStringList sine = curvefacts::features(sampledRuns([](double x) { return std::sin(x); }));
        QCOMPARE(sine.size(), 4);
        QVERIFY2(sine[0].startsWith("与 x 轴交于 (-9.42,0)、(-6.28,0)") && sine[0].endsWith("等"), qPrintable(sine[0]));
        QCOMPARE(sine[0].count("、"), 5);
        // A closed curve drawn by dots: a circle of radius 2 about (1, 0).
        Runs circle(1);
        for (int i = 0; i <= 628; ++i) circle[0].emplace_back(1 + 2 * std::cos(i / 100.0), 2 * std::sin(i / 100.0));
        const QStringList c = curvefacts::features(circle);
        QVERIFY2(c.contains("与 x 轴交于 (3,0)、(-1,0)"), qPrintable(c.join('|')));
        QVERIFY2(c.contains("最高点 (1,2)") && c.contains("最低点 (1,-2)"), qPrintable(c.join('|')));
        QCOMPARE(curvefacts::pointText({-0.004, 1.004}), QStringLiteral("(0,1)"));
    }
};

QTEST_APPLESS_MAIN(CurveFactsTest)
#include "curve_facts_test.moc"
