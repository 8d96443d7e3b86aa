// The quadratic family's texts, sampling and equation solver.
#include <QtTest>
#include <cmath>
#include <limits>

#include "families/algebraic/quadratic.h"

using namespace quadratic;

class QuadraticTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data() {
        QTest::addColumn<float>("a");
        QTest::addColumn<float>("b");
        QTest::addColumn<float>("c");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("onCanvas");
        // clang-format off
        QTest::newRow("defaults") << 2.f << 0.f << 0.f << "Y = 2X^2 + 0X + 0" << "Y=2X^2+0X+0";
        QTest::newRow("negatives bring their sign") << 1.f << -2.f << -3.f << "Y = 1X^2  -2X  -3" << "Y=1X^2+-2X+-3";
        QTest::newRow("mixed") << 1.f << -2.f << 3.f << "Y = 1X^2  -2X + 3" << "Y=1X^2+-2X+3";
        QTest::newRow("fractions") << -0.5f << 0.25f << -1.5f << "Y = -0.5X^2 + 0.25X  -1.5" << "Y=-0.5X^2+0.25X+-1.5";
        // clang-format on
    }
    void texts() {
        QFETCH(float, a);
        QFETCH(float, b);
        QFETCH(float, c);
        QFETCH(QString, label);
        QFETCH(QString, onCanvas);
        QCOMPARE(expression(a, b, c), label);
        QCOMPARE(canvasText(a, b, c), onCanvas);
    }

    void equationTexts() {
        QCOMPARE(equation(1, 2, 3, 0), QString("1X^2 + 2X + 3 = 0"));
        QCOMPARE(equation(1, -2, -3, -4), QString("1X^2  -2X  -3 = -4"));
        QCOMPARE(linearEquation(2, 1, 5), QString("2X + 1 = 5"));
        QCOMPARE(linearEquation(2, -1, 5), QString("2X  -1 = 5"));
        // The a = 0 line label has no sign handling at all.
        QCOMPARE(lineExpression(2, -1), QString("Y = 2X + -1"));
    }

    void solver_data() {
        QTest::addColumn<float>("a");
        QTest::addColumn<float>("b");
        QTest::addColumn<float>("c");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("kind");
        QTest::addColumn<float>("x1");
        QTest::addColumn<float>("x2");
        using S = Solution;
        // clang-format off
        QTest::newRow("two roots") << 1.f << -2.f << -3.f << 0.f << int(S::Two) << 3.f << -1.f;
        QTest::newRow("y shifts the constant") << 1.f << -2.f << -3.f << 5.f << int(S::Two) << 4.f << -2.f;
        QTest::newRow("double root") << 1.f << -2.f << -3.f << -4.f << int(S::Two) << 1.f << 1.f;
        QTest::newRow("negative a orders the roots") << -1.f << 0.f << 4.f << 0.f << int(S::Two) << -2.f << 2.f;
        QTest::newRow("no real root") << 1.f << 0.f << 1.f << 0.f << int(S::NoReal) << 0.f << 0.f;
        QTest::newRow("linear") << 0.f << 2.f << 1.f << 5.f << int(S::Linear) << 2.f << 0.f;
        QTest::newRow("nothing to solve") << 0.f << 0.f << 7.f << 1.f << int(S::NoParameters) << 0.f << 0.f;
        QTest::newRow("discriminant beyond single") << 1e20f << 1e20f << 0.f << 0.f << int(S::Overflow) << 0.f << 0.f;
        QTest::newRow("4a beyond single") << 1e38f << 0.f << -1.f << 0.f << int(S::Overflow) << 0.f << 0.f;
        QTest::newRow("infinite y") << 1.f << 0.f << 0.f << INFINITY << int(S::Overflow) << 0.f << 0.f;
        QTest::newRow("linear quotient beyond single") << 0.f << 1e-30f << 0.f << 1e20f << int(S::Overflow) << 0.f << 0.f;
        // clang-format on
    }
    void solver() {
        QFETCH(float, a);
        QFETCH(float, b);
        QFETCH(float, c);
        QFETCH(float, y);
        QFETCH(int, kind);
        QFETCH(float, x1);
        QFETCH(float, x2);
        const Solution s = solve(a, b, c, y);
        QCOMPARE(int(s.kind), kind);
        if (kind == Solution::Two || kind == Solution::Linear) QCOMPARE(s.x1, x1);
        if (kind == Solution::Two) QCOMPARE(s.x2, x2);
    }

    // A discriminant that is a hair below zero in double but rounds to -0 as
    // a single counts as a double root and must never give NaN.
    void tinyNegativeDiscriminant() {
        const float a = 0.25f;                                     // 4a = 1
        const float b = std::ldexp(1.f, -75);                      // b^2 = 2^-150
        const float c = std::numeric_limits<float>::denorm_min();  // 2^-149
        // b^2 - 4a(c - y) = 2^-150 - 2^-149 = -2^-150 in double: exactly half
        // the smallest single, which rounds (to even) to -0.
        const double full = double(b) * double(b) - double(4.f * a * c);
        QVERIFY(full < 0);
        QVERIFY(float(full) == 0.f && std::signbit(float(full)));
        const Solution s = solve(a, b, c, 0.f);
        QCOMPARE(int(s.kind), int(Solution::Two));
        // The double root -b / 2a, exactly (a fuzzy compare would take 0 for it).
        QVERIFY2(s.x1 == -std::ldexp(1.f, -74), qPrintable(QString::number(double(s.x1))));
        QVERIFY2(s.x2 == -std::ldexp(1.f, -74), qPrintable(QString::number(double(s.x2))));
    }

    void vertexValues() {
        Vertex v = vertex(1, -2, -3);
        QCOMPARE(v.x, 1.f);
        QCOMPARE(v.y, -4.f);
        v = vertex(2, 1, 0);
        QCOMPARE(v.x, -0.25f);
        QCOMPARE(v.y, -0.125f);
        // 4ac beyond single: the caller sees an infinite ordinate.
        v = vertex(1e30f, 0, 1e30f);
        QVERIFY(!std::isfinite(v.y));
    }

    void lookupValues() {
        QCOMPARE(lookupValue(1, 0, 0, 0.5f), 0.25f);
        QCOMPARE(lookupValue(1, -2, -3, 2), -3.f);
        QVERIFY(!std::isfinite(lookupValue(1e30f, 0, 0, 1e30f)));
    }

    void canvasTextRow() {
        QCOMPARE(textRow(2, 0, 0), 2.f);
        QCOMPARE(textRow(1, 0, 20), 9.f);
        QCOMPARE(textRow(-1, 0, -20), -9.f);
        QCOMPARE(textRow(-1, 0, 20), -9.f);  // a <= 0 always goes to -9
        QCOMPARE(textRow(1, 0, 9), 10.f);    // 10 itself stays
    }

    // Samples at x = -10, -9.99, ... accumulated in single precision: the
    // segments of y = 2x^2 stay inside |x| < ~2.258 and chain end to start.
    void curveBand() {
        bool overflow = true;
        const std::vector<QLineF> segs = curve(2, 0, 0, &overflow);
        QVERIFY(!overflow);
        QVERIFY(segs.size() > 400 && segs.size() < 460);
        for (const QLineF& s : segs) {
            QVERIFY(s.y1() > -10.2 && s.y1() < 10.2);
            QVERIFY(s.y2() > -10.2 && s.y2() < 10.2);
            QVERIFY(std::fabs(s.x1()) < 2.26 && std::fabs(s.x2()) < 2.26);
            QVERIFY(s.x2() > s.x1());
        }
        for (size_t i = 1; i < segs.size(); ++i) QCOMPARE(segs[i].p1(), segs[i - 1].p2());
        QVERIFY(std::fabs(segs.front().x1() + 2.25) < 0.006);
        QVERIFY(std::fabs(segs.back().x2() - 2.25) < 0.006);
    }

    void curveWholeRange() {
        bool overflow = true;
        // A flat parabola stays in the band everywhere: each of the 2000
        // samples gives a segment, the first a dot at the left edge itself,
        // the last ending just short of x = 10 (the sum of 0.01 drifts up
        // past 10 before reaching it).
        const std::vector<QLineF> segs = curve(0.01f, 0, 0, &overflow);
        QVERIFY(!overflow);
        QCOMPARE(segs.size(), size_t(2000));
        QCOMPARE(segs.front().p1(), QPointF(-10, 1));
        QCOMPARE(segs.front().p2(), QPointF(-10, 1));
        QVERIFY(segs.back().x2() < 10 && segs.back().x2() > 9.98);
    }

    void curveOutsideBand() {
        bool overflow = true;
        QVERIFY(curve(1, 0, 20, &overflow).empty());
        QVERIFY(!overflow);
        QVERIFY(curve(-1, 0, -20, &overflow).empty());
        QVERIFY(!overflow);
        // Huge but finite values: nothing to draw, no overflow either.
        QVERIFY(curve(1e30f, 0, 0, &overflow).empty());
        QVERIFY(!overflow);
        QVERIFY(curve(1e37f, 0, 0, &overflow).empty());
        QVERIFY(overflow);
    }
};

QTEST_APPLESS_MAIN(QuadraticTest)
#include "quadratic_test.moc"
