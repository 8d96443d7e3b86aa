#include "tools/pointer.h"

#include <QLabel>

#include <cmath>

#include "numfmt/numfmt.h"
#include "render/canvas_widget.h"
#include "frame/controls.h"
#include "frame/family_window.h"

namespace pointer {

float rounded(float v) { return numfmt::roundSingle(v, 2); }

QString readoutText(float x, float y) {
    return QStringLiteral("(") + numfmt::text(rounded(x)) + QStringLiteral(",") + numfmt::text(rounded(y)) +
           QStringLiteral(")");
}

}  // namespace pointer

namespace {
const QColor kCrosshair(0, 192, 192);
}

PointerTool::PointerTool(FamilyWindow& window) : QObject(&window), w_(window) {
    const QPoint at = w_.traits().readoutPos;
    buildControls(&w_, {
                           label("Labzb", at.x(), at.y(), 137, 16, "(0,0)")
                               .font("宋体", 10.5)
                               .color(192, 0, 0)
                               .tooltip("双击图像区域出现十字坐标")
                               .toolOwned()
                               .bind(&readout_),
                       });
    if (CanvasWidget* cw = w_.canvasWidget()) {
        for (FloatingLine* l : {&cw->linex, &cw->liney}) {
            l->visible = false;
            l->color = kCrosshair;
        }
    }
}

void PointerTool::readout(double x, double y) {
    const float fx = float(x), fy = float(y);
    // Only the script driver can send a position outside single range; the
    // readout then keeps what it showed.
    if (!std::isfinite(fx) || !std::isfinite(fy)) return;
    pointerX_ = pointer::rounded(fx);
    pointerY_ = pointer::rounded(fy);
    if (readout_) readout_->setText(pointer::readoutText(fx, fy));
}

void PointerTool::follow(double x, double y) {
    const float fx = float(x), fy = float(y);
    if (!crosshairOn_ || !std::isfinite(fx) || !std::isfinite(fy)) return;
    // The lines cross at the pointer itself, not at the rounded readout.
    placeCrosshair(fx, fy);
}

void PointerTool::toggleCrosshair() {
    CanvasWidget* cw = w_.canvasWidget();
    if (!cw) return;
    crosshairOn_ = !crosshairOn_;
    cw->linex.visible = cw->liney.visible = crosshairOn_;
    if (crosshairOn_) placeCrosshair(pointerX_, pointerY_);
    else cw->update();
}

void PointerTool::placeCrosshair(float x, float y) {
    CanvasWidget* cw = w_.canvasWidget();
    if (!cw) return;
    cw->linex.world = QLineF(-11, y, 11, y);
    cw->liney.world = QLineF(x, -11, x, 11);
    cw->update();
}

void PointerTool::showAt(double x, double y) {
    CanvasWidget* cw = w_.canvasWidget();
    if (!cw) return;
    readout(x, y);
    cw->linex.visible = cw->liney.visible = true;
    placeCrosshair(float(x), float(y));
}

void PointerTool::hideTraceMark() {
    CanvasWidget* cw = w_.canvasWidget();
    if (!cw) return;
    cw->linex.visible = cw->liney.visible = crosshairOn_;
    if (crosshairOn_) placeCrosshair(pointerX_, pointerY_);
    else cw->update();
}
