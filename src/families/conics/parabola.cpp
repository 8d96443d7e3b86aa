// The parabola in its four standard positions: Y^2 = ±2pX and X^2 = ±2pY.
// The option buttons choose the axis of the focus, the sign of p the side.
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

QPointF focus(float p, bool onX) {
    const float f = p / 2;
    return onX ? QPointF(f, 0) : QPointF(0, f);
}

QLineF directrix(float p, bool onX) {
    const float d = p / 2;
    return onX ? QLineF(-d, 10, -d, -10) : QLineF(10, -d, -10, -d);
}

QStringList features(float p, bool onX) {
    const QPointF f = focus(p, onX);
    const QString opening = onX ? (p > 0 ? QStringLiteral("开口向右") : QStringLiteral("开口向左"))
                                : (p > 0 ? QStringLiteral("开口向上") : QStringLiteral("开口向下"));
    return {QStringLiteral("顶点 (0,0)"), opening,
            QStringLiteral("对称轴是 ") + (onX ? QStringLiteral("x") : QStringLiteral("y")) + QStringLiteral(" 轴"),
            QStringLiteral("焦点 ") + conic::pointText(float(f.x()), float(f.y())),
            QStringLiteral("准线 ") + (onX ? QStringLiteral("x=") : QStringLiteral("y=")) + text(-p / 2)};
}

}  // namespace parabola

namespace {

const QColor kGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);

class ParabolaWindow : public ConicWindow {
public:
    ParabolaWindow() : ConicWindow(makeTraits()) {
        build({
            radio("Option1", 8, 8, 105, 17, "焦点在X轴").on().bind(&option1_),
            radio("Option2", 128, 8, 113, 17, "焦点在Y轴").bind(&option2_),
            label("Label17", 8, 32, 377, 25, "抛物线的标准方程：Y^2 = 2pX")
                .font("黑体", 14.25)
                .color(0, 0, 192)
                .bind(&ui_.form),
            label("Labfc", 392, 8, 409, 25, "当前抛物线的方程为：")
                .font("宋体", 12)
                .color(192, 0, 0)
                .bind(&frame_.current),
            label("Label4(0)", 24, 72, 25, 25, "p=").font("times new roman", 13.5),
            textBox("Text1", 56, 72, 57, 25, "3").font("宋体", 13.5).tooltip(frametext::paramTip()).bind(&ui_.p),
            slider("HScroll1", 128, 72, 153, 25, -10, 10, 1).bind(&ui_.sp),
        });
        frameButtons(296, 56, 73, 25);
        build({
            check("Checkhide", 289, 180, 81, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 289, 208, 95, 41, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 8, 128, 73, 25, "标出焦点").bind(&ui_.focus),
            label("Label6", 88, 132, 201, 25).font("宋体", 12).color(0, 192, 0).bind(&fociLabel_),
            button("Command3", 8, 168, 73, 25, "离心率").bind(&ui_.eccentricity),
            label("Label7", 88, 172, 193, 25).font("宋体", 12).color(192, 0, 0).bind(&ui_.eccentricityLabel),
            button("Command4", 8, 208, 73, 25, "准线").bind(&ui_.directrix),
            label("Label2", 88, 212, 201, 25).font("宋体", 12).color(0, 128, 0).bind(&directrixLabel_),
        });
        frame_.yLookup = buildLookupPanel(this, lookupPanel(true, 16, 264, 97));
        frame_.xLookup = buildLookupPanel(this, lookupPanel(false, 16, 384, 97));
        frame_.sliders = {{ui_.sp, ui_.p, {}}};
        frame_.firstParam = ui_.p;
        frame_.overlayEmpties = {{fociLabel_, ""},
                                 {directrixLabel_, ""},
                                 {frame_.current, ""},
                                 {frame_.xLookup.equation, ""},
                                 {frame_.yLookup.equation, ""},
                                 {ui_.eccentricityLabel, ""}};
        frame_.redrawEmpties = frame_.overlayEmpties;
        pairOptions();
        onClick(option1_, [this] { ui_.form->setText("抛物线的标准方程：Y^2 = 2pX"); });
        onClick(option2_, [this] { ui_.form->setText("抛物线的标准方程：X^2 = 2pY"); });
        onClick(ui_.focus, [this] { focus(); });
        onClick(ui_.eccentricity, [this] { eccentricity(); });
        onClick(ui_.directrix, [this] { directrix(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t = conicTraits(14, "parabola", "抛物线的取值和图像", "抛物线的图像");
        t.readoutPos = QPoint(656, 440);
        t.animatorButton = {296, 5, 73, 24};  // at the top, over 刷新作图, beside the focus's axis
        return t;
    }

    bool onX() const { return focusOnX(); }

    // Reads p; zero (also empty or unreadable text) is refused everywhere.
    bool readP() {
        p_ = number(ui_.p);
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
        frame_.current->setText(QStringLiteral("当前抛物线的方程为：") + parabola::equation(p_, x));
        dots(parabola::dots(p_, x));
        expressionText(2, parabola::textRow(p_, x), parabola::equation(p_, x));
    }

    QStringList curveFeatures() const override { return parabola::features(p_, onX()); }

    void focus() {
        emptyLookups();
        if (!readP()) return;
        const float f = p_ / 2;
        const QPointF at = parabola::focus(p_, onX());
        Canvas& c = canvas();
        c.setForeColor(kGreen);
        c.point(at.x(), at.y());
        if (onX()) {
            fociLabel_->setText(QStringLiteral("焦点坐标：F (") + numfmt::text(f) + QStringLiteral(",0)"));
            c.currentX = f;
            c.currentY = -0.1;
        } else {
            fociLabel_->setText(QStringLiteral("焦点坐标：F (0,") + numfmt::text(f) + QStringLiteral(")"));
            c.currentX = 0.2;
            c.currentY = double(f) + 0.2;
        }
        c.print(QStringLiteral("F"));
        c.setForeColor(kBlack);
    }

    void eccentricity() {
        emptyLookups();
        if (!readP()) return;
        ui_.eccentricityLabel->setText(QStringLiteral("e = 1"));
    }

    void directrix() {
        if (!readP()) return;
        if (!rebuildPicture()) return;
        const float d = p_ / 2;
        const QLineF l = parabola::directrix(p_, onX());
        Canvas& c = canvas();
        c.setForeColor(kGreen);
        c.line(l.x1(), l.y1(), l.x2(), l.y2());
        if (onX()) {
            directrixLabel_->setText(QStringLiteral("准线方程是：x=") + numfmt::text(-d));
            c.currentX = 0.3 - double(d);
            c.currentY = 10.5;
        } else {
            directrixLabel_->setText(QStringLiteral("准线方程是：y=") + numfmt::text(-d));
            c.currentX = 10.5;
            c.currentY = 0.3 - double(d);
        }
        c.print(QStringLiteral("l"));
        c.setForeColor(kBlack);
    }

    void lookupX() override {
        frame_.xLookup.result->setText(QString());
        frame_.xLookup.result2->setText(QString());
        frame_.xLookup.equation->clear();
        const float y = number(frame_.xLookup.input);
        if (!readP() || tooLarge({y})) return;
        const QString p = numfmt::text(p_);
        if (onX()) {
            const float x = parabola::linearSide(p_, y);
            if (tooLarge({x})) return;
            frame_.xLookup.equation->setText(numfmt::text(y) + QStringLiteral("^2 =2*") + p + QStringLiteral("*x"));
            frame_.xLookup.result->setText(numfmt::signedText(x));
            return;
        }
        const float x = parabola::squaredSide(p_, y);
        if (x != x) {
            message("你输入的y值无效，抛物线方程中无x值与它对应。", "提示：请改变y的值");
            return;
        }
        if (tooLarge({x})) return;
        frame_.xLookup.equation->setText(QStringLiteral("X^2 =2*") + p + QStringLiteral("*") + numfmt::text(y));
        showPair(frame_.xLookup, x, -x);
    }

    void lookupY() override {
        frame_.yLookup.result->setText(QString());
        frame_.yLookup.result2->setText(QString());
        frame_.yLookup.equation->clear();
        const float x = number(frame_.yLookup.input);
        if (!readP() || tooLarge({x})) return;
        const QString p = numfmt::text(p_);
        if (onX()) {
            const float y = parabola::squaredSide(p_, x);
            if (y != y) {
                message("你输入的x值无效，抛物线方程中无y值与它对应。", "提示：请改变x的值");
                return;
            }
            if (tooLarge({y})) return;
            showPair(frame_.yLookup, y, -y);
            frame_.yLookup.equation->setText(QStringLiteral("y^2 =2*") + p + QStringLiteral("*") + numfmt::text(x));
            return;
        }
        const float y = parabola::linearSide(p_, x);
        if (tooLarge({y})) return;
        frame_.yLookup.result->setText(numfmt::signedText(y));
        frame_.yLookup.equation->setText(numfmt::text(x) + QStringLiteral(" ^ 2 = 2 * ") + p + QStringLiteral(" * y"));
    }

    float p_ = 0;
    struct {
        QLabel* form = nullptr;                                                       // Label17
        QLineEdit* p = nullptr;                                                       // Text1
        QScrollBar* sp = nullptr;                                                     // HScroll1
        QPushButton *focus = nullptr, *eccentricity = nullptr, *directrix = nullptr;  // Command2..4
        QLabel* eccentricityLabel = nullptr;                                          // Label7
    } ui_;
};

}  // namespace

FamilyWindow* createParabola() { return new ParabolaWindow; }
