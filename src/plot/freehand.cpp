#include "plot/freehand.h"

#include "plot/family_window.h"

FreehandTools::FreehandTools(FamilyWindow& window) : w_(window) {}
void FreehandTools::press(Qt::MouseButton, double, double) {}
void FreehandTools::move(Qt::MouseButtons, double, double) {}
void FreehandTools::release(Qt::MouseButton, double, double) {}
void FreehandTools::hideMarkers() {}
