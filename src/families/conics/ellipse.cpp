// The ellipse X^2/a^2 + Y^2/b^2 = 1 in standard position.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>
#include <limits>

#include "families/conics/conic_window.h"
#include "families/conics/conics.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/frame_texts.h"

namespace ellipse {

using numfmt::text;

QString equation(float a, float b) {
    return QStringLiteral("X^2/") + text(a) + QStringLiteral("^2 +Y^2/") + text(b) + QStringLiteral("^2 =1");
}

namespace {
// The root of r^2 - r^2·t^2/s^2: the other semi-axis r scaled at t along s.
float across(float s, float r, float t) {
    if (double(t) * t > double(s) * s) return std::numeric_limits<float>::quiet_NaN();
    const double r2 = double(r) * r;
    // The ratio first, so that the tip t = ±s gives exactly 0.
    return float(conic::rootOfNonNegative(r2 - r2 * ((double(t) * t) / (double(s) * s))));
}
double focal(float a, float b) { return std::sqrt(std::fabs(double(a) * a - double(b) * b)); }
}  // namespace

float halfHeight(float a, float b, float x) { return across(a, b, x); }
float halfWidth(float a, float b, float y) { return across(b, a, y); }

std::vector<QPointF> dots(float a, float b) {
    return conic::mirroredDots(0.01f, [a, b](float x) { return halfHeight(a, b, x); });
}

float textRow(float a, float b) {
    if (a < 1) return 4.f;
    const double b2 = double(b) * b;
    return conic::textRow(float(conic::rootOfNonNegative(b2 - b2 / (double(a) * a))));
}

float focalDistance(float a, float b) { return float(numfmt::roundHalfEven(focal(a, b), 2)); }

float eccentricity(float a, float b) { return float(focal(a, b) / (a > b ? a : b)); }

float directrixDistance(float a, float b) {
    const double major = a > b ? a : b;
    return float(numfmt::roundHalfEven(major * major / focal(a, b), 2));
}

QStringList features(float a, float b) {
    if (a == b)
        return {QStringLiteral("a=b，图像是圆"), QStringLiteral("圆心 (0,0)"), QStringLiteral("半径 ") + text(a)};
    const bool onX = a > b;
    const float major = onX ? a : b, minor = onX ? b : a;
    return {QStringLiteral("中心 (0,0)"),
            QStringLiteral("长轴在 ") + (onX ? QStringLiteral("x") : QStringLiteral("y")) +
                QStringLiteral(" 轴上，长 ") + text(2 * major),
            QStringLiteral("短轴长 ") + text(2 * minor), conic::fociFeature(focalDistance(a, b), onX),
            conic::eccentricityFeature(eccentricity(a, b))};
}

}  // namespace ellipse

namespace {

class EllipseWindow : public ConicWindow {
public:
    EllipseWindow() : ConicWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            label("Label17", 0, 8, 385, 25, "椭圆的标准方程：x^2/a^2 + y^2/b^2=1").font("黑体", 15.75).color(0, 0, 192),
            label("Labfc", 392, 8, 409, 25, "当前椭圆的方程为：")
                .font("宋体", 12)
                .color(192, 0, 0)
                .bind(&frame_.current),
            label("Label4(0)", 16, 48, 25, 25, "a=").font("times new roman", 13.5),
            textBox("Text1(0)", 48, 48, 57, 25, "6").font("宋体", 13.5).tooltip(tip).bind(&ui_.a),
            slider("HScroll1", 120, 48, 153, 25, 1, 10, 1).bind(&ui_.sa),
            label("Label4(1)", 16, 88, 25, 25, "b=").font("times new roman", 13.5),
            textBox("Text1(1)", 48, 88, 57, 25, "3").font("宋体", 13.5).tooltip(tip).bind(&ui_.b),
            slider("HScroll2", 120, 88, 153, 25, 1, 10, 1).bind(&ui_.sb),
            label(
                "Label1(0)", 16, 128, 257, 41,
                "说明：如果要取一个自定义的值（用滚动条无法实现），可直接在上面的文本框中输入。然后点击“刷新作图”或“覆盖作图”。")
                .font("宋体", 9),
        });
        frameButtons(288, 40, 73, 25);
        build({
            check("Checkhide", 289, 176, 81, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 289, 204, 95, 41, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 8, 184, 72, 24, "标出焦点").bind(&ui_.foci),
            label("Label6", 88, 176, 201, 41).font("宋体", 12).color(0, 192, 0).bind(&fociLabel_),
            button("Command3", 8, 216, 72, 24, "离心率").bind(&ui_.eccentricity),
            label("Label7", 88, 224, 193, 17, "e=").color(192, 0, 0).bind(&ui_.eccentricityLabel),
            button("Command4", 8, 248, 73, 25, "准线").bind(&ui_.directrices),
            label("Label2", 88, 256, 281, 17, "准线方程：").color(0, 128, 0).bind(&directrixLabel_),
        });
        LookupPanel y = lookupPanel(true, 8, 296, 97);
        y.input.setSize({72, 17});
        y.button.setHeight(24);
        y.result.setSize({80, 17});
        frame_.yLookup = buildLookupPanel(this, y);
        LookupPanel x = lookupPanel(false, 8, 408, 105);
        x.input.setSize({72, 17});
        x.button.setHeight(24);
        x.result.setSize({80, 17});
        x.result2.setSize({80, 17});
        // The equation sits beside its caption rather than under it.
        x.eqCaption.moveTop(80);
        x.equation.setHeight(25);
        frame_.xLookup = buildLookupPanel(this, x);
        frame_.sliders = {{ui_.sa, ui_.a, {}}, {ui_.sb, ui_.b, {}}};
        frame_.redrawEmpties = {{fociLabel_, ""},
                                {directrixLabel_, ""},
                                {frame_.current, ""},
                                {frame_.xLookup.equation, ""},
                                {frame_.yLookup.equation, ""},
                                {ui_.eccentricityLabel, ""}};
        frame_.overlayEmpties = {{fociLabel_, ""}, {directrixLabel_, ""}, {ui_.eccentricityLabel, ""}};
        onClick(ui_.foci, [this] { foci(); });
        onClick(ui_.eccentricity, [this] { eccentricity(); });
        onClick(ui_.directrices, [this] { directrices(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t = conicTraits(12, "ellipse", "椭圆的取值和图像", "椭圆的图像");
        t.gridOffRedraws = true;
        t.animatorButton = {288, 515, 73, 24};  // under the look-up of x
        return t;
    }

    void read() {
        a_ = number(ui_.a);
        b_ = number(ui_.b);
    }

    // Reads a and b; refuses a semi-axis <= 0 and values beyond single
    // precision. Equal semi-axes only bring the notice that the figure is a
    // circle: the action goes on with it.
    bool checkParams() {
        read();
        if (tooLarge({a_, b_})) return false;
        if (a_ <= 0 || b_ <= 0) {
            message("你输入了无效数字，椭圆方程中的a、b值都不能是负值或零。", "提示：请改变a、b的值");
            return false;
        }
        if (a_ == b_) message("你输入了相同的a、b值，所得图像是一个圆。", "提示：这是一个圆");
        return true;
    }

    void showEquation() { frame_.current->setText(QStringLiteral("当前椭圆的方程为：") + ellipse::equation(a_, b_)); }

    void drawCurve() override {
        plotOk_ = checkParams();
        if (!plotOk_) return;
        showEquation();
        dots(ellipse::dots(a_, b_));
        expressionText(1, ellipse::textRow(a_, b_), ellipse::equation(a_, b_));
    }

    QStringList curveFeatures() const override { return ellipse::features(a_, b_); }

    void foci() {
        emptyLookups();
        if (!checkParams()) return;
        showEquation();
        const float c = ellipse::focalDistance(a_, b_);
        if (tooLarge({c})) return;
        markFoci(c, a_ > b_);
    }

    void eccentricity() {
        emptyLookups();
        if (!checkParams()) return;
        showEquation();
        const float e = ellipse::eccentricity(a_, b_);
        if (tooLarge({e})) return;
        ui_.eccentricityLabel->setText(QStringLiteral("e=") + numfmt::text(e));
    }

    void directrices() {
        read();
        directrixLabel_->clear();
        if (tooLarge({a_, b_})) return;
        if (a_ == b_) {
            message("你输入了相同的a、b值，所得图像是一个圆,不存在准线。", "提示：这是一个圆");
            return;
        }
        // The rebuild refuses a semi-axis <= 0 with its own message; there
        // is nothing to draw after that.
        if (!rebuildPicture()) return;
        const float d = ellipse::directrixDistance(a_, b_);
        if (tooLarge({d})) return;
        drawDirectrices(d, a_, b_, a_ > b_);
    }

    void lookupY() override {
        frame_.yLookup.equation->clear();
        read();
        const float x = number(frame_.yLookup.input);
        if (!checkParams() || tooLarge({x})) return;
        const float y = ellipse::halfHeight(a_, b_, x);
        if (y != y) {
            message("你输入的x值无效，椭圆方程中无y值与它对应。", "提示：请改变x的值");
            return;
        }
        if (tooLarge({y})) return;
        showPair(frame_.yLookup, y, -y);
        frame_.yLookup.equation->setText(numfmt::text(x) + QStringLiteral("^2/") + numfmt::text(a_) +
                                         QStringLiteral("^2 +Y^2/") + numfmt::text(b_) + QStringLiteral("^2 =1"));
    }

    void lookupX() override {
        frame_.xLookup.equation->clear();
        read();
        const float y = number(frame_.xLookup.input);
        if (!checkParams() || tooLarge({y})) return;
        const float x = ellipse::halfWidth(a_, b_, y);
        if (x != x) {
            message("你输入的y值无效，椭圆方程中无x值与它对应。", "提示：请改变y的值");
            return;
        }
        if (tooLarge({x})) return;
        showPair(frame_.xLookup, x, -x);
        frame_.xLookup.equation->setText(QStringLiteral("X^2 /") + numfmt::text(a_) + QStringLiteral("^2 +") +
                                         numfmt::text(y) + QStringLiteral("^2/") + numfmt::text(b_) +
                                         QStringLiteral("^2 =1"));
    }

    float a_ = 0, b_ = 0;
    struct {
        QLineEdit *a = nullptr, *b = nullptr;                                          // Text1(0), Text1(1)
        QScrollBar *sa = nullptr, *sb = nullptr;                                       // HScroll1, HScroll2
        QPushButton *foci = nullptr, *eccentricity = nullptr, *directrices = nullptr;  // Command2..4
        QLabel* eccentricityLabel = nullptr;                                           // Label7
    } ui_;
};

}  // namespace

FamilyWindow* createEllipse() { return new EllipseWindow; }
