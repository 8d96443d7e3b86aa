#pragma once
// The numbers and the picture of a function known only by its values: where
// it equals a value, where it turns, and the runs of points that draw it,
// broken where it is undefined or jumps. Nothing here knows how f is written.
#include <QPointF>
#include <functional>
#include <vector>

namespace expr {

// f at many points at once: y[i] = f(x[i]), NaN where f is undefined.
using Batch = std::function<void(const double* x, double* y, int n)>;
// Runs of world points in drawing order; a new run where the pen lifts.
using Runs = std::vector<std::vector<QPointF>>;

// The curve over [from, to] (the interval's ends honoured exactly) for a
// picture showing y in [yFrom, yTo] that is `columns` device pixels wide
// across [from, to] (its pixels square: as high as they are wide in the
// world): sampled finely enough that nothing between two columns
// is lost, broken where f is undefined or jumps (never a line joining two
// branches), points beyond the picture cut at a margin just outside it. The
// number of evaluations is bounded whatever f does (sin(1/x) near 0).
Runs plot(const Batch& f, double from, double to, double yFrom, double yTo, int columns);

// Every x in [from, to] where f(x) = y, in increasing order, to full double
// precision, touching solutions included (x² = 0); at most `limit`. Where f
// equals y over a whole stretch (a constant equal to y) there is no list of
// points to give, and none is given.
std::vector<double> solve(const Batch& f, double y, double from, double to, int limit = 1000);

// The local maxima / minima of f inside (from, to), in increasing x, corners
// (|x| at 0) included, none on a stretch where f is constant; at most `limit`.
std::vector<QPointF> maxima(const Batch& f, double from, double to, int limit = 1000);
std::vector<QPointF> minima(const Batch& f, double from, double to, int limit = 1000);

}  // namespace expr
