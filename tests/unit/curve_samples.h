#pragma once
// Curves sampled the way the windows sample them, for the tests of what is
// said and played of a drawn curve.
#include <QPointF>
#include <cmath>
#include <functional>
#include <vector>

// y = f(x) sampled every 0.01 from -10 to 10 as a float loop steps it, kept
// inside the picture's band: a run ends where the curve leaves it.
inline std::vector<std::vector<QPointF>> sampledRuns(const std::function<double(double)>& f) {
    std::vector<std::vector<QPointF>> runs(1);
    for (float x = -10.f; x <= 10.f; x += 0.01f) {
        const double y = f(x);
        if (std::abs(y) > 10.2 || !std::isfinite(y)) {
            if (!runs.back().empty()) runs.emplace_back();
            continue;
        }
        runs.back().emplace_back(x, y);
    }
    if (runs.back().empty()) runs.pop_back();
    return runs;
}
