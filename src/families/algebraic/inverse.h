#pragma once
// The mathematics and texts of y = k/x.
#include <QLineF>
#include <QString>
#include <QStringList>
#include <vector>

namespace inverse {

// The label after "当前反比例函数:": "Y = 2/X  " (two blanks at the end).
QString expression(float k);
// The canvas text: "Y = 2/X " (one blank at the end).
QString canvasText(float k);
// The equation of the x look-up: "2/X  =4".
QString equation(float k, float y);

// Both branches as segments between successive samples (x from -10 to
// -0.01 and from 0.01 to 10, step 0.01 accumulated in single precision),
// each kept only when both ends lie strictly inside -10.2 < y < 10.2. No
// segment crosses x = 0. `overflow` reports a quotient beyond single range
// (the list is then empty).
std::vector<QLineF> branches(float k, bool* overflow);

// What the picture's description says of the curve: its asymptotes and the
// quadrants of its branches.
QStringList features(float k);

}  // namespace inverse
