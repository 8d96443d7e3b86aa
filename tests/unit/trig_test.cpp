// The mathematics of the sine, cosine, tangent and cotangent windows: the
// single-precision loops whose results students read off (multiples of π
// rounded to two places), the asymptote test, and the bounds that keep
// extreme parameters from hanging the window.
#include <QtTest>
#include <cmath>

#include "families/trig/trig.h"
#include "numfmt/numfmt.h"

using numfmt::text;

class TrigTest : public QObject {
    Q_OBJECT
private slots:
    void phaseTexts();
    void plotLoop();
    void waveLookups_data();
    void waveLookups();
    void slopeLookups_data();
    void slopeLookups();
    void smallAndHugeW();
    void asymptotes();
    void lastAsymptotesRefused_data();
    void lastAsymptotesRefused();
    void branchesBreakAtAsymptotes();
    void cotangentSampleOnAsymptote();
    void amplitudeBeyondBand();
};

void TrigTest::phaseTexts() {
    const float p = trig::piFraction(false, 1, 3);
    QCOMPARE(text(p), QString("1.047197"));
    // Signs typed into the boxes are ignored; the option decides.
    QCOMPARE(trig::piFraction(true, -1, -3), -p);
    QCOMPARE(trig::piFraction(false, -1, -3), p);
    QCOMPARE(text(trig::piFraction(false, 1, 2)), QString("1.570795"));
    QCOMPARE(trig::argument(" Sin", 1, p, true), QString(" Sin(1X+1.047197)"));
    QCOMPARE(trig::argument(" Sin", 1, -p, true), QString(" Sin(1X-1.047197)"));
    QCOMPARE(trig::argument(" Sin", 1, -p, false), QString(" Sin(1X+-1.047197)"));
    QCOMPARE(trig::argument("tg", -1, 0, true), QString("tg(-1X+0)"));
}

void TrigTest::plotLoop() {
    const trig::PlotRun& run = trig::plotRun();
    QCOMPARE(int(run.xs.size()), 3600);
    QCOMPARE(run.xs.front(), -9.42477f);
    QVERIFY(run.xs.back() <= 9.42477f);
    QVERIFY(run.after > 9.42477f && run.after < 9.4249f);
    // Every sample of the load-time sine lies inside the band.
    QCOMPARE(int(trig::wavePoints(1, 1, trig::piFraction(false, 1, 3), std::sin).size()), 3600);
}

void TrigTest::waveLookups_data() {
    QTest::addColumn<float>("a");
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("cosine");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sine load y=1") << 1.f << 1.f << 1.f << false << "0.17";
    QTest::newRow("sine load y=0") << 1.f << 1.f << 0.f << false << "-0.33";
    // A steep curve: no sample within 0.001 of 3, one of 5.
    QTest::newRow("sine A10 w10 y3") << 10.f << 10.f << 3.f << false << "0";
    QTest::newRow("sine A10 w10 y5") << 10.f << 10.f << 5.f << false << "-0.02";
    // The last sample near the top wins, after the exact maximum at -1/3 π.
    QTest::newRow("cosine y=1") << 1.f << 1.f << 1.f << true << "-0.32";
    QTest::newRow("cosine y=0") << 1.f << 1.f << 0.f << true << "0.17";
    QTest::newRow("cosine y=-1") << 1.f << 1.f << -1.f << true << "0.67";
}

void TrigTest::waveLookups() {
    QFETCH(float, a);
    QFETCH(float, w);
    QFETCH(float, y);
    QFETCH(bool, cosine);
    QFETCH(QString, shown);
    QCOMPARE(text(trig::waveSolve(a, w, trig::piFraction(false, 1, 3), y, cosine)), shown);
}

void TrigTest::slopeLookups_data() {
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("cotangent");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tan y=1") << 1.f << 1.f << false << "0.25";
    QTest::newRow("tan falling") << -1.f << 1.f << false << "-0.25";
    QTest::newRow("tan too steep") << 2.f << 5.f << false << "0";
    QTest::newRow("cot y=1") << 1.f << 1.f << true << "0.25";
    QTest::newRow("cot y=-1") << 1.f << -1.f << true << "-0.25";
}

void TrigTest::slopeLookups() {
    QFETCH(float, w);
    QFETCH(float, y);
    QFETCH(bool, cotangent);
    QFETCH(QString, shown);
    QCOMPARE(text(trig::slopeSolve(w, 0, y, cotangent)), shown);
}

void TrigTest::smallAndHugeW() {
    const float p = trig::piFraction(false, 1, 3);
    // The plain scan of these would take billions of samples (a hang here
    // shows as the test's time-out).
    const float s = trig::waveSolve(1, 1e-6f, p, 1, false);
    const float c = trig::waveSolve(1, 1e-6f, p, 0.5f, true);
    const float g = trig::slopeSolve(1e-6f, p, 1, false);
    const float k = trig::slopeSolve(-1e-6f, 0, -1, true);
    // Stretched scans still find the value near the closed-form solution
    // (x = (asin(y/A) - p)/w, as a multiple of π).
    QVERIFY(std::fabs(s - (std::asin(1.0) - p) / 1e-6 / trig::kPi) < 20);
    QVERIFY(std::isfinite(c) && c > 0);
    QVERIFY(std::fabs(g - (std::atan(1.0) - p) / 1e-6 / trig::kPi) < 2e3);
    QVERIFY(std::fabs(k - 0.25e6) < 2e3);
    // w = 1E-30 still gives a finite range; a denormal w does not.
    QVERIFY(std::isfinite(trig::waveSolve(1, 1e-30f, p, 0.5f, false)));
    QVERIFY(std::isnan(trig::waveSolve(1, 1e-40f, p, 0.5f, false)));
    // A huge w leaves a range shorter than one step: one sample, no hang.
    QVERIFY(std::isfinite(trig::slopeSolve(1e30f, p, 1, true)));
    // Far from the origin the π/6000 step cannot move a single: no answer, no hang.
    QVERIFY(std::isnan(trig::waveSolve(1, 1, 3e7f, 0.5f, false)));
    QVERIFY(std::isnan(trig::slopeSolve(1, 3e7f, 0.5f, true)));
    // A w of 0.05 is the last one scanned with the plain step, and still finds the top.
    QVERIFY(std::isfinite(trig::waveSolve(1, 0.05f, 0, 1, false)));
    QVERIFY(trig::waveSolve(1, 0.05f, 0, 1, false) > 9.9f);
}

void TrigTest::asymptotes() {
    const float halfPi = trig::piFraction(false, 1, 2);
    QVERIFY(trig::onAsymptote(1, 0, halfPi, false));
    QVERIFY(trig::onAsymptote(1, 0, float(-5 * trig::kPi / 2), false));
    QVERIFY(!trig::onAsymptote(1, 0, trig::piFraction(false, 1, 4), false));
    QVERIFY(!trig::onAsymptote(1, 0, 0, false));
    QVERIFY(trig::onAsymptote(1, 0, float(trig::kPi), true));
    QVERIFY(trig::onAsymptote(1, 0, 0, true));
    QVERIFY(!trig::onAsymptote(1, 0, halfPi, true));
    // Only k = -20 … 20 are tested: the 21st asymptote to the right is evaluated.
    QVERIFY(!trig::onAsymptote(1, 0, float(21 * trig::kPi), true));
    QVERIFY(trig::onAsymptote(-2, 0, float(trig::kPi / 2), true));
}

// The y look-up refuses an x on an asymptote only for the 41 nearest the
// branch around -p/w; the outermost of them on either side are refused like
// the nearest, the next ones out are evaluated. x is entered as the look-up
// takes it: ±num·π/den.
void TrigTest::lastAsymptotesRefused_data() {
    QTest::addColumn<bool>("cotangent");
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("p");
    QTest::addColumn<int>("num");  // signed
    QTest::addColumn<int>("den");
    QTest::addColumn<bool>("refused");
    // tg(x): asymptotes at (k - 1/2)π, k = -20 … 20.
    QTest::newRow("tan last right") << false << 1.f << 0.f << 39 << 2 << true;
    QTest::newRow("tan past right") << false << 1.f << 0.f << 41 << 2 << false;
    QTest::newRow("tan last left") << false << 1.f << 0.f << -41 << 2 << true;
    QTest::newRow("tan past left") << false << 1.f << 0.f << -43 << 2 << false;
    // ctg(x): at kπ.
    QTest::newRow("cot last right") << true << 1.f << 0.f << 20 << 1 << true;
    QTest::newRow("cot past right") << true << 1.f << 0.f << 21 << 1 << false;
    QTest::newRow("cot last left") << true << 1.f << 0.f << -20 << 1 << true;
    QTest::newRow("cot past left") << true << 1.f << 0.f << -21 << 1 << false;
    // tg(2x): a period of π/2, so the last is -π/4 + 20·π/2.
    QTest::newRow("tan w=2 last") << false << 2.f << 0.f << 39 << 4 << true;
    QTest::newRow("tan w=2 past") << false << 2.f << 0.f << 41 << 4 << false;
    // ctg(-x): the same asymptotes as ctg(x), counted from 0 either way.
    QTest::newRow("cot w=-1 last") << true << -1.f << 0.f << -20 << 1 << true;
    QTest::newRow("cot w=-1 past") << true << -1.f << 0.f << 21 << 1 << false;
    // ctg(x + π/2): the branch around -π/2, so the last right one is 19.5π.
    QTest::newRow("cot p=π/2 last") << true << 1.f << trig::piFraction(false, 1, 2) << 39 << 2 << true;
    QTest::newRow("cot p=π/2 past") << true << 1.f << trig::piFraction(false, 1, 2) << 41 << 2 << false;
}

void TrigTest::lastAsymptotesRefused() {
    QFETCH(bool, cotangent);
    QFETCH(float, w);
    QFETCH(float, p);
    QFETCH(int, num);
    QFETCH(int, den);
    QFETCH(bool, refused);
    const double xd = std::abs(num) * trig::kPi / den;
    const float x = float(num < 0 ? -xd : xd);
    QCOMPARE(trig::onAsymptote(w, p, x, cotangent), refused);
    // Refused or not, the point is an asymptote: the function has no
    // usable value there, only one far beyond the band.
    float v = 0;
    QVERIFY(!trig::slopeValue(w * x + p, cotangent, v) || std::fabs(v) > 1000);
}

void TrigTest::branchesBreakAtAsymptotes() {
    for (bool cot : {false, true}) {
        for (float w : {1.f, -1.f, 2.f, 5.f, -5.f}) {
            const auto segs = trig::branchSegments(w, 0, cot);
            QVERIFY(!segs.empty());
            for (const QLineF& s : segs) {
                QVERIFY(std::isfinite(s.y1()) && std::isfinite(s.y2()));
                // A segment that joined two branches would cross the band
                // from one edge to the other.
                QVERIFY2(!(s.y1() > 10 && s.y2() < -10) && !(s.y1() < -10 && s.y2() > 10),
                         qPrintable(QString("w=%1 cot=%2 x=%3").arg(w).arg(cot).arg(s.x1())));
            }
            // Rising for w > 0 in the tangent, falling in the cotangent.
            const QLineF mid = segs[segs.size() / 2];
            QVERIFY(((mid.y2() > mid.y1()) == (w > 0)) != cot);
        }
    }
    // About 30 branches at the slider's end.
    int starts = 1;
    const auto segs = trig::branchSegments(5, 0, false);
    for (size_t i = 1; i < segs.size(); ++i)
        if (segs[i].p1() != segs[i - 1].p2()) ++starts;
    QVERIFY(starts >= 29 && starts <= 31);
}

void TrigTest::cotangentSampleOnAsymptote() {
    // Choose p so that one sample's phase w·x + p is exactly 0.
    const float xk = trig::plotRun().xs[1234];
    const float p = -xk;
    QCOMPARE(1.f * xk + p, 0.f);
    float v = 0;
    QVERIFY(!trig::slopeValue(0.f, true, v));
    const auto segs = trig::branchSegments(1, p, true);
    for (const QLineF& s : segs) QVERIFY(std::isfinite(s.y1()) && std::isfinite(s.y2()));
    QVERIFY(!segs.empty());
    // The x scan passes the same phase without failing.
    QVERIFY(std::isfinite(trig::slopeSolve(1, p, 1, true)));
}

void TrigTest::amplitudeBeyondBand() {
    const auto pts = trig::wavePoints(12, 1, 0, std::sin);
    QVERIFY(pts.size() < 3600);
    for (const QPointF& q : pts) QVERIFY(q.y() > -10.2 && q.y() < 10.2);
    // 10.2 itself is outside the strict band.
    const auto edge = trig::wavePoints(10.2f, 1, 0, std::cos);
    for (const QPointF& q : edge) QVERIFY(std::fabs(q.y()) < 10.2);
}

QTEST_GUILESS_MAIN(TrigTest)
#include "trig_test.moc"
