#pragma once
// The mathematics and texts the sine, cosine, tangent and cotangent windows
// share, free of widgets: π as the five-digit constant the windows compute
// with, the phase p entered as a signed fraction of π, the plot's samples,
// the look-ups' scans and the texts of the arguments and π multiples.
#include <QLineF>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace trig {

// Every formula, range and π-multiple in these windows uses π as 3.14159
// and 2π as 6.28318, so the shown multiples of π come out as students
// expect them (x0 = -π/3 reads -0.333π).
inline constexpr double kPi = 3.14159;
inline constexpr double kTwoPi = 6.28318;
// The plot runs over -3π … 3π in steps of π/600; the x look-up scans in
// steps of π/6000. Both are single-precision counted loops.
inline constexpr float kPlotEnd = 9.42477f;
inline constexpr float kPlotStep = float(kPi / 600);
inline constexpr float kScanStep = float(kPi / 6000);
// A scan longer than this many samples (w below 0.05) is stretched to this
// many samples over the same range, so that a tiny w still ends at once.
inline constexpr double kMaxScanSamples = 120000;
// Beyond this magnitude the single-precision phase w·x + p loses all
// meaning (its spacing reaches a radian), so the plot would be noise.
inline constexpr double kMaxPhase = 1e7;

// ± |num| · π / |den| stored as a single; den must not be 0.
float piFraction(bool negative, float num, float den);

// The abscissas of the plot loop, -3π … 3π, and the value the loop variable
// holds after the loop (the first sample past 3π).
struct PlotRun {
    std::vector<float> xs;
    float after = 0;
};
const PlotRun& plotRun();

// The dots of Y = A·f(wX + p) inside the strict band -10.2 < Y < 10.2.
std::vector<QPointF> wavePoints(float a, float w, float p, double (*f)(double));

// The joined segments of Y = g(wX + p) for the tangent family: a segment from
// the previous sample to every sample inside the band; samples where g has
// no value (the cotangent at a phase of exactly 0) are skipped.
std::vector<QLineF> branchSegments(float w, float p, bool cotangent);

// tan (or 1/tan) of a single phase, rounded to a single; false where the
// cotangent has no value (tan exactly 0, or a reciprocal beyond single range).
bool slopeValue(float phase, bool cotangent, float& out);

// The x look-up's scan from `start` to `end`: the last sample for which
// `match` holds, 0 when none does. Ordinary ranges use the step π/6000;
// longer ones are stretched to kMaxScanSamples samples. NaN where the
// abscissa is too large for the step to move it.
float scanLast(float start, float end, const std::function<bool(float)>& match);

// x of A·sin(wX+p) = y nearest the start of the period (cosine: in its first
// half period), as a multiple of π rounded to 2 decimals; NaN when the scan
// range is not computable in single precision.
float waveSolve(float a, float w, float p, float y, bool cosine);
// x of tg(wX+p) = y (ctg) on the branch around -p/w, as a multiple of π.
float slopeSolve(float w, float p, float y, bool cotangent);

// Whether x is exactly (as singles) one of the 41 asymptotes k = -20 … 20
// nearest the branch around -p/w.
bool onAsymptote(float w, float p, float x, bool cotangent);

// " Sin(1X+1.047197)" style pieces: name + "(" + w + "X+" + p + ")"; with
// `minusJoins`, a negative p follows the X directly ("X-1.047197").
QString argument(const QString& name, float w, float p, bool minusJoins);

// "0.5π", "-0.333π"
QString piText(const QString& number);

// What the picture's description says of Y = A·f(wX + p): amplitude, period
// (as the period button gives it) and range.
QStringList waveFeatures(float a, float w);
// Of Y = tg(wX + p) or ctg(wX + p): the period and the asymptotes, as
// multiples of π ("渐近线 x=0.5π+kπ（k 为整数）").
QStringList slopeFeatures(float w, float p, bool cotangent);

}  // namespace trig
