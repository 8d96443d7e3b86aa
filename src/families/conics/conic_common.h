#pragma once
// What the four conic-section windows (circle, ellipse, hyperbola, parabola)
// share: the dotted sweep over -10..10, the two-valued look-up panels, the
// foci and directrix marks with their labels, and the ways their redraw cycle
// departs from the common one.
#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

#include "frame/family_window.h"
#include "frame/lookup_panel.h"

class QRadioButton;

namespace conic {

// Dots are kept only strictly inside this band; beyond it a curve would
// run into the axis letters and grid numbers.
constexpr float kBand = 10.2f;
inline bool inBand(float y) { return y > -kBand && y < kBand; }

// The sample abscissas of every conic plot: a single-precision running x
// from -10, stepped by adding `step`, while x <= 10. The accumulated rounding
// is part of the picture (an ellipse with a = 6 ends its right tip at about
// 5.99), so the loop must stay in float.
template <class Fn>
void sweep(float step, Fn&& fn) {
    for (float x = -10.f; x <= 10.f; x += step) fn(x);
}

// Upper and lower row of a curve symmetric to the X axis: for every sample
// where half(x) gives a value (NaN = no value there), the dots (x, y) and
// (x, -y) inside the band.
template <class Half>
std::vector<QPointF> mirroredDots(float step, Half&& half) {
    std::vector<QPointF> pts;
    pts.reserve(4096);
    sweep(step, [&](float x) {
        const float y = half(x);
        if (y != y) return;
        if (inBand(y)) pts.emplace_back(x, y);
        if (inBand(-y)) pts.emplace_back(x, -y);
    });
    return pts;
}

// A row for the expression text that would fall outside the drawing area
// goes to 9 instead.
inline float textRow(float t) { return (t >= -10.f && t <= 10.f) ? t : 9.f; }

// √v of a value that is mathematically >= 0 but may come out a hair below
// zero from rounding (an ellipse at X = ±a): treated as 0.
double rootOfNonNegative(double v);

// Label texts of the foci and the directrices, on the X axis or the Y axis.
QString fociText(float c, bool onX);
QString directrixText(float d, bool onX);

// The foci at distance c from the centre: (-c, 0) and (c, 0) on the X axis,
// (0, -c) and (0, c) on the Y axis.
std::pair<QPointF, QPointF> foci(float c, bool onX);
// The directrices at distance d, as long as the curve is high (X axis:
// x = ±d from y = b to -b) or wide (Y axis: y = ±d from x = a to -a).
std::pair<QLineF, QLineF> directrices(float d, float a, float b, bool onX);

// True when every value is a finite single.
bool allFinite(std::initializer_list<double> values);

}  // namespace conic

class ConicWindow : public FamilyWindow {
protected:
    explicit ConicWindow(FamilyTraits t) : FamilyWindow(std::move(t)) {}

    // The frame's cycle as the conic windows run it: axes in the current
    // colour, grid numbers in the axes' 12 pt, a slider change doing a whole
    // redraw (or only the preview in overlay mode), no commit counting, and
    // neither focus moves nor emptied results from the overlay buttons.
    static FamilyTraits conicTraits(int number, const QString& key, const QString& title, const QString& fileName);

    // Frame1(0) (y look-up) or Frame1(1) (x look-up) as every conic window
    // has it: two results, the equation below them, at (x, y), h high; the
    // window moves what differs before building it.
    static LookupPanel lookupPanel(bool forY, int x, int y, int h);

    // Option1/Option2 as one exclusive pair of their own, whatever other
    // radio buttons the window holds directly (auto-exclusion would group
    // every radio button with the same parent).
    void pairOptions();
    bool focusOnX() const;  // Option1 chosen (or no such option)

    // Ty1, ty3, Tx2, Tx3 := empty.
    void emptyLookups();
    // The two results of a look-up panel in signed text.
    static void showPair(const LookupControls& panel, float v1, float v2);

    // Shows the window's too-large message when a value is not a finite
    // single; true means the action must stop.
    bool tooLarge(std::initializer_list<double> values);

    // Dots in the current colour (one batch).
    void dots(const std::vector<QPointF>& pts);
    // The expression text at (x, row), red; printed only with Check1 ticked;
    // the colour is black afterwards either way.
    void expressionText(float x, float row, const QString& t, QColor red = QColor(255, 0, 0));

    // Foci of an ellipse or hyperbola at distance c on either axis: Label6
    // and the green points F1, F2 added to the picture.
    void markFoci(float c, bool onX);
    // The directrices at distance d as segments as long as the curve is high
    // (X axis, from b to -b) or wide (Y axis, from a to -a): Label2, green.
    void drawDirectrices(float d, float a, float b, bool onX);

    // The picture rebuilt before the directrices: in overlay mode the saved
    // picture plus the preview, otherwise the redraw button's click. False
    // when the plot refused its parameters.
    bool rebuildPicture();

    // Set by drawCurve: whether its parameters made a curve.
    bool plotOk_ = true;

    // Bound by the windows that have them.
    QRadioButton *option1_ = nullptr, *option2_ = nullptr;  // foci on the X axis / on the Y axis
    QLabel* fociLabel_ = nullptr;                           // Label6
    QLabel* directrixLabel_ = nullptr;                      // Label2
};
