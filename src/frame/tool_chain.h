#pragma once
// The tools on a window's picture, in the order they were added: each gets
// the canvas's mouse and keys and news of the picture in that order. The
// chain belongs to the window; the tools themselves are the window's
// children and come from a layer above through CanvasTool.
#include <QObject>
#include <vector>

#include "frame/canvas_tool.h"

class CanvasWidget;

class ToolChain : public QObject {
    Q_OBJECT
public:
    // Listens to the picture's mouse, and to its keys while it has the focus.
    explicit ToolChain(CanvasWidget* picture);

    void add(CanvasTool* tool) { tools_.push_back(tool); }
    const std::vector<CanvasTool*>& tools() const { return tools_; }

    void plotStarting();
    void pictureReplaced();
    // One of them is in the middle of something.
    bool busy() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CanvasWidget* picture_;
    std::vector<CanvasTool*> tools_;  // children of the window, in the order added
};
