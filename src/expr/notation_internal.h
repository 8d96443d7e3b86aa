#pragma once
// The tree pupils' notation is read into, shared by the translation, the
// words a screen reader says and the compiled function. Not for the windows.
#include <QString>
#include <string>
#include <variant>
#include <vector>

#include "expr/notation.h"

namespace expr::detail {

// One node; its children are indices into Tree::nodes, so that no tree is
// ever freed recursively. Sums, products and chains of powers are one node
// each however long (a loop, not a recursion, writes them out).
struct Node {
    enum Kind { Number, Variable, Constant, Group, Neg, Sum, Product, Power, Call } kind;
    int pos = 0;            // where it begins in the typed text
    std::vector<int> kids;  // operands / arguments
    std::string ops;        // Sum: '+' '-' per kid; Product: '*' '/' 'i' (implicit) per kid, the
                            // first unused; Power: per exponent, '^' or 's' (superscript)
    double value = 0;       // Number
    std::string text;       // Number: its digits as written, in ASCII
    std::string name;       // Variable ("x", "a".."d"), Constant ("pi", "e"), Call ("sin", "log", "abs", ...)
    bool bars = false;      // Call: |...|
};

struct Tree {
    std::vector<Node> nodes;
    int root = -1;
};

std::variant<Tree, Problem> parse(const QString& typed);

// The evaluator's name for a function of the notation ("sin" -> "f_sin").
std::string evaluatorName(const std::string& name);

}  // namespace expr::detail
