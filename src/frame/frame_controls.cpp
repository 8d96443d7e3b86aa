#include "frame/frame_controls.h"

#include "frame/controls.h"

void checkBound(const FrameControls& c, const QString& window, bool needsFirstParam, bool needsResults) {
    auto need = [&window](const void* w, const char* what) {
        if (!w) reportMissingControl(window, QString::fromLatin1(what) + QStringLiteral(" (unbound)"));
    };
    need(c.redraw, "the redraw button");
    need(c.overlay, "the overlay button");
    need(c.commit, "the commit button");
    need(c.grid, "the grid button");
    need(c.hideAxes, "Checkhide");
    need(c.showExpression, "Check1");
    need(c.current, "the label of the current function");
    need(c.yLookup.button, "cay");
    need(c.xLookup.button, "cax");
    if (needsFirstParam) need(c.firstParam, "the first parameter box");
    if (needsResults) {
        need(c.yLookup.result, "Ty1");
        need(c.xLookup.result, "Tx2");
    }
    for (const SliderLink& link : c.sliders) {
        need(link.slider, "a slider");
        need(link.text, "a slider's box");
    }
    for (const auto* list : {&c.redrawEmpties, &c.overlayEmpties})
        for (const auto& entry : *list) need(entry.first, "a label to empty");
}
