#include "families/algebraic/power.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QRadioButton>
#include <array>
#include <cfloat>
#include <utility>
#include <cmath>

#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/family_window.h"
#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"

using numfmt::text;

namespace power {

namespace {
constexpr double kSingleMax = FLT_MAX;

bool inBand(float y) { return y > -10.2f && y < 10.2f; }
bool even(float v) { return std::fmod(v, 2.f) == 0; }
// A double result stored as single; false when it does not fit.
bool store(double v, float* out) {
    if (!(std::fabs(v) <= kSingleMax)) return false;
    *out = float(v);
    return true;
}
Result overflow() { return {Result::Overflow}; }
Result one(double v) {
    Result r;
    if (!store(v, &r.x1)) return overflow();
    return r;
}
Result pair(double v) {
    Result r = one(v);
    if (r.kind == Result::Value) {
        r.x2 = -r.x1;
        r.two = true;
    }
    return r;
}
// y^(1/n), with 1/n rounded to single first.
double root(double y, float n) { return std::pow(y, double(1.f / n)); }
}  // namespace

float wholePart(float typed) { return std::fabs(std::trunc(typed)); }

bool isWhole(float v) { return std::isfinite(v) && std::trunc(v) == v; }

Fraction reduced(float p, float q) {
    if (isWhole(p / q)) return {p / q, 1};
    if (isWhole(q / p)) return {1, q / p};
    return {p, q};
}

Fraction plotted(float p, float q) {
    const float r = q / p;
    if (isWhole(r)) return {1, r};
    return {p, q};
}

// x^n for the 20,000 samples of a curve, the kind of exponent decided once
// per curve. A small whole exponent is multiplied out (the result, stored as
// a single, is the same) in a loop of its own for each exponent, which keeps
// a slider step well under a millisecond.
template <int N>
double times(double x) {
    double r = 1;
    for (int i = 0; i < N; ++i) r *= x;
    return r;
}

template <class Pow>
Dots sampled(float start, Pow pow) {
    Dots d;
    d.points.reserve(20001);
    for (float x = start; x <= 10.f; x += 0.001f) {
        float y;
        if (!store(pow(double(x)), &y)) {
            d.overflow = true;
            break;
        }
        if (inBand(y)) d.points.emplace_back(x, y);
    }
    return d;
}

template <int N>
Dots wholeDots(float start) {
    return sampled(start, times<N>);
}

template <std::size_t... N>
constexpr std::array<Dots (*)(float), sizeof...(N)> wholeDotsTable(std::index_sequence<N...>) {
    return {&wholeDots<int(N)>...};
}

Dots integerDots(float n) {
    const float start = isWhole(n) ? -10.f : 0.01f;
    static constexpr auto whole = wholeDotsTable(std::make_index_sequence<17>());
    if (n >= 0 && n < float(whole.size()) && isWhole(n)) return whole[size_t(n)](start);
    const double e = n;
    return sampled(start, [e](double x) { return std::pow(x, e); });
}

Dots fractionDots(float p, float q, bool negative) {
    Dots d;
    d.points.reserve(40002);
    const float n = p / q;
    if (isWhole(n)) {
        // A whole exponent (4/2): the power over the whole axis.
        return integerDots(negative ? -n : n);
    }
    const Fraction f = plotted(p, q);
    const bool qEven = even(f.q), pEven = even(f.p);
    // An even root exists only for x >= 0; otherwise the left half mirrors
    // the right one, across the y axis for an even numerator, through the
    // origin for an odd one.
    const float step = qEven ? 0.001f : 0.005f;
    const bool mirror = !(qEven && !pEven);
    const bool odd = !qEven && !pEven;
    for (float x = 0.01f; x <= 10.f; x += step) {
        float y;
        if (!store(std::exp(std::log(std::pow(double(x), double(f.p))) / double(f.q)), &y)) {
            d.overflow = true;
            break;
        }
        if (negative) {
            y = 1.f / y;
            if (!std::isfinite(y)) {
                d.overflow = true;
                break;
            }
        }
        if (!inBand(y)) continue;
        d.points.emplace_back(x, y);
        if (mirror) d.points.emplace_back(-x, odd ? -y : y);
    }
    return d;
}

QString integerLabel(float n) { return QStringLiteral("Y = X^ ") + text(n); }
QString integerCanvasText(float n) { return QStringLiteral("Y=X^") + text(n); }

QString fractionLabel(Fraction f, bool negative) {
    return (negative ? QStringLiteral("Y = X^ (-") : QStringLiteral("Y = X^ (")) + text(f.p) + QStringLiteral("/") +
           text(f.q) + QStringLiteral(")");
}

QString fractionCanvasText(Fraction f, bool negative) {
    return QStringLiteral("Y=X^(") + text(negative ? -f.p : f.p) + QStringLiteral("/") + text(f.q) +
           QStringLiteral(")");
}

QString integerEquation(float n, float y) { return QStringLiteral("X^") + text(n) + QStringLiteral("=") + text(y); }

QString fractionEquation(Fraction f, bool negative, float y) {
    return (negative ? QStringLiteral("X^(-") : QStringLiteral("X^(")) + text(f.p) + QStringLiteral("/") + text(f.q) +
           QStringLiteral(")=") + text(y);
}

Result yInteger(float n, float x) {
    if (n < 0 && x == 0) return {Result::ZeroBase};
    // A negative base has a real power only for a whole exponent.
    if (x < 0 && !isWhole(n)) return {Result::NoValue};
    return one(std::pow(double(x), double(n)));
}

Result yFraction(float p, float q, bool negative, float x) {
    float n = p / q;
    if (negative) n = -n;
    if (n < 0 && x == 0) return {Result::ZeroBase};
    if (x >= 0) return one(std::pow(double(x), double(n)));
    const Fraction f = reduced(p, q);
    if (even(f.q) && !even(f.p)) return {Result::NegativeBase};
    const double v = std::pow(std::fabs(double(x)), double(n));
    return one(even(f.p) ? v : -v);
}

Result xInteger(float n, float y) {
    const float k = float(numfmt::roundHalfEven(std::fabs(double(n)), 0));
    if (even(k)) {
        if (y < 0) return {Result::EvenRoot};
        return pair(root(y, n));
    }
    if (y >= 0) return one(root(y, n));
    return one(-root(std::fabs(double(y)), n));
}

Result xFraction(float p, float q, bool negative, float y) {
    float n = p / q;
    if (negative) n = -n;
    const Fraction f = reduced(p, q);
    if (!even(f.p) && !even(f.q)) {
        if (y >= 0) return one(root(y, n));
        return one(-root(std::fabs(double(y)), n));
    }
    if (y < 0) return {Result::EvenRoot};
    return even(f.p) ? pair(root(y, n)) : one(root(y, n));
}

namespace {

enum class Symmetry { RightOnly, YAxis, Origin };

QStringList featuresOf(double e, Symmetry s) {
    QStringList f;
    f << (e > 0 ? QStringLiteral("过点 (0,0) 和 (1,1)") : QStringLiteral("过点 (1,1)"));
    switch (s) {
    case Symmetry::YAxis: f << QStringLiteral("图像关于 y 轴对称"); break;
    case Symmetry::Origin: f << QStringLiteral("图像关于原点对称"); break;
    case Symmetry::RightOnly: f << QStringLiteral("图像只在 y 轴右侧"); break;
    }
    if (e > 0) {
        f << QStringLiteral("在第一象限内单调递增");
    } else if (e < 0) {
        f << QStringLiteral("在第一象限内单调递减") << QStringLiteral("渐近线 x=0 和 y=0");
    } else {
        f << QStringLiteral("图像是直线 y=1");
    }
    return f;
}

Symmetry wholeSymmetry(float n) { return even(n) ? Symmetry::YAxis : Symmetry::Origin; }

}  // namespace

QStringList integerFeatures(float n) { return featuresOf(n, isWhole(n) ? wholeSymmetry(n) : Symmetry::RightOnly); }

QStringList fractionFeatures(float p, float q, bool negative) {
    const float n = p / q;
    if (isWhole(n)) return featuresOf(negative ? -n : n, wholeSymmetry(n));
    // As the plot mirrors the right half: not at all under an even root of an
    // odd power, across the y axis for an even numerator, through the origin
    // for an odd one.
    const Fraction f = plotted(p, q);
    const bool qEven = even(f.q), pEven = even(f.p);
    const Symmetry s = (qEven && !pEven) ? Symmetry::RightOnly : (pEven ? Symmetry::YAxis : Symmetry::Origin);
    return featuresOf(negative ? -double(n) : double(n), s);
}

}  // namespace power

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

const QString kNTitle = QStringLiteral("操作提示：请更换一个新的n值");
const QString kRangeTip = QStringLiteral(
    "请在左边文本框中输入数据取值(可以是小数，也可以是负数），或拖动滑块观察各种不同的取值与图像的关系。");

class PowerWindow : public FamilyWindow {
public:
    PowerWindow() : FamilyWindow(makeTraits()) {
        build({
            label("Label17", 8, 8, 353, 25, "幂函数通式： Y = X^n").font("黑体", 15).color(0, 0, 192),
            label("Labfc", 384, 8, 400, 25, "当前函数的解析式为：")
                .font("宋体", 13.5)
                .color(192, 0, 0)
                .bind(&frame_.current),
            radio("Option1", 16, 40, 121, 21, "当n取整数时").on().bind(&ui_.whole),
            radio("Option2", 144, 40, 121, 21, "当n取分数时").bind(&ui_.fraction),
            panel("Frame3", 8, 64, 273, 73, "n取整数").tooltip(kRangeTip).bind(&ui_.wholePanel),
            label("Label1(0)", 8, 32, 33, 25, "n=").in("Frame3").font("times new roman", 15),
            textBox("Text1", 40, 32, 57, 25, "2")
                .in("Frame3")
                .font("宋体", 13.5)
                .tooltip(
                    "请在此文本框中输入数据取值(可以是小数，也可以是负数），或拖动滑块观察各种不同的取值与图像的关系。")
                .bind(&ui_.n),
            slider("HScroll1", 104, 32, 161, 25, -10, 10, 0).in("Frame3").bind(&ui_.sn),
            panel("Frame2", 8, 64, 273, 137, "n取分数")
                .tooltip("请在文本框中输入数据取值(分子或分母不可以是小数或负数，因为程序会去掉不正确的输入），"
                         "或拖动滑块观察各种不同的取值与图像的关系。")
                .hide()
                .bind(&ui_.fractionPanel),
            label("Label1(1)", 8, 44, 33, 25, "n=").in("Frame2").font("times new roman", 15),
            label("Label2", 40, 44, 17, 25, "+").in("Frame2").font("times new roman", 15).bind(&ui_.sign),
            textBox("Text2(0)", 56, 22, 49, 25, "1")
                .in("Frame2")
                .font("宋体", 13.5)
                .tooltip("不可以是小数或负数。")
                .spoken("参数 n 的分子")
                .bind(&ui_.p),
            bar("Line3", 56, 51, 49, 2).in("Frame2"),
            textBox("Text2(1)", 56, 57, 49, 25, "3")
                .in("Frame2")
                .font("宋体", 13.5)
                .tooltip("不可以是小数或负数。")
                .spoken("参数 n 的分母")
                .bind(&ui_.q),
            slider("HScroll2", 120, 22, 145, 25, 1, 10, 1).in("Frame2").bind(&ui_.sp),
            slider("HScroll3", 120, 57, 145, 25, 1, 10, 1).in("Frame2").bind(&ui_.sq),
            radio("Option3", 16, 100, 97, 21, "n为正值").in("Frame2").on().bind(&ui_.positive),
            radio("Option4", 136, 100, 97, 21, "n为负值").in("Frame2").bind(&ui_.negative),
        });
        frameButtons(296, 40, 73, 25);
        build({
            check("Checkhide", 16, 208, 97, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 128, 208, 201, 25, "在图像上注明函数解析式").on().bind(&frame_.showExpression),
        });
        frame_.yLookup = buildLookupPanel(this, {.frame = {16, 240, 345, 89},
                                                 .start = "1",
                                                 .button = {144, 48, 65, 25},
                                                 .caption = {224, 56, 25, 17},
                                                 .result = {248, 56, 81, 18}});
        // Two results (an even power) share the one caption "X=".
        frame_.xLookup = buildLookupPanel(this, {.forY = false,
                                                 .frame = {16, 344, 345, 153},
                                                 .start = "1",
                                                 .button = {144, 48, 65, 25},
                                                 .caption = {224, 48, 25, 17},
                                                 .result = {256, 48, 81, 18},
                                                 .result2 = {256, 72, 81, 18},
                                                 .eqCaption = {8, 112, 84, 17},
                                                 .equation = {96, 108, 241, 25}});
        // Each slider changes only its own box, whatever mode is shown.
        frame_.sliders = {{ui_.sn, ui_.n, {}}, {ui_.sp, ui_.p, {}}, {ui_.sq, ui_.q, {}}};
        frame_.firstParam = ui_.n;
        frame_.redrawEmpties = {{frame_.yLookup.result, ""}, {frame_.xLookup.result, ""}, {frame_.xLookup.result2, ""}};
        onClick(ui_.whole, [this] { switchMode(false); });
        onClick(ui_.fraction, [this] { switchMode(true); });
        onClick(ui_.positive, [this] { ui_.sign->setText("+"); });
        onClick(ui_.negative, [this] { ui_.sign->setText("-"); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t;
        t.number = 4;
        t.key = "power";
        t.title = "幂函数的取值和图像";
        t.fileName = "幂函数图像";
        t.printButton = "Cmdprint";
        // The results are emptied by the redraw's own list.
        t.emptiesResults = false;
        t.animatorButton = {296, 168, 73, 24};  // under 显示网格
        return t;
    }

    bool fractionMode() const { return ui_.fraction->isChecked(); }
    bool negativeFraction() const { return ui_.negative->isChecked(); }

    void rangeMessage(const QString& part) {
        message(QStringLiteral("你选取的n值") + part + QStringLiteral("超出了我的计算范围，请让n") + part +
                    QStringLiteral("在＋10和－10之内。若有疑问可与作者联系！"),
                kNTitle, MsgButtons::OK, MsgIcon::Exclamation);
    }
    void invalidMessage() { message(frametext::invalidValue(), frametext::invalidValueTitle()); }
    // A fraction with a zero numerator or denominator has no value; the
    // window says so instead of dividing by zero.
    void zeroFractionMessage() {
        message("你输入的n值的分子或分母为0，这样的分数没有意义。请让分子和分母都取1到10之间的整数。", kNTitle,
                MsgButtons::OK, MsgIcon::Exclamation);
    }

    // n as typed; false (after the message) when it is beyond single range,
    // which is an invalid value rather than one outside -10..10.
    bool readN(float* n) {
        *n = number(ui_.n);
        if (std::isfinite(*n)) return true;
        invalidMessage();
        return false;
    }

    // p and q as typed; false (after the message) when one of them is beyond
    // single range or 0.
    bool readFraction(float* p, float* q) {
        *p = power::wholePart(number(ui_.p));
        *q = power::wholePart(number(ui_.q));
        if (!std::isfinite(*p) || !std::isfinite(*q)) {
            invalidMessage();
            return false;
        }
        if (*p == 0 || *q == 0) {
            zeroFractionMessage();
            return false;
        }
        return true;
    }

    void drawCurve() override {
        Canvas& cv = canvas();
        power::Dots dots;
        QString label, onCanvas;
        if (!fractionMode()) {
            float n;
            if (!readN(&n)) return;
            if (n > 10 || n < -10) return rangeMessage("");
            frame_.xLookup.equation->clear();
            dots = power::integerDots(n);
            label = power::integerLabel(n);
            features_ = power::integerFeatures(n);
            onCanvas = power::integerCanvasText(n);
        } else {
            float p, q;
            if (!readFraction(&p, &q)) return;
            if (p > 10) return rangeMessage("的分子");
            if (q > 10) return rangeMessage("的分母");
            frame_.xLookup.equation->clear();
            const bool neg = negativeFraction();
            dots = power::fractionDots(p, q, neg);
            const power::Fraction f = power::plotted(p, q);
            label = power::fractionLabel(f, neg);
            features_ = power::fractionFeatures(p, q, neg);
            onCanvas = power::fractionCanvasText(f, neg);
        }
        cv.points(dots.points);
        if (dots.overflow) {
            // The dots computed so far stay, as everything drawn before an
            // overflow does.
            invalidMessage();
            cv.setForeColor(kBlack);
            return;
        }
        frame_.current->setText(QStringLiteral("当前幂函数:") + label);
        // (1, 1) lies on every power function.
        cv.currentX = 1;
        cv.currentY = 1;
        cv.setForeColor(kRed);
        if (expressionShown()) cv.print(onCanvas);
        cv.setForeColor(kBlack);
    }

    QStringList curveFeatures() const override { return features_; }
    QStringList features_;  // of the curve drawn last

    void switchMode(bool fraction) {
        ui_.wholePanel->setVisible(!fraction);
        ui_.fractionPanel->setVisible(fraction);
        frame_.xLookup.result->setText(QString());
        frame_.xLookup.result2->setText(QString());
        frame_.xLookup.equation->clear();
        // The axes come back even when hidden; the curve waits for a redraw.
        clearCanvas();
        drawAxes();
    }

    // Shows the message of a look-up that found no value; true when handled.
    bool refused(const power::Result& r) {
        switch (r.kind) {
        case power::Result::Value: return false;
        case power::Result::ZeroBase:
            message("你选取的n值为负，这时X是不能取0的。", "操作提示：请更换一个新的X值", MsgButtons::OK,
                    MsgIcon::Exclamation);
            break;
        case power::Result::NegativeBase:
            message("你选取的X值为负，这时X是不能取负值的。", "操作提示：请更换一个新的X值", MsgButtons::OK,
                    MsgIcon::Exclamation);
            break;
        case power::Result::EvenRoot:
            message("你选取的n值为偶数，这时Y值不能是小于0的。", "操作提示：请更换一个新的Y值", MsgButtons::OK,
                    MsgIcon::Exclamation);
            break;
        case power::Result::NoValue: break;
        case power::Result::Overflow: invalidMessage(); break;
        }
        return true;
    }

    void lookupY() override {
        const float x = number(frame_.yLookup.input);
        power::Result r;
        if (!fractionMode()) {
            float n;
            if (!readN(&n)) return;
            if (n > 10 || n < -10) return rangeMessage("");
            if (!std::isfinite(x)) return invalidMessage();
            r = power::yInteger(n, x);
        } else {
            float p, q;
            if (!readFraction(&p, &q)) return;
            const float n = p / q;
            if (n > 10 || n < -10) return rangeMessage("");
            if (!std::isfinite(x)) return invalidMessage();
            r = power::yFraction(p, q, negativeFraction(), x);
        }
        if (refused(r)) return;
        frame_.yLookup.result->setText(numfmt::text(r.x1));
    }

    void lookupX() override {
        frame_.xLookup.result->setText(QString());
        frame_.xLookup.result2->setText(QString());
        frame_.xLookup.equation->clear();
        const float y = number(frame_.xLookup.input);
        const bool fraction = fractionMode();
        float n, p = 0, q = 0;
        if (!fraction) {
            if (!readN(&n)) return;
        } else {
            if (!readFraction(&p, &q)) return;
            n = p / q;
        }
        if (n > 10 || n < -10) return rangeMessage("");
        if (n == 0) {
            message("你选取的n值为0，这时Y值恒为1。X可为任意值。", kNTitle, MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        if (!std::isfinite(y)) return invalidMessage();
        frame_.xLookup.equation->setText(power::integerEquation(n, y));
        power::Result r;
        if (!fraction) {
            r = power::xInteger(n, y);
        } else {
            const bool neg = negativeFraction();
            frame_.xLookup.equation->setText(power::fractionEquation(power::reduced(p, q), neg, y));
            r = power::xFraction(p, q, neg, y);
        }
        if (refused(r)) return;
        frame_.xLookup.result->setText(numfmt::text(r.x1));
        if (r.two) frame_.xLookup.result2->setText(numfmt::text(r.x2));
    }

    struct {
        QRadioButton *whole = nullptr, *fraction = nullptr;         // Option1, Option2
        QGroupBox *wholePanel = nullptr, *fractionPanel = nullptr;  // Frame3, Frame2
        QLineEdit* n = nullptr;                                     // Text1
        QLineEdit *p = nullptr, *q = nullptr;                       // Text2(0), Text2(1)
        QScrollBar *sn = nullptr, *sp = nullptr, *sq = nullptr;     // HScroll1..3
        QRadioButton *positive = nullptr, *negative = nullptr;      // Option3, Option4
        QLabel* sign = nullptr;                                     // Label2
    } ui_;
};

}  // namespace

FamilyWindow* createPower() { return new PowerWindow; }
