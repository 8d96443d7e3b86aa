#pragma once
// The mathematics and texts of y = x^n, with n a number (integer mode) or a
// fraction p/q of two whole numbers with a separate sign (fraction mode).
//
// The real domain of x^(p/q) comes from the parities of p and q: the curve is
// computed for x > 0 and mirrored to x < 0 as the parities allow. Results may
// come out beyond single range; callers check `overflow` / the Overflow kind.
#include <QPointF>
#include <QString>
#include <QStringList>
#include <vector>

namespace power {

// A numerator or denominator as typed: the value truncated toward zero,
// without its sign ("2.7" and "-2" both give 2).
float wholePart(float typed);
bool isWhole(float v);

struct Fraction {
    float p, q;
};
// The fraction reduced by the two divisibility tests the look-ups use:
// q | p gives (p/q)/1, p | q gives 1/(q/p), otherwise p/q unchanged (4/6
// stays 4/6). p and q must not be 0.
Fraction reduced(float p, float q);
// The plot applies only the second test: when q/p is whole, 1/(q/p)
// (2/4 becomes 1/2, 4/2 stays 4/2).
Fraction plotted(float p, float q);

struct Dots {
    std::vector<QPointF> points;  // every dot strictly inside -10.2 < y < 10.2
    bool overflow = false;        // a sample beyond single range ended the plot
};
// Integer mode: x from -10 (whole n) or 0.01 (otherwise) to 10, step 0.001
// accumulated in single precision.
Dots integerDots(float n);
// Fraction mode with p and q as typed (after wholePart), `negative` for n < 0.
Dots fractionDots(float p, float q, bool negative);

// "Y = X^ 2" and the canvas text "Y=X^2".
QString integerLabel(float n);
QString integerCanvasText(float n);
// "Y = X^ (1/3)", "Y = X^ (-1/3)" and "Y=X^(-1/3)" (p, q as plotted).
QString fractionLabel(Fraction f, bool negative);
QString fractionCanvasText(Fraction f, bool negative);

// What the picture's description says of the curve as it is drawn: the
// points every power of its sign passes, its symmetry (or that only x > 0 is
// drawn), rising or falling for x > 0 and the asymptotes of a negative power.
QStringList integerFeatures(float n);
QStringList fractionFeatures(float p, float q, bool negative);

// The equations of the x look-up: "X^2=4", "X^(2/3)=4", "X^(-1/2)=3".
QString integerEquation(float n, float y);
QString fractionEquation(Fraction reducedPq, bool negative, float y);

struct Result {
    enum Kind {
        Value,         // x1 (and x2 when `two`)
        ZeroBase,      // n < 0 at x = 0
        NegativeBase,  // x < 0 where the fraction has no real power
        EvenRoot,      // y < 0 under an even root
        NoValue,       // no real power, and no message for it
        Overflow,      // beyond single range, or no finite result
    } kind = Value;
    float x1 = 0, x2 = 0;
    bool two = false;
};
// y for x (the range of n is the caller's check).
Result yInteger(float n, float x);
Result yFraction(float p, float q, bool negative, float x);
// x for y; n = 0 is the caller's check.
Result xInteger(float n, float y);
Result xFraction(float p, float q, bool negative, float y);

}  // namespace power
