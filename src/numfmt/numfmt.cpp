#include "numfmt/numfmt.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

// Every parameter is a single-precision IEEE 754 value and every expected text
// (1.047197, 0.6666667, the overflow limits) follows from that format.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "the number rules assume IEEE 754 single and double precision");

namespace numfmt {

namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text with the skipped white space removed.
std::string compact(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!isSkipped(c)) s.push_back(c);
    return s;
}

// The significant digits of a decimal number and the power of ten they are
// scaled by. However long the text, only so many digits are kept as decide
// the nearest double; the digits dropped only matter as "some of them were
// not zero", which one extra digit 1 at the end stands for.
struct Decimal {
    std::string digits;      // no leading zeros; empty for zero
    long long exponent = 0;  // value = digits * 10^exponent
    bool sticky = false;     // nonzero digits were dropped
};
constexpr size_t kKeptDigits = 800;  // more than a double ever needs (767)
constexpr long long kExponentCap = 1000000000LL;

void addDigit(Decimal& d, char c, bool fraction) {
    if (d.digits.empty() && c == '0') {
        if (fraction) --d.exponent;  // 0.001: the zeros only move the point
        return;
    }
    if (d.digits.size() < kKeptDigits) {
        d.digits.push_back(c);
        if (fraction) --d.exponent;
    } else {
        if (!fraction) ++d.exponent;
        if (c != '0') d.sticky = true;
    }
}

double radixInteger(const std::string& s, size_t i, int radix) {
    // Hex and octal literals are integers; the digits are read as far as they go.
    double v = 0;
    size_t digits = 0;
    for (; i < s.size(); ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9') d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        if (d >= radix) break;
        v = v * radix + d;
        ++digits;
    }
    // A 16-bit hex literal such as &HFFFF reads as a signed integer (-1);
    // longer ones as 32-bit signed integers.
    if (radix == 16 && digits > 0) {
        if (digits <= 4 && v >= 32768) v -= 65536;
        else if (digits > 4 && digits <= 8 && v >= 2147483648.0) v -= 4294967296.0;
    } else if (radix == 8 && digits > 0) {
        if (v >= 32768 && v < 65536) v -= 65536;
    }
    return v;
}

QString trimZeros(std::string s) {
    // "1.500000E+07" -> "1.5E+07"; "2.500000" -> "2.5"; "3.000" -> "3".
    size_t e = s.find_first_of("eE");
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string exp = e == std::string::npos ? std::string() : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0') mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    if (!exp.empty()) {
        // Exponent as E+dd (at least two digits), upper case.
        char sign = '+';
        size_t k = 1;
        if (k < exp.size() && (exp[k] == '+' || exp[k] == '-')) sign = exp[k++];
        std::string digits = exp.substr(k);
        while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
        while (digits.size() < 2) digits.insert(0, "0");
        exp = std::string("E") + sign + digits;
    }
    return QString::fromLatin1((mant + exp).c_str());
}

QString format(double v, int digits) {
    if (v == 0) return QStringLiteral("0");
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    return trimZeros(std::string(buf, r.ptr));
}

QString signedForm(QString t) {
    if (t.startsWith(QLatin1String("-0."))) return QStringLiteral("-") + t.mid(2);
    if (t.startsWith(QLatin1String("-"))) return t;
    if (t.startsWith(QLatin1String("0."))) t = t.mid(1);
    return QStringLiteral(" ") + t;
}

}  // namespace

double value(std::string_view text) {
    const std::string s = compact(text);
    size_t i = 0;
    if (s.size() >= 2 && s[0] == '&') {
        char r = s[1];
        if (r == 'h' || r == 'H') return radixInteger(s, 2, 16);
        if (r == 'o' || r == 'O') return radixInteger(s, 2, 8);
        if (r >= '0' && r <= '7') return radixInteger(s, 1, 8);
        return 0;
    }
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    Decimal d;
    size_t mantDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++mantDigits) addDigit(d, s[i], false);
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++mantDigits) addDigit(d, s[i], true);
    }
    if (mantDigits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        bool negExp = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) negExp = s[j++] == '-';
        long long e = 0;
        size_t expDigits = 0;
        // The exponent saturates: beyond a billion the value is 0 or infinite anyway.
        for (; j < s.size() && isDigit(s[j]); ++j, ++expDigits) e = std::min(kExponentCap, e * 10 + (s[j] - '0'));
        if (expDigits > 0) d.exponent += negExp ? -e : e;
    }
    const double zero = neg ? -0.0 : 0.0;
    if (d.digits.empty()) return zero;
    if (d.sticky) {
        d.digits.push_back('1');
        --d.exponent;
    }
    // The decimal point sits this many places after the first digit.
    const long long magnitude = d.exponent + static_cast<long long>(d.digits.size());
    if (magnitude > 400) return neg ? -HUGE_VAL : HUGE_VAL;
    if (magnitude < -400) return zero;
    std::string num = d.digits + "e" + std::to_string(d.exponent);
    double v = 0;
    auto r = std::from_chars(num.data(), num.data() + num.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched: the magnitude tells overflow from underflow.
        if (magnitude < 0) return zero;
        return neg ? -HUGE_VAL : HUGE_VAL;
    }
    return neg ? -v : v;
}

double value(const QString& text) {
    // Only ASCII can belong to a number; anything else ends it (as '?' does).
    // The number ends at the first character that cannot belong to it, so the
    // text is converted only as far as a number could reach: one pass in all.
    std::string s;
    s.reserve(std::min<qsizetype>(text.size(), 1024));
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '\t' || u == '\n' || u == '\r') continue;
        if (u >= 128) break;
        s.push_back(char(u));
    }
    return value(std::string_view(s));
}

float valueSingle(const QString& text) {
    const double v = value(text);
    return static_cast<float>(v);
}

QString text(float v) { return format(double(v), 7); }
QString textDouble(double v) { return format(v, 15); }
QString signedText(float v) { return signedForm(text(v)); }
QString signedTextDouble(double v) { return signedForm(textDouble(v)); }
QString printForm(float v) { return signedText(v) + QLatin1Char(' '); }

double roundHalfEven(double v, int n) {
    if (!std::isfinite(v)) return v;
    const double scale = std::pow(10.0, n);
    const double scaled = v * scale;
    if (!std::isfinite(scaled)) return v;
    const double r = std::nearbyint(scaled);  // default rounding mode: halves to even
    return r / scale;
}

QString spoken(const QString& written) {
    // Each pattern is looked for only where its mark is in the text: most
    // texts have none, and every announcement passes through here.
    QString out;
    if (written.contains(QLatin1Char('^'))) {
        static const QRegularExpression power(
            QStringLiteral("\\s*\\^\\s*(?:\\(\\s*([^()]*?)\\s*\\)|(-?[0-9.]+|[A-Za-z]+))"));
        qsizetype from = 0;
        // Each power once, left to right (bounded by the text's length).
        for (auto it = power.globalMatch(written); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            out += written.mid(from, m.capturedStart() - from);
            const QString exponent = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
            out += exponent == QLatin1String("2") ? QStringLiteral(" 的平方")
                                                  : QStringLiteral(" 的 ") + exponent + QStringLiteral(" 次方");
            from = m.capturedEnd();
        }
        out += written.mid(from);
    } else {
        out = written;
    }
    if (out.contains(QStringLiteral("√")) || out.contains(QLatin1String("sqrt"))) {
        static const QRegularExpression root(QStringLiteral("√|\\bsqrt\\b"));
        out.replace(root, QStringLiteral("根号 "));
    }
    if (out.contains(QLatin1String("pi"), Qt::CaseInsensitive)) {
        static const QRegularExpression pi(QStringLiteral("\\bpi\\b"), QRegularExpression::CaseInsensitiveOption);
        out.replace(pi, QStringLiteral("π"));
    }
    // The boxes' short form of a fraction (".5", "-.5") is said with its zero.
    if (out.contains(QLatin1Char('.'))) {
        static const QRegularExpression bareFraction(QStringLiteral("(?<![0-9.])\\.(?=[0-9])"));
        out.replace(bareFraction, QStringLiteral("0."));
    }
    return out.simplified();
}

}  // namespace numfmt
