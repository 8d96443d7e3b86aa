#include "families/algebraic/quadratic.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/family_window.h"
#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"

using numfmt::text;

namespace quadratic {

namespace {
// The sign part in front of a coefficient: " + " for >= 0, two blanks and the
// number's own minus sign otherwise.
QString joined(const QString& unit, float next) {
    return unit + (next >= 0 ? QStringLiteral(" + ") : QStringLiteral("  "));
}
bool finite(float v) { return std::isfinite(v); }
}  // namespace

QString expression(float a, float b, float c) {
    return QStringLiteral("Y = ") + text(a) + joined(QStringLiteral("X^2"), b) + text(b) +
           joined(QStringLiteral("X"), c) + text(c);
}

QString canvasText(float a, float b, float c) {
    return QStringLiteral("Y=") + text(a) + QStringLiteral("X^2+") + text(b) + QStringLiteral("X+") + text(c);
}

QString lineExpression(float b, float c) { return QStringLiteral("Y = ") + text(b) + QStringLiteral("X + ") + text(c); }

float valueAt(float a, float b, float c, float x) {
    const double xx = double(x) * double(x);
    return float(double(a) * xx + double(b * x) + double(c));
}

float lookupValue(float a, float b, float c, float x) {
    const double xx = double(x) * double(x);
    return float(xx * double(a) + double(x * b) + double(c));
}

Vertex vertex(float a, float b, float c) {
    const float fourA = 4.f * a;
    const float vx = -b / (2.f * a);
    const float vy = float((double(fourA * c) - double(b) * double(b)) / double(fourA));
    return {vx, vy};
}

std::vector<QLineF> curve(float a, float b, float c, bool* overflow) {
    *overflow = false;
    std::vector<QLineF> segs;
    segs.reserve(2001);
    auto inBand = [](float y) { return y > -10.2f && y < 10.2f; };
    float prevX = -10.f;
    // 100a - 10b + c, the value at the left edge.
    float prevY = float(100.0 * double(a) - double(10.f * b) + double(c));
    if (!finite(prevY)) {
        *overflow = true;
        return {};
    }
    for (float x = -10.f; x <= 10.f; x += 0.01f) {
        const float y = valueAt(a, b, c, x);
        if (!finite(y)) {
            *overflow = true;
            return {};
        }
        if (inBand(y) && inBand(prevY)) segs.emplace_back(prevX, prevY, x, y);
        prevX = x;
        prevY = y;
    }
    return segs;
}

float textRow(float a, float b, float c) {
    const float y = a + b + c;
    if (y < -10 || y > 10) return a > 0 ? 9.f : -9.f;
    return y;
}

QString equation(float a, float b, float c, float y) {
    return text(a) + joined(QStringLiteral("X^2"), b) + text(b) + joined(QStringLiteral("X"), c) + text(c) +
           QStringLiteral(" = ") + text(y);
}

QString linearEquation(float b, float c, float y) {
    return text(b) + joined(QStringLiteral("X"), c) + text(c) + QStringLiteral(" = ") + text(y);
}

Solution solve(float a, float b, float c, float y) {
    Solution s{Solution::NoParameters};
    if (a == 0 && b == 0) return s;
    if (!finite(a) || !finite(b) || !finite(c) || !finite(y)) return {Solution::Overflow};
    if (a == 0) {
        s.kind = Solution::Linear;
        s.x1 = (y - c) / b;
        if (!finite(s.x1)) s.kind = Solution::Overflow;
        return s;
    }
    // The discriminant is tested as a single, its root taken of the same
    // expression in double.
    const float fourA = 4.f * a;
    const float shift = c - y;
    const double full = double(b) * double(b) - double(fourA * shift);
    const float d = float(full);
    if (!finite(fourA) || !finite(shift) || !finite(d)) return {Solution::Overflow};
    if (d < 0) return {Solution::NoReal};
    // A discriminant that rounds to -0 as a single may be a hair below 0 in
    // double: a double root then, never the root of a negative number.
    const double root = std::sqrt(std::max(full, 0.0));
    const double twoA = double(2.f * a);
    s.kind = Solution::Two;
    s.x1 = float((root - double(b)) / twoA);
    s.x2 = float((-double(b) - root) / twoA);
    if (!finite(s.x1) || !finite(s.x2)) s.kind = Solution::Overflow;
    return s;
}

QStringList features(float a, Vertex v) {
    return {
        QStringLiteral("开口") + (a > 0 ? QStringLiteral("向上") : QStringLiteral("向下")),
        QStringLiteral("顶点 (") + numfmt::text(v.x) + QStringLiteral(",") + numfmt::text(v.y) + QStringLiteral(")"),
        QStringLiteral("对称轴 x=") + numfmt::text(v.x)};
}

}  // namespace quadratic

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kAxisGreen(0, 200, 10);
const QString kNoParams = QStringLiteral("你还没有输入a,b,c的值，请退回重新输入，再求解。");

class QuadraticWindow : public FamilyWindow {
public:
    QuadraticWindow() : FamilyWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            label("Label17", 8, 8, 353, 25, "二次函数通式：Y = aX^2 + bX + c").font("黑体", 15).color(0, 0, 192),
            label("Labfc", 384, 8, 410, 25, "当前函数的解析式为：")
                .font("宋体", 13.5)
                .color(192, 0, 0)
                .bind(&frame_.current),
            label("Label4(0)", 24, 48, 25, 25, "a=").font("times new roman", 15),
            textBox("Text1(0)", 56, 48, 57, 25, "2").font("宋体", 13.5).tooltip(tip).bind(&ui_.a),
            slider("HScroll1", 128, 48, 153, 25, -50, 50, 0).bind(&ui_.sa),
            label("Label4(1)", 24, 88, 25, 25, "b=").font("times new roman", 15),
            textBox("Text1(1)", 56, 88, 57, 25, "0").font("宋体", 13.5).tooltip(tip).bind(&ui_.b),
            slider("HScroll2", 128, 88, 153, 25, -50, 50, 0).bind(&ui_.sb),
            label("Label4(2)", 24, 128, 25, 25, "c=").font("times new roman", 15),
            textBox("Text1(2)", 56, 128, 57, 25, "0").font("宋体", 13.5).tooltip(tip).bind(&ui_.c),
            slider("HScroll3", 128, 128, 153, 25, -50, 50, 0).bind(&ui_.sc),
        });
        frameButtons(296, 40, 73, 25);
        build({
            check("Checkhide", 280, 168, 97, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 280, 188, 97, 28, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 16, 168, 73, 25, "顶点坐标").bind(&ui_.vertex),
            label("Label6", 96, 160, 177, 33).font("宋体", 12).color(192, 0, 0).bind(&ui_.vertexLabel),
            button("Command3", 16, 216, 73, 25, "对称轴").bind(&ui_.axis),
            label("Label7", 96, 216, 249, 25).font("宋体", 12).color(0, 128, 0).bind(&ui_.axisLabel),
        });
        frame_.yLookup = buildLookupPanel(this, {.frame = {16, 256, 345, 89},
                                                 .button = {144, 48, 65, 25},
                                                 .caption = {224, 56, 25, 17},
                                                 .result = {248, 56, 81, 18}});
        frame_.xLookup = buildLookupPanel(this, {.forY = false,
                                                 .frame = {16, 360, 345, 161},
                                                 .button = {144, 48, 65, 25},
                                                 .caption = {224, 48, 33, 17},
                                                 .result = {256, 48, 81, 18},
                                                 .caption2 = {224, 72, 33, 17},
                                                 .result2 = {256, 72, 81, 18},
                                                 .eqCaption = {8, 112, 84, 17},
                                                 .equation = {88, 104, 217, 25}});
        build({label("Label14", 48, 136, 241, 17, "注：利用此处工具也可解当a=0的一次函数。")
                   .in(frame_.xLookup.frame)
                   .size(9)});
        frame_.sliders = {{ui_.sa, ui_.a, {}}, {ui_.sb, ui_.b, {}}, {ui_.sc, ui_.c, {}}};
        // The redraw empties the feature labels and all look-up results
        // before the axes; the overlay steps touch only the feature labels.
        frame_.redrawEmpties = {{ui_.vertexLabel, ""},
                                {ui_.axisLabel, ""},
                                {frame_.yLookup.result, ""},
                                {frame_.xLookup.result, ""},
                                {frame_.xLookup.result2, ""}};
        frame_.overlayEmpties = {{ui_.vertexLabel, ""}, {ui_.axisLabel, ""}};
        onClick(ui_.vertex, [this] { showVertex(); });
        onClick(ui_.axis, [this] { showAxis(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t;
        t.number = 1;
        t.key = "quadratic";
        t.title = "二次函数的取值及图像";
        t.fileName = "二次函数图像";
        // The results are emptied by the redraw's own list below.
        t.emptiesResults = false;
        // The axes take whatever colour the canvas has (a press on the canvas
        // with a freehand colour chosen colours the next axes and curve).
        t.axesSetBlack = false;
        t.gridFont10 = false;
        t.freehandPos = {376, 448};
        t.fullScreenPos = {568, 456};
        t.copyPos = {568, 496};
        t.outputButtonWidth = 57;
        return t;
    }

    void readParams() {
        a_ = number(ui_.a);
        b_ = number(ui_.b);
        c_ = number(ui_.c);
    }

    bool paramsFinite() const { return std::isfinite(a_) && std::isfinite(b_) && std::isfinite(c_); }

    void drawCurve() override {
        readParams();
        Canvas& cv = canvas();
        if (a_ == 0) {
            drawLineInstead();
            return;
        }
        if (!paramsFinite()) return overflowed();
        const quadratic::Vertex v = quadratic::vertex(a_, b_, c_);
        if (!std::isfinite(v.x) || !std::isfinite(v.y)) return overflowed();
        bool overflow = false;
        const std::vector<QLineF> segs = quadratic::curve(a_, b_, c_, &overflow);
        if (overflow) return overflowed();
        vertexX_ = v.x;
        vertexY_ = v.y;
        // The label comes before the curve in this window.
        frame_.current->setText(QStringLiteral("当前函数的解析式为：") + quadratic::expression(a_, b_, c_));
        cv.lines(segs);
        cv.currentX = 1;
        cv.currentY = quadratic::textRow(a_, b_, c_);
        cv.setForeColor(kRed);
        if (expressionShown()) cv.print(quadratic::canvasText(a_, b_, c_));
        cv.setForeColor(kBlack);
    }

    // a = 0 is no parabola: the student confirms that the line y = bx + c is
    // meant. The line is drawn across the whole width, unclipped, with no
    // canvas text, and the colour stays as it was.
    void drawLineInstead() {
        const MsgReply r = message(
            "你输入了a=0或无效数字，这时就不再是二次函数，而成为一次函数了。如果继续请按“确定”，想重新输入a值，请按“取消”!",
            "友情提示", MsgButtons::OKCancel, MsgIcon::Warning);
        if (r != MsgReply::OK) return;
        const float y1 = c_ - 10.f * b_;
        const float y2 = c_ + 10.f * b_;
        if (!std::isfinite(y1) || !std::isfinite(y2)) {
            tooLargeMessage();
            return;
        }
        canvas().line(-10, y1, 10, y2);
        frame_.current->setText(QStringLiteral("当前函数的解析式为：") + quadratic::lineExpression(b_, c_));
    }

    QStringList curveFeatures() const override {
        // The parabola's own vertex and axis (the line y = bx + c has none).
        if (a_ == 0 || !paramsFinite()) return {};
        return quadratic::features(a_, {vertexX_, vertexY_});
    }

    void overflowed() {
        tooLargeMessage();
        canvas().setForeColor(kBlack);
    }

    // The vertex and parameters of the last curve, which the feature buttons use.
    std::vector<float> keptNumbers() const override { return {a_, b_, c_, vertexX_, vertexY_}; }
    void setKeptNumbers(const std::vector<float>& n) override {
        if (n.size() != 5) return;
        a_ = n[0];
        b_ = n[1];
        c_ = n[2];
        vertexX_ = n[3];
        vertexY_ = n[4];
    }

    void showVertex() {
        frame_.yLookup.result->setText(QString());
        frame_.xLookup.result->setText(QString());
        frame_.xLookup.result2->setText(QString());
        if (a_ == 0) {
            message("因为a=0，所以图像为一次函数的，是一直线，无顶点。");
            return;
        }
        const QString t = QStringLiteral("(") + numfmt::text(vertexX_) + QStringLiteral(",") + numfmt::text(vertexY_) +
                          QStringLiteral(")");
        ui_.vertexLabel->setText(t);
        Canvas& cv = canvas();
        cv.setForeColor(kRed);
        cv.circle(vertexX_, vertexY_, 0.06);
        cv.currentX = vertexX_;
        cv.currentY = vertexY_ - 0.2;
        cv.print(t);
        cv.setForeColor(kBlack);
        plotCurve();
    }

    void showAxis() {
        if (a_ == 0) {
            message("因为a=0，所以图像为一次函数的，是一直线，无对称轴。");
            return;
        }
        const QString t = QStringLiteral("x= ") + numfmt::text(vertexX_);
        ui_.axisLabel->setText(t);
        Canvas& cv = canvas();
        cv.line(vertexX_, -10, vertexX_, 10, kAxisGreen);
        cv.setForeColor(kAxisGreen);
        cv.currentX = vertexX_ + 0.2;
        cv.currentY = -9.5;
        cv.print(t);
        cv.setForeColor(kBlack);
        plotCurve();
    }

    void lookupY() override {
        readParams();
        const float x = number(frame_.yLookup.input);
        if (a_ == 0 && b_ == 0 && c_ == 0) {
            message(kNoParams, "友好提示");
            return;
        }
        const float y = quadratic::lookupValue(a_, b_, c_, x);
        if (!paramsFinite() || !std::isfinite(x) || !std::isfinite(y)) return tooLargeMessage();
        frame_.yLookup.result->setText(numfmt::signedText(y));
    }

    void lookupX() override {
        readParams();
        const float y = number(frame_.xLookup.input);
        const quadratic::Solution s = quadratic::solve(a_, b_, c_, y);
        switch (s.kind) {
        case quadratic::Solution::NoParameters: message(kNoParams, "友好提示"); return;
        case quadratic::Solution::Overflow: tooLargeMessage(); return;
        case quadratic::Solution::Linear:
            message("您所列为一元一次方程！", "消息提示");
            frame_.xLookup.equation->setText(quadratic::linearEquation(b_, c_, y));
            frame_.xLookup.result->setText(numfmt::text(s.x1));
            frame_.xLookup.result2->setText("只有X1一个解");
            return;
        case quadratic::Solution::NoReal:
            frame_.xLookup.equation->setText(quadratic::equation(a_, b_, c_, y));
            message("所列一元二次方程无实数解！", "消息提示");
            frame_.xLookup.result->setText("无实数解");
            frame_.xLookup.result2->setText("无实数解");
            return;
        case quadratic::Solution::Two:
            frame_.xLookup.equation->setText(quadratic::equation(a_, b_, c_, y));
            frame_.xLookup.result->setText(numfmt::text(s.x1));
            frame_.xLookup.result2->setText(numfmt::text(s.x2));
            return;
        }
    }

    // The parameters of the last plot or look-up, and the vertex of the last
    // plot with a != 0: the vertex and axis buttons use these, not the boxes.
    float a_ = 0, b_ = 0, c_ = 0;
    float vertexX_ = 0, vertexY_ = 0;
    struct {
        QLineEdit *a = nullptr, *b = nullptr, *c = nullptr;      // Text1(0..2)
        QScrollBar *sa = nullptr, *sb = nullptr, *sc = nullptr;  // HScroll1..3
        QPushButton *vertex = nullptr, *axis = nullptr;          // Command2, Command3
        QLabel *vertexLabel = nullptr, *axisLabel = nullptr;     // Label6, Label7
    } ui_;
};

}  // namespace

FamilyWindow* createQuadratic() { return new QuadraticWindow; }
