#include "families/algebraic/linear.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <cmath>

#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/family_window.h"
#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"

using numfmt::text;

namespace linear {

QString expression(float k, float b) {
    return QStringLiteral("Y = ") + text(k) + (b >= 0 ? QStringLiteral("X + ") : QStringLiteral("X  ")) + text(b);
}

QString equation(float k, float b, float y) {
    return text(k) + (b >= 0 ? QStringLiteral("X + ") : QStringLiteral("X ")) + text(b) + QStringLiteral("=") + text(y);
}

std::optional<Point> intersection(float k1, float b1, float k2, float b2) {
    const float d = k2 - k1;
    if (d == 0) return std::nullopt;
    const float x = (b1 - b2) / (k2 - k1);
    const float y = x * k2 + b2;
    return Point{x, y};
}

QString pointText(Point p) {
    return QStringLiteral(" ( ") + text(p.x) + QStringLiteral(" , ") + text(p.y) + QStringLiteral(" )");
}

QStringList features(float k, float b) {
    QStringList f{QStringLiteral("斜率 ") + text(k), QStringLiteral("y 轴上的截距 ") + text(b)};
    if (k == 0) {
        f << (b == 0 ? QStringLiteral("与 x 轴重合") : QStringLiteral("平行于 x 轴"));
        return f;
    }
    const float x0 = -b / k;
    if (std::isfinite(x0)) f << QStringLiteral("x 轴上的截距 ") + text(x0 == 0 ? 0.f : x0);
    f << (k > 0 ? QStringLiteral("y 随 x 的增大而增大") : QStringLiteral("y 随 x 的增大而减小"));
    return f;
}

}  // namespace linear

namespace {

class LinearWindow : public FamilyWindow {
public:
    LinearWindow() : FamilyWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            label("Label1(0)", 32, 8, 217, 33, "通式：Y = kX + b").font("黑体", 18).color(0, 0, 192),
            label("Label1(1)", 424, 8, 289, 25, "当前一次函数：Y = kX + b")
                .font("黑体", 15)
                .color(192, 64, 0)
                .bind(&frame_.current),
            label("Label2(0)", 8, 64, 33, 25, "k =").font("times new roman", 15),
            textBox("Text1(0)", 40, 64, 57, 25, "2").font("宋体", 15.75).tooltip(tip).bind(&ui_.k),
            slider("HScroll1", 104, 64, 169, 25, -50, 50, 0).bind(&ui_.sk),
            label("Label2(1)", 8, 112, 33, 25, "b =").font("times new roman", 15),
            textBox("Text1(1)", 40, 112, 57, 25, "0").font("宋体", 15.75).tooltip(tip).bind(&ui_.b),
            slider("HScroll2", 104, 112, 169, 25, -50, 50, 0).bind(&ui_.sb),
        });
        frameButtons(288, 48, 81, 25, {.redraw = "Command1(0)", .overlay = "Command1(1)", .grid = "Command1(2)"});
        build({
            label("Label1(2)", 16, 152, 257, 41, frametext::hint()).size(9),
            check("Checkhide", 280, 192, 81, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 280, 212, 97, 28, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 8, 240, 81, 25, "交点坐标")
                .off()
                .tooltip("指第一次的图像和最后一次覆盖图像的交点。")
                .bind(&frame_.feature),
            label("Label4", 96, 240, 241, 25).font("宋体", 14.25).color(192, 0, 0).bind(&frame_.featureLabel),
        });
        frame_.yLookup = buildLookupPanel(this, {.frame = {16, 296, 353, 81},
                                                 .button = {152, 40, 65, 25},
                                                 .caption = {240, 48, 25, 17},
                                                 .result = {264, 48, 81, 18}});
        frame_.xLookup = buildLookupPanel(this, {.forY = false,
                                                 .frame = {8, 392, 353, 129},
                                                 .when = {144, 24, 33, 17},
                                                 .button = {152, 48, 65, 25},
                                                 .caption = {232, 56, 25, 17},
                                                 .result = {256, 56, 81, 18},
                                                 .eqCaption = {16, 88, 89, 17},
                                                 .equation = {104, 88, 217, 25}});
        frame_.sliders = {{ui_.sk, ui_.k, {}}, {ui_.sb, ui_.b, {}}};
        frame_.firstParam = ui_.k;
        frame_.overlayEmpties = {{frame_.featureLabel, "  "}};
        onClick(frame_.feature, [this] { intersect(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t;
        t.number = 2;
        t.key = "linear";
        t.title = "一次函数的取值与图像";
        t.fileName = "一次函数图像";
        t.gridFont10 = true;
        t.cycle = RedrawCycle::Linear;
        // Under the note, left of 隐藏坐标系.
        t.animatorButton = {200, 196, 73, 24};
        return t;
    }

    void readParams() {
        curK_ = number(ui_.k);
        curB_ = number(ui_.b);
    }

    void drawCurve() override {
        readParams();
        const float y1 = curK_ * -10.f + curB_;
        const float y2 = curK_ * 10.f + curB_;
        if (!std::isfinite(y1) || !std::isfinite(y2)) {
            tooLargeMessage();
            canvas().setForeColor(QColor(0, 0, 0));
            return;
        }
        Canvas& c = canvas();
        c.line(-10, y1, 10, y2);
        if ((y1 >= -10 && y1 <= 10) || curK_ == 0) {
            c.currentX = -10;
            c.currentY = y1;
        } else {
            c.currentX = (5 - curB_) / curK_;
            c.currentY = 5;
        }
        c.setForeColor(QColor(200, 10, 10));
        const QString expr = linear::expression(curK_, curB_);
        if (expressionShown()) c.print(expr);
        // An ASCII colon here, unlike the caption's "：" before the first drawing.
        frame_.current->setText(QStringLiteral("当前一次函数:") + expr);
        c.setForeColor(QColor(0, 0, 0));
    }

    QStringList curveFeatures() const override { return linear::features(curK_, curB_); }

    void keepFirstCurve() override {
        firstK_ = curK_;
        firstB_ = curB_;
    }
    std::vector<float> keptNumbers() const override { return {curK_, curB_, firstK_, firstB_}; }
    void setKeptNumbers(const std::vector<float>& n) override {
        if (n.size() != 4) return;
        curK_ = n[0];
        curB_ = n[1];
        firstK_ = n[2];
        firstB_ = n[3];
    }

    void lookupY() override {
        readParams();
        if (curK_ == 0) {
            message("由于k值没有录入，或k=0，Y值恒为b的值，所以查Y值变得没有意义，请重新输入k值。");
            return;
        }
        const float x = number(frame_.yLookup.input);
        const float y = x * curK_ + curB_;
        if (!std::isfinite(y)) return tooLargeMessage();
        frame_.yLookup.result->setText(numfmt::text(y));
        frame_.yLookup.input->setFocus(Qt::OtherFocusReason);
    }

    void lookupX() override {
        readParams();
        if (curK_ == 0) {
            message("因为k值没有录入，或k=0，所以查X值变得没有意义，请重新输入k值。");
            return;
        }
        const float y = number(frame_.xLookup.input);
        const float x = (y - curB_) / curK_;
        if (!std::isfinite(x) || !std::isfinite(y)) return tooLargeMessage();
        frame_.xLookup.result->setText(numfmt::text(x));
        frame_.xLookup.equation->setText(linear::equation(curK_, curB_, y));
        frame_.xLookup.input->setFocus(Qt::OtherFocusReason);
    }

    void intersect() {
        if (overlayCount() == 0) {
            message("由于没有图形覆盖，所以没有交点。");
            return;
        }
        const auto p = linear::intersection(firstK_, firstB_, curK_, curB_);
        if (!p) {
            message("由于前后k值没有改变，所以得到的是两条平行线，没有交点，请重新输入k值，再“确定覆盖”作图。");
            return;
        }
        if (!std::isfinite(p->x) || !std::isfinite(p->y)) return tooLargeMessage();
        const QString t = linear::pointText(*p);
        frame_.featureLabel->setText(t);
        Canvas& c = canvas();
        c.setForeColor(QColor(0, 0, 255));
        c.circle(p->x, p->y, 0.06);
        c.currentX = p->x;
        c.currentY = p->y;
        c.print(t);
        c.setForeColor(QColor(0, 0, 0));
    }

    float curK_ = 0, curB_ = 0, firstK_ = 0, firstB_ = 0;
    struct {
        QLineEdit *k = nullptr, *b = nullptr;     // Text1(0), Text1(1)
        QScrollBar *sk = nullptr, *sb = nullptr;  // HScroll1, HScroll2
    } ui_;
};

}  // namespace

FamilyWindow* createLinear() { return new LinearWindow; }
