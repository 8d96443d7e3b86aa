#pragma once
// Pupils' notation for y = f(x), as they write it in class and type it with
// a Chinese input method, rewritten into the evaluator's syntax. What goes
// wrong is told in Chinese at the position it happened in the typed text.
#include <QString>
#include <string>
#include <variant>
#include <vector>

namespace expr {

// The longest expression accepted and its deepest nesting of brackets and
// function calls: beyond them the text is refused, never recursed into.
constexpr int kMaxLength = 500;
constexpr int kMaxDepth = 100;

// What is wrong and where: `position` indexes the typed text (0-based, in
// UTF-16 units as QString counts them; the text's length when the problem is
// at its end), `message` says it in Chinese for the message box.
struct Problem {
    int position = 0;
    QString message;
};

// The expression in the evaluator's syntax, with, for each of its characters,
// the position in the typed text it came from (to map the evaluator's own
// error positions back to what was typed).
struct Translation {
    std::string text;
    std::vector<int> origin;
};

std::variant<Translation, Problem> translate(const QString& typed);

// Where the expression itself begins in the typed text: after a leading
// "y =" or "f(x) =" (in any width), 0 without one.
int expressionStart(const QString& typed);

// The expression read aloud, for a screen reader: "y 等于 x 的平方 减 2x 减 3
// 的绝对值" for "|x²-2x-3|". Empty for a text that does not translate.
QString spoken(const QString& typed);

}  // namespace expr
