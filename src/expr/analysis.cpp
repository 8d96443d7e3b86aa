#include "expr/analysis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace expr {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The grid solve() and the extrema start from: fine enough for a dozen
// points per period of sin(20x) over a canvas 20 wide.
constexpr int kGrid = 4096;
// Evaluations one picture may take, the first sampling included: sin(1/x)
// near 0 would otherwise refine without end.
constexpr long kPlotBudget = 200000;
constexpr int kMaxColumns = 50000;
// Single evaluations one search may take after its grid: every candidate is
// bounded by itself, this bounds how many a wild function brings.
constexpr long kSearchBudget = 1000000;
// |f - y| at the last two doubles of a sign change, relative to the size of
// f, below which the sign change is a root and not a jump.
constexpr double kRootTolerance = 1e-9;
// How far from y the lowest point of a curve that only touches y may stay
// (its rounding), relative to the size of f; also the size of a gap taken
// for rounding and not for a jump beside a turning point.
constexpr double kTouchTolerance = 1e-12;

bool finite(double v) { return std::isfinite(v); }
double clean(double v) { return finite(v) ? v : kNaN; }

// Doubles as integers in the same order, neighbouring doubles neighbouring
// integers: halving in these integers reaches the last two doubles of any
// interval in at most 64 steps, wherever it lies (near 0 too).
int64_t ordinal(double x) {
    const int64_t bits = std::bit_cast<int64_t>(x);
    return bits >= 0 ? bits : -(bits & std::numeric_limits<int64_t>::max());
}
double fromOrdinal(int64_t k) { return k >= 0 ? std::bit_cast<double>(k) : -std::bit_cast<double>(-k); }
uint64_t span(int64_t a, int64_t b) { return uint64_t(b) - uint64_t(a); }
int64_t middle(int64_t a, int64_t b) { return (a >> 1) + (b >> 1) + (a & b & 1); }
// The integer a fraction of the way from a to b (a < b).
int64_t partWay(int64_t a, int64_t b, double fraction) {
    return int64_t(uint64_t(a) + uint64_t(double(span(a, b)) * fraction));
}

// f one point at a time, counted.
class Probe {
public:
    explicit Probe(const Batch& f) : f_(f) {}
    double operator()(double x) {
        double y = kNaN;
        f_(&x, &y, 1);
        ++count_;
        return clean(y);
    }
    bool spent() const { return count_ >= kSearchBudget; }

private:
    const Batch& f_;
    long count_ = 0;
};

struct Grid {
    std::vector<double> x, y;
};

// f at n + 1 evenly spaced points from `from` to `to` (both exact), in one call.
Grid sampleGrid(const Batch& f, double from, double to, int n) {
    Grid g;
    g.x.resize(n + 1);
    g.y.assign(n + 1, kNaN);
    const double width = to - from;
    for (int i = 0; i < n; ++i) g.x[i] = from + width * i / n;
    g.x[n] = to;
    f(g.x.data(), g.y.data(), n + 1);
    for (double& v : g.y) v = clean(v);
    return g;
}

// The size of f's values on a grid, what "tiny" is measured against: a high
// quantile rather than the largest, so that one point next to a pole does not
// make every tolerance coarse.
double sizeOf(const std::vector<double>& values) {
    std::vector<double> a;
    a.reserve(values.size());
    for (double v : values)
        if (finite(v)) a.push_back(std::abs(v));
    if (a.empty()) return 0;
    auto q = a.begin() + (a.size() * 9) / 10;
    std::nth_element(a.begin(), q, a.end());
    if (*q > 0) return *q;
    return *std::max_element(a.begin(), a.end());
}

struct Top {
    double x, v;
};

// The greatest phi on [l, r] for phi with one top there (NaN counts as
// lowest): a golden-section search over the doubles themselves, so that it
// ends on neighbouring doubles (a corner such as |x| is found exactly).
template <class Phi>
Top highest(Phi& phi, double l, double r) {
    auto value = [&](int64_t k) {
        const double v = phi(fromOrdinal(k));
        return std::isnan(v) ? -kInf : v;
    };
    int64_t a = ordinal(l), b = ordinal(r);
    // Ties keep the point seen first, and the ends are seen first: on a
    // level stretch the top stays at an end.
    Top best{l, value(a)};
    auto note = [&](int64_t k, double v) {
        if (v > best.v) best = {fromOrdinal(k), v};
    };
    note(b, value(b));
    constexpr double kShort = 0.3819660112501051, kLong = 0.6180339887498949;
    int64_t c = partWay(a, b, kShort), d = partWay(a, b, kLong);
    double fc = value(c), fd = value(d);
    note(c, fc);
    note(d, fd);
    for (int step = 0; step < 200 && span(a, b) > 4; ++step) {
        if (fc >= fd) {
            b = d;
            d = c;
            fd = fc;
            c = partWay(a, b, kShort);
            if (c < d) fc = value(c), note(c, fc);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = partWay(a, b, kLong);
            if (c < d) fd = value(d), note(d, fd);
        }
        if (!(a < c && c < d && d < b)) {
            if (span(a, b) <= 4) break;
            c = partWay(a, b, kShort);
            d = partWay(a, b, kLong);
            if (!(a < c && c < d && d < b)) break;
            fc = value(c);
            fd = value(d);
            note(c, fc);
            note(d, fd);
        }
    }
    for (int64_t k = a; k <= b && span(a, k) <= 8; ++k) note(k, value(k));
    return best;
}

// Where `holds` turns from false (at `off`) to true (at `on`): the first
// double on the `on` side, found by halving.
template <class Pred>
double boundary(Pred& holds, double off, double on) {
    int64_t f = ordinal(off), t = ordinal(on);
    for (int step = 0; step < 70; ++step) {
        const bool up = f < t;
        if ((up ? span(f, t) : span(t, f)) <= 1) break;
        const int64_t m = middle(f, t);
        (holds(fromOrdinal(m)) ? t : f) = m;
    }
    return fromOrdinal(t);
}

// The middle of the top found at x (phi(x) = v, the greatest seen in
// [l, r]), closer to the true top than x itself. Where rounding makes a
// smooth top level over many doubles, that level run is nearly symmetric
// about the true top, and its middle is the answer (a corner's run is x
// alone). Where rounding makes the values wobble instead, the run is no run
// at all; the middle of where phi stays within `band` of v is taken, the
// band wide enough that the wobble moves its edges little.
template <class Phi>
double middleOfTop(Phi& phi, double x, double v, double l, double r, double band) {
    auto edgesAt = [&](double level) {
        auto within = [&](double t) { return phi(t) >= level; };
        const double left = within(l) ? l : boundary(within, l, x);
        const double right = within(r) ? r : boundary(within, r, x);
        return std::pair{left, right};
    };
    const auto [left, right] = edgesAt(v);
    bool level = true;
    for (int k = 1; k < 8 && level; ++k) level = phi(left + (right - left) * k / 8) >= v;
    if (!level && band > 0) {
        const auto [bl, br] = edgesAt(v - band);
        if (bl > l && br < r) return bl + (br - bl) / 2;
    }
    return left + (right - left) / 2;
}

// A root of g between a and b (g(a), g(b) of opposite signs) to the last
// double, or NaN where the sign changes across a jump or a pole rather than
// through 0.
template <class G>
double rootBetween(G& g, double a, double ga, double b, double gb, double tolerance) {
    int64_t ia = ordinal(a), ib = ordinal(b);
    for (int step = 0; step < 70 && span(ia, ib) > 1; ++step) {
        const int64_t im = middle(ia, ib);
        const double m = fromOrdinal(im), gm = g(m);
        if (gm == 0) return m;
        if (std::isnan(gm)) return kNaN;  // undefined inside: no continuous crossing to follow
        if ((gm < 0) == (ga < 0)) {
            ia = im;
            ga = gm;
        } else {
            ib = im;
            gb = gm;
        }
    }
    if (std::min(std::abs(ga), std::abs(gb)) > tolerance) return kNaN;
    return std::abs(ga) <= std::abs(gb) ? fromOrdinal(ia) : fromOrdinal(ib);
}

// Whether phi is continuous at x: its spread about x shrinks with the
// distance. At a jump it stays the size of the jump, at a pole it grows.
template <class Phi>
bool continuousAt(Phi& phi, double x, double width, double noise) {
    const double v = phi(x);
    if (!finite(v)) return false;
    auto spread = [&](double d) {
        const double a = phi(x - d), b = phi(x + d);
        if (!finite(a) || !finite(b)) return kInf;
        return std::max(std::abs(a - v), std::abs(b - v));
    };
    const double near = width / 64, nearer = near * 0x1p-20;
    const double s1 = spread(near), s2 = spread(nearer);
    if (!finite(s1) || !finite(s2)) return false;
    return s2 <= std::max(s1 / 64, noise);
}

bool sameSide(double a, double b) { return b != 0 && (a < 0) == (b < 0); }

// Neighbouring doubles (a few apart at most) are one point.
void mergeNeighbours(std::vector<double>& xs) {
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end(), [](double p, double q) { return span(ordinal(p), ordinal(q)) <= 4; }),
             xs.end());
}

// The local tops of sign * f inside (from, to).
std::vector<QPointF> turns(const Batch& f, double from, double to, int limit, double sign) {
    std::vector<QPointF> out;
    if (!f || limit <= 0 || !finite(from) || !finite(to) || !(from < to) || !finite(to - from)) return out;
    Probe probe(f);
    auto phi = [&](double x) { return sign * probe(x); };
    const Grid grid = sampleGrid(f, from, to, kGrid);
    const int n = kGrid;
    std::vector<double> v(n + 1);
    for (int i = 0; i <= n; ++i) v[i] = sign * grid.y[i];
    const double noise = kTouchTolerance * sizeOf(grid.y);
    std::vector<double> xs;
    for (int i = 0; i <= n && int(xs.size()) < limit && !probe.spent(); ++i) {
        if (std::isnan(v[i])) continue;
        const bool hasL = i > 0 && !std::isnan(v[i - 1]), hasR = i < n && !std::isnan(v[i + 1]);
        // Beside a domain edge the curve ends rather than turns.
        if ((!hasL && i > 0) || (!hasR && i < n) || (!hasL && !hasR)) continue;
        if (hasL && !(v[i] > v[i - 1])) continue;
        if (hasR && !(v[i] >= v[i + 1])) continue;
        const double l = hasL ? grid.x[i - 1] : grid.x[i], r = hasR ? grid.x[i + 1] : grid.x[i];
        const Top top = highest(phi, l, r);
        // A top at the end of the search is an end of the interval, or a
        // level stretch: the search sees r before any point inside, and a
        // level value never displaces it.
        if (!(top.x > l && top.x < r)) continue;
        if (!continuousAt(phi, top.x, r - l, noise)) continue;
        xs.push_back(middleOfTop(phi, top.x, top.v, l, r, noise));
    }
    mergeNeighbours(xs);
    if (int(xs.size()) > limit) xs.resize(limit);
    out.reserve(xs.size());
    for (double x : xs) {
        const double y = probe(x);
        if (finite(y)) out.emplace_back(x, y);
    }
    return out;
}

// One point of the picture: a sample of f.
struct Sample {
    double x, y;
};

// Between two samples, what is still unknown: a steep piece to refine, a
// domain edge to narrow down, or a gap to tell from a jump.
struct Piece {
    double a, fa, b, fb;
    // The gap when the piece first narrowed to 1024 times the width where
    // jumps are told, and that width: a gap that has not shrunk since is a
    // jump.
    double refGap, refWidth;
};

// The part of the segment from fa to fb (t from 0 to 1) inside [lo, hi].
bool clip(double fa, double fb, double lo, double hi, double& t0, double& t1, double& y0, double& y1) {
    t0 = 0;
    t1 = 1;
    y0 = fa;
    y1 = fb;
    if (fa == fb) return fa >= lo && fa <= hi;
    // Halved so that two far values of opposite signs do not overflow.
    auto at = [&](double level) { return (level / 2 - fa / 2) / (fb / 2 - fa / 2); };
    const double tLo = at(lo), tHi = at(hi);
    const double enter = std::min(tLo, tHi), leave = std::max(tLo, tHi);
    if (enter > 0) t0 = enter, y0 = enter == tLo ? lo : hi;
    if (leave < 1) t1 = leave, y1 = leave == tLo ? lo : hi;
    return t0 <= t1;
}

}  // namespace

Runs plot(const Batch& f, double from, double to, double yFrom, double yTo, int columns) {
    Runs runs;
    if (!f || !finite(from) || !finite(to) || !(from < to) || !finite(to - from)) return runs;
    if (!finite(yFrom) || !finite(yTo) || !(yFrom < yTo) || !finite(yTo - yFrom)) return runs;
    const int n = std::clamp(columns, 1, kMaxColumns);
    // One device pixel in world units. The picture's pixels are square, so it
    // is also the step in y that two drawn points may not exceed.
    const double pixel = (to - from) / n;
    const double height = yTo - yFrom;
    // Beyond the picture the curve is cut at this band: the line still runs
    // to the border and the numbers stay small.
    const double lo = yFrom - height / 4, hi = yTo + height / 4;
    // The width below which a gap that does not shrink is a jump: some
    // thirty halvings below a pixel, and well above the doubles' spacing.
    const double scale = std::max({std::abs(from), std::abs(to), to - from});
    const double eps = std::max(pixel * 0x1p-30, scale * 0x1p-44);

    std::vector<Sample> points(n + 1);
    {
        const Grid columnsGrid = sampleGrid(f, from, to, n);
        for (int i = 0; i <= n; ++i) points[i] = {columnsGrid.x[i], columnsGrid.y[i]};
    }
    long used = n + 1;

    std::vector<Piece> pending, next;
    std::vector<Sample> extra;
    std::vector<double> lifts;  // the left ends of the pieces the pen does not draw
    auto visible = [&](double u, double v) { return std::max(u, v) >= yFrom - pixel && std::min(u, v) <= yTo + pixel; };
    auto isJump = [](const Piece& p, double gap, double width) {
        if (!finite(p.refGap)) return true;
        // A continuous f's gap shrinks with the width, at least as fast as a
        // square root does; a jump's stays, a pole's grows.
        return !(gap <= p.refGap * std::sqrt(width / p.refWidth));
    };
    auto consider = [&](Piece p) {
        const bool defA = finite(p.fa), defB = finite(p.fb);
        const double width = p.b - p.a;
        if (!defA && !defB) return;
        if (defA != defB) {
            if (width > eps) next.push_back(p);
            return;
        }
        const double gap = std::abs(p.fb - p.fa);
        if (!(gap > pixel) || !visible(p.fa, p.fb)) return;
        if (width <= eps) {
            if (isJump(p, gap, width)) lifts.push_back(p.a);
            return;
        }
        if (!finite(p.refGap) && width <= 1024 * eps) {
            p.refGap = gap;
            p.refWidth = width;
        }
        next.push_back(p);
    };
    for (int i = 0; i < n; ++i) consider({points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, kNaN, kNaN});

    // Refined a level at a time, every level's midpoints in one call, so the
    // budget is shared fairly across the picture.
    std::vector<double> mx, my;
    for (int level = 0; level < 256 && !next.empty(); ++level) {
        pending.swap(next);
        next.clear();
        const size_t fit = size_t(std::clamp(kPlotBudget - used, 0L, long(pending.size())));
        mx.resize(fit);
        my.assign(fit, kNaN);
        for (size_t k = 0; k < fit; ++k) mx[k] = pending[k].a + (pending[k].b - pending[k].a) / 2;
        if (fit > 0) f(mx.data(), my.data(), int(fit));
        used += long(fit);
        for (size_t k = 0; k < pending.size(); ++k) {
            const Piece& p = pending[k];
            const bool bothDefined = finite(p.fa) && finite(p.fb);
            const double m = k < fit ? mx[k] : kNaN;
            if (!(m > p.a && m < p.b)) {
                // Out of budget, or no double left between: a gap still
                // standing is not drawn, so no branches are ever joined.
                if (bothDefined) lifts.push_back(p.a);
                continue;
            }
            const double fm = clean(my[k]);
            extra.push_back({m, fm});
            consider({p.a, p.fa, m, fm, p.refGap, p.refWidth});
            consider({m, fm, p.b, p.fb, p.refGap, p.refWidth});
        }
    }
    for (const Piece& p : next)
        if (finite(p.fa) && finite(p.fb)) lifts.push_back(p.a);

    std::sort(extra.begin(), extra.end(), [](const Sample& s, const Sample& t) { return s.x < t.x; });
    std::sort(lifts.begin(), lifts.end());
    // The samples in order: the columns' and the refinements' merged as
    // they are walked.
    size_t column = 0, refined = 0;
    auto take = [&]() -> const Sample& {
        if (refined == extra.size() || (column < points.size() && points[column].x < extra[refined].x))
            return points[column++];
        return extra[refined++];
    };

    // The runs: each drawable segment cut to the band, a new run wherever
    // the pen lifts or the curve comes back into the band.
    bool open = false;  // the last run ends at the current point
    size_t lift = 0;
    auto single = [&](const Sample& s) {
        if (!open && finite(s.y) && s.y >= lo && s.y <= hi) runs.push_back({QPointF(s.x, s.y)});
    };
    const Sample* p = &take();
    for (size_t k = 1; k < points.size() + extra.size(); ++k) {
        const Sample& q = take();
        while (lift < lifts.size() && lifts[lift] < p->x) ++lift;
        const bool lifted = lift < lifts.size() && lifts[lift] == p->x;
        double t0, t1, y0, y1;
        if (lifted || !finite(p->y) || !finite(q.y) || !clip(p->y, q.y, lo, hi, t0, t1, y0, y1)) {
            single(*p);
            open = false;
        } else {
            const double w = q.x - p->x;
            const double x0 = t0 == 0 ? p->x : p->x + w * t0, x1 = t1 == 1 ? q.x : p->x + w * t1;
            if (!open || t0 > 0) runs.push_back({QPointF(x0, y0)});
            runs.back().emplace_back(x1, y1);
            open = t1 == 1;
        }
        p = &q;
    }
    single(*p);
    return runs;
}

std::vector<double> solve(const Batch& f, double y, double from, double to, int limit) {
    std::vector<double> roots;
    if (!f || limit <= 0 || !finite(y) || !finite(from) || !finite(to) || !(from <= to) || !finite(to - from))
        return roots;
    Probe probe(f);
    auto g = [&](double x) { return probe(x) - y; };
    if (from == to) {
        if (g(from) == 0) roots.push_back(from);
        return roots;
    }
    const Grid grid = sampleGrid(f, from, to, kGrid);
    const std::vector<double>& x = grid.x;
    const int n = kGrid;
    std::vector<double> gv(n + 1);
    for (int i = 0; i <= n; ++i) gv[i] = grid.y[i] - y;
    const double size = std::max(sizeOf(grid.y), std::abs(y));
    const double rootTolerance = kRootTolerance * size, touchTolerance = kTouchTolerance * size;

    auto add = [&](double r) {
        if (finite(r)) roots.push_back(r);
    };
    auto crossing = [&](double a, double ga, double b, double gb) { add(rootBetween(g, a, ga, b, gb, rootTolerance)); };
    // Where the domain ends between grid points: the edge itself may be a
    // root (√x = 0), or f may reach y between it and the grid.
    auto edge = [&](double outside, double inside, double gInside) {
        auto defined = [&](double t) { return !std::isnan(g(t)); };
        const double e = boundary(defined, outside, inside);
        const double ge = g(e);
        if (std::abs(ge) <= touchTolerance) {
            add(e);
        } else if (!std::isnan(ge) && !sameSide(gInside, ge)) {
            e < inside ? crossing(e, ge, inside, gInside) : crossing(inside, gInside, e, ge);
        }
    };
    // Where |f - y| dips on the grid without a sign change: f may touch y
    // there (x² = 0), or cross it twice between two grid points.
    auto dip = [&](double l, double r, double side) {
        auto below = [&](double t) { return -side * g(t); };
        const Top top = highest(below, l, r);
        const double least = -top.v;  // the least of side * g
        if (std::abs(least) <= touchTolerance) {
            add(middleOfTop(below, top.x, top.v, l, r, touchTolerance));
        } else if (least < 0) {
            const double gm = g(top.x);
            crossing(l, g(l), top.x, gm);
            crossing(top.x, gm, r, g(r));
        }
    };

    for (int i = 0; i <= n && int(roots.size()) <= limit + 2 && !probe.spent(); ++i) {
        const double gi = gv[i];
        if (std::isnan(gi)) continue;
        const bool hasL = i > 0 && !std::isnan(gv[i - 1]), hasR = i < n && !std::isnan(gv[i + 1]);
        if (gi == 0) {
            // f equal to y on a whole stretch (a constant) has no separate
            // solutions to list.
            if ((hasL && gv[i - 1] == 0) || (hasR && gv[i + 1] == 0)) continue;
            add(x[i]);
            continue;
        }
        if (hasR && gv[i + 1] != 0 && !sameSide(gi, gv[i + 1])) crossing(x[i], gi, x[i + 1], gv[i + 1]);
        if (i > 0 && !hasL) edge(x[i - 1], x[i], gi);
        if (i < n && !hasR) edge(x[i + 1], x[i], gi);
        if ((i > 0 && !hasL) || (i < n && !hasR) || (!hasL && !hasR)) continue;
        if (hasL && !(sameSide(gi, gv[i - 1]) && std::abs(gi) < std::abs(gv[i - 1]))) continue;
        if (hasR && !(sameSide(gi, gv[i + 1]) &&
                      (hasL ? std::abs(gi) <= std::abs(gv[i + 1]) : std::abs(gi) < std::abs(gv[i + 1]))))
            continue;
        dip(hasL ? x[i - 1] : x[i], hasR ? x[i + 1] : x[i], gi < 0 ? -1.0 : 1.0);
    }
    mergeNeighbours(roots);
    if (int(roots.size()) > limit) roots.resize(limit);
    return roots;
}

std::vector<QPointF> maxima(const Batch& f, double from, double to, int limit) {
    return turns(f, from, to, limit, 1.0);
}

std::vector<QPointF> minima(const Batch& f, double from, double to, int limit) {
    return turns(f, from, to, limit, -1.0);
}

}  // namespace expr
