#include "plot/pointer.h"

#include "plot/family_window.h"

PointerTool::PointerTool(FamilyWindow& window) : w_(window) {}
void PointerTool::readout(double, double) {}
void PointerTool::follow(double, double) {}
void PointerTool::toggleCrosshair() {}
