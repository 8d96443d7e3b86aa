#pragma once
// The pointer readout Labzb and the crosshair of a plot window.
#include <QtGlobal>

class FamilyWindow;

class PointerTool {
public:
    explicit PointerTool(FamilyWindow& window);
    // Mouse move, first part: remember the rounded position, update Labzb.
    void readout(double x, double y);
    // Mouse move, last part: the crosshair follows the pointer when shown.
    void follow(double x, double y);
    // Double-click on the canvas: crosshair on or off.
    void toggleCrosshair();
    bool crosshairOn() const { return crosshairOn_; }

private:
    FamilyWindow& w_;
    float pointerX_ = 0, pointerY_ = 0;
    bool crosshairOn_ = false;
};
