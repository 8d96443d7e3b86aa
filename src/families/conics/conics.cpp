#include "families/conics/conics.h"

#include <cmath>

#include "numfmt/numfmt.h"

using numfmt::text;

namespace conic {

double rootOfNonNegative(double v) { return v > 0 ? std::sqrt(v) : 0.0; }

QString fociText(float c, bool onX) {
    if (onX)
        return QStringLiteral("焦点坐标：F1(") + text(-c) + QStringLiteral(",0),F2:(") + text(c) +
               QStringLiteral(",0)");
    return QStringLiteral("焦点坐标：F1(0,") + text(-c) + QStringLiteral("),F2:(0,") + text(c) + QStringLiteral(")");
}

QString directrixText(float d, bool onX) {
    const QString axis = onX ? QStringLiteral("x=") : QStringLiteral("y=");
    return QStringLiteral("准线方程是：") + axis + text(d) + QStringLiteral("和") + axis.left(1) +
           QStringLiteral("=－") + text(d);
}

std::pair<QPointF, QPointF> foci(float c, bool onX) {
    if (onX) return {QPointF(-c, 0), QPointF(c, 0)};
    return {QPointF(0, -c), QPointF(0, c)};
}

std::pair<QLineF, QLineF> directrices(float d, float a, float b, bool onX) {
    if (onX) return {QLineF(d, b, d, -b), QLineF(-d, b, -d, -b)};
    return {QLineF(a, d, -a, d), QLineF(a, -d, -a, -d)};
}

bool allFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!numfmt::finiteSingle(v)) return false;
    return true;
}

QString pointText(float x, float y) {
    return QStringLiteral("(") + text(x == 0 ? 0.f : x) + QStringLiteral(",") + text(y == 0 ? 0.f : y) +
           QStringLiteral(")");
}

QString fociFeature(float c, bool onX) {
    const auto [f1, f2] = foci(c, onX);
    return QStringLiteral("焦点 ") + pointText(float(f1.x()), float(f1.y())) + QStringLiteral(" 和 ") +
           pointText(float(f2.x()), float(f2.y()));
}

QString eccentricityFeature(float e) { return QStringLiteral("离心率 ") + text(numfmt::roundSingle(e, 2)); }

}  // namespace conic
