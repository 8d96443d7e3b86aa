#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "families/factories.h"
#include "families/trig/trig_window.h"
#include "families/trig/trig_kinds.h"
#include "numfmt/numfmt.h"
#include "frame/frame_texts.h"

namespace {

// Y = A·sin(wX + p) or A·cos(wX + p): the cosine window is this window with
// the other function, the other scan range and other captions.
class WaveWindow : public TrigWindow {
public:
    explicit WaveWindow(const WaveKind& kind) : TrigWindow(makeTraits(kind)), kind_(kind) {
        f_ = kind.cosine ? static_cast<double (*)(double)>(std::cos) : static_cast<double (*)(double)>(std::sin);
        const QString tip = frametext::paramTip();
        build({
            label("Label17", 8, 8, 337, 27, kind.generalForm).font("黑体", 18).color(0, 0, 192),
            label("Label2(2)", 8, 48, 33, 25, "A=").font("times new roman", 15),
            textBox("Text1", 40, 48, 49, 25, "1").font("宋体", 12).tooltip(tip).bind(&aBox_),
            slider("HScroll1", 104, 48, 169, 25, -20, 20, 1).bind(&aSlider_),
            label("Label2(0)", 8, 80, 33, 25, "w=").font("times new roman", 15),
            textBox("Text2", 40, 80, 49, 25, "1").font("宋体", 12).tooltip(tip).bind(&trig_.w),
            slider("HScroll2", 104, 80, 169, 25, 1, 20, 1).bind(&trig_.wSlider),
        });
        buildShared(112, kind.lookupXCaption);
        // A and w move in halves; the halved position is shown as a double.
        auto half = [](int v) { return numfmt::textDouble(v / 2.0); };
        frame_.sliders = {{aSlider_, aBox_, half},
                          {trig_.wSlider, trig_.w, half},
                          {trig_.pNumSlider, trig_.pNum, {}},
                          {trig_.pDenSlider, trig_.pDen, {}}};
        frame_.firstParam = aBox_;
        finishTrig();
    }

private:
    static FamilyTraits makeTraits(const WaveKind& kind) {
        return trigTraits(kind.number, kind.key, kind.title, kind.fileName);
    }

    bool readChecked() override {
        a_ = number(aBox_);
        w_ = number(trig_.w);
        if (!readPhase(p_)) return false;
        if (a_ == 0) {
            warn("你选取的A值等于0。请让A不等于0。", "操作提示：请更换一个新的A值");
            return false;
        }
        if (!(w_ > 0)) {
            wMessage("你选取的w值小于0，或等于0。请让w>0。");
            return false;
        }
        return true;
    }

    bool finiteParams() const override { return std::isfinite(a_) && TrigWindow::finiteParams(); }

    QString expression(bool minusJoins) const {
        return QStringLiteral("Y=") + numfmt::text(a_) + trig::argument(kind_.name, w_, p_, minusJoins);
    }

    void drawCurve() override {
        Canvas& c = canvas();
        if (!beginPlot()) return;
        c.points(trig::wavePoints(a_, w_, p_, f_));
        frame_.current->setText(kind_.current + expression(true));
        const double ty = 2 + f_(trig::plotRun().after);
        c.currentX = 2;
        c.currentY = (ty >= -10 && ty <= 10) ? ty : 9;
        c.setForeColor(QColor(255, 0, 0));
        if (expressionShown()) c.print(expression(false));
        c.setForeColor(QColor(0, 0, 0));
    }

    QStringList curveFeatures() const override { return trig::waveFeatures(a_, w_); }

    bool valueAt(float x, float& y) override {
        y = float(a_ * f_(double(w_ * x + p_)));
        return true;
    }

    void showPeriod() override {
        const float w = number(trig_.w);
        // A w beyond single range has no period to show: 2 / w would read 0π.
        if (!std::isfinite(w)) return refusePeriod();
        if (w == 0) return wMessage("你选取的w值小于0，或等于0。请让w>0。");
        const float period = 2.0f / w;
        if (!std::isfinite(period)) return refusePeriod();
        trig_.period->setText(QStringLiteral("函数的周期: ") + trig::piText(numfmt::text(period)));
    }

    double periodStart() override { return -p_ / w_; }
    double periodLength() override { return trig::kTwoPi / w_; }
    double barTop() override { return a_; }

    void lookupX() override {
        if (!readChecked()) return;
        const float y = number(frame_.xLookup.input);
        if (y < -a_ || y > a_) {
            warn("你选取的y值小于或大于A的值。", "操作提示：请更换一个新的y值");
            return;
        }
        const float x = finiteParams() ? trig::waveSolve(a_, w_, p_, y, kind_.cosine) : NAN;
        if (!std::isfinite(x)) return tooLargeMessage();
        frame_.xLookup.equation->setText(numfmt::text(a_) + trig::argument(kind_.name, w_, p_, false) +
                                         QStringLiteral("=") + numfmt::text(y));
        frame_.xLookup.result->setText(numfmt::text(x));
        frame_.xLookup.input->setFocus(Qt::OtherFocusReason);
    }

    WaveKind kind_;
    double (*f_)(double) = nullptr;
    float a_ = 0;
    QLineEdit* aBox_ = nullptr;      // Text1
    QScrollBar* aSlider_ = nullptr;  // HScroll1
};

}  // namespace

FamilyWindow* newWaveWindow(const WaveKind& kind) { return new WaveWindow(kind); }

FamilyWindow* createSine() {
    return newWaveWindow({7, "sine", "正弦函数的取值和图像", "正弦函数图像", "正弦函数通式：Y=Asin(wX+p)",
                          "当前正弦函数:", " Sin", "速查x值(只计算离周期起点最近的1个x值）", false});
}
