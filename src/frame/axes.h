#pragma once
// The axes and the grid every plot window draws, painted on its canvas.
#include <functional>

class Canvas;

namespace axes {

// The plain axes: both lines with their arrows, the ticks, then `marks` (the
// window's own extra marks), then the letters Y, X and 0. `setBlack` first
// resets the colour to black (some windows keep the colour last used).
void draw(Canvas& c, bool setBlack, const std::function<void()>& marks);
// The grid: blue lines every unit, the numbers along the bottom and the left
// (10 pt when `font10`, else the size last set), the red axes over them.
void grid(Canvas& c, bool font10);

}  // namespace axes
