#include "frame/axes.h"

#include <QLineF>
#include <vector>

#include "render/canvas.h"

namespace {
const QColor kBlack(0, 0, 0);
const QColor kGridBlue(10, 10, 200);
const QColor kGridAxes(200, 10, 10);
}  // namespace

namespace axes {

void draw(Canvas& c, bool setBlack, const std::function<void()>& marks) {
    if (setBlack) c.setForeColor(kBlack);
    c.line(-10, 0, 10, 0);
    c.line(0, -10, 0, 10);
    c.line(9.8, -0.2, 10, 0);
    c.line(9.8, 0.2, 10, 0);
    c.line(-0.2, 9.8, 0, 10);
    c.line(0.2, 9.8, 0, 10);
    c.setFontName(QStringLiteral("times new roman"));
    c.setFontSize(12);
    std::vector<QLineF> ticks;
    ticks.reserve(42);
    for (int n = -10; n <= 10; ++n) {
        ticks.emplace_back(n, 0, n, 0.2);
        ticks.emplace_back(0, n, 0.2, n);
    }
    c.lines(ticks);
    if (marks) marks();
    c.currentX = -0.9;
    c.currentY = 10.5;
    c.print(QStringLiteral("Y"));
    c.currentX = 10;
    c.currentY = -0.2;
    c.print(QStringLiteral("X"));
    c.currentX = -0.8;
    c.currentY = -0.1;
    c.print(QStringLiteral("0"));
}

void grid(Canvas& c, bool font10) {
    const QColor keep = c.foreColor();
    c.setForeColor(kGridBlue);
    std::vector<QLineF> lines;
    lines.reserve(42);
    for (int i = -10; i <= 10; ++i) {
        lines.emplace_back(i, -10, i, 10);
        lines.emplace_back(-10, i, 10, i);
    }
    c.lines(lines);
    c.setForeColor(keep);
    if (font10) c.setFontSize(10);
    for (int n = -10; n <= 10; ++n) {
        c.currentX = n - 0.2;
        c.currentY = -10.2;
        c.printNumber(float(n));
        c.currentX = -10.9;
        c.currentY = n + 0.2;
        c.printNumber(float(n));
        // The red axes are drawn again on every pass, over the numbers: the
        // picture depends on that order.
        c.line(-10, 0, 10, 0, kGridAxes);
        c.line(0, -10, 0, 10, kGridAxes);
    }
}

}  // namespace axes
