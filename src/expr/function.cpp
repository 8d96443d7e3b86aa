// The typed function compiled by muparser into its bytecode. Every function
// and every division and power goes through a callback of our own, so that
// what is undefined is NaN (never an exception, never an infinity that a
// later step turns back into a number) and a negative base to an odd root is
// real, as pupils learn it.
#include "expr/function.h"

// muparser's headers take wide strings where _UNICODE is defined, as Qt
// defines it for Windows; the library is built for narrow ones everywhere.
#undef _UNICODE
#include <muParser.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "expr/notation_internal.h"

namespace expr {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double finite(double v) { return std::isfinite(v) ? v : kNaN; }

// p/q nearest `e` (within 1e-12) with q odd and at most 999, from the
// continued fraction of e (any p/q that close is one of its convergents);
// false when there is none. Only p's parity is wanted.
bool oddRoot(double e, bool& oddNumerator) {
    if (!(std::fabs(e) < 1e9)) return false;
    double x = e;
    // Convergents h/k: h(-1) = 1, h(-2) = 0; k(-1) = 0, k(-2) = 1.
    double h1 = 1, h2 = 0, k1 = 0, k2 = 1;
    for (int step = 0; step < 40; ++step) {
        const double a = std::floor(x);
        const double h = a * h1 + h2;
        const double k = a * k1 + k2;
        if (k > 999) return false;
        if (std::fabs(e - h / k) <= 1e-12) {
            if (std::fmod(k, 2) == 0) return false;
            oddNumerator = std::fmod(std::fabs(h), 2) == 1;
            return true;
        }
        const double frac = x - a;
        if (frac <= 0) return false;
        x = 1 / frac;
        h2 = h1;
        h1 = h;
        k2 = k1;
        k1 = k;
    }
    return false;
}

double pw(double base, double e) {
    if (base == 0 && e < 0) return kNaN;
    if (base >= 0 || std::isnan(base) || e == std::floor(e)) return finite(std::pow(base, e));
    // A negative base: real only for a rational exponent with an odd
    // denominator, its sign the numerator's parity: (−8)^(1/3) = −2,
    // (−8)^(2/3) = 4. The magnitude as for the positive base, so that
    // x^(2/3) is exactly even and x^(1/3) exactly odd.
    bool odd = false;
    if (!oddRoot(e, odd)) return kNaN;
    const double m = std::pow(-base, e);
    return finite(odd ? -m : m);
}

double dv(double a, double b) { return b == 0 ? kNaN : finite(a / b); }
double sine(double v) { return std::sin(v); }
double cosine(double v) { return std::cos(v); }
double tangent(double v) { return finite(std::tan(v)); }
double cotangent(double v) {
    const double t = std::tan(v);
    return t == 0 ? kNaN : finite(1 / t);
}
double arcsine(double v) { return std::asin(v); }
double arccosine(double v) { return std::acos(v); }
double arctangent(double v) { return std::atan(v); }
double squareRoot(double v) { return v < 0 ? kNaN : std::sqrt(v); }
double cubeRoot(double v) { return std::cbrt(v); }
double absolute(double v) { return std::fabs(v); }
double natural(double v) { return v <= 0 ? kNaN : finite(std::log(v)); }
double common(double v) { return v <= 0 ? kNaN : finite(std::log10(v)); }
double exponential(double v) { return finite(std::exp(v)); }
double logBase(double b, double v) {
    if (!(b > 0) || b == 1 || !(v > 0)) return kNaN;
    return finite(std::log(v) / std::log(b));
}

}  // namespace

struct Function::Impl {
    QString typed;
    mu::Parser parser;
    double vars[5] = {0, 1, 1, 0, 0};  // x, a, b, c, d: where the bytecode reads them
    bool used[4] = {false, false, false, false};
};

Function::Function(std::unique_ptr<Impl> d) : d_(std::move(d)) {}
Function::Function(Function&&) noexcept = default;
Function& Function::operator=(Function&&) noexcept = default;
Function::~Function() = default;

namespace {

QString evaluatorMessage(const mu::ParserError& e) {
    switch (e.GetCode()) {
    case mu::ecEXPRESSION_TOO_LONG: return QStringLiteral("表达式太长");
    case mu::ecTOO_MANY_PARAMS:
    case mu::ecTOO_FEW_PARAMS: return QStringLiteral("函数的参数个数不对");
    case mu::ecUNASSIGNABLE_TOKEN: return QStringLiteral("不认识的名称");
    default: return QStringLiteral("这里无法计算");
    }
}

}  // namespace

std::variant<Function, Problem> Function::compile(const QString& typed) {
    auto translated = translate(typed);
    if (auto* p = std::get_if<Problem>(&translated)) return *p;
    return compile(typed, std::get<Translation>(translated));
}

std::variant<Function, Problem> Function::compile(const QString& typed, const Translation& t) {
    auto d = std::make_unique<Impl>();
    d->typed = typed;
    try {
        mu::Parser& p = d->parser;
        // Only our own functions and constants: none of the built-in ones
        // (whose errors and infinities differ) can be reached.
        p.ClearFun();
        p.ClearConst();
        p.ClearPostfixOprt();
        p.DefineConst("_pi", 3.14159265358979323846);
        p.DefineConst("_e", 2.71828182845904523536);
        p.DefineFun(detail::evaluatorName("sin"), sine);
        p.DefineFun(detail::evaluatorName("cos"), cosine);
        p.DefineFun(detail::evaluatorName("tan"), tangent);
        p.DefineFun(detail::evaluatorName("cot"), cotangent);
        p.DefineFun(detail::evaluatorName("arcsin"), arcsine);
        p.DefineFun(detail::evaluatorName("arccos"), arccosine);
        p.DefineFun(detail::evaluatorName("arctan"), arctangent);
        p.DefineFun(detail::evaluatorName("sqrt"), squareRoot);
        p.DefineFun(detail::evaluatorName("cbrt"), cubeRoot);
        p.DefineFun(detail::evaluatorName("abs"), absolute);
        p.DefineFun(detail::evaluatorName("ln"), natural);
        p.DefineFun(detail::evaluatorName("lg"), common);
        p.DefineFun(detail::evaluatorName("exp"), exponential);
        p.DefineFun(detail::evaluatorName("log"), logBase);
        p.DefineFun(detail::evaluatorName("pw"), pw);
        p.DefineFun(detail::evaluatorName("dv"), dv);
        const char* names[] = {"x", "a", "b", "c", "d"};
        for (int k = 0; k < 5; ++k) p.DefineVar(names[k], &d->vars[k]);
        p.SetExpr(t.text);
        // The bytecode is made on the first evaluation: its errors show now.
        (void)p.Eval();
        // The parameters used, from the translation's names: each a name
        // of its own there, never inside a function's name ("f_abs").
        const std::string& text = t.text;
        for (size_t i = 0; i < text.size(); ++i) {
            const auto isName = [&](size_t k) {
                return k < text.size() && (std::isalnum((unsigned char)text[k]) || text[k] == '_');
            };
            if (text[i] >= 'a' && text[i] <= 'd' && !(i > 0 && isName(i - 1)) && !isName(i + 1))
                d->used[text[i] - 'a'] = true;
        }
    } catch (const mu::ParserError& e) {
        int pos = e.GetPos();
        if (t.origin.empty()) pos = 0;
        else pos = t.origin[size_t(std::clamp(pos, 0, int(t.origin.size()) - 1))];
        return Problem{pos, QStringLiteral("第 %1 个字符：%2").arg(pos + 1).arg(evaluatorMessage(e))};
    } catch (...) { return Problem{0, QStringLiteral("无法计算这个表达式")}; }
    Function f(std::move(d));
    f.setParameters(1, 1, 0, 0);
    return f;
}

void Function::setParameters(double a, double b, double c, double d) {
    d_->vars[1] = a;
    d_->vars[2] = b;
    d_->vars[3] = c;
    d_->vars[4] = d;
}

double Function::at(double x) const {
    try {
        d_->vars[0] = x;
        return finite(d_->parser.Eval());
    } catch (...) { return kNaN; }
}

// muparser's bulk mode was measured against this loop over single
// evaluations and lost at every batch size (64 to 100 000 points): by a
// fifth built on one thread, and by ten to a hundred times in Debian's build,
// whose bulk mode hands the points to OpenMP threads that wait on each other
// on a busy machine. Its bulk mode also offsets every variable by the point's
// index, so the parameters would have to be arrays as long as a batch. The
// short bytecode path of a single evaluation is the fastest the library has.
void Function::evaluate(const double* x, double* y, int n) const {
    for (int i = 0; i < n; ++i) y[i] = at(x[i]);
}

const QString& Function::typed() const { return d_->typed; }

bool Function::uses(char parameter) const {
    if (parameter < 'a' || parameter > 'd') return false;
    return d_->used[parameter - 'a'];
}

}  // namespace expr
