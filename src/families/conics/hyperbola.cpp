// The hyperbola in standard position, foci on the X axis
// (X^2/a^2 - Y^2/b^2 = 1) or on the Y axis (Y^2/a^2 - X^2/b^2 = 1).
#include <cmath>
#include <limits>

#include "families/conics/conic_common.h"
#include "families/conics/conics.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "plot/frame_texts.h"

namespace hyperbola {

using numfmt::text;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
double sq(float v) { return double(v) * v; }
// √(r² + r²·t²/s²): the branch that exists for every t.
float opened(float s, float r, float t) { return float(std::sqrt(sq(r) + sq(r) * sq(t) / sq(s))); }
// √(r²·t²/s² - r²): the branch that exists only for |t| >= s.
float closed(float s, float r, float t) {
    if (sq(t) < sq(s)) return kNaN;
    return float(conic::rootOfNonNegative(sq(r) * sq(t) / sq(s) - sq(r)));
}
}  // namespace

QString labelEquation(float a, float b, bool onX) {
    return QStringLiteral("当前双曲线的方程为：") + (onX ? QStringLiteral("X^2/") : QStringLiteral("Y^2/")) + text(a) +
           (onX ? QStringLiteral("^2 －Y^2/") : QStringLiteral("^2 －X^2/")) + text(b) + QStringLiteral("^2 =1");
}

QString canvasEquation(float a, float b, bool onX) {
    return (onX ? QStringLiteral("X^2/") : QStringLiteral("Y^2/")) + text(a) +
           (onX ? QStringLiteral("^2 -Y^2/") : QStringLiteral("^2 -X^2/")) + text(b) + QStringLiteral("^2 =1");
}

float halfHeight(float a, float b, bool onX, float x) { return onX ? closed(a, b, x) : opened(b, a, x); }
float conjugateHeight(float a, float b, bool onX, float x) { return onX ? opened(a, b, x) : closed(b, a, x); }
float halfWidth(float a, float b, bool onX, float y) { return onX ? opened(b, a, y) : closed(a, b, y); }

std::vector<QPointF> dots(float a, float b, bool onX) {
    return conic::mirroredDots(0.01f, [=](float x) { return halfHeight(a, b, onX, x); });
}

std::vector<QPointF> conjugateDots(float a, float b, bool onX) {
    return conic::mirroredDots(0.01f, [=](float x) { return conjugateHeight(a, b, onX, x); });
}

float textRow(float a, float b, bool onX) {
    if (onX) return conic::textRow(1.0 >= sq(a) ? float(conic::rootOfNonNegative(sq(b) / sq(a) - sq(b))) : 4.f);
    return conic::textRow(opened(b, a, 1.f));
}

float focalDistance(float a, float b) { return float(numfmt::roundHalfEven(std::sqrt(sq(a) + sq(b)), 2)); }
float eccentricity(float a, float b) { return float(std::sqrt(sq(a) + sq(b)) / a); }
float directrixDistance(float a, float b) { return float(numfmt::roundHalfEven(sq(a) / std::sqrt(sq(a) + sq(b)), 2)); }

QString asymptoteText(float a, float b, bool onX) {
    const QString p = text(onX ? b : a), q = text(onX ? a : b);
    return QStringLiteral("渐近线方程为Y＝") + p + QStringLiteral("X/") + q + QStringLiteral("和Y＝-") + p +
           QStringLiteral("X/") + q;
}

QString conjugateText(float a, float b, bool onX) {
    return QStringLiteral("共轭双曲线方程为：") + (onX ? QStringLiteral("Y^2/") : QStringLiteral("X^2/")) + text(b) +
           (onX ? QStringLiteral("^2 －X^2/") : QStringLiteral("^2 －Y^2/")) + text(a) + QStringLiteral("^2 =1");
}

QString yLookupEquation(float a, float b, bool onX, float x) {
    if (onX)
        return text(x) + QStringLiteral("^2/") + text(a) + QStringLiteral("^2 -Y^2/") + text(b) +
               QStringLiteral("^2 =1");
    return QStringLiteral(" Y  ^2/") + text(a) + QStringLiteral("^2 -") + text(x) + QStringLiteral("^2/") + text(b) +
           QStringLiteral("^2 =1");
}

QString xLookupEquation(float a, float b, bool onX, float y) {
    if (onX)
        return QStringLiteral(" X^2/") + text(a) + QStringLiteral("^2 -") + text(y) + QStringLiteral("^2/") + text(b) +
               QStringLiteral("^2 =1");
    return text(y) + QStringLiteral("^2/") + text(a) + QStringLiteral("^2 -X^2/") + text(b) + QStringLiteral("^2 =1");
}

}  // namespace hyperbola

namespace {

class HyperbolaWindow : public ConicWindow {
public:
    HyperbolaWindow() : ConicWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            radio("Option1", 8, 8, 105, 17, "焦点在X轴").on(),
            radio("Option2", 128, 8, 113, 17, "焦点在Y轴"),
            label("Label17", 8, 32, 377, 25, "双曲线的标准方程：x^2/a^2－y^2/b^2=1").font("黑体", 14.25),
            label("Labfc", 392, 8, 409, 25, "当前双曲线的方程为：").font("宋体", 12).color(192, 0, 0),
            label("Label4(0)", 24, 64, 25, 25, "a=").font("times new roman", 13.5),
            textBox("Text1(0)", 56, 64, 57, 25, "3").font("宋体", 13.5).tooltip(tip),
            slider("HScroll1", 128, 64, 153, 25, 1, 10, 1),
            label("Label4(1)", 24, 96, 25, 25, "b=").font("times new roman", 13.5),
            textBox("Text1(1)", 56, 96, 57, 25, "2").font("宋体", 13.5).tooltip(tip),
            slider("HScroll2", 128, 96, 153, 25, 1, 10, 1),
            button("Command1", 296, 56, 73, 25, "刷新作图"),
            button("fugai", 296, 88, 73, 25, "覆盖作图").back(192, 255, 192),
            button("Commandfgqd", 296, 120, 73, 25, "确定覆盖").back(192, 255, 192).hide(),
            button("wangge", 296, 152, 73, 25, "显示网格"),
            check("Checkhide", 280, 177, 81, 23, "隐藏坐标系"),
            check("Check1", 280, 200, 97, 33, "在图像上注明函数表达式").on(),
            button("Command2", 8, 128, 73, 25, "标出焦点"),
            label("Label6", 88, 120, 209, 41).font("宋体", 12).color(0, 192, 0),
            button("Command3", 8, 160, 73, 25, "离心率"),
            label("Label7", 88, 164, 192, 25).color(192, 0, 0),
            button("Command4", 8, 192, 73, 25, "准线"),
            label("Label2", 88, 196, 192, 25).color(0, 128, 0),
            button("Command6", 8, 224, 73, 25, "渐近线"),
            label("Label1", 88, 233, 281, 24).color(192, 0, 0),
            button("Command7", 8, 264, 97, 25, "绘制共轭双曲线"),
            label("Label3", 104, 272, 273, 25).color(0, 0, 192),
        });
        buildLookupPanel(this, lookupPanel(true, 16, 312, 97));
        LookupPanel x = lookupPanel(false, 16, 424, 97);
        x.equation.moveLeft(96);
        buildLookupPanel(this, x);
        pairOptions();
        onClick("Option1", [this] { setText("Label17", "双曲线的标准方程：x^2/a^2－y^2/b^2=1"); });
        onClick("Option2", [this] { setText("Label17", "双曲线的标准方程：y^2/a^2－x^2/b^2=1"); });
        onClick("Command2", [this] { foci(); });
        onClick("Command3", [this] { eccentricity(); });
        onClick("Command4", [this] { directrices(); });
        onClick("Command6", [this] { asymptotes(); });
        onClick("Command7", [this] { conjugate(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t = conicTraits(13, "hyperbola", "双曲线的取值和图像", "双曲线的图像");
        t.sliders = {{"HScroll1", "Text1(0)", {}}, {"HScroll2", "Text1(1)", {}}};
        t.overlayEmpties = {{"Label6", ""}, {"Label7", ""}, {"Label2", ""}, {"Label1", ""},
                            {"Label3", ""}, {"Labfc", ""},  {"Labfc2", ""}, {"Labfc3", ""}};
        t.redrawEmpties = t.overlayEmpties;
        return t;
    }

    bool onX() const { return focusOnX(); }

    // Reads a and b; both must be positive singles.
    bool valid() {
        a_ = number("Text1(0)");
        b_ = number("Text1(1)");
        if (tooLarge({a_, b_})) return false;
        if (a_ <= 0 || b_ <= 0) {
            message("你输入了无效数字，双曲线方程中的a、b值都不能是负值或零。", "提示：请改变a、b的值");
            return false;
        }
        return true;
    }

    void drawCurve() override {
        plotOk_ = valid();
        if (!plotOk_) return;
        const bool x = onX();
        setText("Labfc", hyperbola::labelEquation(a_, b_, x));
        dots(hyperbola::dots(a_, b_, x));
        expressionText(1, hyperbola::textRow(a_, b_, x), hyperbola::canvasEquation(a_, b_, x));
    }

    void foci() {
        emptyLookups();
        if (!valid()) return;
        const float c = hyperbola::focalDistance(a_, b_);
        if (tooLarge({c})) return;
        markFoci(c, onX());
    }

    void eccentricity() {
        emptyLookups();
        if (!valid()) return;
        const float e = hyperbola::eccentricity(a_, b_);
        if (tooLarge({e})) return;
        setText("Label7", QStringLiteral("e =") + numfmt::text(e));
    }

    void directrices() {
        if (!rebuildPicture()) return;
        const float d = hyperbola::directrixDistance(a_, b_);
        if (tooLarge({d})) return;
        drawDirectrices(d, a_, b_, onX());
    }

    void asymptotes() {
        emptyLookups();
        if (!valid()) return;
        const bool x = onX();
        const float k = x ? b_ / a_ : a_ / b_;
        if (tooLarge({k})) return;
        Canvas& c = canvas();
        c.setForeColor(QColor(255, 0, 0));
        setText("Label1", hyperbola::asymptoteText(a_, b_, x));
        c.line(-10, -10.f * k, 10, 10.f * k);
        c.line(-10, 10.f * k, 10, -10.f * k);
        c.setForeColor(QColor(0, 0, 0));
    }

    void conjugate() {
        if (!valid()) return;
        const bool x = onX();
        Canvas& c = canvas();
        c.setForeColor(QColor(0, 0, 255));
        setText("Label3", hyperbola::conjugateText(a_, b_, x));
        dots(hyperbola::conjugateDots(a_, b_, x));
        c.setForeColor(QColor(0, 0, 0));
    }

    void lookupY() override {
        setText("Labfc3", QString());
        if (!valid()) return;
        const float x = number("Tx1");
        if (tooLarge({x})) return;
        const bool ox = onX();
        const float y = hyperbola::halfHeight(a_, b_, ox, x);
        if (y != y) {
            message("你输入的x值无效，双曲线方程中无y值与它对应。", "提示：请改变x的值");
            return;
        }
        if (tooLarge({y})) return;
        setText("Labfc3", hyperbola::yLookupEquation(a_, b_, ox, x));
        showPair("Ty1", "ty3", y, -y);
    }

    void lookupX() override {
        setText("Labfc2", QString());
        if (!valid()) return;
        const float y = number("Ty2");
        if (tooLarge({y})) return;
        const bool ox = onX();
        const float x = hyperbola::halfWidth(a_, b_, ox, y);
        if (x != x) {
            message("你输入的y值无效，双曲线方程中无x值与它对应。", "提示：请改变y的值");
            return;
        }
        if (tooLarge({x})) return;
        setText("Labfc2", hyperbola::xLookupEquation(a_, b_, ox, y));
        showPair("Tx2", "Tx3", x, -x);
    }

    float a_ = 0, b_ = 0;
};

}  // namespace

FamilyWindow* createHyperbola() { return new HyperbolaWindow; }
