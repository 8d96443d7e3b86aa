#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "families/factories.h"
#include "families/trig/trig_window.h"
#include "families/trig/trig_kinds.h"
#include "numfmt/numfmt.h"
#include "frame/frame_texts.h"

namespace {

// Y = tg(wX + p) or ctg(wX + p): no amplitude, any non-zero w, the curve
// drawn as joined segments that break at the asymptotes. The cotangent
// window is this window with the reciprocal and its asymptotes a half
// period further on.
class SlopeWindow : public TrigWindow {
public:
    explicit SlopeWindow(const SlopeKind& kind) : TrigWindow(makeTraits(kind)), kind_(kind) {
        const QString tip = frametext::paramTip();
        build({
            label("Label17", 8, 8, 337, 27, kind.generalForm).font("黑体", 18).color(0, 0, 192),
            label("Label2(0)", 8, 56, 33, 25, "w=").font("times new roman", 15),
            textBox("Text2", 40, 56, 49, 25, "1").font("宋体", 12).tooltip(tip).bind(&trig_.w),
            slider("HScroll2", 104, 56, 169, 25, -5, 5, 1).bind(&trig_.wSlider),
        });
        buildShared(96, "速查x值(只计算以圆点为标准第1周期的1个x值）");
        // p starts at 0: the branch through the origin.
        trig_.pNum->setText("0");
        frame_.sliders = {
            {trig_.wSlider, trig_.w, {}}, {trig_.pNumSlider, trig_.pNum, {}}, {trig_.pDenSlider, trig_.pDen, {}}};
        frame_.firstParam = trig_.w;
        finishTrig();
    }

private:
    static FamilyTraits makeTraits(const SlopeKind& kind) {
        FamilyTraits t = trigTraits(kind.number, kind.key, kind.title, kind.fileName);
        t.readoutPos = kind.readoutPos;
        return t;
    }

    bool readChecked() override {
        w_ = number(trig_.w);
        if (!readPhase(p_)) return false;
        if (w_ == 0) {
            wMessage("你选取的w值等于0。");
            return false;
        }
        return true;
    }

    QString argument(bool minusJoins) const { return trig::argument(kind_.name, w_, p_, minusJoins); }

    void drawCurve() override {
        Canvas& c = canvas();
        if (!beginPlot()) return;
        c.lines(trig::branchSegments(w_, p_, kind_.cotangent));
        frame_.current->setText(kind_.current + QStringLiteral("Y=") + argument(true));
        // The text stands at the height of the function of the bare loop end
        // (near 2 for the tangent; beyond the band, so 9, for the cotangent).
        float g = 0;
        const bool has = trig::slopeValue(trig::plotRun().after, kind_.cotangent, g);
        const double ty = 2 + double(g);
        c.currentX = 2;
        c.currentY = (has && ty >= -10 && ty <= 10) ? ty : 9;
        c.setForeColor(QColor(255, 0, 0));
        if (expressionShown()) c.print(QStringLiteral("Y=") + argument(false));
        c.setForeColor(QColor(0, 0, 0));
    }

    QStringList curveFeatures() const override { return trig::slopeFeatures(w_, p_, kind_.cotangent); }

    bool rejectX(float x) override {
        if (!trig::onAsymptote(w_, p_, x, kind_.cotangent)) return false;
        warn("你选取的x值不在定义域内。", "操作提示：请更换一个新的x值");
        return true;
    }

    bool valueAt(float x, float& y) override {
        const float phase = w_ * x + p_;
        const double t = std::tan(double(phase));
        if (!kind_.cotangent) {
            y = float(t);
            return true;
        }
        // The reciprocal of an exact 0 is a division by zero: the look-up ends.
        if (t == 0) return false;
        y = float(1.0 / t);
        return true;
    }

    void showPeriod() override {
        const float w = number(trig_.w);
        // A w beyond single range has no period to show: 1 / |w| would read 0π.
        if (!std::isfinite(w)) return refusePeriod();
        // Without a w there is no period: say so rather than divide by zero.
        if (w == 0) return wMessage("你选取的w值等于0。");
        const float period = 1.0f / std::fabs(w);
        if (!std::isfinite(period)) return refusePeriod();
        trig_.period->setText(QStringLiteral("函数的周期: ") + trig::piText(numfmt::text(period)));
    }

    double periodStart() override {
        const float x0 = -p_ / w_;
        if (kind_.cotangent) return x0;
        return float(x0 - trig::kPi / std::fabs(double(w_)) / 2);
    }
    double periodLength() override { return trig::kPi / std::fabs(double(w_)); }
    double barTop() override { return 10; }

    void lookupX() override {
        if (!readChecked()) return;
        const float y = number(frame_.xLookup.input);
        const float x = (finiteParams() && std::isfinite(y)) ? trig::slopeSolve(w_, p_, y, kind_.cotangent) : NAN;
        if (!std::isfinite(x)) return tooLargeMessage();
        frame_.xLookup.result->setText(numfmt::text(x));
        frame_.xLookup.equation->setText(QStringLiteral(" ") + argument(false) + QStringLiteral("=") + numfmt::text(y));
        frame_.xLookup.input->setFocus(Qt::OtherFocusReason);
    }

    SlopeKind kind_;
};

}  // namespace

FamilyWindow* newSlopeWindow(const SlopeKind& kind) { return new SlopeWindow(kind); }

FamilyWindow* createTangent() {
    // The tangent window's coordinate readout stands 8 pixels further right.
    return newSlopeWindow({9, "tangent", "正切函数的取值和图像", "正切函数图像", "正切函数通式：Y=tg(wX+p)",
                           "当前正切函数:", "tg", false, QPoint(664, 448)});
}
