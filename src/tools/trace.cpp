#include "tools/trace.h"

#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "frame/accessibility.h"
#include "frame/curve_log.h"
#include "frame/family_window.h"
#include "numfmt/numfmt.h"
#include "render/canvas_widget.h"
#include "tools/pointer.h"

TraceTool::TraceTool(FamilyWindow& window, PointerTool& pointer) : QObject(&window), w_(window), pointer_(pointer) {}

QPointF TraceTool::position() const {
    const auto& curves = w_.drawnCurves();
    if (!active_ || curve_ < 0 || curve_ >= int(curves.size())) return {};
    return trace::at(curves[size_t(curve_)].runs, spot_);
}

bool TraceTool::key(int key, Qt::KeyboardModifiers modifiers) {
    const auto& curves = w_.drawnCurves();
    if (key == Qt::Key_Escape) {
        if (!active_) return false;
        stop();
        return true;
    }
    const bool arrows = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!arrows && key != Qt::Key_Home && key != Qt::Key_End) return false;
    if (curves.empty() || curves.back().runs.empty()) {
        a11y::announce(w_.canvasWidget(), w_.canvasDescription());
        return true;
    }
    if (!active_ || curve_ >= int(curves.size())) {
        // A trace starts on the last curve drawn, where x is nearest 0.
        active_ = true;
        curve_ = int(curves.size()) - 1;
        const auto& runs = curves.back().runs;
        spot_ = trace::first(runs);
        spot_ = trace::moved(runs, spot_, -trace::at(runs, spot_).x());
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            show(trace::spotText(runs, spot_));
            return true;
        }
    }
    const auto& runs = curves[size_t(curve_)].runs;
    const trace::Spot from = spot_;
    const double step = (modifiers & Qt::ShiftModifier) ? 1.0 : 0.1;
    switch (key) {
    case Qt::Key_Left: spot_ = trace::moved(runs, spot_, -step); break;
    case Qt::Key_Right: spot_ = trace::moved(runs, spot_, step); break;
    case Qt::Key_Home: spot_ = trace::first(runs); break;
    case Qt::Key_End: spot_ = trace::last(runs); break;
    default: {
        // Up and Down: the next curve on the picture, at the x reached.
        const int n = int(curves.size());
        const int to = (curve_ + (key == Qt::Key_Down ? 1 : n - 1)) % n;
        const double x = trace::at(runs, spot_).x();
        curve_ = to;
        const auto& other = curves[size_t(to)].runs;
        if (other.empty()) return true;
        spot_ = trace::first(other);
        if (trace::isGraph(other)) spot_ = trace::moved(other, spot_, x - trace::at(other, spot_).x());
        show(QStringLiteral("第 %1 条曲线 ").arg(to + 1) + curves[size_t(to)].text + QStringLiteral("，") +
             trace::spotText(other, spot_));
        return true;
    }
    }
    if (spot_ == from) show(trace::spotText(runs, spot_) + QStringLiteral("，已到曲线的一端"));
    else show(trace::stepText(runs, from, spot_));
    return true;
}

void TraceTool::show(const QString& text) {
    // The points passed are written as the description writes them.
    const auto& curves = w_.drawnCurves();
    const QString said =
        curve_ >= 0 && curve_ < int(curves.size()) ? sameWriting({curves[size_t(curve_)].text}, {text}).value(0) : text;
    const QPointF p = position();
    pointer_.showAt(p.x(), p.y());
    // While tracing, the picture's description is the point reached.
    w_.canvasWidget()->setAccessibleDescription(numfmt::spoken(said));
    a11y::announce(w_.canvasWidget(), said);
}

void TraceTool::stop() {
    if (!active_) return;
    active_ = false;
    pointer_.hideTraceMark();
    // The picture's description comes back quietly: leaving the curve is no news.
    w_.canvasWidget()->setAccessibleDescription(w_.canvasDescription());
}
