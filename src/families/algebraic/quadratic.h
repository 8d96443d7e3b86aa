#pragma once
// The mathematics and texts of y = ax^2 + bx + c.
//
// Products are rounded the way the window always rounded them: a power of x
// is computed in double, a product of two parameters (or of a parameter and
// a small whole number) is rounded to single, and every stored result is a
// single. Results may come out infinite for huge parameters; callers check.
#include <QLineF>
#include <QString>
#include <QStringList>
#include <vector>

namespace quadratic {

// "Y = 2X^2 + 0X + 0", "Y = 1X^2  -2X  -3" (a negative coefficient brings
// its own sign after two blanks).
QString expression(float a, float b, float c);
// The text written on the canvas, without any sign handling: "Y=1X^2+-2X+3".
QString canvasText(float a, float b, float c);
// The expression of the straight line drawn when a = 0: always "X + ".
QString lineExpression(float b, float c);

// a*x^2 + b*x + c at x, stored as single.
float valueAt(float a, float b, float c, float x);
// y of the look-up: x^2*a + x*b + c, stored as single.
float lookupValue(float a, float b, float c, float x);

struct Vertex {
    float x, y;
};
// (-b / 2a, (4ac - b^2) / 4a); a must not be 0.
Vertex vertex(float a, float b, float c);
// What the picture's description says of the parabola with this a and
// vertex: its opening, vertex and axis.
QStringList features(float a, Vertex v);

// The parabola as segments between successive samples x = -10, -9.99, ...
// (single-precision accumulation), each kept only when both of its ends lie
// strictly inside the band -10.2 < y < 10.2. `overflow` reports a sample
// beyond single range (the list is then empty).
std::vector<QLineF> curve(float a, float b, float c, bool* overflow);

// Where the canvas text goes vertically: the value at x = 1, or 9 / -9 when
// that lies outside -10..10.
float textRow(float a, float b, float c);

// The equation the x look-up solves: "1X^2 + 2X + 3 = 0", and for a = 0
// "2X + 1 = 5" / "2X  -1 = 5".
QString equation(float a, float b, float c, float y);
QString linearEquation(float b, float c, float y);

struct Solution {
    enum Kind {
        NoParameters,  // a = b = 0: nothing to solve
        Linear,        // a = 0: one root x1
        Two,           // two real roots (equal for a double root)
        NoReal,        // negative discriminant
        Overflow,      // an intermediate value beyond single range
    } kind;
    float x1 = 0, x2 = 0;
};
// Solves a*X^2 + b*X + c = y.
Solution solve(float a, float b, float c, float y);

}  // namespace quadratic
