#include "driver/json.h"

#include <charconv>
#include <cmath>

QString jsonString(const QString& s) {
    QString r = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': r += QLatin1String("\\\""); break;
        case '\\': r += QLatin1String("\\\\"); break;
        case '\n': r += QLatin1String("\\n"); break;
        case '\r': r += QLatin1String("\\r"); break;
        case '\t': r += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20) r += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else r += c;
        }
    }
    return r + QLatin1Char('"');
}

QString jsonNumber(double v) {
    if (!std::isfinite(v)) return QStringLiteral("null");
    if (v == 0) return QStringLiteral("0");  // -0 as well
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

QString jsonBool(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
