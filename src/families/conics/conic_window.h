#pragma once
// What the four conic-section windows (circle, ellipse, hyperbola, parabola)
// share: the two-valued look-up panels, the foci and directrix marks with
// their labels, and the ways their redraw cycle departs from the common one.
#include <QColor>
#include <QPointF>
#include <QString>
#include <initializer_list>
#include <vector>

#include "families/conics/conics.h"
#include "frame/family_window.h"
#include "frame/lookup_panel.h"

class QRadioButton;

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
