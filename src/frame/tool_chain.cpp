#include "frame/tool_chain.h"

#include <QKeyEvent>
#include <algorithm>

#include "render/canvas_widget.h"

ToolChain::ToolChain(CanvasWidget* picture) : QObject(picture), picture_(picture) {
    connect(picture, &CanvasWidget::pressed, this, [this](Qt::MouseButton b, double x, double y) {
        for (CanvasTool* t : tools_) t->press(b, x, y);
    });
    connect(picture, &CanvasWidget::moved, this, [this](Qt::MouseButtons b, double x, double y) {
        for (CanvasTool* t : tools_) t->move(b, x, y);
    });
    connect(picture, &CanvasWidget::released, this, [this](Qt::MouseButton b, double x, double y) {
        for (CanvasTool* t : tools_) t->release(b, x, y);
    });
    connect(picture, &CanvasWidget::doubleClicked, this, [this] {
        for (CanvasTool* t : tools_) t->doubleClick();
    });
    picture->installEventFilter(this);
}

void ToolChain::plotStarting() {
    for (CanvasTool* t : tools_) t->plotStarting();
}

void ToolChain::pictureReplaced() {
    for (CanvasTool* t : tools_) t->pictureReplaced();
}

bool ToolChain::busy() const {
    return std::any_of(tools_.begin(), tools_.end(), [](const CanvasTool* t) { return t->busy(); });
}

bool ToolChain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::KeyPress && picture_->hasFocus()) {
        auto* k = static_cast<QKeyEvent*>(event);
        for (CanvasTool* t : tools_)
            if (t->key(k->key(), k->modifiers())) return true;
    }
    if (watched == picture_ && event->type() == QEvent::FocusOut)
        for (CanvasTool* t : tools_) t->focusLost();
    return QObject::eventFilter(watched, event);
}
