#pragma once
// The picture's description replayed as vector shapes, for the SVG file and
// the printer.
#include <QPainterPath>
#include <vector>

#include "render/picture.h"

class QPainter;

namespace picture {

// Vector shapes of the operations, shared by the SVG file and the printer so
// that both show what the picture painted at kFlatScale shows.
//
// A run of dots: one square of the pen width per dot, placed to a quarter
// pixel as the x4 bitmap places it, duplicates dropped. All squares turn the
// same way, so the path (non-zero rule) fills their union: overlaps never cancel.
QPainterPath dotSquares(const Description& d, const Op& op);
// A run of segments: one subpath per segment, to be stroked. The bitmap gives
// a line the pen width across its major axis (so a diagonal is thinner,
// measured square to it) and a square of the pen width, upright, centred on
// each end; so do the shapes: segments are grouped by that stroke width, a
// level or plumb line gets square caps (which are exactly those squares), a
// slanting one plain ends and its end squares in `points` (filled, non-zero
// rule), as does a segment of no length.
struct Stroke {
    double width = 1;
    bool squareCaps = true;
    QPainterPath path;
};
std::vector<Stroke> segmentStrokes(const Description& d, const Op& op, QPainterPath& points);
// The pen width, measured square to the line, that covers `width` pixels
// along the line's minor axis.
double strokeWidth(double dx, double dy, int width);

// Paints the description with a painter in logical coordinates (the
// painter's transform maps the 396-pixel square where it belongs): vector
// output for printers.
void paintVector(QPainter& p, const Description& d);

}  // namespace picture
