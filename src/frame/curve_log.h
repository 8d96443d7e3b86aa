#pragma once
// The curves on a window's picture and on its overlay snapshot, with the
// freehand marks counted on each: what the screen reader's description, the
// trace and the sound read, and what a view keeps of them. No widgets.
#include <QString>
#include <QStringList>
#include <vector>

#include "frame/view.h"

// The points found on a drawn line are written to two places; a point the
// window states itself ("顶点 (-0.25,-0.125)") is the same point when it
// rounds to the same text, and is written once, the window's way, wherever
// it comes again ("最低点 (-0.25,-0.125)", not "(-0.25,-0.12)").
QStringList sameWriting(const QStringList& stated, QStringList found);

class CurveLog {
public:
    using Runs = std::vector<std::vector<QPointF>>;

    // A curve was drawn: the window's label of it, the runs the canvas
    // collected and the features the window gives. False when nothing
    // reached the picture (a refused value, a curve wholly outside).
    bool add(QString label, Runs runs, QStringList features);
    // The picture starts afresh.
    void clear();
    // The picture becomes the overlay snapshot / goes back to it.
    void takeSnapshot();
    void restoreSnapshot();
    // A freehand mark (line, ellipse, stroke, text, erasure) was drawn.
    void noteAnnotation();

    const std::vector<DrawnCurve>& curves() const { return curves_; }
    // What a screen reader says of the picture: each curve with its
    // features, the axes and the grid, the marks drawn by hand.
    QString description(bool axesHidden, bool gridOn) const;

    // Into a view and back: the lists are shared with the views before while
    // the curves stay as they are.
    void toView(View& v) const;
    void fromView(const View& v);

private:
    std::vector<DrawnCurve> curves_, snapshotCurves_;
    mutable SharedCurves shared_, sharedSnapshot_;
    int annotations_ = 0, snapshotAnnotations_ = 0;
};
