#include "families/algebraic/exp_log.h"

#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "numfmt/numfmt.h"
#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"

using numfmt::text;

namespace explog {

bool validBase(float a) { return a > 0 && a != 1; }

QString wholeBaseText(int position) { return QString::number(position); }

QString tenthBaseText(int position) { return numfmt::signedText(float(position / 10.0)); }

std::vector<float> abscissas(float from) {
    std::vector<float> xs;
    xs.reserve(4001);
    for (float x = from; x <= 10.f; x += 0.005f) xs.push_back(x);
    return xs;
}

namespace {
// A value is drawn only near the drawing area; far-off values would only
// smear along the canvas edge.
bool inBand(float y) { return double(y) > -10.2 && double(y) < 10.2; }
}  // namespace

// Samples x from `start` to 10 in single-precision steps of 0.005 and keeps
// the values inside the band; stops at the first value a single cannot hold.
template <class F>
Dots sampleDots(float start, F value) {
    Dots d;
    d.points.reserve(4000);
    for (float x = start; x <= 10.f; x += 0.005f) {
        const double y = value(x);
        if (!numfmt::finiteSingle(y)) {
            d.overflow = true;
            break;
        }
        const float sy = float(y);
        if (inBand(sy)) d.points.emplace_back(x, sy);
    }
    return d;
}

Dots exponentialDots(float a) {
    return sampleDots(-10.f, [a](float x) { return std::pow(double(a), double(x)); });
}

Dots logarithmDots(float a) {
    const double lnA = std::log(double(a));
    return sampleDots(0.01f, [lnA](float x) { return std::log(double(x)) / lnA; });
}

std::optional<float> power(float a, float x) {
    const double y = std::pow(double(a), double(x));
    if (!numfmt::finiteSingle(y)) return std::nullopt;
    return float(y);
}

std::optional<float> logarithm(float x, float a) {
    if (!(x > 0)) return std::nullopt;
    const double y = std::log(double(x)) / std::log(double(a));
    if (!numfmt::finiteSingle(y)) return std::nullopt;
    return float(y);
}

QString exponentialLabel(float a) { return QStringLiteral("当前指数函数:Y = ") + text(a) + QStringLiteral("^ X"); }
QString exponentialCanvasText(float a) { return QStringLiteral("Y=") + text(a) + QStringLiteral("^ X"); }
QString exponentialEquation(float a, float y) { return text(a) + QStringLiteral("^X=") + text(y); }
QString logarithmLabel(float a) { return QStringLiteral("当前对数函数:Y=log ") + text(a) + QStringLiteral("  X"); }
QString logarithmCanvasText(float a) { return QStringLiteral("Y=log") + text(a) + QStringLiteral("  X"); }
QString logarithmEquation(float a, float y) {
    return QStringLiteral("log") + text(a) + QStringLiteral("  X=") + text(y);
}

double exponentialTextY(float a) { return a <= 10 ? double(a) : 9.0; }

QString baseMessage() { return QStringLiteral("你选取的a值小于0，或等于0，或等于1。请让a>0且不等于1。"); }
QString baseTitle() { return QStringLiteral("操作提示：请更换一个新的a值"); }

namespace {
QString monotony(float a) {
    return a > 1 ? QStringLiteral("在定义域内单调递增") : QStringLiteral("在定义域内单调递减");
}
}  // namespace

QStringList exponentialFeatures(float a) {
    return {QStringLiteral("过定点 (0,1)"), QStringLiteral("渐近线 y=0"), monotony(a)};
}

QStringList logarithmFeatures(float a) {
    return {QStringLiteral("过定点 (1,0)"), QStringLiteral("渐近线 x=0"), monotony(a)};
}

}  // namespace explog

ExpLogWindow::ExpLogWindow(const Setup& s) : FamilyWindow(makeTraits(s)) {
    const QString tip = frametext::paramTip();
    build({
        label("Label17", 16, 8, 361, 33, s.generalForm).font("黑体", 18).color(0, 0, 192),
        label("Labfc", 392, 8, 393, 25, "当前函数的解析式为：")
            .font("黑体", 15)
            .color(192, 64, 0)
            .bind(&frame_.current),
        label("Label2", 8, 64, 33, 25, "a =").font("times new roman", 15),
        textBox("Text1", 40, 64, 57, 25, s.defaultBase).font("宋体", 15.75).tooltip(tip).bind(&base_),
        slider("HScroll1", 104, 52, 169, 20, 2, 10, 2, 1, 2).spoken("参数 a 整数部分滑块").bind(&wholeSlider_),
        slider("HScroll2", 104, 80, 169, 20, 1, 9, 1, 1, 2).spoken("参数 a 十分位滑块").bind(&tenthSlider_),
    });
    frameButtons(288, 48, 81, 25);
    build({
        label("Label1", 16, 144, 257, 81,
              "说明：如果要取一个自定义的值（用滚动条无法实现），可直接在上面的文本框中输入。"
              "然后点击“刷新作图”或“覆盖作图”。"),
        check("Checkhide", 16, 240, 97, 25, "隐藏坐标系").bind(&frame_.hideAxes),
        check("Check1", 136, 240, 233, 25, "在图像上注明函数解析式").on().bind(&frame_.showExpression),
    });
    frame_.yLookup = buildLookupPanel(this, {.frame = {16, 296, 353, 81},
                                             .start = "1",
                                             .button = {152, 40, 65, 25},
                                             .caption = {240, 48, 25, 17},
                                             .result = {264, 48, 81, 18}});
    frame_.xLookup = buildLookupPanel(this, {.forY = false,
                                             .frame = {16, 392, 353, 129},
                                             .start = "1",
                                             .when = {144, 24, 33, 17},
                                             .button = {152, 48, 65, 25},
                                             .caption = {232, 56, 25, 17},
                                             .result = {256, 56, 81, 18},
                                             .eqCaption = {16, 88, 89, 17},
                                             .equation = {104, 88, 233, 25}});
    frame_.firstParam = base_;
    // The two sliders follow neither each other nor the box: each writes its
    // own value and redraws.
    frame_.sliders = {{wholeSlider_, base_, explog::wholeBaseText}, {tenthSlider_, base_, explog::tenthBaseText}};
}

FamilyTraits ExpLogWindow::makeTraits(const Setup& s) {
    FamilyTraits t;
    t.number = s.number;
    t.key = s.key;
    t.title = s.title;
    t.fileName = s.fileName;
    t.printButton = QStringLiteral("Cmdprint");
    // A slider outside overlay mode runs the whole redraw; in overlay mode it
    // only previews, leaving the results and the grid caption alone.
    t.readoutPos = s.readoutPos;
    t.freehandPos = s.freehandPos;
    t.fullScreenPos = s.fullScreenPos;
    t.copyPos = s.copyPos;
    t.animatorButton = {288, 176, 81, 24};  // under 显示网格
    return t;
}

std::optional<float> ExpLogWindow::readValue(const QLineEdit* box) {
    const float v = number(box);
    if (!std::isfinite(v)) {
        invalidValue();
        return std::nullopt;
    }
    return v;
}

bool ExpLogWindow::checkBase(float a) {
    if (explog::validBase(a)) return true;
    message(explog::baseMessage(), explog::baseTitle(), MsgButtons::OK, MsgIcon::Exclamation);
    return false;
}

void ExpLogWindow::lookupYWith(std::optional<float> (*f)(float a, float x)) {
    const auto a = readValue(base_);
    if (!a) return;
    const auto x = readValue(frame_.yLookup.input);
    if (!x) return;
    if (!checkBase(*a)) return;
    frame_.xLookup.equation->clear();
    const auto y = f(*a, *x);
    if (!y) return invalidValue();
    frame_.yLookup.result->setText(numfmt::signedText(*y));
}

void ExpLogWindow::lookupXWith(std::optional<float> (*f)(float a, float y), QString (*equation)(float a, float y),
                               bool refuseNegative) {
    const auto a = readValue(base_);
    if (!a) return;
    const auto y = readValue(frame_.xLookup.input);
    if (!y) return;
    frame_.xLookup.equation->clear();
    if (refuseNegative && *y < 0) {
        message("你选取的y值小于0，这是不对的。", "操作提示：请更换一个新的Y值", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!checkBase(*a)) return;
    frame_.xLookup.equation->setText(equation(*a, *y));
    const auto x = f(*a, *y);
    if (!x) return invalidValue();
    frame_.xLookup.result->setText(numfmt::text(*x));
}

void ExpLogWindow::invalidValue() { message(frametext::invalidValue(), frametext::invalidValueTitle()); }

void ExpLogWindow::drawDots(const std::vector<QPointF>& dots) { canvas().points(dots); }

void ExpLogWindow::writeExpression(double x, double y, const QString& canvasText, const QString& labelText) {
    frame_.current->setText(labelText);
    Canvas& c = canvas();
    c.currentX = x;
    c.currentY = y;
    c.setForeColor(QColor(255, 0, 0));
    if (expressionShown()) c.print(canvasText);
    c.setForeColor(QColor(0, 0, 0));
}
