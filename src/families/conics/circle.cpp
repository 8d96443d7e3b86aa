// The circle in general form X^2 + Y^2 + DX + EY + F = 0.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>

#include "families/conics/conic_window.h"
#include "families/conics/conics.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/frame_texts.h"

using numfmt::text;

namespace circle {

double discriminant(float D, float E, float F) { return double(D) * D + double(E) * E - 4.0 * F; }

QString equation(float D, float E, float F) {
    return QStringLiteral("X^2 +Y^2+ ") + text(D) + QStringLiteral("X + ") + text(E) + QStringLiteral("Y+") + text(F) +
           QStringLiteral("=0");
}

namespace {
// What is left under the root when one coordinate is fixed at t: the other
// coordinate solves u^2 + P·u + (t^2 + S·t + F) = 0, so g = P^2 - 4(...).
double rest(float P, float S, float F, float t) { return double(P) * P - 4.0 * (double(t) * t + double(t) * S + F); }
}  // namespace

std::vector<QPointF> dots(float D, float E, float F) {
    std::vector<QPointF> pts;
    pts.reserve(8192);
    conic::sweep(0.005f, [&](float x) {
        const double g = rest(E, D, F, x);
        if (!(g >= 0)) return;
        const double root = std::sqrt(g);
        const float y1 = float((root - E) / 2);
        const float y2 = float((-E - root) / 2);
        if (conic::inBand(y1)) pts.emplace_back(x, y1);
        if (conic::inBand(y2)) pts.emplace_back(x, y2);
    });
    return pts;
}

float textRow(float D, float E, float F) {
    const double g1 = double(E) * E - 4.0 * (1.0 + D + F);
    const float row = g1 >= 0 ? float((std::sqrt(g1) - E) / 2) : 4.f;
    return conic::textRow(row);
}

std::optional<std::pair<float, float>> ysAt(float D, float E, float F, float x) {
    const double g = rest(E, D, F, x);
    if (!(g >= 0)) return std::nullopt;
    const double root = std::sqrt(g);
    return std::make_pair(float((root - E) / 2), float((-E - root) / 2));
}

std::optional<std::pair<float, float>> xsAt(float D, float E, float F, float y) {
    const double g = rest(D, E, F, y);
    if (!(g >= 0)) return std::nullopt;
    const double root = std::sqrt(g);
    return std::make_pair(float((root - D) / 2), float((-D - root) / 2));
}

QString yLookupEquation(float D, float E, float F, float x) {
    return numfmt::textDouble(double(x) * x) + QStringLiteral("+Y^2+ ") + text(x * D) + QStringLiteral(" + ") +
           text(E) + QStringLiteral("Y+") + text(F) + QStringLiteral("=0");
}

QString xLookupEquation(float D, float E, float F, float y) {
    return QStringLiteral("X^2 +") + numfmt::textDouble(double(y) * y) + QStringLiteral("+ ") + text(D) +
           QStringLiteral("X + ") + text(y * E) + QStringLiteral("+") + text(F) + QStringLiteral("=0");
}

QStringList features(float D, float E, float F) {
    const double q = discriminant(D, E, F);
    const QString centre = conic::pointText(-D / 2, -E / 2);
    if (q < 0) return {};
    if (q == 0) return {QStringLiteral("只表示一个点 ") + centre};
    return {QStringLiteral("圆心 ") + centre, QStringLiteral("半径 ") + text(float(std::sqrt(q) / 2))};
}

}  // namespace circle

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

class CircleWindow : public ConicWindow {
public:
    CircleWindow() : ConicWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            label("Label17", 8, 8, 353, 25, "圆的一般方程：x^2+y^2+Dx+Ey+F=0").font("黑体", 14.25).color(0, 0, 255),
            label("Labfc", 376, 8, 409, 25, "当前圆的方程为：").font("宋体", 12).color(192, 0, 0).bind(&frame_.current),
            label("Label4(0)", 16, 40, 25, 25, "D=").font("times new roman", 13.5),
            textBox("Text1(0)", 48, 40, 57, 25, "8").font("宋体", 13.5).tooltip(tip).bind(&ui_.D),
            slider("HScroll1", 120, 40, 153, 25, -50, 50, 0).bind(&ui_.sD),
            label("Label4(1)", 16, 80, 25, 25, "E=").font("times new roman", 13.5),
            textBox("Text1(1)", 48, 80, 57, 25, "0").font("宋体", 13.5).tooltip(tip).bind(&ui_.E),
            slider("HScroll2", 120, 80, 153, 25, -50, 50, 0).bind(&ui_.sE),
            label("Label4(2)", 16, 120, 25, 25, "F=").font("times new roman", 13.5),
            textBox("Text1(2)", 48, 120, 57, 25, "0").font("宋体", 13.5).tooltip(tip).bind(&ui_.F),
            slider("HScroll3", 120, 120, 153, 25, -50, 50, 0).bind(&ui_.sF),
            label(
                "Label1", 16, 152, 257, 41,
                "说明：如果要取一个自定义的值（用滚动条无法实现），可直接在上面的文本框中输入。然后点击“刷新作图”或“覆盖作图”。")
                .font("宋体", 9),
        });
        frameButtons(288, 40, 73, 25);
        build({
            check("Checkhide", 280, 176, 89, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 280, 208, 97, 33, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 8, 208, 73, 25, "标出圆心").bind(&ui_.centre),
            label("Label6", 88, 208, 185, 25).font("宋体", 12).color(0, 192, 0).bind(&ui_.centreLabel),
            button("Command3", 8, 248, 73, 25, "半径").bind(&ui_.radius),
            label("Label7", 88, 248, 265, 25).font("宋体", 12).color(192, 0, 0).bind(&ui_.radiusLabel),
        });
        frame_.yLookup = buildLookupPanel(this, lookupPanel(true, 8, 288, 97));
        LookupPanel x = lookupPanel(false, 8, 408, 113);
        x.eqCaption.moveTop(80);
        x.equation = {104, 80, 217, 25};
        frame_.xLookup = buildLookupPanel(this, x);
        frame_.sliders = {{ui_.sD, ui_.D, {}}, {ui_.sE, ui_.E, {}}, {ui_.sF, ui_.F, {}}};
        frame_.redrawEmpties = {
            {ui_.centreLabel, ""}, {frame_.xLookup.equation, ""}, {frame_.yLookup.equation, ""}, {ui_.radiusLabel, ""}};
        frame_.overlayEmpties = {{ui_.centreLabel, ""}, {ui_.radiusLabel, ""}};
        onClick(ui_.centre, [this] { centre(); });
        onClick(ui_.radius, [this] { radius(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() { return conicTraits(11, "circle", "圆的取值和图像", "圆的图像"); }

    // Reads D, E, F and says what they describe. Only a real circle lets the
    // action go on: no figure and the single point stop it (the point is
    // marked in red first); so does a value beyond single precision.
    bool classify() {
        D_ = number(ui_.D);
        E_ = number(ui_.E);
        F_ = number(ui_.F);
        const double q = circle::discriminant(D_, E_, F_);
        if (tooLarge({D_, E_, F_, q})) return false;
        const float Q = float(q);
        if (Q < 0) {
            message("你输入了无效数字，这时方程没有实数解，因而它不表示任何图形。", "提示：请改变D、E、F的值");
            return false;
        }
        frame_.current->setText(QStringLiteral("当前圆的方程为：") + circle::equation(D_, E_, F_));
        if (Q == 0) {
            message("你输入的D、E、F数值，使得这时圆的方程，只表示一个点（即图中的红色点）。",
                    "提示：请注意圆在哪儿！");
            canvas().setForeColor(kRed);
            canvas().point(-D_ / 2, -E_ / 2);
            canvas().setForeColor(kBlack);
            return false;
        }
        Q_ = Q;
        return true;
    }

    void drawCurve() override {
        plotOk_ = classify();
        if (!plotOk_) return;
        dots(circle::dots(D_, E_, F_));
        expressionText(1, circle::textRow(D_, E_, F_), circle::equation(D_, E_, F_));
    }

    QStringList curveFeatures() const override { return circle::features(D_, E_, F_); }

    void centre() {
        emptyLookups();
        if (!classify()) return;
        const float cx = -D_ / 2, cy = -E_ / 2;
        const QString at =
            QStringLiteral("(") + numfmt::text(cx) + QStringLiteral(",") + numfmt::text(cy) + QStringLiteral(")");
        ui_.centreLabel->setText(QStringLiteral("圆心坐标　") + at);
        Canvas& c = canvas();
        c.setForeColor(QColor(0, 255, 0));
        c.point(cx, cy);
        c.currentX = cx;
        c.currentY = double(cy) - 0.2;
        c.print(at);
        c.setForeColor(kBlack);
    }

    void radius() {
        emptyLookups();
        if (!classify()) return;
        const float r = float(std::sqrt(double(Q_)) / 2);
        ui_.radiusLabel->setText(QStringLiteral("此圆的半径r是：") + numfmt::text(r));
        // The radius drawn at 45 degrees from the centre.
        const float d = r * 0.7071f;
        const float cx = -D_ / 2, cy = -E_ / 2;
        Canvas& c = canvas();
        c.setForeColor(kRed);
        c.line(cx, cy, d - D_ / 2, d - E_ / 2);
        c.currentX = d / 2 - D_ / 2;
        c.currentY = d / 2 - E_ / 2;
        c.print(QStringLiteral("r= ") + numfmt::text(r));
        c.setForeColor(kBlack);
        plotCurve();
    }

    void lookupY() override {
        frame_.yLookup.equation->clear();
        if (!classify()) return;
        const float x = number(frame_.yLookup.input);
        if (tooLarge({x})) return;
        const auto ys = circle::ysAt(D_, E_, F_, x);
        if (!ys) {
            message("你输入了无效数字，这时方程没有实数解，因而无y值与它对应。", "提示：请改变X的值");
            return;
        }
        if (tooLarge({ys->first, ys->second})) return;
        showPair(frame_.yLookup, ys->first, ys->second);
        frame_.yLookup.equation->setText(circle::yLookupEquation(D_, E_, F_, x));
    }

    void lookupX() override {
        frame_.xLookup.equation->clear();
        if (!classify()) return;
        const float y = number(frame_.xLookup.input);
        if (tooLarge({y})) return;
        const auto xs = circle::xsAt(D_, E_, F_, y);
        if (!xs) {
            message("你输入了无效数字，这时方程没有实数解，因而无X值与它对应。", "提示：请改变Y的值");
            return;
        }
        if (tooLarge({xs->first, xs->second})) return;
        showPair(frame_.xLookup, xs->first, xs->second);
        frame_.xLookup.equation->setText(circle::xLookupEquation(D_, E_, F_, y));
    }

    float D_ = 0, E_ = 0, F_ = 0, Q_ = 0;
    struct {
        QLineEdit *D = nullptr, *E = nullptr, *F = nullptr;      // Text1(0..2)
        QScrollBar *sD = nullptr, *sE = nullptr, *sF = nullptr;  // HScroll1..3
        QPushButton *centre = nullptr, *radius = nullptr;        // Command2, Command3
        QLabel *centreLabel = nullptr, *radiusLabel = nullptr;   // Label6, Label7
    } ui_;
};

}  // namespace

FamilyWindow* createCircle() { return new CircleWindow; }
