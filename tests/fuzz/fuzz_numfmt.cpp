// libFuzzer target for the number rules: any bytes read as a number without
// failing, and every number's text reads back to a value whose text is the
// same text (7 significant digits for singles, 15 for doubles), close to the
// number itself.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "numfmt/numfmt.h"

namespace {

[[noreturn]] void fail(const char* what, const QString& a, const QString& b) {
    std::fprintf(stderr, "%s: \"%s\" then \"%s\"\n", what, a.toUtf8().constData(), b.toUtf8().constData());
    std::abort();
}

void roundTripSingle(float v) {
    if (!std::isfinite(v)) return;
    QString t = numfmt::text(v);
    const float back = numfmt::valueSingle(t);
    // Seven digits do not tell every single apart: just below a power of ten
    // they are finer than the singles there, so a text can read as a single
    // whose own text is the neighbouring one ("1E+28" reads as the single
    // nearest 1E+28, which shows as "9.999999E+27"). What must hold is that
    // showing and reading again settles within a step or two.
    QString shown = numfmt::text(back);
    for (int step = 0; step < 3 && shown != t; ++step) {
        t = shown;
        shown = numfmt::text(numfmt::valueSingle(t));
    }
    if (shown != t) fail("single text does not settle", t, shown);
    // Seven significant digits are within half a unit of the seventh digit
    // (5E-7 relative at most), and reading them back to single precision
    // adds at most half a unit in the last place (2^-24 relative, or half
    // the smallest subnormal).
    if (std::fabs(double(back) - double(v)) > 5.6e-7 * std::fabs(double(v)) + 7.1e-46)
        fail("single text is not close", t, numfmt::text(back));
    // The signed and printed forms are the same digits.
    const QString s = numfmt::signedText(v);
    if (numfmt::valueSingle(s) != back) fail("signed text reads otherwise", s, t);
    if (numfmt::valueSingle(numfmt::printForm(v)) != back)
        fail("printed form reads otherwise", numfmt::printForm(v), t);
}

void roundTripDouble(double v) {
    // Within 5E-16 of the largest double, fifteen digits round up past it
    // ("1.79769313486232E+308") and read back as infinite.
    if (!std::isfinite(v) || std::fabs(v) > 1.797693134862315e308) return;
    const QString t = numfmt::textDouble(v);
    const double back = numfmt::value(t);
    if (numfmt::textDouble(back) != t) fail("double text does not read back", t, numfmt::textDouble(back));
    if (numfmt::value(numfmt::signedTextDouble(v)) != back)
        fail("signed double text reads otherwise", numfmt::signedTextDouble(v), t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Any bytes, as bytes and as the text a box would hold.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const double v = numfmt::value(bytes);
    const QString text = QString::fromUtf8(bytes.data(), qsizetype(size));
    const double w = numfmt::value(text);
    const float f = numfmt::valueSingle(text);
    // What was read is a number (never NaN), and its texts read back.
    if (std::isnan(v) || std::isnan(w) || std::isnan(f)) fail("reading gave NaN", text, QString());
    roundTripDouble(w);
    roundTripSingle(f);
    for (int n = -1; n <= 8; ++n) (void)numfmt::roundHalfEven(w, n);
    // The raw bit patterns of the first bytes, so every single and double
    // (subnormals, the largest, negative zero) gets its turn.
    if (size >= sizeof(float)) {
        float g;
        std::memcpy(&g, data, sizeof g);
        roundTripSingle(g);
    }
    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        roundTripDouble(d);
        (void)numfmt::roundHalfEven(d, int(data[0] % 10));
    }
    return 0;
}
