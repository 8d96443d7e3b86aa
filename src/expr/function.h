#pragma once
// A typed function y = f(x) with the parameters a, b, c, d, compiled once and
// evaluated many times (a point, or many points at once for a picture).
#include <QString>
#include <memory>
#include <variant>

#include "expr/notation.h"

namespace expr {

class Function {
public:
    // Compiles what was typed; the problem, at its position in the typed
    // text, when it does not compile.
    static std::variant<Function, Problem> compile(const QString& typed);
    // What compile does once the text is translated: the evaluator's own
    // complaints are told at the typed position their character came from.
    static std::variant<Function, Problem> compile(const QString& typed, const Translation& translation);

    Function(Function&&) noexcept;
    Function& operator=(Function&&) noexcept;
    ~Function();

    void setParameters(double a, double b, double c, double d);
    // f(x); NaN where f is undefined (outside its domain, division by zero).
    // Never throws.
    double at(double x) const;
    // y[i] = f(x[i]) for i < n, the same values at() gives.
    void evaluate(const double* x, double* y, int n) const;

    const QString& typed() const;
    // Whether the expression uses the parameter 'a', 'b', 'c' or 'd'.
    bool uses(char parameter) const;

private:
    struct Impl;
    explicit Function(std::unique_ptr<Impl> d);
    std::unique_ptr<Impl> d_;
};

}  // namespace expr
