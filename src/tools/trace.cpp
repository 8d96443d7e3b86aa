#include "tools/trace.h"

#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "frame/accessibility.h"
#include "frame/family_window.h"
#include "render/canvas_widget.h"
#include "tools/pointer.h"

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

TraceTool::TraceTool(FamilyWindow& window, PointerTool& pointer) : QObject(&window), w_(window), pointer_(pointer) {}

QPointF TraceTool::position() const {
    const auto& curves = w_.drawnCurves();
    if (!active_ || curve_ < 0 || curve_ >= int(curves.size())) return {};
    return trace::at(curves[size_t(curve_)].runs, spot_);
}

bool TraceTool::key(int key, Qt::KeyboardModifiers modifiers) {
    const auto& curves = w_.drawnCurves();
    if (key == Qt::Key_Escape) {
        if (!active_) return false;
        stop();
        return true;
    }
    const bool arrows = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!arrows && key != Qt::Key_Home && key != Qt::Key_End) return false;
    if (curves.empty() || curves.back().runs.empty()) {
        a11y::announce(w_.canvasWidget(), w_.canvasDescription());
        return true;
    }
    if (!active_ || curve_ >= int(curves.size())) {
        // A trace starts on the last curve drawn, where x is nearest 0.
        active_ = true;
        curve_ = int(curves.size()) - 1;
        const auto& runs = curves.back().runs;
        spot_ = trace::first(runs);
        spot_ = trace::moved(runs, spot_, -trace::at(runs, spot_).x());
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            show(trace::spotText(runs, spot_));
            return true;
        }
    }
    const auto& runs = curves[size_t(curve_)].runs;
    const trace::Spot from = spot_;
    const double step = (modifiers & Qt::ShiftModifier) ? 1.0 : 0.1;
    switch (key) {
    case Qt::Key_Left: spot_ = trace::moved(runs, spot_, -step); break;
    case Qt::Key_Right: spot_ = trace::moved(runs, spot_, step); break;
    case Qt::Key_Home: spot_ = trace::first(runs); break;
    case Qt::Key_End: spot_ = trace::last(runs); break;
    default: {
        // Up and Down: the next curve on the picture, at the x reached.
        const int n = int(curves.size());
        const int to = (curve_ + (key == Qt::Key_Down ? 1 : n - 1)) % n;
        const double x = trace::at(runs, spot_).x();
        curve_ = to;
        const auto& other = curves[size_t(to)].runs;
        if (other.empty()) return true;
        spot_ = trace::first(other);
        if (trace::isGraph(other)) spot_ = trace::moved(other, spot_, x - trace::at(other, spot_).x());
        show(QStringLiteral("第 %1 条曲线 ").arg(to + 1) + curves[size_t(to)].text + QStringLiteral("，") +
             trace::spotText(other, spot_));
        return true;
    }
    }
    if (spot_ == from) show(trace::spotText(runs, spot_) + QStringLiteral("，已到曲线的一端"));
    else show(trace::stepText(runs, from, spot_));
    return true;
}

void TraceTool::show(const QString& said) {
    const QPointF p = position();
    pointer_.showAt(p.x(), p.y());
    // While tracing, the picture's description is the point reached.
    w_.canvasWidget()->setAccessibleDescription(said);
    a11y::announce(w_.canvasWidget(), said);
}

void TraceTool::stop() {
    if (!active_) return;
    active_ = false;
    pointer_.hideTraceMark();
    w_.updateCanvasDescription();
}
