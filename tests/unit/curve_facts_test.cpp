// The crossings and turning points said of a curve from the points it was
// drawn through.
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>

#include "curve_samples.h"
#include "curve/curve_facts.h"

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

    // The conics' dots come as their two halves in turn, each dot a run of
    // its own: linked, a circle is one loop around, a hyperbola two branches.
    void dotCloudsLinkedIntoCurves() {
        auto halves = [](double x0, double x1, const std::function<double(double)>& y, Runs& cloud) {
            for (double x = x0; x <= x1 + 1e-9; x += 0.005) {
                const double h = y(x);
                if (!std::isfinite(h)) continue;
                cloud.push_back({{x, h}});
                cloud.push_back({{x, -h}});
            }
        };
        auto steps = [](const std::vector<QPointF>& run) {
            double longest = 0;
            for (size_t i = 1; i < run.size(); ++i)
                longest = std::max(longest, std::hypot(run[i].x() - run[i - 1].x(), run[i].y() - run[i - 1].y()));
            return longest;
        };
        // Radius 8: its steep sides jump further than one step of the sweep.
        Runs circle;
        halves(
            -7.999, 7.999, [](double x) { return std::sqrt(64 - x * x); }, circle);
        const Runs loop = curvefacts::chain(circle);
        QCOMPARE(loop.size(), size_t(1));
        QCOMPARE(loop[0].size(), 2 * circle.size() / 2);
        QVERIFY2(steps(loop[0]) < 1.0, qPrintable(QString::number(steps(loop[0]))));
        // Once around: up one side and down the other, each height met twice.
        const auto top =
            std::max_element(loop[0].begin(), loop[0].end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
        const auto bottom =
            std::min_element(loop[0].begin(), loop[0].end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
        QVERIFY(top->y() > 7.9 && bottom->y() < -7.9);

        Runs hyperbola;
        auto branch = [](double x) { return std::abs(x) >= 2 ? std::sqrt(x * x - 4) : NAN; };
        halves(-10, -2, branch, hyperbola);
        halves(2, 10, branch, hyperbola);
        const Runs branches = curvefacts::chain(hyperbola);
        QCOMPARE(branches.size(), size_t(2));
        for (const auto& b : branches) {
            QVERIFY(steps(b) < 1.0);
            // Each branch passes its vertex between its two far ends.
            QVERIFY(std::abs(b.front().y()) > 9 && std::abs(b.back().y()) > 9);
            QVERIFY(b.front().y() * b.back().y() < 0);
        }
        // A drawn line is left as it is.
        const Runs line = sampledRuns([](double x) { return 2 * x; });
        QCOMPARE(curvefacts::chain(line).size(), line.size());
    }
};

QTEST_APPLESS_MAIN(CurveFactsTest)
#include "curve_facts_test.moc"
