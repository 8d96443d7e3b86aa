// The parabola in its four standard positions: Y^2 = ±2pX and X^2 = ±2pY.
// The option buttons choose the axis of the focus, the sign of p the side.
#include <cmath>
#include <limits>

#include "families/conics/conic_common.h"
#include "families/conics/conics.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "plot/frame_texts.h"

namespace parabola {

using numfmt::text;

QString equation(float p, bool onX) {
    const QString lhs = onX ? QStringLiteral("Y^2=") : QStringLiteral("X^2=");
    const QString rhs = onX ? QStringLiteral("X") : QStringLiteral("Y");
    // A negative p is written as a full-width minus before its magnitude.
    if (p > 0) return lhs + QStringLiteral("2*") + text(p) + rhs;
    return lhs + QStringLiteral("－2*") + text(-p) + rhs;
}

float squaredSide(float p, float t) {
    // The sign test is made on the single-precision product.
    if (!(p * t >= 0)) return std::numeric_limits<float>::quiet_NaN();
    return float(std::sqrt(2.0 * p * t));
}

float linearSide(float p, float t) { return float(double(t) * t / (2.0 * p)); }

std::vector<QPointF> dots(float p, bool onX) {
    if (onX) return conic::mirroredDots(0.01f, [p](float x) { return squaredSide(p, x); });
    std::vector<QPointF> pts;
    pts.reserve(2048);
    conic::sweep(0.01f, [&](float x) {
        const float y = linearSide(p, x);
        if (conic::inBand(y)) pts.emplace_back(x, y);
    });
    return pts;
}

float textRow(float p, bool onX) {
    if (onX) return conic::textRow(p > 0 ? float(std::sqrt(4.0 * p)) : 4.f);
    return conic::textRow(linearSide(p, 2.f));
}

}  // namespace parabola

namespace {

const QColor kGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);

class ParabolaWindow : public ConicWindow {
public:
    ParabolaWindow() : ConicWindow(makeTraits()) {
        build({
            radio("Option1", 8, 8, 105, 17, "焦点在X轴").on(),
            radio("Option2", 128, 8, 113, 17, "焦点在Y轴"),
            label("Label17", 8, 32, 377, 25, "抛物线的标准方程：Y^2 = 2pX").font("黑体", 14.25).color(0, 0, 192),
            label("Labfc", 392, 8, 409, 25, "当前抛物线的方程为：").font("宋体", 12).color(192, 0, 0),
            label("Label4(0)", 24, 72, 25, 25, "p=").font("times new roman", 13.5),
            textBox("Text1", 56, 72, 57, 25, "3").font("宋体", 13.5).tooltip(frametext::paramTip()),
            slider("HScroll1", 128, 72, 153, 25, -10, 10, 1),
            button("Command1", 296, 56, 73, 25, "刷新作图"),
            button("fugai", 296, 88, 73, 25, "覆盖作图").back(192, 255, 192),
            button("Commandfgqd", 296, 120, 73, 25, "确定覆盖").back(192, 255, 192).hide(),
            button("wangge", 296, 152, 73, 25, "显示网格"),
            check("Checkhide", 289, 180, 81, 25, "隐藏坐标系"),
            check("Check1", 289, 208, 95, 41, "在图像上注明函数表达式").on(),
            button("Command2", 8, 128, 73, 25, "标出焦点"),
            label("Label6", 88, 132, 201, 25).font("宋体", 12).color(0, 192, 0),
            button("Command3", 8, 168, 73, 25, "离心率"),
            label("Label7", 88, 172, 193, 25).font("宋体", 12).color(192, 0, 0),
            button("Command4", 8, 208, 73, 25, "准线"),
            label("Label2", 88, 212, 201, 25).font("宋体", 12).color(0, 128, 0),
        });
        buildLookupPanel(this, lookupPanel(true, 16, 264, 97));
        buildLookupPanel(this, lookupPanel(false, 16, 384, 97));
        pairOptions();
        onClick("Option1", [this] { setText("Label17", "抛物线的标准方程：Y^2 = 2pX"); });
        onClick("Option2", [this] { setText("Label17", "抛物线的标准方程：X^2 = 2pY"); });
        onClick("Command2", [this] { focus(); });
        onClick("Command3", [this] { eccentricity(); });
        onClick("Command4", [this] { directrix(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t = conicTraits(14, "parabola", "抛物线的取值和图像", "抛物线的图像");
        t.sliders = {{"HScroll1", "Text1", {}}};
        t.firstParam = "Text1";
        t.overlayEmpties = {{"Label6", ""}, {"Label2", ""}, {"Labfc", ""},
                            {"Labfc2", ""}, {"Labfc3", ""}, {"Label7", ""}};
        t.redrawEmpties = t.overlayEmpties;
        t.readoutPos = QPoint(656, 440);
        return t;
    }

    bool onX() const { return focusOnX(); }

    // Reads p; zero (also empty or unreadable text) is refused everywhere.
    bool readP() {
        p_ = number("Text1");
        if (tooLarge({p_})) return false;
        if (p_ == 0) {
            message("你输入了无效数字，抛物线方程中的p值不能是零。", "提示：请改变p的值");
            return false;
        }
        return true;
    }

    void drawCurve() override {
        plotOk_ = readP();
        if (!plotOk_) return;
        const bool x = onX();
        setText("Labfc", QStringLiteral("当前抛物线的方程为：") + parabola::equation(p_, x));
        dots(parabola::dots(p_, x));
        expressionText(2, parabola::textRow(p_, x), parabola::equation(p_, x));
    }

    void focus() {
        emptyLookups();
        if (!readP()) return;
        const float f = p_ / 2;
        Canvas& c = canvas();
        c.setForeColor(kGreen);
        if (onX()) {
            setText("Label6", QStringLiteral("焦点坐标：F (") + numfmt::text(f) + QStringLiteral(",0)"));
            c.point(f, 0);
            c.currentX = f;
            c.currentY = -0.1;
        } else {
            setText("Label6", QStringLiteral("焦点坐标：F (0,") + numfmt::text(f) + QStringLiteral(")"));
            c.point(0, f);
            c.currentX = 0.2;
            c.currentY = double(f) + 0.2;
        }
        c.print(QStringLiteral("F"));
        c.setForeColor(kBlack);
    }

    void eccentricity() {
        emptyLookups();
        if (!readP()) return;
        setText("Label7", QStringLiteral("e = 1"));
    }

    void directrix() {
        if (!readP()) return;
        if (!rebuildPicture()) return;
        const float d = p_ / 2;
        Canvas& c = canvas();
        c.setForeColor(kGreen);
        if (onX()) {
            setText("Label2", QStringLiteral("准线方程是：x=") + numfmt::text(-d));
            c.line(-d, 10, -d, -10);
            c.currentX = 0.3 - double(d);
            c.currentY = 10.5;
        } else {
            setText("Label2", QStringLiteral("准线方程是：y=") + numfmt::text(-d));
            c.line(10, -d, -10, -d);
            c.currentX = 10.5;
            c.currentY = 0.3 - double(d);
        }
        c.print(QStringLiteral("l"));
        c.setForeColor(kBlack);
    }

    void lookupX() override {
        setText("Tx2", QString());
        setText("Tx3", QString());
        setText("Labfc2", QString());
        const float y = number("Ty2");
        if (!readP() || tooLarge({y})) return;
        const QString p = numfmt::text(p_);
        if (onX()) {
            const float x = parabola::linearSide(p_, y);
            if (tooLarge({x})) return;
            setText("Labfc2", numfmt::text(y) + QStringLiteral("^2 =2*") + p + QStringLiteral("*x"));
            setText("Tx2", numfmt::signedText(x));
            return;
        }
        const float x = parabola::squaredSide(p_, y);
        if (x != x) {
            message("你输入的y值无效，抛物线方程中无x值与它对应。", "提示：请改变y的值");
            return;
        }
        if (tooLarge({x})) return;
        setText("Labfc2", QStringLiteral("X^2 =2*") + p + QStringLiteral("*") + numfmt::text(y));
        showPair("Tx2", "Tx3", x, -x);
    }

    void lookupY() override {
        setText("Ty1", QString());
        setText("ty3", QString());
        setText("Labfc3", QString());
        const float x = number("Tx1");
        if (!readP() || tooLarge({x})) return;
        const QString p = numfmt::text(p_);
        if (onX()) {
            const float y = parabola::squaredSide(p_, x);
            if (y != y) {
                message("你输入的x值无效，抛物线方程中无y值与它对应。", "提示：请改变x的值");
                return;
            }
            if (tooLarge({y})) return;
            showPair("Ty1", "ty3", y, -y);
            setText("Labfc3", QStringLiteral("y^2 =2*") + p + QStringLiteral("*") + numfmt::text(x));
            return;
        }
        const float y = parabola::linearSide(p_, x);
        if (tooLarge({y})) return;
        setText("Ty1", numfmt::signedText(y));
        setText("Labfc3", numfmt::text(x) + QStringLiteral(" ^ 2 = 2 * ") + p + QStringLiteral(" * y"));
    }

    float p_ = 0;
};

}  // namespace

FamilyWindow* createParabola() { return new ParabolaWindow; }
