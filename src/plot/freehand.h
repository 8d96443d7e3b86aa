#pragma once
// The freehand drawing tools of a plot window: the panel Frmdraw with its
// tools and colours, and what a press, move and release on the canvas draw.
#include <Qt>

class FamilyWindow;

class FreehandTools {
public:
    explicit FreehandTools(FamilyWindow& window);
    void press(Qt::MouseButton b, double x, double y);
    void move(Qt::MouseButtons b, double x, double y);
    void release(Qt::MouseButton b, double x, double y);
    // Hides the rubber bands, the eraser square and the text box (every plot does).
    void hideMarkers();

private:
    FamilyWindow& w_;
};
