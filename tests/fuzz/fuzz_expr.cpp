// libFuzzer target for typed functions: any text, read as UTF-8 and as
// UTF-16, is either refused with a message at a position inside it, or
// translated (every character of the translation from a place in the text),
// compiled without a complaint from the evaluator, and evaluated to finite
// numbers or NaN, the same one point at a time as many at once.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "expr/function.h"
#include "expr/notation.h"

namespace {

[[noreturn]] void fail(const char* what, const QString& typed, const QString& more = {}) {
    std::fprintf(stderr, "%s: \"%s\" %s\n", what, typed.toUtf8().constData(), more.toUtf8().constData());
    std::abort();
}

void check(const QString& typed) {
    auto translated = expr::translate(typed);
    if (const auto* p = std::get_if<expr::Problem>(&translated)) {
        if (p->position < 0 || p->position > typed.size()) fail("problem outside the text", typed, p->message);
        if (p->message.isEmpty()) fail("problem without a message", typed);
        // Every message but the empty box's and the too long text's names
        // its place.
        const QString place = QStringLiteral("第 %1 个字符").arg(p->position + 1);
        if (typed.size() <= expr::kMaxLength && !p->message.contains(place) && p->message != "请输入函数表达式")
            fail("message without its place", typed, p->message);
        if (!expr::spoken(typed).isEmpty()) fail("refused text spoken", typed);
        if (!std::holds_alternative<expr::Problem>(expr::Function::compile(typed)))
            fail("refused text compiled", typed);
        return;
    }
    if (typed.size() > expr::kMaxLength) fail("too long a text accepted", typed);
    const auto& t = std::get<expr::Translation>(translated);
    if (t.origin.size() != t.text.size()) fail("positions missing", typed);
    for (int o : t.origin)
        if (o < 0 || o >= typed.size()) fail("position outside the text", typed);
    if (expr::spoken(typed).isEmpty()) fail("accepted text not spoken", typed);
    auto compiled = expr::Function::compile(typed);
    if (const auto* p = std::get_if<expr::Problem>(&compiled))
        fail("the evaluator refused a translation", typed,
             QString::fromStdString(t.text) + QStringLiteral(" / ") + p->message);
    expr::Function& f = std::get<expr::Function>(compiled);
    const double xs[] = {-2.5, -1, 0, 1e-300, 0.5, 3, 1e300, -INFINITY, NAN};
    constexpr int n = int(sizeof xs / sizeof xs[0]);
    for (int set = 0; set < 2; ++set) {
        if (set == 1) f.setParameters(-3.5, 0, 1e-9, 7);
        double ys[n];
        f.evaluate(xs, ys, n);
        for (int i = 0; i < n; ++i) {
            const double y = f.at(xs[i]);
            if (std::isinf(y) || std::isinf(ys[i])) fail("an infinity came out", typed);
            if (!(y == ys[i] || (std::isnan(y) && std::isnan(ys[i])))) fail("evaluate differs from at", typed);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    check(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    // The same bytes as UTF-16 units: lone surrogates, controls, any symbol.
    std::vector<char16_t> units(size / 2);
    if (!units.empty()) std::memcpy(units.data(), data, units.size() * 2);
    check(QString::fromUtf16(units.data(), qsizetype(units.size())));
    return 0;
}
