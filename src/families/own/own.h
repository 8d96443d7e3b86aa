#pragma once
// The texts of the window where the teacher types y = f(x) (no widgets).
#include <QPointF>
#include <QString>
#include <vector>

namespace own {

// How many points a feature's label lists before it says how many there are.
constexpr int kListed = 20;

// "-1，3", then "… 等 25 个" when there are more than kListed; "无" for none.
QString xList(const std::vector<double>& xs);
// "(-1,-2)，(1,2)", the same way.
QString pointList(const std::vector<QPointF>& points);
// What the label above the picture says of the curve drawn: "当前函数：y = x^2-2x-3".
QString currentText(const QString& typed);
// The typed text without a leading "y =" (in any width), trimmed.
QString body(const QString& typed);

}  // namespace own
