#pragma once
// What can be said of a curve from the points it was drawn through: where
// it meets the axes and where it turns. The picture's description uses it for
// every family, and the keyboard trace names these points as it passes them.
#include <QPointF>
#include <QString>
#include <QStringList>
#include <vector>

namespace curvefacts {

// A curve as drawn: runs of world points in drawing order, a new run where
// the pen was lifted (the curve left the picture, broke or jumped).
using Runs = std::vector<std::vector<QPointF>>;

struct Point {
    enum Kind { XAxis, YAxis, Highest, Lowest } kind;
    QPointF at;
    // Where along the runs it lies: between point `index` of run `run` and
    // the next one (a turn: at that point).
    size_t run = 0, index = 0;
};
// What a kind is called when a trace passes it: "与 x 轴的交点", "最高点" ...
QString kindName(Point::Kind kind);
// The crossings and turning points of the runs, in the order met, each at
// most once (to two decimals), at most `limit` of each kind.
std::vector<Point> specialPoints(const Runs& runs, int limit = 6);

// "与 x 轴交于 (2,0)" and the like: the special points in words, one phrase
// per kind, ending with "等" where there are more than the limit.
QStringList features(const Runs& runs);

// A cloud of separate dots (the conics plot their two halves in turn) linked
// into lines: each dot goes on the line whose end it is next to, and lines
// whose ends meet are joined, so that a closed curve becomes one loop in the
// order of its angle. The cloud as it was when it is too scattered to link.
Runs chain(const Runs& cloud);

// A world coordinate as said aloud: rounded to two decimals.
QString number(double v);
// "(1.5,4.5)".
QString pointText(QPointF p);

}  // namespace curvefacts
