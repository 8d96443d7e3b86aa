#include "families/own/own.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "expr/analysis.h"
#include "expr/function.h"
#include "families/factories.h"
#include "frame/family_window.h"
#include "frame/frame_texts.h"
#include "frame/lookup_panel.h"
#include "numfmt/numfmt.h"

namespace own {

namespace {
template <class T, class Write>
QString listOf(const std::vector<T>& items, Write write) {
    if (items.empty()) return QStringLiteral("无");
    QStringList parts;
    const size_t shown = std::min(items.size(), size_t(kListed));
    for (size_t i = 0; i < shown; ++i) parts << write(items[i]);
    QString t = parts.join(QStringLiteral("，"));
    if (items.size() > shown) t += QStringLiteral(" 等 %1 个").arg(items.size());
    return t;
}
}  // namespace

QString xList(const std::vector<double>& xs) {
    return listOf(xs, [](double x) { return numfmt::text(float(x)); });
}

QString pointList(const std::vector<QPointF>& points) {
    return listOf(points, [](QPointF p) {
        return QStringLiteral("(") + numfmt::text(float(p.x())) + QStringLiteral(",") + numfmt::text(float(p.y())) +
               QStringLiteral(")");
    });
}

// The window writes its own "y =" in front of what was typed.
QString body(const QString& typed) { return typed.mid(expr::expressionStart(typed)).trimmed(); }

QString currentText(const QString& typed) { return QStringLiteral("当前函数：y = ") + body(typed); }

}  // namespace own

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
// The picture's x range, and the slider's steps: tenths from -10 to 10.
constexpr double kLeft = Canvas::kLeft, kRight = Canvas::kRight;
constexpr int kSliderRange = 100;
// Sampled once a pixel column of the picture, refined where the curve moves
// faster than a pixel a column: its points are never more than about a
// pixel apart, and the lines between them are drawn at the screen's own
// resolution (on a 200 % display every second device column has a point
// and the line through them is as sharp as the window around it). A long
// expression costs about a microsecond an evaluation: twice the points
// would double the redraw for no visible gain.
constexpr double kColumnsPerUnit = Canvas::kSize / (Canvas::kRight - Canvas::kLeft);

struct Interval {
    double from, to;
};

class OwnWindow : public FamilyWindow {
public:
    OwnWindow() : FamilyWindow(makeTraits()) {
        const QString tip = frametext::paramTip();
        build({
            label("Label1(0)", 8, 8, 41, 25, "Y =").font("times new roman", 15),
            textBox("Exprtext", 48, 8, 321, 25, "a sin(bx + c) + d")
                .font("宋体", 12)
                .tooltip("在这里输入函数的表达式，如 x² - 2x - 3、|x - 1|、2sin(2x + π/3) + 1、x + 1/x、ln x - x，"
                         "可以用参数 a、b、c、d。输入后点击“刷新作图”。")
                .spoken("函数表达式 Y =")
                .bind(&ui_.expr),
            label("Label2(0)", 384, 8, 410, 25, "当前函数：").font("宋体", 13.5).color(192, 0, 0).bind(&frame_.current),
        });
        const char* names[4] = {"a =", "b =", "c =", "d ="};
        const char* starts[4] = {"1", "1", "0", "0"};
        const int values[4] = {10, 10, 0, 0};
        for (int i = 0; i < 4; ++i) {
            const int y = 44 + 32 * i;
            build({
                label(QStringLiteral("Label3(%1)").arg(i), 8, y, 33, 25, names[i]).font("times new roman", 15),
                textBox(QStringLiteral("Text1(%1)").arg(i), 40, y, 57, 25, starts[i])
                    .font("宋体", 13.5)
                    .tooltip(tip)
                    .bind(&ui_.param[i]),
                slider(QStringLiteral("HScroll%1").arg(i + 1), 104, y, 169, 25, -kSliderRange, kSliderRange, values[i])
                    .bind(&ui_.slider[i]),
            });
            if (i == 0) frameButtons(288, 40, 81, 25);
        }
        build({
            label("Label4(0)", 8, 180, 41, 25, "x 从").font("宋体", 12),
            textBox("Domfrom", 48, 176, 57, 25)
                .font("宋体", 12)
                .tooltip("作图区间的起点；空着表示从画面的左边开始。也可以写 -π 之类的数。")
                .spoken("区间起点 x 从")
                .bind(&ui_.from),
            label("Label4(1)", 112, 180, 25, 25, "到").font("宋体", 12),
            textBox("Domto", 136, 176, 57, 25)
                .font("宋体", 12)
                .tooltip("作图区间的终点；空着表示画到画面的右边。")
                .spoken("区间终点 到")
                .bind(&ui_.to),
            check("Checkhide", 280, 168, 97, 25, "隐藏坐标系").bind(&frame_.hideAxes),
            check("Check1", 280, 188, 97, 28, "在图像上注明函数表达式").on().bind(&frame_.showExpression),
            button("Command2", 8, 224, 73, 25, "零点").bind(&ui_.zeros),
            label("Label5(0)", 88, 224, 281, 25).font("宋体", 12).color(192, 0, 0).bind(&ui_.zerosLabel),
            button("Command3", 8, 254, 73, 25, "极大值").bind(&ui_.maxima),
            label("Label5(1)", 88, 254, 281, 25).font("宋体", 12).color(192, 0, 0).bind(&ui_.maximaLabel),
            button("Command4", 8, 284, 73, 25, "极小值").bind(&ui_.minima),
            label("Label5(2)", 88, 284, 281, 25).font("宋体", 12).color(192, 0, 0).bind(&ui_.minimaLabel),
            button("Command6", 8, 314, 73, 25, "与y轴交点").bind(&ui_.yIntercept),
            label("Label5(3)", 88, 314, 281, 25).font("宋体", 12).color(192, 0, 0).bind(&ui_.yInterceptLabel),
        });
        frame_.yLookup = buildLookupPanel(this, {.frame = {8, 346, 361, 81},
                                                 .button = {152, 48, 65, 25},
                                                 .caption = {232, 56, 25, 17},
                                                 .result = {256, 56, 97, 18}});
        frame_.xLookup = buildLookupPanel(this, {.forY = false,
                                                 .frame = {8, 432, 361, 105},
                                                 .button = {152, 44, 65, 25},
                                                 .caption = {8, 76, 25, 17},
                                                 .result = {32, 76, 321, 18},
                                                 .smallCaption = true});
        for (int i = 0; i < 4; ++i)
            frame_.sliders.push_back({ui_.slider[i], ui_.param[i], [](int v) { return numfmt::text(v / 10.f); }});
        frame_.firstParam = ui_.expr;
        const std::vector<std::pair<QWidget*, QString>> features = {
            {ui_.zerosLabel, ""}, {ui_.maximaLabel, ""}, {ui_.minimaLabel, ""}, {ui_.yInterceptLabel, ""}};
        frame_.redrawEmpties = features;
        frame_.overlayEmpties = features;
        onClick(ui_.zeros, [this] { showZeros(); });
        onClick(ui_.maxima, [this] { showExtrema(true); });
        onClick(ui_.minima, [this] { showExtrema(false); });
        onClick(ui_.yIntercept, [this] { showYIntercept(); });
        finish();
    }

private:
    static FamilyTraits makeTraits() {
        FamilyTraits t;
        t.number = 16;
        t.key = "own";
        t.title = "自定义函数的图像";
        t.fileName = "自定义函数图像";
        t.gridFont10 = true;
        // Right of the interval, left of 隐藏坐标系, above the features.
        t.animatorButton = {200, 196, 73, 24};
        return t;
    }

    // ------------------------------------------------------------ reading the boxes

    // The function in the box, compiled once per text; a message (and the
    // place marked in the box) when it does not compile.
    expr::Function* function() {
        const QString typed = ui_.expr->text();
        if (!compiled_ || compiled_->typed() != typed) {
            compiled_.reset();
            auto result = expr::Function::compile(typed);
            if (auto* problem = std::get_if<expr::Problem>(&result)) {
                message(problem->message);
                markProblem(problem->position);
                return nullptr;
            }
            compiled_.emplace(std::move(std::get<expr::Function>(result)));
        }
        compiled_->setParameters(number(ui_.param[0]), number(ui_.param[1]), number(ui_.param[2]),
                                 number(ui_.param[3]));
        return &*compiled_;
    }

    void markProblem(int position) {
        const int length = int(ui_.expr->text().size());
        const int at = std::clamp(position, 0, length);
        ui_.expr->setFocus(Qt::OtherFocusReason);
        if (at < length) ui_.expr->setSelection(at, 1);
        else ui_.expr->setCursorPosition(at);
    }

    // A number typed in a box as pupils write numbers ("-π", "3/2", "√2").
    // The interval's ends are read before every redraw and every slider
    // step: each text is compiled once, not at every step.
    std::optional<double> constant(const QString& text) {
        if (const auto known = constants_.find(text); known != constants_.end()) return known->second;
        if (constants_.size() >= 16) constants_.clear();
        return constants_[text] = compileConstant(text);
    }
    static std::optional<double> compileConstant(const QString& text) {
        auto result = expr::Function::compile(text);
        auto* f = std::get_if<expr::Function>(&result);
        if (!f || f->uses('a') || f->uses('b') || f->uses('c') || f->uses('d')) return std::nullopt;
        const double v = f->at(0.0);
        // A number does not change with x.
        if (!std::isfinite(v) || f->at(1.0) != v) return std::nullopt;
        return v;
    }

    // The interval to draw and search: the typed one within the picture.
    std::optional<Interval> interval() {
        Interval in{kLeft, kRight};
        const struct {
            QLineEdit* box;
            double* end;
            const char* what;
        } ends[2] = {{ui_.from, &in.from, "起点（x 从）"}, {ui_.to, &in.to, "终点（到）"}};
        for (const auto& e : ends) {
            if (e.box->text().trimmed().isEmpty()) continue;
            const auto v = constant(e.box->text());
            if (!v) {
                message(QStringLiteral("区间的%1不是一个数，请输入如 -2、0.5、π/2 这样的数，或者空着。")
                            .arg(QString::fromUtf8(e.what)));
                e.box->setFocus(Qt::OtherFocusReason);
                e.box->selectAll();
                return std::nullopt;
            }
            *e.end = *v;
        }
        if (!(in.from < in.to)) {
            message(QStringLiteral("区间的起点要小于终点，请重新输入。"));
            ui_.from->setFocus(Qt::OtherFocusReason);
            return std::nullopt;
        }
        in.from = std::max(in.from, kLeft);
        in.to = std::min(in.to, kRight);
        if (!(in.from < in.to)) {
            message(QStringLiteral("区间在画面之外（画面上 x 从 -11 到 11），请重新输入。"));
            ui_.from->setFocus(Qt::OtherFocusReason);
            return std::nullopt;
        }
        return in;
    }

    struct Ready {
        expr::Function* f;
        Interval in;
    };
    std::optional<Ready> ready() {
        expr::Function* f = function();
        if (!f) return std::nullopt;
        const auto in = interval();
        if (!in) return std::nullopt;
        return Ready{f, *in};
    }

    static expr::Batch batch(const expr::Function* f) {
        return [f](const double* x, double* y, int n) { f->evaluate(x, y, n); };
    }

    // ------------------------------------------------------------ the picture

    bool curveReady() override { return ready().has_value(); }

    void drawCurve() override {
        const auto r = ready();
        if (!r) return;
        const int columns = std::max(2, int(std::ceil((r->in.to - r->in.from) * kColumnsPerUnit)));
        const expr::Runs runs = expr::plot(batch(r->f), r->in.from, r->in.to, Canvas::kBottom, Canvas::kTop, columns);
        Canvas& c = canvas();
        std::vector<QLineF> segments;
        std::vector<QPointF> dots;
        for (const auto& run : runs) {
            if (run.size() == 1) dots.push_back(run.front());
            for (size_t i = 1; i < run.size(); ++i) segments.emplace_back(run[i - 1], run[i]);
        }
        if (segments.empty() && dots.empty()) {
            message(QStringLiteral("在所选的范围内，这个函数没有能画在画面上的点。"));
            c.setForeColor(kBlack);
            return;
        }
        c.lines(segments);
        if (!dots.empty()) c.points(dots);
        drawnName_ = expr::spoken(r->f->typed());
        frame_.current->setText(own::currentText(r->f->typed()));
        if (expressionShown()) {
            const QPointF at = labelPoint(runs);
            c.currentX = at.x();
            c.currentY = at.y();
            c.setForeColor(kRed);
            c.print(QStringLiteral("y = ") + own::body(r->f->typed()));
        }
        c.setForeColor(kBlack);
    }

    // Where the expression is written: beside the curve's point nearest to
    // x = 4 well inside the picture, so the text stays on it.
    static QPointF labelPoint(const expr::Runs& runs) {
        QPointF best(-10, 10);
        double bestDistance = 1e300;
        for (const auto& run : runs)
            for (const QPointF& p : run) {
                if (std::abs(p.y()) > 9 || std::abs(p.x()) > 9) continue;
                const double d = std::abs(p.x() - 4);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = p;
                }
            }
        return best;
    }

    QString curveName() const override {
        return drawnName_.isEmpty() ? FamilyWindow::curveName() : QStringLiteral("自定义函数，") + drawnName_;
    }

    // ------------------------------------------------------------ numbers

    // The number typed in a look-up's box, or nothing after saying what the
    // box wants (the box keeps the focus).
    std::optional<double> askedNumber(QLineEdit* box, const QString& want) {
        const auto v = constant(box->text());
        if (!v) {
            message(want);
            box->setFocus(Qt::OtherFocusReason);
        }
        return v;
    }

    void lookupY() override {
        const auto r = ready();
        if (!r) return;
        const auto x =
            askedNumber(frame_.yLookup.input, QStringLiteral("请在“当 X=”后面输入一个数，如 2、-1.5、π/2。"));
        if (!x) return;
        if (hasTypedInterval() && (*x < r->in.from || *x > r->in.to)) {
            message(QStringLiteral("X = %1 不在作图的区间里。").arg(numfmt::text(float(*x))));
            return;
        }
        const double y = r->f->at(*x);
        if (std::isnan(y)) {
            message(QStringLiteral("函数在 X = %1 处没有定义。").arg(numfmt::text(float(*x))));
            return;
        }
        if (!numfmt::finiteSingle(y)) return tooLargeMessage();
        frame_.yLookup.result->setText(numfmt::text(float(y)));
        frame_.yLookup.input->setFocus(Qt::OtherFocusReason);
    }

    void lookupX() override {
        const auto r = ready();
        if (!r) return;
        const auto y = askedNumber(frame_.xLookup.input, QStringLiteral("请在“当 y=”后面输入一个数，如 2、-1.5、√2。"));
        if (!y) return;
        frame_.xLookup.result->setText(solutions(*r, *y, QStringLiteral("无实数解")));
        frame_.xLookup.result->setCursorPosition(0);
        frame_.xLookup.input->setFocus(Qt::OtherFocusReason);
    }

    bool hasTypedInterval() const {
        return !ui_.from->text().trimmed().isEmpty() || !ui_.to->text().trimmed().isEmpty();
    }

    // Whether f is y everywhere on the interval (a constant function):
    // then every x solves f(x) = y and none is listed.
    static bool everywhere(const Ready& r, double y) {
        constexpr int kProbes = 61;
        double xs[kProbes], ys[kProbes];
        for (int i = 0; i < kProbes; ++i) xs[i] = r.in.from + (r.in.to - r.in.from) * i / (kProbes - 1);
        r.f->evaluate(xs, ys, kProbes);
        return std::all_of(ys, ys + kProbes, [y](double v) { return v == y; });
    }

    // Every x with f(x) = y, or `none`.
    static QString solutions(const Ready& r, double y, const QString& none) {
        if (everywhere(r, y)) return QStringLiteral("区间内的任意 x");
        const std::vector<double> xs = expr::solve(batch(r.f), y, r.in.from, r.in.to);
        return xs.empty() ? none : own::xList(xs);
    }

    void showZeros() {
        const auto r = ready();
        if (!r) return;
        showFeature(ui_.zerosLabel, solutions(*r, 0.0, QStringLiteral("无")));
    }

    void showExtrema(bool highest) {
        const auto r = ready();
        if (!r) return;
        const auto points =
            highest ? expr::maxima(batch(r->f), r->in.from, r->in.to) : expr::minima(batch(r->f), r->in.from, r->in.to);
        showFeature(highest ? ui_.maximaLabel : ui_.minimaLabel, own::pointList(points));
    }

    void showYIntercept() {
        const auto r = ready();
        if (!r) return;
        const double y = r->in.from <= 0 && 0 <= r->in.to ? r->f->at(0.0) : std::nan("");
        showFeature(ui_.yInterceptLabel, std::isfinite(y)
                                             ? QStringLiteral("(0,") + numfmt::text(float(y)) + QStringLiteral(")")
                                             : QStringLiteral("无（x = 0 处没有定义或不在区间内）"));
    }

    // A list longer than its label shows is read whole in the tooltip.
    static void showFeature(QLabel* label, const QString& text) {
        setControlText(label, text);
        label->setToolTip(label->fontMetrics().horizontalAdvance(text) > label->width() ? text : QString());
    }

    std::optional<expr::Function> compiled_;
    std::map<QString, std::optional<double>> constants_;
    QString drawnName_;
    struct {
        QLineEdit* expr = nullptr;                 // Exprtext
        QLineEdit* param[4] = {};                  // Text1(0..3): a, b, c, d
        QScrollBar* slider[4] = {};                // HScroll1..4
        QLineEdit *from = nullptr, *to = nullptr;  // Domfrom, Domto
        QPushButton *zeros = nullptr, *maxima = nullptr, *minima = nullptr, *yIntercept = nullptr;
        QLabel *zerosLabel = nullptr, *maximaLabel = nullptr, *minimaLabel = nullptr, *yInterceptLabel = nullptr;
    } ui_;
};

}  // namespace

FamilyWindow* createOwn() { return new OwnWindow; }
