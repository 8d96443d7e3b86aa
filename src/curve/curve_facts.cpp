#include "curve/curve_facts.h"

#include <algorithm>
#include <cmath>

#include "numfmt/numfmt.h"

namespace curvefacts {

Runs chain(const Runs& cloud) {
    // Neighbouring dots of one half lie within a step of the sweep; the
    // halves' ends (where the curve turns back) a little further apart.
    constexpr double kNext = 0.3, kMeet = 1.0;
    constexpr size_t kLook = 8, kMaxLines = 4096, kMaxJoined = 64;
    auto near = [](QPointF a, QPointF b, double d) {
        return std::abs(a.x() - b.x()) < d && std::abs(a.y() - b.y()) < d;
    };
    Runs lines;
    for (const auto& run : cloud)
        for (const QPointF& p : run) {
            bool placed = false;
            for (size_t k = lines.size(); k-- > (lines.size() > kLook ? lines.size() - kLook : 0);)
                if (near(lines[k].back(), p, kNext)) {
                    lines[k].push_back(p);
                    placed = true;
                    break;
                }
            if (placed) continue;
            if (lines.size() >= kMaxLines) return cloud;
            lines.push_back({p});
        }
    if (lines.size() > kMaxJoined) return lines;
    // Join the two lines whose ends are closest, while any are close enough.
    for (;;) {
        double best = kMeet;
        size_t bi = 0, bj = 0;
        int how = -1;  // bit 0: i's start, bit 1: j's end
        for (size_t i = 0; i < lines.size(); ++i)
            for (size_t j = i + 1; j < lines.size(); ++j)
                for (int e = 0; e < 4; ++e) {
                    const QPointF a = e & 1 ? lines[i].front() : lines[i].back();
                    const QPointF b = e & 2 ? lines[j].back() : lines[j].front();
                    const double d = std::hypot(a.x() - b.x(), a.y() - b.y());
                    if (d < best) {
                        best = d;
                        bi = i;
                        bj = j;
                        how = e;
                    }
                }
        if (how < 0) break;
        auto& a = lines[bi];
        auto b = std::move(lines[bj]);
        lines.erase(lines.begin() + qsizetype(bj));
        if (how & 1) std::reverse(a.begin(), a.end());  // a now ends where it met
        if (how & 2) std::reverse(b.begin(), b.end());  // b now starts there
        a.insert(a.end(), b.begin(), b.end());
    }
    return lines;
}

QString number(double v) {
    const float r = float(numfmt::roundHalfEven(v, 2));
    return numfmt::text(r == 0 ? 0.f : r);
}

QString pointText(QPointF p) {
    return QLatin1Char('(') + number(p.x()) + QLatin1Char(',') + number(p.y()) + QLatin1Char(')');
}

namespace {

// Where the segment p-q meets the line coordinate == 0 (x: 0, y: 1).
bool crossing(QPointF p, QPointF q, bool alongY, QPointF* at) {
    const double a = alongY ? p.x() : p.y(), b = alongY ? q.x() : q.y();
    if (a == 0) {
        *at = p;
        return true;
    }
    if (!(a * b < 0)) return false;
    const double t = a / (a - b);
    *at = p + (q - p) * t;
    if (alongY) at->setX(0);
    else at->setY(0);
    return true;
}

}  // namespace

std::vector<Point> specialPoints(const Runs& runs, int limit) {
    std::vector<Point> out;
    int count[4] = {0, 0, 0, 0};
    size_t r = 0, i = 0;
    auto add = [&](Point::Kind k, QPointF at) {
        if (count[k] > limit) return;
        for (const Point& p : out)
            if (p.kind == k && pointText(p.at) == pointText(at)) return;
        ++count[k];
        out.push_back({k, at, r, i});  // the one past the limit only marks "more"
    };
    for (r = 0; r < runs.size(); ++r) {
        const auto& run = runs[r];
        int lastSign = 0;          // of the last rise or fall along the run
        QPointF flatFrom, flatTo;  // the level stretch since then
        for (i = 0; i < run.size(); ++i) {
            const QPointF p = run[i];
            // A point on an axis counts where it is met; the last point of
            // a run has no segment after it.
            if (p.y() == 0) add(Point::XAxis, p);
            if (p.x() == 0) add(Point::YAxis, p);
            if (i + 1 == run.size()) break;
            const QPointF q = run[i + 1];
            QPointF at;
            if (p.y() != 0 && crossing(p, q, false, &at) && q.y() != 0) add(Point::XAxis, at);
            if (p.x() != 0 && crossing(p, q, true, &at) && q.x() != 0) add(Point::YAxis, at);
            const double dy = q.y() - p.y();
            const int sign = dy > 0 ? 1 : dy < 0 ? -1 : 0;
            if (sign == 0) {
                flatTo = q;
                continue;
            }
            if (lastSign != 0 && sign != lastSign) {
                const QPointF turn((flatFrom.x() + flatTo.x()) / 2, flatFrom.y());
                add(lastSign > 0 ? Point::Highest : Point::Lowest, turn);
                // A curve that turns on the axis touches it there.
                if (number(turn.y()) == QLatin1String("0")) add(Point::XAxis, QPointF(turn.x(), 0));
            }
            lastSign = sign;
            flatFrom = flatTo = q;
        }
    }
    return out;
}

QString kindName(Point::Kind kind) {
    switch (kind) {
    case Point::XAxis: return QStringLiteral("与 x 轴的交点");
    case Point::YAxis: return QStringLiteral("与 y 轴的交点");
    case Point::Highest: return QStringLiteral("最高点");
    case Point::Lowest: return QStringLiteral("最低点");
    }
    return {};
}

QStringList features(const Runs& runs) {
    constexpr int kLimit = 6;
    const std::vector<Point> points = specialPoints(runs, kLimit);
    QStringList out;
    const char* names[4] = {"与 x 轴交于 ", "与 y 轴交于 ", "最高点 ", "最低点 "};
    for (int k = 0; k < 4; ++k) {
        QStringList at;
        for (const Point& p : points)
            if (p.kind == k) at << pointText(p.at);
        if (at.isEmpty()) continue;
        const bool more = at.size() > kLimit;
        if (more) at = at.mid(0, kLimit);
        out << QString::fromUtf8(names[k]) + at.join(QStringLiteral("、")) + (more ? QStringLiteral("等") : QString());
    }
    return out;
}

}  // namespace curvefacts
