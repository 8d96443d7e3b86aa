#include "curve/trace_walk.h"

#include <algorithm>
#include <cmath>

namespace trace {

bool before(Spot a, Spot b) { return a.run < b.run || (a.run == b.run && a.index < b.index); }

bool isGraph(const Runs& runs) {
    double x = -INFINITY;
    for (const auto& run : runs)
        for (const QPointF& p : run) {
            if (p.x() < x) return false;
            x = p.x();
        }
    return true;
}

Spot first(const Runs& runs) {
    for (size_t r = 0; r < runs.size(); ++r)
        if (!runs[r].empty()) return {r, 0};
    return {};
}

Spot last(const Runs& runs) {
    for (size_t r = runs.size(); r-- > 0;)
        if (!runs[r].empty()) return {r, runs[r].size() - 1};
    return {};
}

QPointF at(const Runs& runs, Spot s) {
    if (s.run >= runs.size() || s.index >= runs[s.run].size()) return {};
    return runs[s.run][s.index];
}

namespace {
// The next / previous point along the runs, false at the ends.
bool next(const Runs& runs, Spot& s, int dir) {
    if (dir > 0) {
        if (s.index + 1 < runs[s.run].size()) return ++s.index, true;
        for (size_t r = s.run + 1; r < runs.size(); ++r)
            if (!runs[r].empty()) return s = {r, 0}, true;
        return false;
    }
    if (s.index > 0) return --s.index, true;
    for (size_t r = s.run; r-- > 0;)
        if (!runs[r].empty()) return s = {r, runs[r].size() - 1}, true;
    return false;
}
}  // namespace

Spot moved(const Runs& runs, Spot from, double step) {
    if (runs.empty() || step == 0 || !std::isfinite(step)) return from;
    const int dir = step > 0 ? 1 : -1;
    Spot s = from;
    if (isGraph(runs)) {
        // The first point at or past x + step; where no point lies there
        // (a break), the next one there is.
        const double target = at(runs, from).x() + step;
        Spot probe = s;
        while (next(runs, probe, dir)) {
            s = probe;
            if (dir > 0 ? at(runs, s).x() >= target - 1e-6 : at(runs, s).x() <= target + 1e-6) break;
        }
        return s;
    }
    // Along the curve: the path length covered.
    double left = std::abs(step);
    Spot probe = s;
    while (left > 1e-9 && next(runs, probe, dir)) {
        if (probe.run == s.run) {
            const QPointF d = at(runs, probe) - at(runs, s);
            left -= std::hypot(d.x(), d.y());
        } else {
            left = 0;  // a break ends the step
        }
        s = probe;
    }
    return s;
}

QString spotText(const Runs& runs, Spot s) {
    const QPointF p = at(runs, s);
    return QStringLiteral("x = ") + curvefacts::number(p.x()) + QStringLiteral("，y = ") + curvefacts::number(p.y());
}

QString stepText(const Runs& runs, Spot from, Spot to) {
    QString t = spotText(runs, to);
    const bool forward = before(from, to);
    const Spot lo = forward ? from : to, hi = forward ? to : from;
    // Everything met on the way, the spot reached included.
    for (const curvefacts::Point& p : curvefacts::specialPoints(runs, 1000)) {
        const Spot where{p.run, p.index};
        const bool passed = forward ? (before(lo, where) || where == lo) && before(where, hi)
                                    : before(lo, where) && (before(where, hi) || where == hi);
        const bool here = curvefacts::pointText(p.at) == curvefacts::pointText(at(runs, to));
        if (passed || here)
            t += QStringLiteral("，经过") + curvefacts::kindName(p.kind) + QLatin1Char(' ') +
                 curvefacts::pointText(p.at);
    }
    if (from.run != to.run) t += QStringLiteral("，曲线在此前断开");
    return t;
}

}  // namespace trace
