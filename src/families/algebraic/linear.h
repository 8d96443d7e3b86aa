#pragma once
// The mathematics and texts of y = kx + b.
#include <QString>
#include <QStringList>
#include <optional>

namespace linear {

// "Y = 2X + 3", "Y = 0.5X  -1" (a negative b brings its own sign after two blanks).
QString expression(float k, float b);
// The equation of the x look-up: "2X + 1=5", "2X -1=5".
QString equation(float k, float b, float y);

struct Point {
    float x, y;
};
// Where the first line (k1, b1) meets the last one (k2, b2); nullopt for equal slopes.
std::optional<Point> intersection(float k1, float b1, float k2, float b2);
// " ( 1 , 1 )"
QString pointText(Point p);

// What the picture's description says of the line: its slope, where it
// cuts the axes and whether it rises or falls.
QStringList features(float k, float b);

}  // namespace linear
