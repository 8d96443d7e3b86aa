#pragma once
// What the windows of y = a^x and y = log_a x have in common: one base a
// with a slider for whole bases and one for tenths, the base check and its
// messages, dotted plots, and the red expression written next to the curve.
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "frame/family_window.h"

namespace explog {

// A base makes sense when it is positive and not 1.
bool validBase(float a);

// The texts the base sliders put into the box: whole bases as "2" ... "10",
// tenths in signed form " .1" ... " .9".
QString wholeBaseText(int position);
QString tenthBaseText(int position);

// The abscissas of the dotted plots: from `from` up to 10, the step 0.005
// added in single precision (so the last one is not exactly 10 - 0.005).
std::vector<float> abscissas(float from);

// The dots of a plot that lie in the band -10.2 < y < 10.2. `overflow` is set
// when a value left single precision; the dots computed before it are kept.
struct Dots {
    std::vector<QPointF> points;
    bool overflow = false;
};
Dots exponentialDots(float a);
Dots logarithmDots(float a);

// a^x computed in double and stored as single; nullopt when it overflows.
std::optional<float> power(float a, float x);
// ln x / ln a stored as single; nullopt when x <= 0 (no logarithm).
std::optional<float> logarithm(float x, float a);

// Expression texts. Exponential: label "当前指数函数:Y = 2^ X", canvas "Y=2^ X",
// x look-up equation "2^X=8". Logarithm: label "当前对数函数:Y=log 10  X",
// canvas "Y=log10  X", x look-up equation "log10  X=2".
QString exponentialLabel(float a);
QString exponentialCanvasText(float a);
QString exponentialEquation(float a, float y);
QString logarithmLabel(float a);
QString logarithmCanvasText(float a);
QString logarithmEquation(float a, float y);

// Where the exponential window writes its expression: beside the point at
// X = 1, but never above the drawing area.
double exponentialTextY(float a);

// What the picture's description says of y = a^x and y = log_a x: the fixed
// point every base passes, the asymptote, rising or falling.
QStringList exponentialFeatures(float a);
QStringList logarithmFeatures(float a);

QString baseMessage();
QString baseTitle();

}  // namespace explog

// The frame of both windows. Each window adds its own general form, default
// base and plot; the redraw cycle, sliders, look-up panels and messages are
// the same.
class ExpLogWindow : public FamilyWindow {
protected:
    struct Setup {
        int number;
        QString key, title, fileName;
        QString generalForm;  // Label17
        QString defaultBase;  // Text1 at load
        QPoint readoutPos, freehandPos, fullScreenPos, copyPos;
    };
    explicit ExpLogWindow(const Setup& s);
    static FamilyTraits makeTraits(const Setup& s);

    // Reads a box; a value beyond single precision shows the invalid-value
    // message and gives nullopt.
    std::optional<float> readValue(const QLineEdit* box);
    // Shows the base message when a is no base; true when it is one.
    bool checkBase(float a);
    void invalidValue();
    // The y look-up both windows share: a and x from their boxes, the base
    // check, then y = f(a, x) in Ty1 as signed text.
    void lookupYWith(std::optional<float> (*f)(float a, float x));
    // The x look-up both share: a and y from their boxes, (with refuseNegative
    // a y < 0 refused), the base check, the equation solved, then x = f(a, y)
    // in Tx2.
    void lookupXWith(std::optional<float> (*f)(float a, float y), QString (*equation)(float a, float y),
                     bool refuseNegative);
    // The dots in the current colour, then the expression in red beside the
    // curve (on the canvas only when Check1 is ticked), then black again.
    void drawDots(const std::vector<QPointF>& dots);
    void writeExpression(double x, double y, const QString& canvasText, const QString& labelText);

    QLineEdit* base_ = nullptr;                                   // Text1, a
    float drawnBase_ = 2;                                         // a of the curve drawn last
    QScrollBar *wholeSlider_ = nullptr, *tenthSlider_ = nullptr;  // HScroll1, HScroll2
};
