// y = k/x and y = x^n: the sampled curves, their domains and the look-ups.
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "families/algebraic/inverse.h"
#include "families/algebraic/power.h"
#include "numfmt/numfmt.h"

namespace {
bool inBand(double y) { return y > -10.2 && y < 10.2; }
bool contains(const std::vector<QPointF>& pts, double x, double y, double tol = 1e-6) {
    return std::any_of(pts.begin(), pts.end(),
                       [&](const QPointF& p) { return std::fabs(p.x() - x) < tol && std::fabs(p.y() - y) < tol; });
}
}  // namespace

class InversePowerTest : public QObject {
    Q_OBJECT
private slots:
    // ------------------------------------------------------------ inverse

    void inverseTexts() {
        QCOMPARE(inverse::expression(2), QString("Y = 2/X  "));
        QCOMPARE(inverse::expression(-3), QString("Y = -3/X  "));
        QCOMPARE(inverse::canvasText(0.5f), QString("Y = 0.5/X "));
        QCOMPARE(inverse::equation(2, 4), QString("2/X  =4"));
        QCOMPARE(inverse::equation(2, -0.5f), QString("2/X  =-0.5"));
    }

    // k = 2: each branch stops where k/x leaves the band (about |x| = 0.196)
    // and no segment joins the two branches across x = 0.
    void inverseGap() {
        bool overflow = true;
        const std::vector<QLineF> segs = inverse::branches(2, &overflow);
        QVERIFY(!overflow);
        double leftEnd = -100, rightStart = 100;
        for (const QLineF& s : segs) {
            QVERIFY((s.x1() < 0) == (s.x2() < 0));
            QVERIFY(inBand(s.y1()) && inBand(s.y2()));
            if (s.x2() < 0) leftEnd = std::max(leftEnd, s.x2());
            if (s.x1() > 0) rightStart = std::min(rightStart, s.x1());
        }
        QVERIFY(std::fabs(leftEnd + 0.196) < 0.006);
        QVERIFY(std::fabs(rightStart - 0.196) < 0.006);
    }

    // k = 0.05 stays inside the band: the left loop's last sample is near
    // -0.0199 (the accumulated sum passes -0.01 before reaching it), and the
    // right branch starts with the dot at (0.01, 5).
    void inverseSmallK() {
        bool overflow = true;
        const std::vector<QLineF> segs = inverse::branches(0.05f, &overflow);
        QVERIFY(!overflow);
        double leftEnd = -100;
        for (const QLineF& s : segs)
            if (s.x2() < 0) leftEnd = std::max(leftEnd, s.x2());
        QVERIFY(std::fabs(leftEnd + 0.0199) < 0.0005);
        const auto first = std::find_if(segs.begin(), segs.end(), [](const QLineF& s) { return s.x1() > 0; });
        QVERIFY(first != segs.end());
        QCOMPARE(first->p1(), QPointF(0.01f, 0.05f / 0.01f));
        QCOMPARE(first->p2(), first->p1());
        // About a thousand samples on each side, every one a segment.
        QVERIFY(segs.size() > 1990 && segs.size() <= 2000);
    }

    void inverseHugeK() {
        bool overflow = false;
        QVERIFY(inverse::branches(1e30f, &overflow).empty());
        QVERIFY(!overflow);
        QVERIFY(inverse::branches(1e38f, &overflow).empty());
        QVERIFY(overflow);
        QVERIFY(inverse::branches(INFINITY, &overflow).empty());
        QVERIFY(overflow);
    }

    // ------------------------------------------------------------ power

    void fractionParts() {
        QCOMPARE(power::wholePart(2.7f), 2.f);
        QCOMPARE(power::wholePart(-2.f), 2.f);
        QCOMPARE(power::wholePart(-2.7f), 2.f);
        QCOMPARE(power::wholePart(0.9f), 0.f);
        auto same = [](power::Fraction f, float p, float q) { return f.p == p && f.q == q; };
        QVERIFY(same(power::reduced(4, 2), 2, 1));
        QVERIFY(same(power::reduced(2, 4), 1, 2));
        QVERIFY(same(power::reduced(3, 3), 1, 1));
        QVERIFY(same(power::reduced(4, 6), 4, 6));
        QVERIFY(same(power::reduced(6, 4), 6, 4));
        QVERIFY(same(power::plotted(2, 4), 1, 2));
        QVERIFY(same(power::plotted(2, 6), 1, 3));
        QVERIFY(same(power::plotted(4, 2), 4, 2));
    }

    void powerTexts() {
        QCOMPARE(power::integerLabel(2), QString("Y = X^ 2"));
        QCOMPARE(power::integerLabel(-1.5f), QString("Y = X^ -1.5"));
        QCOMPARE(power::integerCanvasText(2), QString("Y=X^2"));
        QCOMPARE(power::fractionLabel({1, 3}, true), QString("Y = X^ (-1/3)"));
        QCOMPARE(power::fractionLabel({4, 2}, false), QString("Y = X^ (4/2)"));
        QCOMPARE(power::fractionCanvasText({1, 3}, true), QString("Y=X^(-1/3)"));
        QCOMPARE(power::fractionCanvasText({2, 3}, false), QString("Y=X^(2/3)"));
        QCOMPARE(power::integerEquation(2, 4), QString("X^2=4"));
        QCOMPARE(power::fractionEquation({2, 3}, false, 4), QString("X^(2/3)=4"));
        QCOMPARE(power::fractionEquation({1, 3}, true, 0.5f), QString("X^(-1/3)=0.5"));
    }

    // The whole-number loop from -10 by 0.001 in single precision makes
    // 20 000 samples, the last just below 10, none exactly at 0.
    void integerSamples() {
        const power::Dots d = power::integerDots(1);
        QVERIFY(!d.overflow);
        QCOMPARE(d.points.size(), size_t(20000));
        QCOMPARE(d.points.front(), QPointF(-10, -10));
        QVERIFY(d.points.back().x() < 10 && d.points.back().x() > 9.998);
        double nearest = 1;
        for (const QPointF& p : d.points) nearest = std::min(nearest, std::fabs(p.x()));
        QVERIFY(nearest > 0.0001 && nearest < 0.0006);
        // n = -10 near that sample is large but finite.
        QVERIFY(!power::integerDots(-10).overflow);
        // Every dot is x^n as the power function gives it, stored as a
        // single, whichever way the exponent is worked out (small whole ones
        // are multiplied out, each in a loop of its own).
        for (float n : {0.f, 1.f, 2.f, 3.f, 5.f, 7.f, 8.f, 11.f, 16.f, 17.f, -1.f, -3.f, 2.5f}) {
            const power::Dots e = power::integerDots(n);
            QVERIFY2(!e.points.empty(), qPrintable(QString::number(n)));
            for (const QPointF& p : e.points)
                QVERIFY2(float(p.y()) == float(std::pow(p.x(), double(n))),
                         qPrintable(QStringLiteral("x^%1 at %2").arg(n).arg(p.x())));
        }
    }

    void integerShapes() {
        power::Dots d = power::integerDots(2);
        // sqrt(10.2) = 3.1937: the dots reach it on both sides and stop there.
        for (const QPointF& p : d.points) QVERIFY(std::fabs(p.x()) < 3.1938 && inBand(p.y()));
        QVERIFY(d.points.front().x() < -3.193);
        QVERIFY(d.points.back().x() > 3.193);
        // Not whole: the right half only, from 0.01.
        d = power::integerDots(1.5f);
        QVERIFY(!d.points.empty());
        for (const QPointF& p : d.points) QVERIFY(p.x() >= 0.0099);
        QCOMPARE(d.points.front().x(), double(0.01f));
        // n = -1: both branches, nothing beyond the band near x = 0.
        d = power::integerDots(-1);
        QVERIFY(std::any_of(d.points.begin(), d.points.end(), [](const QPointF& p) { return p.x() < 0; }));
        for (const QPointF& p : d.points) QVERIFY(std::fabs(p.x()) > 0.098);
    }

    void fractionShapes() {
        // 1/3: odd root, mirrored through the origin, step 0.005.
        power::Dots d = power::fractionDots(1, 3, false);
        QVERIFY(contains(d.points, 0.01, 0.215443, 1e-5));
        QVERIFY(contains(d.points, -0.01, -0.215443, 1e-5));
        QVERIFY(contains(d.points, 1, 1, 1e-4));
        QVERIFY(contains(d.points, -1, -1, 1e-4));
        QVERIFY(d.points.size() > 3980 && d.points.size() < 4000);
        // Negative 1/3: first and third quadrants.
        d = power::fractionDots(1, 3, true);
        for (const QPointF& p : d.points) QVERIFY((p.x() > 0) == (p.y() > 0));
        // 1/2: even root, x > 0 only, step 0.001.
        d = power::fractionDots(1, 2, false);
        for (const QPointF& p : d.points) QVERIFY(p.x() > 0);
        QVERIFY(d.points.size() > 9980 && d.points.size() < 10000);
        // 2/4 draws as 1/2.
        QCOMPARE(power::fractionDots(2, 4, false).points.size(), d.points.size());
        // 2/3: mirrored across the y axis, through (-8, 4).
        d = power::fractionDots(2, 3, false);
        for (const QPointF& p : d.points) QVERIFY(p.y() >= 0);
        QVERIFY(std::any_of(d.points.begin(), d.points.end(),
                            [](const QPointF& p) { return p.x() < -7.99 && std::fabs(p.y() - 4) < 0.01; }));
        // 4/6 keeps both even parts: mirrored across the y axis too.
        d = power::fractionDots(4, 6, false);
        QVERIFY(std::any_of(d.points.begin(), d.points.end(), [](const QPointF& p) { return p.x() < 0 && p.y() > 0; }));
        // 4/2 is whole: x^2 sampled over the whole axis like integer mode.
        QCOMPARE(power::fractionDots(4, 2, false).points.size(), power::integerDots(2).points.size());
        QCOMPARE(power::fractionDots(4, 2, true).points.size(), power::integerDots(-2).points.size());
    }

    void lookups_data() {
        QTest::addColumn<int>("mode");  // 0: y integer, 1: y fraction, 2: x integer, 3: x fraction
        QTest::addColumn<float>("a");   // n, or p
        QTest::addColumn<float>("q");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<float>("in");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("x1");
        QTest::addColumn<QString>("x2");
        using R = power::Result;
        // clang-format off
        QTest::newRow("y: n=2, x=3") << 0 << 2.f << 0.f << false << 3.f << int(R::Value) << "9" << "";
        QTest::newRow("y: n=3, x=-2") << 0 << 3.f << 0.f << false << -2.f << int(R::Value) << "-8" << "";
        QTest::newRow("y: n=-2, x=0") << 0 << -2.f << 0.f << false << 0.f << int(R::ZeroBase) << "" << "";
        QTest::newRow("y: n=0, x=0") << 0 << 0.f << 0.f << false << 0.f << int(R::Value) << "1" << "";
        QTest::newRow("y: n=1.5, x=-2") << 0 << 1.5f << 0.f << false << -2.f << int(R::NoValue) << "" << "";
        QTest::newRow("y: n=2, x=1e30") << 0 << 2.f << 0.f << false << 1e30f << int(R::Overflow) << "" << "";
        QTest::newRow("y: 1/2, x=-4") << 1 << 1.f << 2.f << false << -4.f << int(R::NegativeBase) << "" << "";
        QTest::newRow("y: 2/4, x=-4") << 1 << 2.f << 4.f << false << -4.f << int(R::NegativeBase) << "" << "";
        QTest::newRow("y: 2/3, x=-8") << 1 << 2.f << 3.f << false << -8.f << int(R::Value) << "4" << "";
        QTest::newRow("y: 1/3, x=-8") << 1 << 1.f << 3.f << false << -8.f << int(R::Value) << "-2" << "";
        QTest::newRow("y: -1/3, x=8") << 1 << 1.f << 3.f << true << 8.f << int(R::Value) << "0.5" << "";
        QTest::newRow("y: -1/3, x=0") << 1 << 1.f << 3.f << true << 0.f << int(R::ZeroBase) << "" << "";
        QTest::newRow("y: 4/6, x=-8") << 1 << 4.f << 6.f << false << -8.f << int(R::Value) << "4" << "";
        QTest::newRow("x: n=2, y=4") << 2 << 2.f << 0.f << false << 4.f << int(R::Value) << "2" << "-2";
        QTest::newRow("x: n=2, y=-4") << 2 << 2.f << 0.f << false << -4.f << int(R::EvenRoot) << "" << "";
        QTest::newRow("x: n=3, y=-8") << 2 << 3.f << 0.f << false << -8.f << int(R::Value) << "-2" << "";
        QTest::newRow("x: n=-2, y=4") << 2 << -2.f << 0.f << false << 4.f << int(R::Value) << "0.5" << "-0.5";
        // |n| rounds half to even: 2.5 counts as even, 3.5 as even too.
        QTest::newRow("x: n=2.5, y=-1") << 2 << 2.5f << 0.f << false << -1.f << int(R::EvenRoot) << "" << "";
        QTest::newRow("x: n=1.5, y=-1") << 2 << 1.5f << 0.f << false << -1.f << int(R::EvenRoot) << "" << "";
        QTest::newRow("x: n=-2, y=0") << 2 << -2.f << 0.f << false << 0.f << int(R::Overflow) << "" << "";
        QTest::newRow("x: 2/3, y=4") << 3 << 2.f << 3.f << false << 4.f << int(R::Value) << "8" << "-8";
        QTest::newRow("x: 2/3, y=-4") << 3 << 2.f << 3.f << false << -4.f << int(R::EvenRoot) << "" << "";
        QTest::newRow("x: 1/3, y=-2") << 3 << 1.f << 3.f << false << -2.f << int(R::Value) << "-8" << "";
        QTest::newRow("x: -1/3, y=0.5") << 3 << 1.f << 3.f << true << 0.5f << int(R::Value) << "8" << "";
        QTest::newRow("x: 1/2, y=3") << 3 << 1.f << 2.f << false << 3.f << int(R::Value) << "9" << "";
        QTest::newRow("x: 4/2, y=9") << 3 << 4.f << 2.f << false << 9.f << int(R::Value) << "3" << "-3";
        // clang-format on
    }
    void lookups() {
        QFETCH(int, mode);
        QFETCH(float, a);
        QFETCH(float, q);
        QFETCH(bool, negative);
        QFETCH(float, in);
        QFETCH(int, kind);
        QFETCH(QString, x1);
        QFETCH(QString, x2);
        power::Result r;
        switch (mode) {
        case 0: r = power::yInteger(a, in); break;
        case 1: r = power::yFraction(a, q, negative, in); break;
        case 2: r = power::xInteger(a, in); break;
        default: r = power::xFraction(a, q, negative, in); break;
        }
        QCOMPARE(int(r.kind), kind);
        if (kind != power::Result::Value) return;
        QCOMPARE(numfmt::text(r.x1), x1);
        QCOMPARE(r.two, !x2.isEmpty());
        if (r.two) QCOMPARE(numfmt::text(r.x2), x2);
    }
};

QTEST_APPLESS_MAIN(InversePowerTest)
#include "inverse_power_test.moc"
