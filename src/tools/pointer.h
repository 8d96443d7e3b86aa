#pragma once
// The pointer readout Labzb and the crosshair of a plot window.
#include <QObject>
#include <QString>
#include <QtGlobal>

#include "frame/canvas_tool.h"

class FamilyWindow;
class QLabel;

namespace pointer {
// A pointer coordinate as the readout keeps it: rounded to hundredths,
// halves to the even hundredth, held as single.
float rounded(float v);
// The readout's caption for a pointer position: "(3.14,-2.5)".
QString readoutText(float x, float y);
}  // namespace pointer

// A child of its window.
class PointerTool : public QObject, public CanvasTool {
public:
    explicit PointerTool(FamilyWindow& window);
    // The readout first, the crosshair after it.
    void move(Qt::MouseButtons, double x, double y) override {
        readout(x, y);
        follow(x, y);
    }
    void doubleClick() override { toggleCrosshair(); }
    // Mouse move, first part: remember the rounded position, update Labzb.
    void readout(double x, double y);
    // Mouse move, last part: the crosshair follows the pointer when shown.
    void follow(double x, double y);
    // Double-click on the canvas: crosshair on or off.
    void toggleCrosshair();
    bool crosshairOn() const { return crosshairOn_; }
    // The keyboard trace: the readout and the crosshair at a point of the
    // curve, and the crosshair back as the mouse left it.
    void showAt(double x, double y);
    void hideTraceMark();
    float pointerX() const { return pointerX_; }
    float pointerY() const { return pointerY_; }

private:
    void placeCrosshair(float x, float y);

    FamilyWindow& w_;
    QLabel* readout_ = nullptr;  // Labzb
    float pointerX_ = 0, pointerY_ = 0;
    bool crosshairOn_ = false;
};
