#pragma once
// The mathematics and texts of the four conic sections, free of widgets:
// what all four share (namespace conic), then each section's own.
// Parameters are singles; squares are formed in double from them; results
// that the windows store are singles again.
#include <QLineF>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace conic {

// Dots are kept only strictly inside this band; beyond it a curve would
// run into the axis letters and grid numbers.
constexpr float kBand = 10.2f;
inline bool inBand(float y) { return y > -kBand && y < kBand; }

// The sample abscissas of every conic plot: a single-precision running x
// from -10, stepped by adding `step`, while x <= 10. The accumulated rounding
// is part of the picture (an ellipse with a = 6 ends its right tip at about
// 5.99), so the loop must stay in float.
template <class Fn>
void sweep(float step, Fn&& fn) {
    for (float x = -10.f; x <= 10.f; x += step) fn(x);
}

// Upper and lower row of a curve symmetric to the X axis: for every sample
// where half(x) gives a value (NaN = no value there), the dots (x, y) and
// (x, -y) inside the band.
template <class Half>
std::vector<QPointF> mirroredDots(float step, Half&& half) {
    std::vector<QPointF> pts;
    pts.reserve(4096);
    sweep(step, [&](float x) {
        const float y = half(x);
        if (y != y) return;
        if (inBand(y)) pts.emplace_back(x, y);
        if (inBand(-y)) pts.emplace_back(x, -y);
    });
    return pts;
}

// A row for the expression text that would fall outside the drawing area
// goes to 9 instead.
inline float textRow(float t) { return (t >= -10.f && t <= 10.f) ? t : 9.f; }

// √v of a value that is mathematically >= 0 but may come out a hair below
// zero from rounding (an ellipse at X = ±a): treated as 0.
double rootOfNonNegative(double v);

// Label texts of the foci and the directrices, on the X axis or the Y axis.
QString fociText(float c, bool onX);
QString directrixText(float d, bool onX);

// The foci at distance c from the centre: (-c, 0) and (c, 0) on the X axis,
// (0, -c) and (0, c) on the Y axis.
std::pair<QPointF, QPointF> foci(float c, bool onX);
// The directrices at distance d, as long as the curve is high (X axis:
// x = ±d from y = b to -b) or wide (Y axis: y = ±d from x = a to -a).
std::pair<QLineF, QLineF> directrices(float d, float a, float b, bool onX);

// True when every value is a finite single.
bool allFinite(std::initializer_list<double> values);

// "(1,-2)": a point of the picture's description.
QString pointText(float x, float y);
// "焦点 (-5,0) 和 (5,0)": the foci at distance c, on the X axis or the Y axis.
QString fociFeature(float c, bool onX);
// "离心率 0.87": rounded to two decimals, as it is said aloud.
QString eccentricityFeature(float e);

}  // namespace conic

namespace circle {

// Q = D^2 + E^2 - 4F: a circle when > 0, one point when 0, nothing when < 0.
// Returned in double so that a caller can see an overflow before storing it.
double discriminant(float D, float E, float F);
// "X^2 +Y^2+ 8X + 0Y+0=0" (no sign handling: "+ -2X").
QString equation(float D, float E, float F);
// The cloud of dots: both solutions of every column x = -10..10 (step 0.005).
std::vector<QPointF> dots(float D, float E, float F);
// Row of the expression text: the upper point of the column X = 1, 4 when
// that column misses the circle, 9 when outside the drawing area.
float textRow(float D, float E, float F);
// Y1, Y2 on the column x / X1, X2 on the row y; nullopt when it misses.
std::optional<std::pair<float, float>> ysAt(float D, float E, float F, float x);
std::optional<std::pair<float, float>> xsAt(float D, float E, float F, float y);
// The equations shown beside the look-ups; the square of the fixed
// coordinate is written with 15 digits ("0.0100000002980232" for 0.1).
QString yLookupEquation(float D, float E, float F, float x);
QString xLookupEquation(float D, float E, float F, float y);
// What the picture's description says: centre and radius, or the one point
// the equation leaves when Q = 0.
QStringList features(float D, float E, float F);

}  // namespace circle

namespace ellipse {

// "X^2/6^2 +Y^2/3^2 =1"
QString equation(float a, float b);
// Upper half at x (NaN where |x| > a); a rounding below zero at x = ±a counts as 0.
float halfHeight(float a, float b, float x);
float halfWidth(float a, float b, float y);
std::vector<QPointF> dots(float a, float b);
float textRow(float a, float b);
float focalDistance(float a, float b);      // Round(√|a² - b²|, 2)
float eccentricity(float a, float b);       // √|a² - b²| / (larger of a, b)
float directrixDistance(float a, float b);  // Round(major² / √|a² - b²|, 2)
// What the picture's description says: centre, axes, foci and eccentricity
// (a circle's centre and radius when a = b).
QStringList features(float a, float b);

}  // namespace ellipse

namespace hyperbola {

// onX: X^2/a^2 - Y^2/b^2 = 1, else Y^2/a^2 - X^2/b^2 = 1.
QString labelEquation(float a, float b, bool onX);  // with "当前双曲线的方程为："
QString canvasEquation(float a, float b, bool onX);
// |y| of the curve at x (NaN where the X-axis curve has no point).
float halfHeight(float a, float b, bool onX, float x);
// |y| of the conjugate curve at x (NaN where it has no point).
float conjugateHeight(float a, float b, bool onX, float x);
std::vector<QPointF> dots(float a, float b, bool onX);
std::vector<QPointF> conjugateDots(float a, float b, bool onX);
float textRow(float a, float b, bool onX);
float focalDistance(float a, float b);      // round2(√(a² + b²))
float eccentricity(float a, float b);       // √(a² + b²) / a
float directrixDistance(float a, float b);  // round2(a² / √(a² + b²))
// Slope k of the asymptotes Y = ±kX: b/a on the X axis, a/b on the Y axis.
float asymptoteSlope(float a, float b, bool onX);
// The two asymptotes drawn across the picture, from X = -10 to X = 10.
std::pair<QLineF, QLineF> asymptotes(float k);
QString asymptoteText(float a, float b, bool onX);
QString conjugateText(float a, float b, bool onX);
// |X| on the row y (X-axis curve: always; Y-axis curve: NaN when |y| < a).
float halfWidth(float a, float b, bool onX, float y);
QString yLookupEquation(float a, float b, bool onX, float x);
QString xLookupEquation(float a, float b, bool onX, float y);
// What the picture's description says: centre, foci, asymptotes and
// eccentricity.
QStringList features(float a, float b, bool onX);

}  // namespace hyperbola

namespace parabola {

// "Y^2=2*3X", "Y^2=－2*3X", "X^2=2*3Y", "X^2=－2*3Y".
QString equation(float p, bool onX);
std::vector<QPointF> dots(float p, bool onX);
float textRow(float p, bool onX);
// The coordinate that is squared in the equation, at the other one t:
// ±√(2pt), NaN where p·t < 0 (the parabola opens the other way).
float squaredSide(float p, float t);
// The other coordinate at t: t^2 / (2p).
float linearSide(float p, float t);
// The focus (p/2 on the axis the parabola opens along) and the directrix at
// -p/2 across the whole picture.
QPointF focus(float p, bool onX);
QLineF directrix(float p, bool onX);
// What the picture's description says: vertex, opening, axis, focus and
// directrix.
QStringList features(float p, bool onX);

}  // namespace parabola
