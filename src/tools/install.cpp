#include "tools/install.h"

#include "tools/animator.h"
#include "tools/freehand.h"
#include "tools/hear.h"
#include "tools/output.h"
#include "tools/pointer.h"
#include "tools/trace.h"

void installTools(FamilyWindow& window) {
    auto* pointer = new PointerTool(window);
    auto* freehand = new FreehandTools(window);
    new OutputTools(window);
    auto* trace = new TraceTool(window, *pointer);
    new HearTool(window);
    // The animator looks for a free place among all the other controls.
    auto* animator = new Animator(window);
    // A move on the canvas updates the readout and the crosshair before the
    // freehand tools draw; the trace takes the keys.
    window.addTool(pointer);
    window.addTool(freehand);
    window.addTool(trace);
    window.addTool(animator);
    window.toolsInstalled();
    animator->makePanel();
}
