// The conic sections' mathematics: where the float sweep puts the dots, the
// rows of the canvas texts, the look-up solutions and the number texts the
// labels show.
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "families/conics/conics.h"
#include "numfmt/numfmt.h"

using numfmt::text;

namespace {
bool allInBand(const std::vector<QPointF>& pts) {
    return std::all_of(pts.begin(), pts.end(), [](const QPointF& p) {
        return p.x() >= -10.0001 && p.x() <= 10.0001 && p.y() > -10.2 && p.y() < 10.2;
    });
}
// The dot of largest (or smallest) x among those with y >= 0.
QPointF extremeUpper(const std::vector<QPointF>& pts, bool right) {
    QPointF best(right ? -1e9 : 1e9, 0);
    for (const QPointF& p : pts)
        if (p.y() >= 0 && (right ? p.x() > best.x() : p.x() < best.x())) best = p;
    return best;
}
}  // namespace

class ConicsTest : public QObject {
    Q_OBJECT
private slots:
    // The sweep accumulates single-precision error: 2001 samples, and the
    // sample meant to be 6 lands just above it, so an ellipse with a = 6
    // ends its right tip one step early at about 5.99 while the left tip is
    // reached at about -5.9999.
    void sweepKeepsSinglePrecisionDrift() {
        int n = 0;
        float last = 0;
        conic::sweep(0.01f, [&](float x) {
            ++n;
            last = x;
        });
        QVERIFY(n >= 2000 && n <= 2001);
        QVERIFY(last <= 10.f && last > 9.98f);

        const auto pts = ellipse::dots(6, 3);
        const QPointF right = extremeUpper(pts, true);
        QVERIFY2(right.x() > 5.985 && right.x() < 5.995, qPrintable(QString::number(right.x(), 'g', 9)));
        QVERIFY(std::fabs(right.y() - 0.17) < 0.01);
        const QPointF left = extremeUpper(pts, false);
        QVERIFY(left.x() < -5.999 && left.x() > -6.0);
        // Both halves: every dot has its mirror image.
        const auto lower = std::count_if(pts.begin(), pts.end(), [](const QPointF& p) { return p.y() < 0; });
        const auto upper = std::count_if(pts.begin(), pts.end(), [](const QPointF& p) { return p.y() > 0; });
        QCOMPARE(lower, upper);
    }

    // At X = ±a the root's argument may round a hair below zero; it must
    // give the tip (0), never NaN, for any pair of semi-axes.
    void ellipseTipNeverNaN() {
        const float values[] = {0.1f, 0.3f, 0.7f, 1.f, 1.1f, 2.9f, 3.f, 6.f, 7.3f, 9.99f, 12.5f, 1e-20f, 1e20f};
        for (float a : values)
            for (float b : values) {
                for (float x : {a, -a}) {
                    const float y = ellipse::halfHeight(a, b, x);
                    QVERIFY2(y == 0.f || (y > 0 && y < b * 1e-3f),
                             qPrintable(QStringLiteral("a=%1 b=%2").arg(a).arg(b)));
                }
                QVERIFY(std::isnan(ellipse::halfHeight(a, b, std::nextafter(a, 1e30f) * 1.001f)));
                QCOMPARE(ellipse::halfWidth(a, b, b), 0.f);
            }
    }

    void ellipseFeatures() {
        QCOMPARE(text(ellipse::focalDistance(6, 3)), QStringLiteral("5.2"));
        QCOMPARE(text(ellipse::focalDistance(3, 6)), QStringLiteral("5.2"));
        QCOMPARE(text(ellipse::eccentricity(6, 3)), QStringLiteral("0.8660254"));
        QCOMPARE(text(ellipse::eccentricity(4, 4)), QStringLiteral("0"));
        QCOMPARE(text(ellipse::directrixDistance(6, 3)), QStringLiteral("6.93"));
        QCOMPARE(conic::directrixText(6.93f, true), QStringLiteral("准线方程是：x=6.93和x=－6.93"));
        QCOMPARE(conic::directrixText(6.93f, false), QStringLiteral("准线方程是：y=6.93和y=－6.93"));
        QCOMPARE(conic::fociText(5.2f, true), QStringLiteral("焦点坐标：F1(-5.2,0),F2:(5.2,0)"));
        QCOMPARE(conic::fociText(5.2f, false), QStringLiteral("焦点坐标：F1(0,-5.2),F2:(0,5.2)"));
        QCOMPARE(ellipse::equation(6, 3), QStringLiteral("X^2/6^2 +Y^2/3^2 =1"));
        QVERIFY(std::fabs(ellipse::textRow(6, 3) - 2.958) < 0.001);
        QCOMPARE(ellipse::textRow(0.5f, 3), 4.f);  // a < 1: the column X = 1 misses
        QCOMPARE(ellipse::textRow(20, 12), 9.f);   // above the drawing area
        // a = 12: cut at X = ±10; b >= 10.2 loses its points beyond the band.
        QVERIFY(allInBand(ellipse::dots(12, 3)));
        QVERIFY(allInBand(ellipse::dots(3, 11)));
        QVERIFY(!ellipse::dots(3, 11).empty());
    }

    void circleClassifiesAndSolves() {
        QCOMPARE(circle::discriminant(8, 0, 0), 64.0);
        QCOMPARE(circle::discriminant(2, 2, 2), 0.0);
        QVERIFY(circle::discriminant(0, 0, 1) < 0);
        QCOMPARE(circle::equation(8, 0, 0), QStringLiteral("X^2 +Y^2+ 8X + 0Y+0=0"));
        QCOMPARE(circle::equation(-2, 0.5f, -3), QStringLiteral("X^2 +Y^2+ -2X + 0.5Y+-3=0"));
        // Text rows: the column X = 1 misses the default circle (row 4); the
        // radius-3 circle is met at 2.828427.
        QCOMPARE(circle::textRow(8, 0, 0), 4.f);
        QCOMPARE(text(circle::textRow(0, 0, -9)), QStringLiteral("2.828427"));
        QCOMPARE(circle::textRow(0, -30, 0), 9.f);

        auto ys = circle::ysAt(8, 0, 0, -4);
        QVERIFY(ys);
        QCOMPARE(numfmt::signedText(ys->first), QStringLiteral(" 4"));
        QCOMPARE(numfmt::signedText(ys->second), QStringLiteral("-4"));
        QVERIFY(!circle::ysAt(8, 0, 0, 1));
        // A tangent row gives the same value twice.
        auto xs = circle::xsAt(0, 0, -9, 3);
        QVERIFY(xs);
        QCOMPARE(xs->first, xs->second);
        QVERIFY(!circle::xsAt(0, 0, -9, 3.01f));

        // The fixed coordinate's square is written from the single at 15 digits.
        QCOMPARE(circle::yLookupEquation(8, 0, 0, 0), QStringLiteral("0+Y^2+ 0 + 0Y+0=0"));
        QCOMPARE(circle::xLookupEquation(8, 0, 0, 0), QStringLiteral("X^2 +0+ 8X + 0+0=0"));
        QCOMPARE(circle::yLookupEquation(8, 0, 0, 0.1f), QStringLiteral("0.0100000002980232+Y^2+ 0.8 + 0Y+0=0"));
    }

    void circleCloud() {
        // Radius 11: cut on all four sides, nothing outside the band.
        const auto big = circle::dots(0, 0, -121);
        QVERIFY(allInBand(big));
        QVERIFY(!big.empty());
        QVERIFY(extremeUpper(big, true).x() > 9.99);
        // F = -484 is radius 22: entirely outside the band, nothing drawn.
        QVERIFY(circle::dots(0, 0, -484).empty());
        // Defaults: every dot lies on the circle of radius 4 around (-4, 0).
        const auto pts = circle::dots(8, 0, 0);
        QVERIFY(pts.size() > 1000);
        for (const QPointF& p : pts) QVERIFY(std::fabs(std::hypot(p.x() + 4, p.y()) - 4) < 1e-3);
    }

    void hyperbolaFeatures() {
        QCOMPARE(text(hyperbola::eccentricity(3, 2)), QStringLiteral("1.20185"));
        QCOMPARE(text(hyperbola::focalDistance(3, 2)), QStringLiteral("3.61"));
        QCOMPARE(text(hyperbola::directrixDistance(3, 2)), QStringLiteral("2.5"));
        QCOMPARE(hyperbola::textRow(3, 2, true), 4.f);
        QCOMPARE(text(hyperbola::textRow(3, 2, false)), QStringLiteral("3.354102"));
        QCOMPARE(hyperbola::labelEquation(3, 2, true), QStringLiteral("当前双曲线的方程为：X^2/3^2 －Y^2/2^2 =1"));
        QCOMPARE(hyperbola::canvasEquation(3, 2, false), QStringLiteral("Y^2/3^2 -X^2/2^2 =1"));
        QCOMPARE(hyperbola::asymptoteText(3, 2, true), QStringLiteral("渐近线方程为Y＝2X/3和Y＝-2X/3"));
        QCOMPARE(hyperbola::asymptoteText(3, 2, false), QStringLiteral("渐近线方程为Y＝3X/2和Y＝-3X/2"));
        QCOMPARE(hyperbola::conjugateText(3, 2, true), QStringLiteral("共轭双曲线方程为：Y^2/2^2 －X^2/3^2 =1"));
        QCOMPARE(hyperbola::conjugateText(3, 2, false), QStringLiteral("共轭双曲线方程为：X^2/2^2 －Y^2/3^2 =1"));

        // X orientation: nothing between the vertices; Y orientation: the whole width.
        const auto onX = hyperbola::dots(3, 2, true);
        QVERIFY(std::all_of(onX.begin(), onX.end(), [](const QPointF& p) { return std::fabs(p.x()) >= 3; }));
        const auto onY = hyperbola::dots(3, 2, false);
        QVERIFY(std::all_of(onY.begin(), onY.end(), [](const QPointF& p) { return std::fabs(p.y()) >= 3; }));
        // It leaves the band at |x| = 6.5.
        QVERIFY(extremeUpper(onY, false).x() < -6.4);
        // The conjugate of the X-axis curve opens along Y, and the other way round.
        const auto conj = hyperbola::conjugateDots(3, 2, true);
        QVERIFY(std::all_of(conj.begin(), conj.end(), [](const QPointF& p) { return std::fabs(p.y()) >= 2; }));
        const auto conjY = hyperbola::conjugateDots(3, 2, false);
        QVERIFY(std::all_of(conjY.begin(), conjY.end(), [](const QPointF& p) { return std::fabs(p.x()) >= 2; }));
        QVERIFY(allInBand(onX) && allInBand(onY) && allInBand(conj) && allInBand(conjY));
    }

    void hyperbolaLookups() {
        QVERIFY(std::isnan(hyperbola::halfHeight(3, 2, true, 2)));
        QCOMPARE(numfmt::signedText(hyperbola::halfHeight(3, 2, true, 5)), QStringLiteral(" 2.666667"));
        QCOMPARE(hyperbola::halfHeight(3, 2, true, 3), 0.f);
        QCOMPARE(hyperbola::halfWidth(3, 2, true, 0), 3.f);
        QVERIFY(std::isnan(hyperbola::halfWidth(3, 2, false, 2.99f)));
        QCOMPARE(hyperbola::yLookupEquation(3, 2, true, 5), QStringLiteral("5^2/3^2 -Y^2/2^2 =1"));
        QCOMPARE(hyperbola::yLookupEquation(3, 2, false, 5), QStringLiteral(" Y  ^2/3^2 -5^2/2^2 =1"));
        QCOMPARE(hyperbola::xLookupEquation(3, 2, true, 0), QStringLiteral(" X^2/3^2 -0^2/2^2 =1"));
        QCOMPARE(hyperbola::xLookupEquation(3, 2, false, 4), QStringLiteral("4^2/3^2 -X^2/2^2 =1"));
    }

    void parabolaPositions() {
        QCOMPARE(parabola::equation(3, true), QStringLiteral("Y^2=2*3X"));
        QCOMPARE(parabola::equation(-3, true), QStringLiteral("Y^2=－2*3X"));
        QCOMPARE(parabola::equation(0.5f, false), QStringLiteral("X^2=2*0.5Y"));
        QCOMPARE(parabola::equation(-0.5f, false), QStringLiteral("X^2=－2*0.5Y"));
        QCOMPARE(text(parabola::textRow(3, true)), QStringLiteral("3.464102"));
        QCOMPARE(parabola::textRow(-3, true), 4.f);
        QCOMPARE(text(parabola::textRow(3, false)), QStringLiteral("0.6666667"));
        QCOMPARE(parabola::textRow(0.1f, false), 9.f);   // 20 is above the drawing area
        QCOMPARE(parabola::textRow(-0.1f, false), 9.f);  // and -20 below it

        const auto right = parabola::dots(3, true);
        QVERIFY(std::all_of(right.begin(), right.end(),
                            [](const QPointF& p) { return p.x() >= 0 && std::fabs(p.y()) < 7.75; }));
        const auto left = parabola::dots(-3, true);
        QVERIFY(std::all_of(left.begin(), left.end(), [](const QPointF& p) { return p.x() <= 0; }));
        const auto up = parabola::dots(3, false);
        QVERIFY(
            std::all_of(up.begin(), up.end(), [](const QPointF& p) { return std::fabs(p.x()) < 7.83 && p.y() >= 0; }));
        QVERIFY(extremeUpper(up, true).x() > 7.8);
        const auto down = parabola::dots(-3, false);
        QVERIFY(std::all_of(down.begin(), down.end(), [](const QPointF& p) { return p.y() <= 0; }));

        QCOMPARE(numfmt::signedText(parabola::linearSide(3, 2)), QStringLiteral(" .6666667"));
        QCOMPARE(parabola::squaredSide(3, 6), 6.f);
        QVERIFY(std::isnan(parabola::squaredSide(3, -1)));
        QVERIFY(std::isnan(parabola::squaredSide(-3, 1)));
        QCOMPARE(parabola::squaredSide(-3, 0), 0.f);
    }

    // Where the marks go, in both orientations: the foci and directrices of
    // the ellipse and the hyperbola, the asymptotes, the parabola's focus
    // and directrix. The window draws exactly these.
    void featurePositions() {
        using P = std::pair<QPointF, QPointF>;
        using L = std::pair<QLineF, QLineF>;
        QCOMPARE(conic::foci(3.61f, true), P(QPointF(-3.61f, 0), QPointF(3.61f, 0)));
        QCOMPARE(conic::foci(3.61f, false), P(QPointF(0, -3.61f), QPointF(0, 3.61f)));
        QCOMPARE(conic::directrices(2.5f, 3, 2, true), L(QLineF(2.5, 2, 2.5, -2), QLineF(-2.5, 2, -2.5, -2)));
        QCOMPARE(conic::directrices(2.5f, 3, 2, false), L(QLineF(3, 2.5, -3, 2.5), QLineF(3, -2.5, -3, -2.5)));

        QCOMPARE(hyperbola::asymptoteSlope(3, 2, true), 2.f / 3.f);
        QCOMPARE(hyperbola::asymptoteSlope(3, 2, false), 1.5f);
        const auto [up, down] = hyperbola::asymptotes(1.5f);
        QCOMPARE(up, QLineF(-10, -15, 10, 15));
        QCOMPARE(down, QLineF(-10, 15, 10, -15));

        QCOMPARE(parabola::focus(3, true), QPointF(1.5, 0));
        QCOMPARE(parabola::focus(-3, false), QPointF(0, -1.5));
        QCOMPARE(parabola::directrix(3, true), QLineF(-1.5, 10, -1.5, -10));
        QCOMPARE(parabola::directrix(-3, false), QLineF(10, 1.5, -10, 1.5));
    }

    void finiteChecks() {
        QVERIFY(conic::allFinite({1.0, -3e38}));
        QVERIFY(!conic::allFinite({1.0, 1e39}));  // beyond single precision
        QVERIFY(!conic::allFinite({std::nan("")}));
        QCOMPARE(conic::textRow(std::nanf("")), 9.f);
        // A huge semi-axis leaves the band empty instead of drawing garbage.
        QVERIFY(hyperbola::dots(1e-30f, 1, true).empty() || allInBand(hyperbola::dots(1e-30f, 1, true)));
        QVERIFY(allInBand(ellipse::dots(3e38f, 3e38f)));
    }
};

QTEST_MAIN(ConicsTest)
#include "conics_test.moc"
