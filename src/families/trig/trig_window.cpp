#include "families/trig/trig_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"
#include "numfmt/numfmt.h"

namespace {
const QString kRatioTitle = QStringLiteral("操作提示：请更换一个新的分母值");
}  // namespace

FamilyTraits trigTraits(int number, const QString& key, const QString& title, const QString& fileName) {
    FamilyTraits t;
    t.number = number;
    t.key = key;
    t.title = title;
    t.fileName = fileName;
    t.printButton = "Cmdprint";
    t.gridDisablesFeature = false;
    t.gridOffRedraws = true;
    t.animatorButton = {288, 176, 81, 24};  // under 显示网格
    return t;
}

TrigWindow::TrigWindow(FamilyTraits traits) : FamilyWindow(std::move(traits)) {}

bool TrigWindow::beginPlot() {
    trig_.period->clear();
    trig_.periodStart->clear();
    bool go = readChecked();
    if (go) {
        frame_.xLookup.equation->clear();
        if (!finiteParams() || std::fabs(double(w_)) * trig::kPlotEnd + std::fabs(double(p_)) > trig::kMaxPhase) {
            tooLargeMessage();
            go = false;
        }
    }
    if (!go) canvas().setForeColor(QColor(0, 0, 0));
    return go;
}

void TrigWindow::buildShared(int f2, const QString& lookupXCaption) {
    const QString tip = frametext::paramTip();
    build({
        label("Labfc", 344, 8, 425, 25, "当前函数的解析式为：").font("宋体", 12).color(192, 0, 0).bind(&frame_.current),
    });
    frameButtons(288, 48, 81, 25);
    build({
        // Both check boxes sit in one row under the p entry, where their
        // captions fit on one line.
        check("Checkhide", 8, 236, 97, 22, "隐藏坐标系").bind(&frame_.hideAxes),
        check("Check1", 112, 236, 185, 22, "在图像上注明函数解析式").on().bind(&frame_.showExpression),
        panel("Frame2", 8, f2, 265, 105, "p取分数(弧度值)")
            .tooltip("提示：如果要让p为整数，可以让它的分母为1;要让p=0，可以让分子为0。"),
        radio("Option3", 40, 16, 89, 17, "p为正值").in("Frame2").on().bind(&trig_.pPlus),
        radio("Option4", 136, 16, 89, 17, "p为负值").in("Frame2").bind(&trig_.pMinus),
        label("Label1(1)", 8, 48, 25, 19, "p=").in("Frame2").font("times new roman", 12),
        label("Label2(3)", 32, 48, 17, 17, "+").in("Frame2").font("times new roman", 12, true).bind(&trig_.pSign),
        textBox("Text4", 56, 32, 41, 26, "1")
            .in("Frame2")
            .font("宋体", 12)
            .tooltip(tip)
            .spoken("相位 p 的分子（π 的倍数）")
            .bind(&trig_.pNum),
        bar("Line2(0)", 56, 63, 41, 2).in("Frame2"),
        textBox("Text5", 56, 72, 41, 26, "3")
            .in("Frame2")
            .font("宋体", 12)
            .tooltip(tip)
            .spoken("相位 p 的分母")
            .bind(&trig_.pDen),
        label("Label3(0)", 97, 32, 25, 25, "π").in("Frame2").font("times new roman", 14, true),
        slider("HScroll4", 128, 40, 121, 17, 1, 10, 1).in("Frame2").bind(&trig_.pNumSlider),
        slider("HScroll5", 128, 80, 121, 17, 1, 10, 1).in("Frame2").bind(&trig_.pDenSlider),
        label(
            "Label1(0)", 8, 264, 353, 25,
            "说明：如果要取一个自定义的值（用滚动条无法实现），可直接在上面的文本框中输入。然后点击“刷新作图”或“覆盖作图”。")
            .font("宋体", 9),
        button("Command2", 8, 296, 89, 25, "计算函数周期").bind(&trig_.periodButton),
        label("Label4", 104, 304, 257, 17).font("宋体", 12).color(0, 128, 0).bind(&trig_.period),
        button("Command3", 8, 328, 89, 25, "圈出一个周期").bind(&trig_.markButton),
        label("Label5", 104, 336, 257, 17).font("宋体", 12).color(0, 128, 0).bind(&trig_.periodStart),
        // The y look-up takes X as a fraction of π with a sign chosen by two
        // radio buttons, a shape of its own that the shared look-up panel lacks.
        panel("Frame1(0)", 8, 360, 353, 89, "速查y值").bind(&frame_.yLookup.frame),
        radio("Option1", 64, 16, 89, 17, "X取正值").in("Frame1(0)").on().bind(&trig_.xPlus),
        radio("Option2", 160, 16, 89, 17, "X取负值").in("Frame1(0)").bind(&trig_.xMinus),
        label("Label10(0)", 8, 48, 41, 17, "当 X=").in("Frame1(0)"),
        label("Label10(2)", 48, 48, 25, 17, "＋").in("Frame1(0)").font("宋体", 10.5, true).bind(&trig_.xSign),
        textBox("Tx1", 80, 32, 41, 17, "1")
            .in("Frame1(0)")
            .spoken("速查：X 的值的分子（π 的倍数）")
            .bind(&frame_.yLookup.input),
        bar("Line2(1)", 80, 50, 41, 2).in("Frame1(0)"),
        textBox("Tx3", 80, 64, 41, 18, "1").in("Frame1(0)").spoken("速查：X 的值的分母").bind(&trig_.xDen),
        label("Label3(1)", 121, 28, 17, 25, "π").in("Frame1(0)").font("times new roman", 12, true),
        label("Label11(0)", 136, 64, 25, 17, "时，").in("Frame1(0)"),
        button("cay", 160, 56, 64, 24, "计算得").in("Frame1(0)").bind(&frame_.yLookup.button),
        label("Label12(0)", 232, 64, 25, 17, "y=").in("Frame1(0)"),
        textBox("Ty1", 256, 64, 73, 17).in("Frame1(0)").spoken("速查结果：y").bind(&frame_.yLookup.result),
    });
    frame_.xLookup =
        buildLookupPanel(this, {.forY = false,
                                .frame = {8, 456, 353, 73},
                                .title = lookupXCaption,
                                .start = "1",
                                .input = {56, 24, 72, 17},
                                .when = {136, 24, 25, 17},
                                .button = {160, 16, 64, 24},
                                .caption = {232, 24, 17, 17},
                                .result = {248, 24, 57, 17},
                                .eqCaption = {16, 48, 73, 17},
                                .equation = {88, 48, 217, 17},
                                .smallCaption = true,
                                .tip = "这里计算的值只是一个近似值，仅作参考。其余的值可根据函数的原理推算。"});
    build({label("Label3(2)", 305, 16, 17, 25, "π").in(frame_.xLookup.frame).font("times new roman", 12, true)});
}

void TrigWindow::finishTrig() {
    frame_.overlayEmpties = {{trig_.period, ""}, {trig_.periodStart, ""}};
    // The sign options only change the sign shown; the next action reads them.
    onClick(trig_.pPlus, [this] { trig_.pSign->setText("+"); });
    onClick(trig_.pMinus, [this] { trig_.pSign->setText("-"); });
    onClick(trig_.xPlus, [this] { trig_.xSign->setText("+"); });
    onClick(trig_.xMinus, [this] { trig_.xSign->setText("-"); });
    onClick(trig_.periodButton, [this] { showPeriod(); });
    onClick(trig_.markButton, [this] { markPeriod(); });
    finish();
}

void TrigWindow::warn(const QString& t, const QString& title) {
    message(t, title, MsgButtons::OK, MsgIcon::Exclamation);
}

void TrigWindow::wMessage(const QString& t) { warn(t, QStringLiteral("操作提示：请更换一个新的w值")); }

bool TrigWindow::readPhase(float& p) {
    const float den = number(trig_.pDen);
    if (den == 0) {
        warn(QStringLiteral("你选取的分母值等于0。请让p的分母不等于0。"), kRatioTitle);
        return false;
    }
    p = trig::piFraction(trig_.pMinus->isChecked(), number(trig_.pNum), den);
    return true;
}

void TrigWindow::drawAxisMarks() {
    Canvas& c = canvas();
    c.setDrawWidth(4);
    for (float i = -3; i <= 3; i += 0.5f) {
        c.point(i * trig::kPi, 0, QColor(255, 0, 0));
        if (i == std::floor(i)) {
            c.currentX = i * trig::kPi;
            c.currentY = -0.2;
            c.setFontSize(9);
            c.setForeColor(QColor(255, 0, 0));
            c.print(trig::piText(numfmt::text(i)));
        }
    }
    c.setFontSize(12);
    c.setForeColor(QColor(0, 0, 0));
    c.setDrawWidth(2);
}

void TrigWindow::lookupY() {
    if (!readChecked()) return;
    const float num = std::fabs(number(frame_.yLookup.input)), den = std::fabs(number(trig_.xDen));
    // The y look-up runs under one trap: an invalid or overflowing value
    // shows the same message; a zero denominator under a non-zero numerator
    // ends the look-up without one.
    if (den == 0 && num != 0) return;
    const double xd = double(num) * trig::kPi / double(den);
    const float x = float(trig_.xMinus->isChecked() ? -xd : xd);
    if (!std::isfinite(x)) {
        message(frametext::invalidValue(), frametext::invalidValueTitle());
        return;
    }
    frame_.xLookup.equation->clear();
    if (rejectX(x)) return;
    float y = 0;
    if (!valueAt(x, y)) return;
    if (!std::isfinite(y)) {
        message(frametext::invalidValue(), frametext::invalidValueTitle());
        return;
    }
    frame_.yLookup.result->setText(numfmt::signedText(numfmt::roundSingle(y, 4)));
    frame_.yLookup.input->setFocus(Qt::OtherFocusReason);
}

void TrigWindow::refusePeriod() {
    trig_.period->clear();
    tooLargeMessage();
}

void TrigWindow::markPeriod() {
    if (!readChecked()) return;
    // A parameter beyond single range is refused as the plot refuses it:
    // -p / w and 2π / w would otherwise put two bars at 0.
    if (!finiteParams()) {
        trig_.periodStart->clear();
        tooLargeMessage();
        return;
    }
    frame_.xLookup.equation->clear();
    const float x0 = float(periodStart());
    const double len = periodLength();
    const double top = barTop();
    const double quotient = numfmt::roundHalfEven(x0 / trig::kPi, 3);
    if (!std::isfinite(x0) || !std::isfinite(len) || !std::isfinite(quotient) || !std::isfinite(top)) {
        tooLargeMessage();
        return;
    }
    trig_.periodStart->setText(QStringLiteral("周期的起点：") + trig::piText(numfmt::textDouble(quotient)));
    Canvas& c = canvas();
    c.setForeColor(QColor(0, 255, 0));
    c.line(x0, top, x0, -top);
    c.line(x0 + len, top, x0 + len, -top);
    c.setForeColor(QColor(0, 0, 0));
}
