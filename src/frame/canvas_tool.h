#pragma once
// A tool on the picture as the frame sees it: the frame hands it the canvas's
// mouse and keys and tells it when the picture changes under it; the tool
// answers whether it is in the middle of something. The tools themselves
// live a layer above the frame and register with the window
// (FamilyWindow::addTool), so the frame never names one.
#include <Qt>

class CanvasTool {
public:
    virtual ~CanvasTool() = default;

    // The mouse on the canvas, in world coordinates.
    virtual void press(Qt::MouseButton, double /*x*/, double /*y*/) {}
    virtual void move(Qt::MouseButtons, double /*x*/, double /*y*/) {}
    virtual void release(Qt::MouseButton, double /*x*/, double /*y*/) {}
    virtual void doubleClick() {}
    // A key pressed on the focused canvas; true when the tool used it (the
    // tools after it do not see it then).
    virtual bool key(int /*key*/, Qt::KeyboardModifiers) { return false; }
    // The canvas lost the keyboard focus.
    virtual void focusLost() {}

    // A curve is about to be drawn on the picture.
    virtual void plotStarting() {}
    // The curves on the picture changed (a curve was drawn, a view was put
    // back): whatever walked along the old ones stops.
    virtual void pictureReplaced() {}

    // In the middle of a drag or the like: undo and redo wait for its end.
    // (The tool's own controls are marked in its layout rows: Ctl::toolOwned.)
    virtual bool busy() const { return false; }
};
