#pragma once
// A family window's state as one plain value: the family, what its controls
// show, the numbers the window keeps between handlers, the overlay state and
// the pictures. Undo keeps a bounded list of these, a plot file is one
// written out, and the recovery file is the last one. Pictures are shared,
// never copied, so views taken in a row cost little more than one.
#include <QPointF>
#include <QString>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "render/canvas.h"

// What one named control shows. Which fields count depends on its kind: a
// box its text, a slider its value, a check box or radio button its tick,
// a button or label its caption; every control whether it is shown and enabled.
struct ControlValue {
    QString text;
    int value = 0;
    bool checked = false;
    bool enabled = true;
    bool visible = true;

    bool operator==(const ControlValue& o) const {
        return text == o.text && value == o.value && checked == o.checked && enabled == o.enabled &&
               visible == o.visible;
    }
};

// A curve on the picture: what it is (the window's label of it and its
// features) and the points it was drawn through, in runs.
struct DrawnCurve {
    QString text;
    std::vector<std::vector<QPointF>> runs;
};
using SharedCurves = std::shared_ptr<const std::vector<DrawnCurve>>;

// Points exactly alike (QPointF's own == lets a little difference pass).
inline bool samePoint(QPointF a, QPointF b) { return a.x() == b.x() && a.y() == b.y(); }
inline bool sameRun(const std::vector<QPointF>& a, const std::vector<QPointF>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), samePoint);
}
inline bool sameCurve(const DrawnCurve& a, const DrawnCurve& b) {
    return a.text == b.text && std::equal(a.runs.begin(), a.runs.end(), b.runs.begin(), b.runs.end(), sameRun);
}

struct View {
    QString family;                            // the family's key ("linear")
    std::map<QString, ControlValue> controls;  // by object name
    std::vector<float> numbers;                // what the family keeps between handlers
    bool gridOn = false, overlayOn = false;
    int overlayCount = 0;
    Canvas::State canvas;
    Picture overlay;  // Picture2, the overlay snapshot
    // What the picture and the overlay snapshot show in words and points
    // (the screen reader's description, the trace, the sound): the curves
    // and how many annotations. A view read from an older file has no curves.
    SharedCurves curves, overlayCurves;
    int annotations = 0, overlayAnnotations = 0;
};
