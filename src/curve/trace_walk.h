#pragma once
// Walking along a drawn curve: the points it was drawn through, in runs, and
// what a step along them says. No widgets: the keyboard trace drives it.
#include <QPointF>
#include <QString>
#include <vector>

#include "curve/curve_facts.h"

namespace trace {

using curvefacts::Runs;

// A point of the runs.
struct Spot {
    size_t run = 0, index = 0;
    bool operator==(const Spot&) const = default;
};
bool before(Spot a, Spot b);

// Whether the runs are the graph of a function (x never falls along them).
bool isGraph(const Runs& runs);
Spot first(const Runs& runs);
Spot last(const Runs& runs);
QPointF at(const Runs& runs, Spot s);
// The spot `step` world units on (back when negative): in x on a graph,
// along the curve otherwise. Stops at the ends; crosses a break in the curve
// to the next run.
Spot moved(const Runs& runs, Spot from, double step);
// What a step from `from` to `to` says: "x = 1.5，y = 4.5", then the special
// points passed ("，经过最低点 (0,-4)") and a break crossed ("，曲线在此前断开").
QString stepText(const Runs& runs, Spot from, Spot to);
QString spotText(const Runs& runs, Spot s);

}  // namespace trace
