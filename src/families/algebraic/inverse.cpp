#include "families/algebraic/inverse.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <cmath>

#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/family_window.h"
#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"

namespace inverse {

QString expression(float k) { return QStringLiteral("Y = ") + numfmt::text(k) + QStringLiteral("/X  "); }

QString canvasText(float k) { return QStringLiteral("Y = ") + numfmt::text(k) + QStringLiteral("/X "); }

QString equation(float k, float y) { return numfmt::text(k) + QStringLiteral("/X  =") + numfmt::text(y); }

namespace {
// One branch: samples from `from` while x <= `to`, the previous sample
// starting at `from` itself.
bool branch(float k, float from, float to, std::vector<QLineF>& segs) {
    auto inBand = [](float y) { return y > -10.2f && y < 10.2f; };
    float prevX = from;
    float prevY = k / from;
    if (!std::isfinite(prevY)) return false;
    for (float x = from; x <= to; x += 0.01f) {
        const float y = k / x;
        if (!std::isfinite(y)) return false;
        if (inBand(y) && inBand(prevY)) segs.emplace_back(prevX, prevY, x, y);
        prevX = x;
        prevY = y;
    }
    return true;
}
}  // namespace

std::vector<QLineF> branches(float k, bool* overflow) {
    std::vector<QLineF> segs;
    segs.reserve(2000);
    *overflow = !branch(k, -10.f, -0.01f, segs) || !branch(k, 0.01f, 10.f, segs);
    if (*overflow) segs.clear();
    return segs;
}

QStringList features(float k) {
    return {QStringLiteral("渐近线 x=0 和 y=0"),
            k > 0 ? QStringLiteral("图像在第一、三象限") : QStringLiteral("图像在第二、四象限")};
}

}  // namespace inverse

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

class InverseWindow : public FamilyWindow {
public:
    InverseWindow() : FamilyWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            label("Label1(0)", 32, 8, 217, 33, "通式：Y = k/X ").font("黑体", 18).color(0, 0, 192),
            label("Label2(0)", 400, 8, 384, 25, "当前函数解析式：")
                .font("黑体", 15)
                .color(192, 64, 0)
                .bind(&frame_.current),
            label("Label2(2)", 8, 64, 33, 25, "k =").font("times new roman", 15),
            textBox("Text1(0)", 40, 64, 57, 25, "2").font("宋体", 15.75).tooltip(tip).bind(&ui_.k),
            slider("HScroll1", 104, 64, 169, 25, -50, 50, 0).bind(&ui_.sk),
        });
        frameButtons(288, 48, 81, 25, {.overlay = "Command2", .grid = "Command3"});
        build({
            label("Label1(2)", 16, 112, 257, 81, frametext::hint()).size(9),
            check("Checkhide", 280, 192, 97, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 280, 216, 97, 41, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
        });
        frame_.yLookup = buildLookupPanel(this, {.frame = {16, 280, 353, 89},
                                                 .start = "1",
                                                 .button = {152, 48, 65, 25},
                                                 .caption = {240, 56, 25, 17},
                                                 .result = {264, 56, 81, 18}});
        frame_.xLookup = buildLookupPanel(this, {.forY = false,
                                                 .frame = {16, 384, 353, 129},
                                                 .start = "1",
                                                 .button = {152, 48, 65, 25},
                                                 .caption = {240, 56, 25, 17},
                                                 .result = {264, 56, 81, 18},
                                                 .eqCaption = {16, 96, 84, 17},
                                                 .equation = {104, 92, 217, 25}});
        frame_.sliders = {{ui_.sk, ui_.k, {}}};
        frame_.firstParam = ui_.k;
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t;
        t.number = 3;
        t.key = "inverse";
        t.title = "反比例函数的取值和图像";
        t.fileName = "反比例函数图像";
        t.gridFont10 = true;
        // Outside overlay a slider runs the whole redraw (focus included);
        // in overlay it only previews. The toggle empties the results and
        // moves the focus, a commit does neither and is not counted.
        t.cycle = RedrawCycle::Inverse;
        // Under the note, left of 隐藏坐标系.
        t.animatorButton = {200, 196, 73, 24};
        return t;
    }

    void drawCurve() override {
        const float k = number(ui_.k);
        frame_.xLookup.equation->clear();
        if (k == 0) {
            message("由于k值没有录入，或k=0，Y值恒为0，成了一条直线(即X轴)，请重新输入k值。");
            return;
        }
        bool overflow = false;
        const std::vector<QLineF> segs = inverse::branches(k, &overflow);
        Canvas& cv = canvas();
        if (overflow) {
            tooLargeMessage();
            cv.setForeColor(kBlack);
            return;
        }
        cv.lines(segs);
        drawnK_ = k;
        frame_.current->setText(QStringLiteral("当前反比例函数:") + inverse::expression(k));
        // Next to the point (1, k) of the curve.
        cv.currentX = 1;
        cv.currentY = k;
        cv.setForeColor(kRed);
        if (expressionShown()) cv.print(inverse::canvasText(k));
        cv.setForeColor(kBlack);
    }

    QStringList curveFeatures() const override { return inverse::features(drawnK_); }
    float drawnK_ = 1;  // k of the curve drawn last

    void lookupX() override {
        frame_.xLookup.equation->clear();
        const float k = number(ui_.k);
        if (k == 0) {
            message("因为k值没有录入，或k=0，所以查X值变得没有意义，请重新输入k值。");
            return;
        }
        const float y = number(frame_.xLookup.input);
        if (y == 0) {
            message("因为除数为零，所以x值为无穷大(或小)，请重新输入y值。");
            return;
        }
        const float x = k / y;
        if (!std::isfinite(k) || !std::isfinite(y) || !std::isfinite(x)) return tooLargeMessage();
        frame_.xLookup.result->setText(numfmt::text(x));
        frame_.xLookup.equation->setText(inverse::equation(k, y));
        frame_.xLookup.input->setFocus(Qt::OtherFocusReason);
    }

    void lookupY() override {
        const float k = number(ui_.k);
        if (k == 0) {
            message("由于k值没有录入，或k=0，y值恒为0，所以查Y值变得没有意义，请重新输入k值。");
            return;
        }
        const float x = number(frame_.yLookup.input);
        if (x == 0) {
            message("由于x值没有录入，或x=0，所以查y值变得没有意义，请重新输入x值。");
            return;
        }
        const float y = k / x;
        if (!std::isfinite(k) || !std::isfinite(x) || !std::isfinite(y)) return tooLargeMessage();
        frame_.yLookup.result->setText(numfmt::text(y));
        frame_.yLookup.input->setFocus(Qt::OtherFocusReason);
    }

    struct {
        QLineEdit* k = nullptr;    // Text1(0)
        QScrollBar* sk = nullptr;  // HScroll1
    } ui_;
};

}  // namespace

FamilyWindow* createInverse() { return new InverseWindow; }
