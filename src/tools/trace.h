#pragma once
// Walking along a drawn curve with the keys: the trace point moves along the
// points the curve was drawn through, shown by the crosshair and the pointer
// readout, and each step is said aloud with the special points it passes.
#include <QObject>
#include <QPointF>
#include <QString>
#include <vector>

#include "frame/canvas_tool.h"
#include "curve/trace_walk.h"

class FamilyWindow;
class PointerTool;

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
