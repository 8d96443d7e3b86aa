#include "families/trig/trig.h"

#include <cmath>

#include "numfmt/numfmt.h"

using numfmt::text;

namespace trig {

float piFraction(bool negative, float num, float den) {
    const double v = std::fabs(double(num)) * kPi / std::fabs(double(den));
    return float(negative ? -v : v);
}

const PlotRun& plotRun() {
    static const PlotRun run = [] {
        PlotRun r;
        r.xs.reserve(3601);
        float x = -kPlotEnd;
        for (; x <= kPlotEnd; x += kPlotStep) r.xs.push_back(x);
        r.after = x;
        return r;
    }();
    return run;
}

std::vector<QPointF> wavePoints(float a, float w, float p, double (*f)(double)) {
    std::vector<QPointF> pts;
    const PlotRun& run = plotRun();
    pts.reserve(run.xs.size());
    for (float x : run.xs) {
        const float y = float(a * f(double(w * x + p)));
        if (y > -10.2f && y < 10.2f) pts.emplace_back(x, y);
    }
    return pts;
}

bool slopeValue(float phase, bool cotangent, float& out) {
    const double t = std::tan(double(phase));
    if (!cotangent) {
        out = float(t);
        return std::isfinite(out);
    }
    // On an asymptote of the cotangent (phase exactly 0, or so close that the
    // reciprocal leaves single range) there is no value.
    if (t == 0) return false;
    out = float(1.0 / t);
    return std::isfinite(out);
}

std::vector<QLineF> branchSegments(float w, float p, bool cotangent) {
    std::vector<QLineF> segs;
    const PlotRun& run = plotRun();
    segs.reserve(run.xs.size());
    float prevX = -kPlotEnd, prevY = 0;
    bool havePrev = slopeValue(w * prevX + p, cotangent, prevY);
    for (float x : run.xs) {
        float y;
        if (!slopeValue(p + w * x, cotangent, y)) continue;
        // Only the new sample is tested: a branch runs from a previous sample
        // beyond the band up to the canvas edge; the first sample past an
        // asymptote lies outside the band and so breaks the curve there.
        if (havePrev && y > -10.2f && y < 10.2f) segs.emplace_back(prevX, prevY, x, y);
        prevX = x;
        prevY = y;
        havePrev = true;
    }
    return segs;
}

float scanLast(float start, float end, const std::function<bool(float)>& match) {
    if (!std::isfinite(start) || !std::isfinite(end)) return 0;
    float result = 0;
    const double span = double(end) - double(start);
    if (span / kScanStep <= kMaxScanSamples) {
        // The ordinary scan: a single stepped by adding π/6000, whose
        // rounding decides which sample is the last match. Far from the
        // origin the step may no longer move the abscissa: no answer then.
        if (start + kScanStep == start || end - kScanStep == end) return NAN;
        // Rounding can shorten single steps a little, never by half: the
        // guard only stops a loop that stands still.
        long n = 0;
        for (float x = start; x <= end && n <= 2 * long(kMaxScanSamples); x += kScanStep, ++n) {
            if (match(x)) result = x;
        }
        return result;
    }
    // A long range (small w): the same number of samples as the longest
    // ordinary scan, each placed from the start in double precision, since
    // adding a step to a huge single would drift or stand still.
    const long n = long(kMaxScanSamples);
    for (long i = 0; i <= n; ++i) {
        const float x = float(double(start) + span * double(i) / double(n));
        if (match(x)) result = x;
    }
    return result;
}

float waveSolve(float a, float w, float p, float y, bool cosine) {
    const float x0 = -p / w;
    float start, end;
    if (cosine) {
        // The first half period, where the cosine falls once from A to -A.
        start = x0;
        end = float(x0 + kPi / w);
    } else {
        // The phase from -π/2 to π/2, where the sine rises once from -A to A.
        start = float(x0 - kPi / (2 * double(w)));
        end = float(x0 + kPi / (2 * double(w)));
    }
    if (!std::isfinite(start) || !std::isfinite(end)) return NAN;
    double (*f)(double) =
        cosine ? static_cast<double (*)(double)>(std::cos) : static_cast<double (*)(double)>(std::sin);
    const float r = scanLast(start, end, [&](float x) {
        const float v = float(a * f(double(w * x + p)));
        return std::fabs(double(y - v)) <= 0.001;
    });
    return float(numfmt::roundHalfEven(r / kPi, 2));
}

float slopeSolve(float w, float p, float y, bool cotangent) {
    const float x0 = -p / w;
    const double half = kPi / std::fabs(double(w)) / 2;
    const float start = float(x0 - half), end = float(x0 + half);
    if (!std::isfinite(start) || !std::isfinite(end)) return NAN;
    const float r = scanLast(start, end, [&](float x) {
        float v;
        return slopeValue(w * x + p, cotangent, v) && std::fabs(double(y - v)) <= 0.001;
    });
    return float(numfmt::roundHalfEven(r / kPi, 2));
}

bool onAsymptote(float w, float p, float x, bool cotangent) {
    const double period = kPi / std::fabs(double(w));
    const double first = -double(p) / double(w) - (cotangent ? 0.0 : period / 2);
    for (int k = -20; k <= 20; ++k) {
        if (float(first + k * period) == x) return true;
    }
    return false;
}

QString argument(const QString& name, float w, float p, bool minusJoins) {
    const QString join = (minusJoins && p < 0) ? QStringLiteral("X") : QStringLiteral("X+");
    return name + QLatin1Char('(') + text(w) + join + text(p) + QLatin1Char(')');
}

QString piText(const QString& number) { return number + QStringLiteral("π"); }

QStringList waveFeatures(float a, float w) {
    const QString amp = text(std::fabs(a));
    return {QStringLiteral("振幅 ") + amp, QStringLiteral("周期 ") + piText(text(2.0f / w)),
            QStringLiteral("值域 [-") + amp + QStringLiteral(",") + amp + QStringLiteral("]")};
}

QStringList slopeFeatures(float w, float p, bool cotangent) {
    const float period = 1.0f / std::fabs(w);
    // The phase is a fraction of the windows' π, so dividing by it gives the
    // fraction back; the tangent's asymptotes lie half a period further on.
    double first = ((cotangent ? 0.0 : 0.5) - double(p) / kPi) / double(w);
    // The asymptote nearest the origin from the left or at it names them all.
    first -= std::floor(first / double(period)) * double(period);
    if (first >= double(period)) first = 0;
    const float start = float(numfmt::roundHalfEven(first, 4));
    const QString step = (period == 1.0f ? QString() : text(period)) + QStringLiteral("kπ");
    const QString at = start == 0 ? step : piText(text(start)) + QStringLiteral("+") + step;
    return {QStringLiteral("周期 ") + piText(text(period)),
            QStringLiteral("渐近线 x=") + at + QStringLiteral("（k 为整数）")};
}

}  // namespace trig
