// Pupils' notation for a typed function: what each way of writing means
// (compared with the same function written out in C++), what is refused and
// where, the limits, and the expression read in words.
#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

#include "expr/function.h"
#include "expr/notation.h"

using expr::Function;
using expr::Problem;

namespace {

struct Params {
    double a, b, c, d;
};

using Hand = double (*)(double x, const Params& p);

struct Meaning {
    const char* typed;
    Hand hand;
};

const double kPi = 3.14159265358979323846;
const double kE = 2.71828182845904523536;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Written out independently of the program: odd roots of negative numbers
// through the cube root and the sign, as the textbook defines them.
double oddPower(double x, double p, double q) {  // x^(p/q), q odd
    const double m = std::pow(std::fabs(x), p / q);
    return (x < 0 && std::fmod(p, 2) != 0) ? -m : m;
}

const Meaning kMeanings[] = {
    {"x", [](double x, const Params&) { return x; }},
    {"X", [](double x, const Params&) { return x; }},
    {"y=2x+1", [](double x, const Params&) { return 2 * x + 1; }},
    {"Y = x² − 2x − 3", [](double x, const Params&) { return x * x - 2 * x - 3; }},
    {"y＝x＋1", [](double x, const Params&) { return x + 1; }},
    {"f(x) = 3 - x", [](double x, const Params&) { return 3 - x; }},
    {"1.5x", [](double x, const Params&) { return 1.5 * x; }},
    {".5x+.25", [](double x, const Params&) { return 0.5 * x + 0.25; }},
    {"x³", [](double x, const Params&) { return x * x * x; }},
    {"x^2^2", [](double x, const Params&) { return x * x * x * x; }},
    {"2^3^x", [](double x, const Params&) { return std::pow(2.0, std::pow(3.0, x)); }},
    {"-x²", [](double x, const Params&) { return -(x * x); }},
    {"−x^2+1", [](double x, const Params&) { return -(x * x) + 1; }},
    {"2^-x", [](double x, const Params&) { return std::pow(2.0, -x); }},
    {"x⁻¹", [](double x, const Params&) { return 1 / x; }},
    {"(x+1)(x−1)", [](double x, const Params&) { return (x + 1) * (x - 1); }},
    {"（x＋１）（x－１）", [](double x, const Params&) { return (x + 1) * (x - 1); }},
    {"2(x+1)", [](double x, const Params&) { return 2 * (x + 1); }},
    {"[x+1]*{x-1}", [](double x, const Params&) { return (x + 1) * (x - 1); }},
    {"(((x)))", [](double x, const Params&) { return x; }},
    {"x‐1", [](double x, const Params&) { return x - 1; }},
    {"x × 2 ÷ 4", [](double x, const Params&) { return x * 2 / 4; }},
    {"x·x", [](double x, const Params&) { return x * x; }},
    // Left to right, as written: half of x, not the reciprocal of 2x.
    {"1/2x", [](double x, const Params&) { return 1.0 / 2 * x; }},
    {"3x^2/2", [](double x, const Params&) { return 3 * (x * x) / 2; }},
    {"ax²+bx+c", [](double x, const Params& p) { return p.a * x * x + p.b * x + p.c; }},
    {"a(x−b)²+c", [](double x, const Params& p) { return p.a * (x - p.b) * (x - p.b) + p.c; }},
    {"a sin(bx+c)+d", [](double x, const Params& p) { return p.a * std::sin(p.b * x + p.c) + p.d; }},
    {"A x + B", [](double x, const Params& p) { return p.a * x + p.b; }},
    {"d", [](double, const Params& p) { return p.d; }},
    {"c/x", [](double x, const Params& p) { return p.c / x; }},
    {"cab", [](double, const Params& p) { return p.c * p.a * p.b; }},
    {"2sin(2x+π/3)+1", [](double x, const Params&) { return 2 * std::sin(2 * x + kPi / 3) + 1; }},
    {"sin 2x", [](double x, const Params&) { return std::sin(2 * x); }},
    {"sin2x", [](double x, const Params&) { return std::sin(2 * x); }},
    {"sin x cos x", [](double x, const Params&) { return std::sin(x) * std::cos(x); }},
    {"2sin x + 1", [](double x, const Params&) { return 2 * std::sin(x) + 1; }},
    {"sin x / cos x", [](double x, const Params&) { return std::sin(x) / std::cos(x); }},
    {"sin x/2", [](double x, const Params&) { return std::sin(x / 2); }},
    {"sin 2(x+1)", [](double x, const Params&) { return std::sin(2 * (x + 1)); }},
    {"sin sin x", [](double x, const Params&) { return std::sin(std::sin(x)); }},
    {"sin²x", [](double x, const Params&) { return std::sin(x) * std::sin(x); }},
    {"sin^2 x + cos^2 x", [](double x, const Params&) { return std::pow(std::sin(x), 2) + std::pow(std::cos(x), 2); }},
    {"sin(x)/x", [](double x, const Params&) { return std::sin(x) / x; }},
    {"sin(1/x)", [](double x, const Params&) { return std::sin(1 / x); }},
    {"xsinx", [](double x, const Params&) { return x * std::sin(x); }},
    {"tan x", [](double x, const Params&) { return std::tan(x); }},
    {"cot x", [](double x, const Params&) { return 1 / std::tan(x); }},
    {"arcsin(x/4)", [](double x, const Params&) { return std::asin(x / 4); }},
    {"arccos x", [](double x, const Params&) { return std::acos(x); }},
    {"arctan 2x", [](double x, const Params&) { return std::atan(2 * x); }},
    {"x ln x", [](double x, const Params&) { return x * std::log(x); }},
    {"ln x − x", [](double x, const Params&) { return std::log(x) - x; }},
    {"ln(x+√(x²+1))", [](double x, const Params&) { return std::log(x + std::sqrt(x * x + 1)); }},
    {"lg x", [](double x, const Params&) { return std::log10(x); }},
    {"lg 100x", [](double x, const Params&) { return std::log10(100 * x); }},
    {"log(2, x)", [](double x, const Params&) { return std::log(x) / std::log(2.0); }},
    {"log(x, 8)", [](double x, const Params&) { return x > 0 && x != 1 ? std::log(8.0) / std::log(x) : kNaN; }},
    {"exp(x)", [](double x, const Params&) { return std::exp(x); }},
    {"e^x", [](double x, const Params&) { return std::pow(kE, x); }},
    {"e^(−x²)", [](double x, const Params&) { return std::pow(kE, -(x * x)); }},
    {"ex", [](double x, const Params&) { return kE * x; }},
    {"πx", [](double x, const Params&) { return kPi * x; }},
    {"2pi", [](double, const Params&) { return 2 * kPi; }},
    {"√x", [](double x, const Params&) { return std::sqrt(x); }},
    {"√(x+1)", [](double x, const Params&) { return std::sqrt(x + 1); }},
    {"2√x", [](double x, const Params&) { return 2 * std::sqrt(x); }},
    {"√x²", [](double x, const Params&) { return std::fabs(x); }},
    {"√x+1", [](double x, const Params&) { return std::sqrt(x) + 1; }},
    {"sqrt(4−x²)", [](double x, const Params&) { return std::sqrt(4 - x * x); }},
    {"∛x", [](double x, const Params&) { return std::cbrt(x); }},
    {"cbrt(x−1)", [](double x, const Params&) { return std::cbrt(x - 1); }},
    {"|x|", [](double x, const Params&) { return std::fabs(x); }},
    {"y=|x²-2x-3|", [](double x, const Params&) { return std::fabs(x * x - 2 * x - 3); }},
    {"|x|+|x−1|", [](double x, const Params&) { return std::fabs(x) + std::fabs(x - 1); }},
    {"||x|−1|", [](double x, const Params&) { return std::fabs(std::fabs(x) - 1); }},
    {"2|x|", [](double x, const Params&) { return 2 * std::fabs(x); }},
    {"x|x|", [](double x, const Params&) { return x * std::fabs(x); }},
    {"|-x|", [](double x, const Params&) { return std::fabs(x); }},
    {"abs(x−2)", [](double x, const Params&) { return std::fabs(x - 2); }},
    {"(−8)^(1/3)", [](double, const Params&) { return -2.0; }},
    {"x^(1/3)", [](double x, const Params&) { return std::cbrt(x); }},
    {"x^(2/3)", [](double x, const Params&) { return std::cbrt(x * x); }},
    {"x^(3/5)", [](double x, const Params&) { return oddPower(x, 3, 5); }},
    {"x^(-1/3)", [](double x, const Params&) { return 1 / std::cbrt(x); }},
    {"x^(1/2)", [](double x, const Params&) { return std::sqrt(x); }},
    {"x^0.5", [](double x, const Params&) { return std::sqrt(x); }},
    {"x^π", [](double x, const Params&) { return x >= 0 ? std::pow(x, kPi) : kNaN; }},
    {"x + 1/x", [](double x, const Params&) { return x + 1 / x; }},
    // Undefined at 0, however it simplifies.
    {"1/(1/x)", [](double x, const Params&) { return x == 0 ? kNaN : x; }},
    {"(x²−1)/(x−1)", [](double x, const Params&) { return (x * x - 1) / (x - 1); }},
    {"1/x^2", [](double x, const Params&) { return 1 / (x * x); }},
    {"2^x − x²", [](double x, const Params&) { return std::pow(2.0, x) - x * x; }},
};

const double kXs[] = {-3, -1.5, -0.4, 0, 0.6, 1, 2.2, 4};
const Params kParams[] = {{1, 1, 0, 0}, {2, -0.5, 1.5, -3}, {-1.2, 3, -0.7, 0.25}};

// Undefined and infinite alike: no point of the curve.
double point(double v) { return std::isfinite(v) ? v : kNaN; }

bool same(double got, double want) {
    if (std::isnan(got) || std::isnan(want)) return std::isnan(got) && std::isnan(want);
    return std::fabs(got - want) <= 1e-12 * std::max(1.0, std::fabs(want));
}

QString problemText(const QString& typed) {
    auto t = expr::translate(typed);
    if (const auto* p = std::get_if<Problem>(&t)) return QStringLiteral("%1 %2").arg(p->position).arg(p->message);
    return QStringLiteral("accepted: ") + QString::fromStdString(std::get<expr::Translation>(t).text);
}

}  // namespace

class NotationTest : public QObject {
    Q_OBJECT
private slots:
    // Every way of writing in the table means its hand-written function, at
    // points on both sides of 0 and at 0, for three sets of parameters.
    void typedExpressionsMeanWhatPupilsMean() {
        QVERIFY(std::size(kMeanings) >= 60);
        QStringList wrong;
        for (const Meaning& m : kMeanings) {
            const QString typed = QString::fromUtf8(m.typed);
            auto compiled = Function::compile(typed);
            if (const auto* p = std::get_if<Problem>(&compiled)) {
                wrong << QStringLiteral("%1: refused: %2").arg(typed, p->message);
                continue;
            }
            Function& f = std::get<Function>(compiled);
            for (const Params& p : kParams) {
                f.setParameters(p.a, p.b, p.c, p.d);
                for (double x : kXs) {
                    const double got = f.at(x), want = point(m.hand(x, p));
                    if (!same(got, want))
                        wrong << QStringLiteral("%1 at x=%2 (a=%3): %4, not %5")
                                     .arg(typed)
                                     .arg(x)
                                     .arg(p.a)
                                     .arg(got, 0, 'g', 17)
                                     .arg(want, 0, 'g', 17);
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
    }

    void badExpressionsAreToldWhereAndWhat_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("told");
        QTest::newRow("empty") << ""
                               << "0 请输入函数表达式";
        QTest::newRow("blanks") << "   "
                                << "0 请输入函数表达式";
        QTest::newRow("y= alone") << "y="
                                  << "2 请输入函数表达式";
        QTest::newRow("open bracket") << "(x+1"
                                      << "0 第 1 个字符：左括号“(”没有配对的右括号";
        QTest::newRow("open call") << "sin(x"
                                   << "3 第 4 个字符：左括号“(”没有配对的右括号";
        QTest::newRow("close bracket") << "x+1)"
                                       << "3 第 4 个字符：多了一个右括号“)”";
        QTest::newRow("brackets crossed") << "(x]"
                                          << "2 第 3 个字符：右括号“]”和第 1 个字符的左括号“(”不配对";
        QTest::newRow("unknown name") << "foo+x"
                                      << "0 第 1 个字符：不认识的名称“foo”";
        QTest::newRow("unknown function") << "2x+sinh x"
                                          << "3 第 4 个字符：不认识的名称“sinh”";
        QTest::newRow("y on the right") << "x+y"
                                        << "2 第 3 个字符：不认识的名称“y”";
        QTest::newRow("nothing after") << "x+"
                                       << "1 第 2 个字符：“+”后面缺少数或式子";
        QTest::newRow("nothing after, y=") << "y = 2x −"
                                           << "7 第 8 个字符：“−”后面缺少数或式子";
        QTest::newRow("nothing before") << "*x"
                                        << "0 第 1 个字符：“*”前面缺少数或式子";
        QTest::newRow("nothing before in brackets") << "(÷x)"
                                                    << "1 第 2 个字符：“÷”前面缺少数或式子";
        QTest::newRow("two operators") << "x+*2"
                                       << "2 第 3 个字符：两个运算符“+”“*”连在一起";
        QTest::newRow("two minus signs") << "x−−2"
                                         << "2 第 3 个字符：两个运算符“−”“−”连在一起";
        QTest::newRow("two carets") << "x^^2"
                                    << "2 第 3 个字符：两个运算符“^”“^”连在一起";
        QTest::newRow("empty brackets") << "2()"
                                        << "1 第 2 个字符：括号里是空的";
        QTest::newRow("empty call") << "sin()"
                                    << "3 第 4 个字符：括号里是空的";
        QTest::newRow("log of one") << "log(x)"
                                    << "0 第 1 个字符：log 要写成 log(底数, x)";
        QTest::newRow("log of three") << "log(2,x,3)"
                                      << "0 第 1 个字符：log 要写成 log(底数, x)，只有两个数";
        QTest::newRow("log without brackets") << "log x"
                                              << "0 第 1 个字符：log 要写成 log(底数, x)";
        QTest::newRow("sin of two") << "sin(x,2)"
                                    << "5 第 6 个字符：“sin”只能有一个自变量";
        QTest::newRow("nothing after comma") << "log(2,)"
                                             << "5 第 6 个字符：逗号后面缺少数或式子";
        QTest::newRow("nothing before comma") << "log(,x)"
                                              << "4 第 5 个字符：逗号前面缺少数或式子";
        QTest::newRow("stray comma") << "x,2"
                                     << "1 第 2 个字符：逗号只能写在 log(底数, x) 里";
        QTest::newRow("stray character") << "x$2"
                                         << "1 第 2 个字符：不认识的字符“$”";
        QTest::newRow("chinese character") << "x+函数"
                                           << "2 第 3 个字符：不认识的字符“函”";
        QTest::newRow("lone point") << "."
                                    << "0 第 1 个字符：不认识的字符“.”";
        QTest::newRow("open bar") << "|x"
                                  << "0 第 1 个字符：绝对值符号“|”没有配对";
        QTest::newRow("second bar open") << "|x|+|x"
                                         << "4 第 5 个字符：绝对值符号“|”没有配对";
        QTest::newRow("empty bars") << "||"
                                    << "0 第 1 个字符：绝对值符号里是空的";
        QTest::newRow("nothing after in bars") << "|x+|"
                                               << "2 第 3 个字符：“+”后面缺少数或式子";
        QTest::newRow("caret at the end") << "x^"
                                          << "1 第 2 个字符：“^”后面缺少数或式子";
        QTest::newRow("root alone") << "√"
                                    << "0 第 1 个字符：“√”后面缺少数或式子";
        QTest::newRow("function alone") << "sin"
                                        << "0 第 1 个字符：“sin”后面缺少自变量";
        QTest::newRow("function before plus") << "sin+x"
                                              << "0 第 1 个字符：“sin”后面缺少自变量";
        QTest::newRow("squared function alone") << "2+sin²"
                                                << "2 第 3 个字符：“sin”后面缺少自变量";
        QTest::newRow("two numbers") << "2 3"
                                     << "2 第 3 个字符：两个数之间缺少运算符";
        QTest::newRow("two points") << "1.2.3"
                                    << "3 第 4 个字符：两个数之间缺少运算符";
        QTest::newRow("equation") << "x=2"
                                  << "1 第 2 个字符：等号只能写在开头的“y=”里";
        QTest::newRow("superscript first") << "²x"
                                           << "0 第 1 个字符：“²”前面缺少数或式子";
        QTest::newRow("huge number") << "1" + QString(400, '0') << "0 第 1 个字符：这个数太大或太小";
        QTest::newRow("501 characters") << QString(501, 'x') << "500 表达式太长（最多 500 个字符）";
        QTest::newRow("101 brackets") << QString(101, '(') + "x" + QString(101, ')')
                                      << "100 第 101 个字符：括号或函数套得太深（最多 100 层）";
        QTest::newRow("101 functions") << QString("sin ").repeated(101) + "x"
                                       << "400 第 401 个字符：括号或函数套得太深（最多 100 层）";
        QTest::newRow("101 roots") << QString(101, QChar(0x221A)) + "x"
                                   << "100 第 101 个字符：括号或函数套得太深（最多 100 层）";
        QTest::newRow("101 bars") << QString(101, '|') + "x" + QString(101, '|')
                                  << "100 第 101 个字符：括号或函数套得太深（最多 100 层）";
    }
    void badExpressionsAreToldWhereAndWhat() {
        QFETCH(QString, typed);
        QFETCH(QString, told);
        QCOMPARE(problemText(typed), told);
        // Compiling tells the same, and reading it aloud says nothing.
        auto compiled = Function::compile(typed);
        QVERIFY(std::holds_alternative<Problem>(compiled));
        QCOMPARE(
            QStringLiteral("%1 %2").arg(std::get<Problem>(compiled).position).arg(std::get<Problem>(compiled).message),
            told);
        QCOMPARE(expr::spoken(typed), QString());
    }

    // Right up to the limits the text is taken: 500 characters, 100 levels,
    // and long chains that are no nesting (250 powers, 250 divisions).
    void limitsAreExact() {
        const QString sum = QString("x+").repeated(249) + "xx";
        QCOMPARE(sum.size(), expr::kMaxLength);
        auto f = Function::compile(sum);
        QVERIFY(std::holds_alternative<Function>(f));
        QCOMPARE(std::get<Function>(f).at(1), 250.0);
        const QString deep = QString(100, '(') + "x" + QString(100, ')');
        auto g = Function::compile(deep);
        QVERIFY(std::holds_alternative<Function>(g));
        QCOMPARE(std::get<Function>(g).at(2.5), 2.5);
        auto h = Function::compile(QString("sin ").repeated(100) + "x");
        QVERIFY(std::holds_alternative<Function>(h));
        double s = 0.5;
        for (int i = 0; i < 100; ++i) s = std::sin(s);
        QCOMPARE(std::get<Function>(h).at(0.5), s);
        auto powers = Function::compile(QString("x^").repeated(249) + "x");
        QVERIFY(std::holds_alternative<Function>(powers));
        QCOMPARE(std::get<Function>(powers).at(1), 1.0);
        auto divisions = Function::compile(QString("x/").repeated(249) + "x");
        QVERIFY(std::holds_alternative<Function>(divisions));
        QCOMPARE(std::get<Function>(divisions).at(1), 1.0);
        QVERIFY(std::isnan(std::get<Function>(divisions).at(0)));
    }

    // NaN, never an exception nor an infinity, where f is undefined.
    void undefinedIsNaN_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("x");
        QTest::newRow("root of negative") << "√x" << -1.0;
        QTest::newRow("log of zero") << "ln x" << 0.0;
        QTest::newRow("lg of negative") << "lg x" << -2.0;
        QTest::newRow("division by zero") << "1/x" << 0.0;
        QTest::newRow("cot at a pole") << "cot x" << 0.0;
        QTest::newRow("log base one") << "log(1, x)" << 5.0;
        QTest::newRow("log base negative") << "log(-2, x)" << 4.0;
        QTest::newRow("even root of negative") << "x^(1/2)" << -4.0;
        QTest::newRow("irrational power of negative") << "x^π" << -2.0;
        QTest::newRow("zero to a negative power") << "x^(-2)" << 0.0;
        QTest::newRow("arcsin outside") << "arcsin x" << 2.0;
        QTest::newRow("overflowing power") << "2^x" << 2000.0;
        QTest::newRow("overflowing exp") << "exp(x)" << 1000.0;
        QTest::newRow("NaN in") << "x+1" << kNaN;
    }
    void undefinedIsNaN() {
        QFETCH(QString, typed);
        QFETCH(double, x);
        auto f = Function::compile(typed);
        QVERIFY(std::holds_alternative<Function>(f));
        QVERIFY(std::isnan(std::get<Function>(f).at(x)));
        double y = 0;
        std::get<Function>(f).evaluate(&x, &y, 1);
        QVERIFY(std::isnan(y));
    }

    // Many points at once give the very values of one point at a time, with
    // the parameters set, over more points than any batch.
    void evaluateEqualsAt() {
        for (const char* typed : {"a sin(bx+c)+d", "x^(1/3) + 1/x", "|x²−2x−3|", "ln x − x"}) {
            auto compiled = Function::compile(QString::fromUtf8(typed));
            QVERIFY(std::holds_alternative<Function>(compiled));
            Function f = std::move(std::get<Function>(compiled));
            f.setParameters(2, -0.5, 1.5, -3);
            const int n = 1500;
            std::vector<double> x(n), y(n, 12345.0);
            for (int i = 0; i < n; ++i) x[size_t(i)] = -7.5 + 15.0 * i / (n - 1);
            f.evaluate(x.data(), y.data(), n);
            int compared = 0;
            for (int i = 0; i < n; ++i) {
                const double one = f.at(x[size_t(i)]);
                QVERIFY2(same(y[size_t(i)], one) && (std::isnan(one) || y[size_t(i)] == one),
                         qPrintable(QStringLiteral("%1 at %2").arg(typed).arg(x[size_t(i)])));
                compared += !std::isnan(one);
            }
            QVERIFY(compared > n / 3);
        }
    }

    // The parameters an expression uses, by its names (not by the letters of
    // function names), and a compiled function moved keeps working.
    void parametersUsedAndMoves() {
        auto all = Function::compile("a sin(bx+c)+d");
        QVERIFY(std::holds_alternative<Function>(all));
        for (char p : {'a', 'b', 'c', 'd'}) QVERIFY(std::get<Function>(all).uses(p));
        QVERIFY(!std::get<Function>(all).uses('x'));
        auto none = Function::compile("abs(x) + cbrt(x) + arccos(x/9) + log(2, x)");
        QVERIFY(std::holds_alternative<Function>(none));
        for (char p : {'a', 'b', 'c', 'd'}) QVERIFY(!std::get<Function>(none).uses(p));
        auto some = Function::compile("cab + x");
        QVERIFY(std::holds_alternative<Function>(some));
        QVERIFY(std::get<Function>(some).uses('a') && std::get<Function>(some).uses('b'));
        QVERIFY(std::get<Function>(some).uses('c') && !std::get<Function>(some).uses('d'));

        Function moved = std::move(std::get<Function>(all));
        moved.setParameters(2, 1, 0, 1);
        QCOMPARE(moved.at(kPi / 2), 3.0);
        QCOMPARE(moved.typed(), QStringLiteral("a sin(bx+c)+d"));
        Function other = std::move(std::get<Function>(some));
        other = std::move(moved);
        QCOMPARE(other.at(kPi / 2), 3.0);
        // The default parameters: a = b = 1, c = d = 0.
        auto defaults = Function::compile("ax+b+c+d");
        QCOMPARE(std::get<Function>(defaults).at(2), 3.0);
    }

    // Every character of the translation comes from a place in the typed
    // text: the function's name from the name, the operator from its operand.
    void translationKeepsPositions() {
        const QString typed = QStringLiteral("y = 2x + sin(x)");
        auto t = expr::translate(typed);
        QVERIFY(std::holds_alternative<expr::Translation>(t));
        const auto& tr = std::get<expr::Translation>(t);
        QCOMPARE(tr.origin.size(), tr.text.size());
        for (int o : tr.origin) QVERIFY(o >= 0 && o < typed.size());
        const size_t sin = tr.text.find("sin");
        QVERIFY(sin != std::string::npos);
        QCOMPARE(tr.origin[sin], 9);
        const size_t x = tr.text.find('x');
        QCOMPARE(tr.origin[x], 5);
    }

    // What the evaluator itself refuses (nothing the notation lets through,
    // so a translation made by hand here) is told at the typed character
    // its own position came from.
    void evaluatorComplaintsPointAtTheTypedText() {
        const QString typed = QStringLiteral("y = 2x + zz");
        expr::Translation t;
        t.text = "2*x+zz";
        t.origin = {4, 5, 5, 7, 9, 10};
        auto compiled = Function::compile(typed, t);
        QVERIFY(std::holds_alternative<Problem>(compiled));
        QCOMPARE(std::get<Problem>(compiled).position, 9);
        QCOMPARE(std::get<Problem>(compiled).message, QStringLiteral("第 10 个字符：不认识的名称"));
        t.text = "2*x+f_sin(x";
        t.origin = {4, 5, 5, 7, 9, 9, 9, 9, 9, 9, 10};
        compiled = Function::compile(QStringLiteral("y = 2x + sin(x"), t);
        QVERIFY(std::holds_alternative<Problem>(compiled));
        const Problem p = std::get<Problem>(compiled);
        QVERIFY2(p.position >= 9 && p.position <= 10, qPrintable(p.message));
        QVERIFY2(p.message.startsWith(QStringLiteral("第 %1 个字符：").arg(p.position + 1)), qPrintable(p.message));
    }

    void spokenInWords_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("said");
        QTest::newRow("absolute value") << "y=|x²-2x-3|"
                                        << "y 等于 x 的平方 减 2x 减 3 的绝对值";
        QTest::newRow("without y=") << "|x²-2x-3|"
                                    << "y 等于 x 的平方 减 2x 减 3 的绝对值";
        QTest::newRow("line") << "Y = 2x + 1"
                              << "y 等于 2x 加 1";
        QTest::newRow("minus binds weaker") << "-x²"
                                            << "y 等于 负 x 的平方";
        QTest::newRow("cube") << "x^3"
                              << "y 等于 x 的 3 次方";
        QTest::newRow("root") << "√(x+1)"
                              << "y 等于 根号 左括号 x 加 1 右括号";
        QTest::newRow("log") << "log(2, x)"
                             << "y 等于 以 2 为底 x 的对数";
        QTest::newRow("sine") << "2sin(2x+π/3)+1"
                              << "y 等于 2 乘 sin 左括号 2x 加 派 除以 3 右括号 加 1";
        QTest::newRow("without brackets") << "sin 2x"
                                          << "y 等于 sin 2x";
        QTest::newRow("operators") << "x ÷ 2 × 3"
                                   << "y 等于 x 除以 2 乘 3";
        QTest::newRow("pi") << "2π"
                            << "y 等于 2 派";
        QTest::newRow("nested bars") << "||x|-1|"
                                     << "y 等于 x 的绝对值 减 1 的绝对值";
        QTest::newRow("superscript minus") << "x⁻¹"
                                           << "y 等于 x 的 负 1 次方";
        QTest::newRow("division then a product") << "1/2x"
                                                 << "y 等于 1 除以 2 乘 x";
        QTest::newRow("power in an argument") << "ln x²"
                                              << "y 等于 ln 左括号 x 的平方 右括号";
        QTest::newRow("refused") << "x+"
                                 << "";
    }
    void spokenInWords() {
        QFETCH(QString, typed);
        QFETCH(QString, said);
        QCOMPARE(expr::spoken(typed), said);
    }
};

QTEST_APPLESS_MAIN(NotationTest)
#include "notation_test.moc"
