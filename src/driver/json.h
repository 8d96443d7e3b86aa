#pragma once
// The JSON the driver prints: one object per line, built from these.
#include <QString>

// JSON string literal of a text.
QString jsonString(const QString& s);
// JSON number: the shortest text that reads back as the same double; null
// for infinities and NaN, which JSON cannot write.
QString jsonNumber(double v);
QString jsonBool(bool b);
