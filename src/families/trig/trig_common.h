#pragma once
#include <cmath>
// What the sine, cosine, tangent and cotangent windows share: π as the
// five-digit constant the windows compute with, the phase p entered as a
// signed fraction of π, the x of the y look-up entered the same way, the π
// marks on the x axis, the period buttons and the y look-up with its error
// trap. The pure functions here take numbers and return numbers or texts.
#include <QLineF>
#include <QPointF>
#include <QString>
#include <functional>
#include <vector>

#include "frame/family_window.h"

class QRadioButton;

namespace trig {

// Every formula, range and π-multiple in these windows uses π as 3.14159
// and 2π as 6.28318, so the shown multiples of π come out as students
// expect them (x0 = -π/3 reads -0.333π).
inline constexpr double kPi = 3.14159;
inline constexpr double kTwoPi = 6.28318;
// The plot runs over -3π … 3π in steps of π/600; the x look-up scans in
// steps of π/6000. Both are single-precision counted loops.
inline constexpr float kPlotEnd = 9.42477f;
inline constexpr float kPlotStep = float(kPi / 600);
inline constexpr float kScanStep = float(kPi / 6000);
// A scan longer than this many samples (w below 0.05) is stretched to this
// many samples over the same range, so that a tiny w still ends at once.
inline constexpr double kMaxScanSamples = 120000;
// Beyond this magnitude the single-precision phase w·x + p loses all
// meaning (its spacing reaches a radian), so the plot would be noise.
inline constexpr double kMaxPhase = 1e7;

// ± |num| · π / |den| stored as a single; den must not be 0.
float piFraction(bool negative, float num, float den);

// The abscissas of the plot loop, -3π … 3π, and the value the loop variable
// holds after the loop (the first sample past 3π).
struct PlotRun {
    std::vector<float> xs;
    float after = 0;
};
const PlotRun& plotRun();

// The dots of Y = A·f(wX + p) inside the strict band -10.2 < Y < 10.2.
std::vector<QPointF> wavePoints(float a, float w, float p, double (*f)(double));

// The joined segments of Y = g(wX + p) for the tangent family: a segment from
// the previous sample to every sample inside the band; samples where g has
// no value (the cotangent at a phase of exactly 0) are skipped.
std::vector<QLineF> branchSegments(float w, float p, bool cotangent);

// tan (or 1/tan) of a single phase, rounded to a single; false where the
// cotangent has no value (tan exactly 0, or a reciprocal beyond single range).
bool slopeValue(float phase, bool cotangent, float& out);

// The x look-up's scan from `start` to `end`: the last sample for which
// `match` holds, 0 when none does. Ordinary ranges use the step π/6000;
// longer ones are stretched to kMaxScanSamples samples. NaN where the
// abscissa is too large for the step to move it.
float scanLast(float start, float end, const std::function<bool(float)>& match);

// x of A·sin(wX+p) = y nearest the start of the period (cosine: in its first
// half period), as a multiple of π rounded to 2 decimals; NaN when the scan
// range is not computable in single precision.
float waveSolve(float a, float w, float p, float y, bool cosine);
// x of tg(wX+p) = y (ctg) on the branch around -p/w, as a multiple of π.
float slopeSolve(float w, float p, float y, bool cotangent);

// Whether x is exactly (as singles) one of the 41 asymptotes k = -20 … 20
// nearest the branch around -p/w.
bool onAsymptote(float w, float p, float x, bool cotangent);

// " Sin(1X+1.047197)" style pieces: name + "(" + w + "X+" + p + ")"; with
// `minusJoins`, a negative p follows the X directly ("X-1.047197").
QString argument(const QString& name, float w, float p, bool minusJoins);

// "0.5π", "-0.333π"
QString piText(const QString& number);

}  // namespace trig

// How all four windows depart from the common redraw cycle.
FamilyTraits trigTraits(int number, const QString& key, const QString& title, const QString& fileName);

// The controls all four windows have besides the frame's.
struct TrigControls {
    QLineEdit* w = nullptr;         // Text2
    QScrollBar* wSlider = nullptr;  // HScroll2
    // p as ± Text4 / Text5 · π, the sign from Option3 / Option4 shown in Label2(3).
    QLineEdit *pNum = nullptr, *pDen = nullptr;
    QScrollBar *pNumSlider = nullptr, *pDenSlider = nullptr;  // HScroll4, HScroll5
    QRadioButton *pPlus = nullptr, *pMinus = nullptr;
    QLabel* pSign = nullptr;
    // X of the y look-up as ± Tx1 / Tx3 · π, the sign from Option1 / Option2 shown in Label10(2).
    QLineEdit* xDen = nullptr;
    QRadioButton *xPlus = nullptr, *xMinus = nullptr;
    QLabel* xSign = nullptr;
    QPushButton *periodButton = nullptr, *markButton = nullptr;  // Command2, Command3
    QLabel *period = nullptr, *periodStart = nullptr;            // Label4, Label5
};

// The frame shared by the four windows: parameters, sign options, π marks,
// the period buttons and the y look-up. A window supplies its check, its
// function and its period.
class TrigWindow : public FamilyWindow {
public:
    explicit TrigWindow(FamilyTraits traits);

protected:
    // Controls every one of the four windows has; `frame2Top` is where the
    // fraction entry of p sits, `lookupXCaption` the x look-up panel's title.
    void buildShared(int frame2Top, const QString& lookupXCaption);
    // Connects the sign options and the period buttons, then the frame.
    void finishTrig();

    // A message box with an exclamation icon, as all these windows show.
    void warn(const QString& text, const QString& title);
    // Reads p from the fraction entry; false (with the message) for a zero denominator.
    bool readPhase(float& p);
    void wMessage(const QString& text);

    // Reads and checks the parameters in this window's order; false after
    // the message of the first failure.
    virtual bool readChecked() = 0;
    // y at x for the parameters just read; false on a division by zero.
    virtual bool valueAt(float x, float& y) = 0;
    // The domain test of the y look-up (tangent family); true stops it.
    virtual bool rejectX(float) { return false; }
    // Command2 and Command3.
    virtual void showPeriod() = 0;
    // Start, length and half height of the marked period, for the parameters just read.
    virtual double periodStart() = 0;
    virtual double periodLength() = 0;
    virtual double barTop() = 0;

    void drawAxisMarks() override;
    void lookupY() override;
    void markPeriod();
    // The period button's answer to a w it cannot compute with: no result,
    // the too-large message.
    void refusePeriod();

    // The parameters just read are all finite numbers.
    virtual bool finiteParams() const { return std::isfinite(w_) && std::isfinite(p_); }
    // The start every plot shares: the period labels go, the parameters are
    // read and checked, and a phase too large to give a picture is refused.
    // False when the plot stops there (the colour is black again).
    bool beginPlot();

    TrigControls trig_;
    float w_ = 0, p_ = 0;
};
