#pragma once
// Conversions between the texts a student types or reads and the numbers the
// windows compute with. Pure functions, independent of the locale.
#include <QString>
#include <string_view>

namespace numfmt {

// The longest leading decimal number of a text (sign, digits, point, fraction,
// E or D exponent); blanks, tabs and line feeds anywhere are skipped; "&H" and
// "&O" read hexadecimal and octal integers. Unreadable or empty text is 0.
// Never fails; an exponent beyond double range gives +-inf.
double value(std::string_view text);
double value(const QString& text);
// The same, stored in single precision as the parameters are.
float valueSingle(const QString& text);

// The display form of a single (7 significant digits) or a double (15):
// no leading blank, "0." before a fraction, no trailing zeros, exponent form
// ("1E+08", "1.5E-05") for large and small magnitudes. -0 shows as "0".
QString text(float v);
QString textDouble(double v);

// As text(), but a value >= 0 gets a blank in front and a magnitude below 1
// loses its leading zero: 5 -> " 5", 0.5 -> " .5", -0.5 -> "-.5".
QString signedText(float v);
QString signedTextDouble(double v);

// How a number given to the canvas's print-text shows: signed text with one
// blank after it (5 -> " 5 ", -5 -> "-5 ").
QString printForm(float v);

// v rounded to n decimal places, halves going to the even neighbour.
double roundHalfEven(double v, int n);
inline float roundSingle(float v, int n) { return float(roundHalfEven(double(v), n)); }

// An expression as a Chinese pupil hears it read in class, for what a
// screen reader says (the screen keeps the written form): "X^2" -> "X 的平方",
// "X^3" -> "X 的 3 次方", "X^(1/2)" -> "X 的 1/2 次方", "2^ X" -> "2 的 X 次方",
// "√" and "sqrt" -> "根号", "pi" -> "π", ".5" -> "0.5"; runs of blanks become
// one, and there is none at either end.
QString spoken(const QString& written);

// True when v is a finite single (the parameters' range).
inline bool finiteSingle(double v) { return v == v && v <= 3.4028234663852886e38 && v >= -3.4028234663852886e38; }

}  // namespace numfmt
