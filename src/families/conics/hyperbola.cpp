// The hyperbola in standard position, foci on the X axis
// (X^2/a^2 - Y^2/b^2 = 1) or on the Y axis (Y^2/a^2 - X^2/b^2 = 1).
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <cmath>
#include <limits>

#include "families/conics/conic_window.h"
#include "families/conics/conics.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/frame_texts.h"

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

float asymptoteSlope(float a, float b, bool onX) { return onX ? b / a : a / b; }

std::pair<QLineF, QLineF> asymptotes(float k) {
    return {QLineF(-10, -10.f * k, 10, 10.f * k), QLineF(-10, 10.f * k, 10, -10.f * k)};
}

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

QStringList features(float a, float b, bool onX) {
    const QString k = text(asymptoteSlope(a, b, onX));
    return {QStringLiteral("中心 (0,0)"), conic::fociFeature(focalDistance(a, b), onX),
            QStringLiteral("渐近线 y=") + k + QStringLiteral("x 和 y=-") + k + QStringLiteral("x"),
            conic::eccentricityFeature(eccentricity(a, b))};
}

}  // namespace hyperbola

namespace {

class HyperbolaWindow : public ConicWindow {
public:
    HyperbolaWindow() : ConicWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            radio("Option1", 8, 8, 105, 17, "焦点在X轴").on().bind(&option1_),
            radio("Option2", 128, 8, 113, 17, "焦点在Y轴").bind(&option2_),
            label("Label17", 8, 32, 377, 25, "双曲线的标准方程：x^2/a^2－y^2/b^2=1")
                .font("黑体", 14.25)
                .bind(&ui_.form),
            label("Labfc", 392, 8, 409, 25, "当前双曲线的方程为：")
                .font("宋体", 12)
                .color(192, 0, 0)
                .bind(&frame_.current),
            label("Label4(0)", 24, 64, 25, 25, "a=").font("times new roman", 13.5),
            textBox("Text1(0)", 56, 64, 57, 25, "3").font("宋体", 13.5).tooltip(tip).bind(&ui_.a),
            slider("HScroll1", 128, 64, 153, 25, 1, 10, 1).bind(&ui_.sa),
            label("Label4(1)", 24, 96, 25, 25, "b=").font("times new roman", 13.5),
            textBox("Text1(1)", 56, 96, 57, 25, "2").font("宋体", 13.5).tooltip(tip).bind(&ui_.b),
            slider("HScroll2", 128, 96, 153, 25, 1, 10, 1).bind(&ui_.sb),
        });
        frameButtons(296, 56, 73, 25);
        build({
            check("Checkhide", 280, 177, 81, 23, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 280, 200, 97, 33, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 8, 128, 73, 25, "标出焦点").bind(&ui_.foci),
            label("Label6", 88, 120, 209, 41).font("宋体", 12).color(0, 192, 0).bind(&fociLabel_),
            button("Command3", 8, 160, 73, 25, "离心率").bind(&ui_.eccentricity),
            label("Label7", 88, 164, 192, 25).color(192, 0, 0).bind(&ui_.eccentricityLabel),
            button("Command4", 8, 192, 73, 25, "准线").bind(&ui_.directrices),
            label("Label2", 88, 196, 192, 25).color(0, 128, 0).bind(&directrixLabel_),
            button("Command6", 8, 224, 73, 25, "渐近线").bind(&ui_.asymptotes),
            label("Label1", 88, 233, 281, 24).color(192, 0, 0).bind(&ui_.asymptoteLabel),
            // Wide enough for its seven characters at 10.5 points; the result
            // label starts clear of it and reaches to just before the canvas,
            // so "Y^2/2^2 －X^2/3^2 =1" stays on one line.
            button("Command7", 8, 264, 103, 25, "绘制共轭双曲线").bind(&ui_.conjugate),
            label("Label3", 115, 272, 268, 25).color(0, 0, 192).bind(&ui_.conjugateLabel),
        });
        frame_.yLookup = buildLookupPanel(this, lookupPanel(true, 16, 312, 97));
        LookupPanel x = lookupPanel(false, 16, 424, 97);
        x.equation.moveLeft(96);
        frame_.xLookup = buildLookupPanel(this, x);
        frame_.sliders = {{ui_.sa, ui_.a, {}}, {ui_.sb, ui_.b, {}}};
        frame_.overlayEmpties = {{fociLabel_, ""},
                                 {ui_.eccentricityLabel, ""},
                                 {directrixLabel_, ""},
                                 {ui_.asymptoteLabel, ""},
                                 {ui_.conjugateLabel, ""},
                                 {frame_.current, ""},
                                 {frame_.xLookup.equation, ""},
                                 {frame_.yLookup.equation, ""}};
        frame_.redrawEmpties = frame_.overlayEmpties;
        pairOptions();
        onClick(option1_, [this] { ui_.form->setText("双曲线的标准方程：x^2/a^2－y^2/b^2=1"); });
        onClick(option2_, [this] { ui_.form->setText("双曲线的标准方程：y^2/a^2－x^2/b^2=1"); });
        onClick(ui_.foci, [this] { foci(); });
        onClick(ui_.eccentricity, [this] { eccentricity(); });
        onClick(ui_.directrices, [this] { directrices(); });
        onClick(ui_.asymptotes, [this] { asymptotes(); });
        onClick(ui_.conjugate, [this] { conjugate(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t = conicTraits(13, "hyperbola", "双曲线的取值和图像", "双曲线的图像");
        t.animatorButton = {296, 5, 73, 24};  // at the top, over 刷新作图, beside the focus's axis
        return t;
    }

    bool onX() const { return focusOnX(); }

    // Reads a and b; both must be positive singles.
    bool valid() {
        a_ = number(ui_.a);
        b_ = number(ui_.b);
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
        frame_.current->setText(hyperbola::labelEquation(a_, b_, x));
        dots(hyperbola::dots(a_, b_, x));
        expressionText(1, hyperbola::textRow(a_, b_, x), hyperbola::canvasEquation(a_, b_, x));
    }

    QStringList curveFeatures() const override { return hyperbola::features(a_, b_, onX()); }

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
        ui_.eccentricityLabel->setText(QStringLiteral("e =") + numfmt::text(e));
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
        const float k = hyperbola::asymptoteSlope(a_, b_, x);
        if (tooLarge({k})) return;
        Canvas& c = canvas();
        c.setForeColor(QColor(255, 0, 0));
        ui_.asymptoteLabel->setText(hyperbola::asymptoteText(a_, b_, x));
        const auto [l1, l2] = hyperbola::asymptotes(k);
        for (const QLineF& l : {l1, l2}) c.line(l.x1(), l.y1(), l.x2(), l.y2());
        c.setForeColor(QColor(0, 0, 0));
    }

    void conjugate() {
        if (!valid()) return;
        const bool x = onX();
        Canvas& c = canvas();
        c.setForeColor(QColor(0, 0, 255));
        ui_.conjugateLabel->setText(hyperbola::conjugateText(a_, b_, x));
        dots(hyperbola::conjugateDots(a_, b_, x));
        c.setForeColor(QColor(0, 0, 0));
    }

    void lookupY() override {
        lookup(frame_.yLookup, hyperbola::halfHeight, hyperbola::yLookupEquation, QStringLiteral("x"),
               QStringLiteral("y"));
    }
    void lookupX() override {
        lookup(frame_.xLookup, hyperbola::halfWidth, hyperbola::xLookupEquation, QStringLiteral("y"),
               QStringLiteral("x"));
    }

    // Both look-ups: the given coordinate t from the panel's box, the other
    // one as ±solve(t), the equation solved beside it. `given` and `sought`
    // name the coordinates in the message for a t the curve never reaches.
    void lookup(const LookupControls& panel, float (*solve)(float, float, bool, float),
                QString (*equation)(float, float, bool, float), const QString& given, const QString& sought) {
        panel.equation->clear();
        if (!valid()) return;
        const float t = number(panel.input);
        if (tooLarge({t})) return;
        const bool ox = onX();
        const float v = solve(a_, b_, ox, t);
        if (v != v) {
            message(QStringLiteral("你输入的") + given + QStringLiteral("值无效，双曲线方程中无") + sought +
                        QStringLiteral("值与它对应。"),
                    QStringLiteral("提示：请改变") + given + QStringLiteral("的值"));
            return;
        }
        if (tooLarge({v})) return;
        panel.equation->setText(equation(a_, b_, ox, t));
        showPair(panel, v, -v);
    }

    float a_ = 0, b_ = 0;
    struct {
        QLabel* form = nullptr;                                                        // Label17
        QLineEdit *a = nullptr, *b = nullptr;                                          // Text1(0), Text1(1)
        QScrollBar *sa = nullptr, *sb = nullptr;                                       // HScroll1, HScroll2
        QPushButton *foci = nullptr, *eccentricity = nullptr, *directrices = nullptr;  // Command2..4
        QPushButton *asymptotes = nullptr, *conjugate = nullptr;                       // Command6, Command7
        QLabel *eccentricityLabel = nullptr, *asymptoteLabel = nullptr, *conjugateLabel = nullptr;  // Label7, 1, 3
    } ui_;
};

}  // namespace

FamilyWindow* createHyperbola() { return new HyperbolaWindow; }
