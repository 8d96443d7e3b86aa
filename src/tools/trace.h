#pragma once
// Walking along a drawn curve with the keys: the trace point moves along the
// points the curve was drawn through, shown by the crosshair and the pointer
// readout, and each step is said aloud with the special points it passes.
#include <QObject>
#include <QPointF>
#include <QString>
#include <vector>

#include "frame/canvas_tool.h"
#include "frame/curve_facts.h"

class FamilyWindow;
class PointerTool;

namespace trace {

using curvefacts::Runs;

// A point of the runs.
struct Spot {
    size_t run = 0, index = 0;
    bool operator==(const Spot&) const = default;
};
bool before(Spot a, Spot b);

// Whether the runs are the graph of a function (x never falls along them).
bool isGraph(const Runs& runs);
Spot first(const Runs& runs);
Spot last(const Runs& runs);
QPointF at(const Runs& runs, Spot s);
// The spot `step` world units on (back when negative): in x on a graph,
// along the curve otherwise. Stops at the ends; crosses a break in the curve
// to the next run.
Spot moved(const Runs& runs, Spot from, double step);
// What a step from `from` to `to` says: "x = 1.5，y = 4.5", then the special
// points passed ("，经过最低点 (0,-4)") and a break crossed ("，曲线在此前断开").
QString stepText(const Runs& runs, Spot from, Spot to);
QString spotText(const Runs& runs, Spot s);

}  // namespace trace

// A child of its window: the keys of the focused canvas.
class TraceTool : public QObject, public CanvasTool {
public:
    // The trace shows where it is with the pointer's readout and crosshair.
    TraceTool(FamilyWindow& window, PointerTool& pointer);
    // A key press on the canvas; true when the trace used it.
    bool key(int key, Qt::KeyboardModifiers modifiers) override;
    void focusLost() override { stop(); }
    void pictureReplaced() override { stop(); }
    bool active() const { return active_; }
    QPointF position() const;
    // The curve the trace walks on (0 = the first on the picture).
    int curve() const { return curve_; }
    // Leaves the trace: the crosshair goes as it came.
    void stop();

private:
    void show(const QString& said);

    FamilyWindow& w_;
    PointerTool& pointer_;
    bool active_ = false;
    int curve_ = 0;
    trace::Spot spot_;
};
