#pragma once
// The tools every plot window carries, made in one place: the family
// registry calls installTools on each window it builds.
#include <vector>

#include "frame/family_window.h"

// Creates the pointer readout, the freehand panel, the output buttons, the
// keyboard trace and 听图像 on the window, hands the canvas tools to it in
// the order they take the canvas's events, and completes the window.
void installTools(FamilyWindow& window);

// The window's tool of a kind, or nullptr (tests and the benchmark reach
// a tool this way).
template <class T>
T* toolOf(FamilyWindow& window) {
    for (QObject* o : window.children())
        if (auto* t = dynamic_cast<T*>(o)) return t;
    return nullptr;
}
