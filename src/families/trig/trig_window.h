#pragma once
// The frame the sine, cosine, tangent and cotangent windows share: the phase
// p entered as a signed fraction of π, the x of the y look-up entered the
// same way, the π marks on the x axis, the period buttons and the y look-up
// with its error trap.
#include <cmath>

#include "families/trig/trig.h"
#include "frame/family_window.h"

class QRadioButton;

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
