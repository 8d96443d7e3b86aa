// The numbers and the picture of a function known only by its values: where
// it equals a value (simple, touching and many solutions; jumps and poles
// never taken for one), where it turns (smooth tops and corners; never at a
// jump, a pole, a level stretch or an end), and the runs that draw it
// (never a line joining two branches, dense where the curve is in the
// picture, ends exact, bounded whatever f does).
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "expr/analysis.h"

namespace {

using Fn = std::function<double(double)>;
constexpr double pi = std::numbers::pi;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// f as the analysis sees it, counting the points it asks for.
expr::Batch batch(Fn fn, long* points = nullptr) {
    return [fn, points](const double* x, double* y, int n) {
        for (int i = 0; i < n; ++i) y[i] = fn(x[i]);
        if (points) *points += n;
    };
}

// What differs between two lists of numbers, each within tolerance * max(1, |want|).
QString differ(const std::vector<double>& got, const std::vector<double>& want, double tolerance) {
    auto list = [](const std::vector<double>& v) {
        QStringList s;
        for (double x : v) s << QString::number(x, 'g', 17);
        return s.join(", ");
    };
    bool same = got.size() == want.size();
    for (size_t i = 0; same && i < got.size(); ++i)
        same = std::abs(got[i] - want[i]) <= tolerance * std::max(1.0, std::abs(want[i]));
    return same ? QString() : QString("got [%1], want [%2]").arg(list(got), list(want));
}

std::vector<double> solutions(const Fn& f, double y, double from = -10, double to = 10) {
    return expr::solve(batch(f), y, from, to);
}

// Values a + k * period for every k that puts them inside [from, to].
std::vector<double> periodic(std::vector<double> bases, double period, double from = -10, double to = 10) {
    std::vector<double> v;
    for (int k = -20; k <= 20; ++k)
        for (double b : bases)
            if (b + k * period >= from && b + k * period <= to) v.push_back(b + k * period);
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<double> xsOf(const std::vector<QPointF>& points) {
    std::vector<double> v;
    for (const QPointF& p : points) v.push_back(p.x());
    return v;
}
std::vector<double> ysOf(const std::vector<QPointF>& points) {
    std::vector<double> v;
    for (const QPointF& p : points) v.push_back(p.y());
    return v;
}

// The canvas: x and y in [-10, 10], 396 pixels square at scale 1.
constexpr double kLow = -10, kHigh = 10, kBandLow = -15, kBandHigh = 15;

// Everything a picture of f must be, for a picture `columns` pixels across
// [from, to] showing y in [-10, 10]: the points are f's own or lie on the
// band the curve is cut at; no segment joins two branches (branch(x) tells
// which one x is on); within the picture two drawn points are at most 1.5
// pixels apart; the interval's ends are drawn exactly where f is in the band.
QString pictureFaults(const Fn& f, const Fn& branch, double from, double to, int columns, const expr::Runs& runs) {
    const double pixel = (to - from) / columns;
    QStringList faults;
    auto at = [](QPointF p) { return QString("(%1, %2)").arg(p.x(), 0, 'g', 17).arg(p.y(), 0, 'g', 17); };
    for (const auto& run : runs) {
        if (run.empty()) faults << "an empty run";
        for (size_t i = 0; i < run.size(); ++i) {
            const QPointF p = run[i];
            const bool onBand = p.y() == kBandLow || p.y() == kBandHigh;
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || p.x() < from || p.x() > to)
                faults << "a point beyond the interval " + at(p);
            else if (!onBand && !(std::abs(f(p.x()) - p.y()) <= 1e-12 * std::max(1.0, std::abs(p.y()))))
                faults << "a point off the curve " + at(p);
            if (p.y() < kBandLow || p.y() > kBandHigh) faults << "a point beyond the band " + at(p);
            if (i == 0) continue;
            const QPointF q = run[i - 1];
            if (!(q.x() < p.x())) faults << "x going back " + at(q) + " " + at(p);
            if (branch(q.x()) != branch(p.x())) faults << "a segment joining two branches " + at(q) + " " + at(p);
            const bool inside = std::max(p.y(), q.y()) <= kHigh && std::min(p.y(), q.y()) >= kLow;
            if (inside && std::hypot(p.x() - q.x(), p.y() - q.y()) > 1.5 * pixel)
                faults << "a step of more than 1.5 pixels " + at(q) + " " + at(p);
        }
    }
    const double fFrom = f(from), fTo = f(to);
    if (std::isfinite(fFrom) && fFrom > kBandLow && fFrom < kBandHigh &&
        (runs.empty() || runs.front().front() != QPointF(from, fFrom)))
        faults << "the picture does not start at " + at({from, fFrom});
    if (std::isfinite(fTo) && fTo > kBandLow && fTo < kBandHigh &&
        (runs.empty() || runs.back().back() != QPointF(to, fTo)))
        faults << "the picture does not end at " + at({to, fTo});
    faults.removeDuplicates();
    if (faults.size() > 5) faults = faults.mid(0, 5) << "...";
    return faults.join("; ");
}

}  // namespace

class AnalysisTest : public QObject {
    Q_OBJECT
private slots:
    // Crossings found to the last few doubles, one for each time the curve
    // passes y.
    void simpleSolutions() {
        const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0);
        QCOMPARE(differ(solutions([](double x) { return x * x - 4; }, 0), {-2, 2}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return x * x * x - 3 * x; }, 0), {-r3, 0, r3}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return x + 1 / x; }, 2.5), {0.5, 2}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return std::exp(x); }, 2), {std::log(2.0)}, 1e-14), QString());
        QCOMPARE(differ(solutions([](double x) { return 1 / x; }, 2), {0.5}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return 1 / (x * x); }, 4), {-0.5, 0.5}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return std::cbrt(x); }, 2), {8}, 1e-14), QString());
        QCOMPARE(differ(solutions([](double x) { return std::cbrt(x); }, 0), {0}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return std::sqrt(x); }, 3), {9}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return 1e300 * x; }, 1e300), {1}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return 1e300 * x; }, 0), {0}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return x * x * x * x - 2 * x * x; }, 0), {-r2, 0, r2}, 1e-15),
                 QString());
        // ln x - x = ln 2 - 2 at x = 2 and once more inside (0, 1).
        auto lnMinusX = [](double x) { return std::log(x) - x; };
        const std::vector<double> ln = solutions(lnMinusX, std::log(2.0) - 2);
        QCOMPARE(ln.size(), size_t(2));
        QVERIFY2(ln[0] > 0 && ln[0] < 1 && std::abs(lnMinusX(ln[0]) - (std::log(2.0) - 2)) < 1e-14,
                 qPrintable(QString::number(ln[0], 'g', 17)));
        QCOMPARE(differ({ln[1]}, {2}, 1e-14), QString());
        // Solutions at the interval's own ends are in it.
        QCOMPARE(differ(solutions([](double x) { return x; }, 10), {10}, 0), QString());
        QCOMPARE(differ(solutions([](double x) { return x; }, -1, -1, 2), {-1}, 0), QString());
    }

    // Periodic curves cross many times; each crossing once, in order.
    void manySolutions() {
        // sin x = 0.5 at π/6 and 5π/6 every 2π: seven times in [-10, 10].
        const std::vector<double> sine = solutions([](double x) { return std::sin(x); }, 0.5);
        QCOMPARE(sine.size(), size_t(7));
        QCOMPARE(differ(sine, periodic({pi / 6, 5 * pi / 6}, 2 * pi), 1e-14), QString());
        QCOMPARE(differ(solutions([](double x) { return std::tan(x); }, 1), periodic({pi / 4}, pi), 1e-14), QString());
        // 2sin(2x + π/3) + 1 = 0 where 2x + π/3 = -π/6 or 7π/6 (mod 2π).
        const std::vector<double> shifted = solutions([](double x) { return 2 * std::sin(2 * x + pi / 3) + 1; }, 0);
        QCOMPARE(differ(shifted, periodic({-pi / 4, 5 * pi / 12}, pi), 1e-14), QString());
        // A limit keeps the first ones.
        QCOMPARE(differ(expr::solve(batch([](double x) { return std::sin(x); }), 0.5, -10, 10, 3),
                        {pi / 6 - 4 * pi + 2 * pi / 3, pi / 6 - 2 * pi, 5 * pi / 6 - 2 * pi}, 1e-14),
                 QString());
    }

    // A curve that reaches y without crossing it: at a grid point and
    // between them, smooth and at a corner, and where rounding leaves the
    // top level over many doubles.
    void touchingSolutions() {
        auto square = [](double x) { return x * x; };
        QCOMPARE(differ(solutions(square, 0), {0}, 1e-15), QString());
        QCOMPARE(differ(solutions(square, 0, -1, 2), {0}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return (x - 1) * (x - 1) * (x + 2); }, 0), {-2, 1}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return x * x * x - 3 * x; }, 2), {-1, 2}, 1e-9), QString());
        QCOMPARE(differ(solutions([](double x) { return x * x * x * x - 2 * x * x; }, -1), {-1, 1}, 1e-9), QString());
        // Rounding makes 1 - x² exactly 1 for every |x| below 7.5e-9, a
        // stretch symmetric about 0: its middle is the point.
        QCOMPARE(differ(solutions([](double x) { return 1 - x * x; }, 1, -1, 2), {0}, 0), QString());
        // The same with the library's sine and logarithm, to the precision
        // their rounding allows on any system.
        QCOMPARE(differ(solutions([](double x) { return std::sin(x); }, 1), periodic({pi / 2}, 2 * pi), 1e-9),
                 QString());
        QCOMPARE(differ(solutions([](double x) { return std::log(x) - x; }, -1), {1}, 1e-9), QString());
        // |x² - 2x - 3|: corners at its zeros, a smooth top of 4 at 1.
        auto folded = [](double x) { return std::abs(x * x - 2 * x - 3); };
        QCOMPARE(differ(solutions(folded, 0), {-1, 3}, 1e-15), QString());
        QCOMPARE(differ(solutions(folded, 4), {1 - 2 * std::sqrt(2.0), 1, 1 + 2 * std::sqrt(2.0)}, 1e-9), QString());
        // (x - √2)² multiplied out: its rounding wobbles about 0 for some
        // 1e-8 either side of √2; still one solution, near the middle.
        const double r2 = std::sqrt(2.0);
        QCOMPARE(differ(solutions([r2](double x) { return x * x - 2 * r2 * x + 2; }, 0), {r2}, 1e-9), QString());
        // Just above a top: none.
        QCOMPARE(solutions([](double x) { return std::sin(x); }, 1 + 1e-9), std::vector<double>());
        QCOMPARE(solutions(square, -1e-9), std::vector<double>());
    }

    // A change of sign across a jump or a pole is no solution; a domain's
    // edge can be one.
    void jumpsPolesAndEdges() {
        QCOMPARE(solutions([](double x) { return 1 / x; }, 0), std::vector<double>());
        QCOMPARE(solutions([](double x) { return 1 / (x - 1); }, 0), std::vector<double>());
        QCOMPARE(solutions([](double x) { return 1 / (x * x); }, 0), std::vector<double>());
        QCOMPARE(differ(solutions([](double x) { return std::tan(x); }, 0), periodic({0}, pi), 1e-14), QString());
        QCOMPARE(solutions([](double x) { return std::floor(x); }, 0.5), std::vector<double>());
        QCOMPARE(solutions([](double x) { return x < 0.3 ? -1.0 : 1.0; }, 0), std::vector<double>());
        // x + 1/x never equals 0, and 1.5 only never; 2 it touches at 1.
        QCOMPARE(solutions([](double x) { return x + 1 / x; }, 0), std::vector<double>());
        QCOMPARE(differ(solutions([](double x) { return x + 1 / x; }, 2), {1}, 1e-9), QString());
        // √x = 0 where its domain starts, on the grid and between grid points.
        auto root = [](double x) { return std::sqrt(x); };
        QCOMPARE(differ(solutions(root, 0), {0}, 0), QString());
        QCOMPARE(differ(solutions(root, 0, -1, 2), {0}, 0), QString());
        QCOMPARE(differ(solutions(root, 1e-4, -1, 2), {1e-8}, 1e-15), QString());
        QCOMPARE(differ(solutions([](double x) { return std::sqrt(1 - x * x); }, 0), {-1, 1}, 0), QString());
        // ln x = -40 between the domain's edge and the first grid point.
        const std::vector<double> tiny = solutions([](double x) { return std::log(x); }, -40);
        QCOMPARE(tiny.size(), size_t(1));
        QVERIFY2(std::abs(tiny[0] / std::exp(-40.0) - 1) < 1e-13, qPrintable(QString::number(tiny[0], 'g', 17)));
    }

    // Functions with no separate solutions, and wild ones, answered in
    // bounded work.
    void degenerateEquations() {
        auto three = [](double) { return 3.0; };
        // A constant equal to y everywhere: no list (the window says so).
        QCOMPARE(solutions(three, 3), std::vector<double>());
        QCOMPARE(solutions(three, 2), std::vector<double>());
        QCOMPARE(solutions([](double x) { return std::floor(x); }, 1), std::vector<double>());
        QCOMPARE(solutions([](double x) { return std::max(x, 0.0); }, 0), std::vector<double>());
        QCOMPARE(solutions([](double) { return kNaN; }, 0), std::vector<double>());
        QCOMPARE(expr::solve(batch([](double x) { return x; }), 0, 5, -5), std::vector<double>());
        QCOMPARE(expr::solve(batch([](double x) { return x; }), kNaN, -5, 5), std::vector<double>());
        // sin(1/x) = 0 at ±1/(kπ): infinitely many near 0. Those the grid
        // tells apart are all there, and whatever is listed is a solution.
        long points = 0;
        auto wild = [](double x) { return std::sin(1 / x); };
        const std::vector<double> roots = expr::solve(batch(wild, &points), 0, -1, 1);
        QVERIFY(std::is_sorted(roots.begin(), roots.end()));
        for (double x : roots) QVERIFY2(std::abs(wild(x)) < 1e-9, qPrintable(QString::number(x, 'g', 17)));
        for (int k = 1; k <= 20; ++k)
            for (double x : {-1 / (k * pi), 1 / (k * pi)})
                QVERIFY2(std::any_of(roots.begin(), roots.end(), [x](double r) { return std::abs(r - x) < 1e-15; }),
                         qPrintable(QString::number(x, 'g', 17)));
        QVERIFY2(points < 1100000, qPrintable(QString::number(points)));
        QCOMPARE(differ(expr::solve(batch(wild), 0, -1, 1, 2), {-1 / pi, -1 / (2 * pi)}, 1e-15), QString());
    }

    // Local tops and bottoms inside the interval: smooth ones to some 1e-9
    // in x (as far as values can tell a smooth top) and exactly in y,
    // corners exactly.
    void turningPoints() {
        auto check = [](const Fn& f, double from, double to, std::vector<double> maxX, std::vector<double> minX,
                        double tolerance) {
            const std::vector<QPointF> tops = expr::maxima(batch(f), from, to);
            const std::vector<QPointF> bottoms = expr::minima(batch(f), from, to);
            std::vector<double> maxY, minY;
            for (double x : maxX) maxY.push_back(f(x));
            for (double x : minX) minY.push_back(f(x));
            QStringList faults;
            const QString m = differ(xsOf(tops), maxX, tolerance), n = differ(xsOf(bottoms), minX, tolerance);
            if (!m.isEmpty()) faults << "maxima x: " + m;
            if (!n.isEmpty()) faults << "minima x: " + n;
            if (m.isEmpty() && !differ(ysOf(tops), maxY, 1e-14).isEmpty())
                faults << "maxima y: " + differ(ysOf(tops), maxY, 1e-14);
            if (n.isEmpty() && !differ(ysOf(bottoms), minY, 1e-14).isEmpty())
                faults << "minima y: " + differ(ysOf(bottoms), minY, 1e-14);
            return faults.join("; ");
        };
        QCOMPARE(check([](double x) { return x * x - 4; }, -10, 10, {}, {0}, 1e-9), QString());
        QCOMPARE(check([](double x) { return x + 1 / x; }, -10, 10, {-1}, {1}, 1e-9), QString());
        QCOMPARE(check([](double x) { return x * x * x - 3 * x; }, -10, 10, {-1}, {1}, 1e-9), QString());
        QCOMPARE(check([](double x) { return (x - 1) * (x - 1) * (x + 2); }, -10, 10, {-1}, {1}, 1e-9), QString());
        QCOMPARE(check([](double x) { return x * x * x * x - 2 * x * x; }, -10, 10, {0}, {-1, 1}, 1e-9), QString());
        QCOMPARE(check([](double x) { return std::log(x) - x; }, -10, 10, {1}, {}, 1e-9), QString());
        QCOMPARE(check([](double x) { return std::sin(x); }, -10, 10, periodic({pi / 2}, 2 * pi),
                       periodic({-pi / 2}, 2 * pi), 1e-9),
                 QString());
        QCOMPARE(check([](double x) { return 2 * std::sin(2 * x + pi / 3) + 1; }, -10, 10, periodic({pi / 12}, pi),
                       periodic({7 * pi / 12}, pi), 1e-9),
                 QString());
        // A top that rounding makes level over many doubles, symmetric
        // about 0.3: found to the double.
        QCOMPARE(check([](double x) { return 2 - (x - 0.3) * (x - 0.3); }, -10, 10, {0.3}, {}, 1e-16), QString());
        // Corners, found to the double.
        QCOMPARE(check([](double x) { return std::abs(x); }, -10, 10, {}, {0}, 1e-15), QString());
        QCOMPARE(check([](double x) { return std::abs(x - 0.3); }, -10, 10, {}, {0.3}, 1e-15), QString());
        QCOMPARE(check([](double x) { return std::abs(x * x - 1); }, -10, 10, {0}, {-1, 1}, 1e-9), QString());
        QCOMPARE(
            differ(xsOf(expr::minima(batch([](double x) { return std::abs(x * x - 1); }), -10, 10)), {-1, 1}, 1e-15),
            QString());
        QCOMPARE(check([](double x) { return std::abs(x * x - 2 * x - 3); }, -10, 10, {1}, {-1, 3}, 1e-9), QString());
        // The ends of the interval are not turning points: cos on [0, 2π]
        // turns only at π; on [-1, 2] a parabola's top is inside.
        QCOMPARE(check([](double x) { return std::cos(x); }, 0, 2 * pi, {}, {pi}, 1e-9), QString());
        QCOMPARE(check([](double x) { return -(x - 1.7) * (x - 1.7); }, -1, 2, {1.7}, {}, 1e-9), QString());
        QCOMPARE(check([](double x) { return x * x; }, 0.5, 2, {}, {}, 1e-9), QString());
        // A limit keeps the first ones.
        QCOMPARE(expr::maxima(batch([](double x) { return std::sin(x); }), -10, 10, 2).size(), size_t(2));
    }

    // No turning point at a pole, a jump, a domain's edge, an inflexion or
    // anywhere on a level stretch.
    void noTurningPoints() {
        auto none = [](const Fn& f, double from = -10, double to = 10) {
            const auto tops = expr::maxima(batch(f), from, to), bottoms = expr::minima(batch(f), from, to);
            QStringList found;
            for (QPointF p : tops) found << QString("max (%1, %2)").arg(p.x()).arg(p.y());
            for (QPointF p : bottoms) found << QString("min (%1, %2)").arg(p.x()).arg(p.y());
            return found.join(", ");
        };
        QCOMPARE(none([](double x) { return std::tan(x); }), QString());
        QCOMPARE(none([](double x) { return 1 / x; }), QString());
        QCOMPARE(none([](double x) { return 1 / (x * x); }), QString());
        QCOMPARE(none([](double x) { return 1 / ((x - 0.3) * (x - 0.3)); }), QString());
        QCOMPARE(none([](double x) { return -1 / std::abs(x - 0.3); }), QString());
        QCOMPARE(none([](double x) { return std::floor(x); }), QString());
        QCOMPARE(none([](double x) { return x < 0.3 ? x : x - 1; }), QString());
        QCOMPARE(none([](double x) { return x * x * x; }), QString());
        QCOMPARE(none([](double x) { return std::cbrt(x); }), QString());
        QCOMPARE(none([](double x) { return std::sqrt(x); }), QString());
        QCOMPARE(none([](double x) { return std::sqrt(1 - x * x) + 2; }, -2, -0.5), QString());
        QCOMPARE(none([](double x) { return std::exp(x); }), QString());
        QCOMPARE(none([](double x) { return 1e300 * x; }), QString());
        QCOMPARE(none([](double) { return 3.0; }), QString());
        QCOMPARE(none([](double) { return kNaN; }), QString());
        QCOMPARE(none([](double x) { return std::min(1 - x * x, 0.5); }), QString());
        QCOMPARE(none([](double x) { return std::max(x, 0.0); }), QString());
    }

    // Curves with branches: no segment ever joins two of them.
    void branchesNeverJoined() {
        struct Case {
            const char* name;
            Fn f, branch;
            double from, to;
            int columns;
        };
        const Fn one = [](double) { return 0.0; };
        const Fn sign = [](double x) { return x < 0 ? -1.0 : 1.0; };
        const std::vector<Case> cases{
            {"1/x", [](double x) { return 1 / x; }, sign, -10, 10, 396},
            {"1/x odd columns", [](double x) { return 1 / x; }, sign, -10, 10, 397},
            {"1/x scale 2", [](double x) { return 1 / x; }, sign, -10, 10, 792},
            {"tan x", [](double x) { return std::tan(x); }, [](double x) { return std::floor(x / pi + 0.5); }, -10, 10,
             396},
            {"tan x scale 2", [](double x) { return std::tan(x); }, [](double x) { return std::floor(x / pi + 0.5); },
             -10, 10, 792},
            {"steps", [](double x) { return std::floor(x); }, [](double x) { return std::floor(x); }, -10, 10, 396},
            {"quarter steps", [](double x) { return std::floor(4 * x) / 4; },
             [](double x) { return std::floor(4 * x); }, -10, 10, 792},
            {"x + 1/x on [-1, 2]", [](double x) { return x + 1 / x; }, sign, -1, 2, 59},
            {"1/(x-0.3) on [-1, 2]", [](double x) { return 1 / (x - 0.3); }, [](double x) { return x < 0.3; }, -1, 2,
             59},
            {"|x|", [](double x) { return std::abs(x); }, one, -10, 10, 396},
            {"cbrt", [](double x) { return std::cbrt(x); }, one, -10, 10, 396},
            {"cbrt scale 2", [](double x) { return std::cbrt(x); }, one, -10, 10, 792},
            {"x³", [](double x) { return x * x * x; }, one, -10, 10, 396},
            {"1000x", [](double x) { return 1000 * x; }, one, -10, 10, 396},
            {"sin x", [](double x) { return std::sin(x); }, one, -10, 10, 792},
            {"sin 20x", [](double x) { return 5 * std::sin(20 * x); }, one, -10, 10, 396},
        };
        for (const Case& c : cases) {
            const expr::Runs runs = expr::plot(batch(c.f), c.from, c.to, kLow, kHigh, c.columns);
            QVERIFY2(!runs.empty(), c.name);
            const QString faults = pictureFaults(c.f, c.branch, c.from, c.to, c.columns, runs);
            QVERIFY2(faults.isEmpty(), qPrintable(QString("%1: %2").arg(c.name, faults)));
        }
        auto count = [](const Fn& f, int columns = 396, double from = -10, double to = 10) {
            return int(expr::plot(batch(f), from, to, kLow, kHigh, columns).size());
        };
        // Each branch one run: tan has seven in [-10, 10], 1/x two, a
        // steep continuous piece stays connected.
        QCOMPARE(count([](double x) { return std::tan(x); }), 7);
        QCOMPARE(count([](double x) { return std::tan(x); }, 792), 7);
        QCOMPARE(count([](double x) { return 1 / x; }), 2);
        QCOMPARE(count([](double x) { return x + 1 / x; }, 59, -1, 2), 2);
        QCOMPARE(count([](double x) { return x * x; }), 1);
        QCOMPARE(count([](double x) { return x * x * x; }), 1);
        // Steep lines, steeper than any gap the pictures tells at a pixel,
        // cross the whole band in one run.
        for (double slope : {1e3, 1e7, 1e12}) {
            const expr::Runs line =
                expr::plot(batch([slope](double x) { return slope * x; }), -10, 10, kLow, kHigh, 396);
            QCOMPARE(line.size(), size_t(1));
            QCOMPARE(line[0].front().y(), kBandLow);
            QCOMPARE(line[0].back().y(), kBandHigh);
        }
        QCOMPARE(count([](double x) { return std::cbrt(x); }, 792), 1);
        // Twenty steps, and the lone point (10, 10) where the next begins.
        QCOMPARE(count([](double x) { return std::floor(x); }), 21);
    }

    // Where f is undefined on part of the range, the curve runs to the
    // edge of its domain; beyond the picture it is cut at the band.
    void domainEdgesAndBand() {
        const expr::Runs root = expr::plot(batch([](double x) { return std::sqrt(x); }), -10, 10, kLow, kHigh, 396);
        QCOMPARE(root.size(), size_t(1));
        QVERIFY2(root[0].front().x() >= 0 && root[0].front().x() < 1e-9,
                 qPrintable(QString::number(root[0].front().x(), 'g', 17)));
        QCOMPARE(pictureFaults([](double x) { return std::sqrt(x); }, [](double) { return 0.0; }, -10, 10, 396, root),
                 QString());
        const expr::Runs circle =
            expr::plot(batch([](double x) { return 3 * std::sqrt(1 - x * x); }), -10, 10, kLow, kHigh, 396);
        QCOMPARE(circle.size(), size_t(1));
        QVERIFY2(std::abs(circle[0].front().x() + 1) < 1e-9 && std::abs(circle[0].back().x() - 1) < 1e-9,
                 qPrintable(QString("%1 %2").arg(circle[0].front().x()).arg(circle[0].back().x())));
        // ln x runs down to the band below the picture.
        const expr::Runs ln = expr::plot(batch([](double x) { return std::log(x); }), -10, 10, kLow, kHigh, 396);
        QCOMPARE(ln.size(), size_t(1));
        QCOMPARE(ln[0].front().y(), kBandLow);
        QVERIFY(std::abs(ln[0].front().x() - std::exp(kBandLow)) < 20.0 / 396);
        QCOMPARE(ln[0].back(), QPointF(10, std::log(10.0)));
        // x² leaves the picture at ±√10 and is cut at the band, at ±√15.
        const expr::Runs square = expr::plot(batch([](double x) { return x * x; }), -10, 10, kLow, kHigh, 396);
        QCOMPARE(square.size(), size_t(1));
        QCOMPARE(square[0].front().y(), kBandHigh);
        QCOMPARE(square[0].back().y(), kBandHigh);
        QVERIFY(std::abs(square[0].front().x() + std::sqrt(15.0)) < 0.01);
        QVERIFY(std::abs(square[0].back().x() - std::sqrt(15.0)) < 0.01);
        // Wholly beyond the band: nothing; undefined everywhere: nothing.
        QCOMPARE(expr::plot(batch([](double x) { return x * x + 20; }), -10, 10, kLow, kHigh, 396).size(), size_t(0));
        QCOMPARE(expr::plot(batch([](double) { return kNaN; }), -10, 10, kLow, kHigh, 396).size(), size_t(0));
        // A constant: one run from end to end.
        const expr::Runs level = expr::plot(batch([](double) { return 3.0; }), -10, 10, kLow, kHigh, 396);
        QCOMPARE(level.size(), size_t(1));
        QCOMPARE(level[0].front(), QPointF(-10, 3));
        QCOMPARE(level[0].back(), QPointF(10, 3));
        // An interval's ends exactly, whatever the columns.
        const expr::Runs part = expr::plot(batch([](double x) { return x * x - 2; }), -1.3, 2.7, kLow, kHigh, 79);
        QCOMPARE(part.size(), size_t(1));
        QCOMPARE(part[0].front(), QPointF(-1.3, -1.3 * -1.3 - 2));
        QCOMPARE(part[0].back(), QPointF(2.7, 2.7 * 2.7 - 2));
    }

    // Whatever f does, the picture takes a bounded number of evaluations,
    // asked for many at a time.
    void boundedWork() {
        struct Tally {
            long points = 0, calls = 0;
        };
        auto counted = [](Fn f, Tally* t) -> expr::Batch {
            return [f, t](const double* x, double* y, int n) {
                for (int i = 0; i < n; ++i) y[i] = f(x[i]);
                t->points += n;
                ++t->calls;
            };
        };
        Tally wild;
        const expr::Runs runs =
            expr::plot(counted([](double x) { return std::sin(1 / x); }, &wild), -1, 1, kLow, kHigh, 792);
        QVERIFY2(wild.points <= 200000, qPrintable(QString::number(wild.points)));
        QVERIFY2(wild.calls <= 300, qPrintable(QString::number(wild.calls)));
        QVERIFY(!runs.empty());
        for (const auto& run : runs)
            for (QPointF p : run) QVERIFY(std::abs(p.y()) <= 1 && p.x() >= -1 && p.x() <= 1);
        // Away from 0 the picture is whole: from x = 0.5 on, one run.
        QVERIFY(std::any_of(runs.begin(), runs.end(),
                            [](const auto& r) { return r.front().x() < 0.5 && r.back().x() == 1; }));
        // Out of evaluations, what is left unresolved is not drawn: the pole
        // beside sin(1/x) still breaks the curve.
        auto crowded = [](double x) { return x < 0 ? std::sin(1 / x) : 1 / (x - 0.5); };
        Tally both;
        const expr::Runs split = expr::plot(counted(crowded, &both), -1, 1, kLow, kHigh, 792);
        QCOMPARE(both.points, 200000L);
        const QString faults = pictureFaults(
            crowded, [](double x) { return x < 0     ? 0
                                           : x < 0.5 ? 1
                                                     : 2; }, -1, 1, 792, split);
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
        // A plain sine: one call for the columns, nothing more to refine.
        Tally sine;
        expr::plot(counted([](double x) { return std::sin(x); }, &sine), -10, 10, kLow, kHigh, 792);
        QCOMPARE(sine.calls, 1L);
        QCOMPARE(sine.points, 793L);
        // Huge values, and a picture asked for with no columns or no height.
        Tally huge;
        const expr::Runs steep =
            expr::plot(counted([](double x) { return 1e300 * x; }, &huge), -10, 10, kLow, kHigh, 396);
        QVERIFY(huge.points <= 200000);
        for (const auto& run : steep)
            for (QPointF p : run) QVERIFY(std::abs(p.y()) <= 15 && std::isfinite(p.x()));
        QVERIFY(!expr::plot(batch([](double x) { return x; }), -10, 10, kLow, kHigh, 0).empty());
        QVERIFY(expr::plot(batch([](double x) { return x; }), -10, 10, 1, 1, 396).empty());
        QVERIFY(expr::plot(batch([](double x) { return x; }), 10, -10, kLow, kHigh, 396).empty());
    }
};

QTEST_APPLESS_MAIN(AnalysisTest)
#include "analysis_test.moc"
