// The window of y = a^x: a dotted plot over -10..10, and the look-ups
// through powers (y for x) and natural logarithms (x for y).
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "families/algebraic/exp_log.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"

namespace {

class ExponentialWindow : public ExpLogWindow {
public:
    ExponentialWindow()
        : ExpLogWindow({5, "exponential", "指数函数的取值和图像", "指数函数图像", "指数函数通式： Y = a^X", "2",
                        QPoint(656, 448), QPoint(376, 448), QPoint(560, 456), QPoint(560, 488)}) {
        finish();
    }

private:
    void drawCurve() override {
        const auto a = readValue(base_);
        if (!a) return;
        if (!checkBase(*a)) return;
        drawnBase_ = *a;
        frame_.xLookup.equation->clear();
        const explog::Dots dots = explog::exponentialDots(*a);
        drawDots(dots.points);
        if (dots.overflow) {
            // The dots set before the overflow stay; the expression is not
            // brought up to date.
            canvas().setForeColor(QColor(0, 0, 0));
            invalidValue();
            return;
        }
        writeExpression(1, explog::exponentialTextY(*a), explog::exponentialCanvasText(*a),
                        explog::exponentialLabel(*a));
    }

    QStringList curveFeatures() const override { return explog::exponentialFeatures(drawnBase_); }

    void lookupX() override {
        // A negative y is refused with its own message; y = 0 has no
        // logarithm: the equation stays, the result keeps its text.
        lookupXWith([](float a, float y) { return explog::logarithm(y, a); }, explog::exponentialEquation, true);
    }

    void lookupY() override {
        lookupYWith([](float a, float x) { return explog::power(a, x); });
    }
};

}  // namespace

FamilyWindow* createExponential() { return new ExponentialWindow; }
