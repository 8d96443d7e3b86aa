// Pupils' notation read by hand: characters normalised (full-width forms, the
// many minus signs, superscripts), letters split into the names known, then a
// recursive descent whose nesting is counted and refused beyond kMaxDepth
// before it goes any deeper. The tree it builds is written out twice: in the
// evaluator's syntax, fully explicit (every product, power and division a
// call or an operator, so the evaluator's own precedence never matters), and
// in words.
#include "expr/notation.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "expr/notation_internal.h"

namespace expr {

namespace {

// ---------------------------------------------------------------- characters

// One character of the typed text after normalisation: an ASCII character, or
// one of the marks below standing for a symbol with no ASCII form.
enum : char32_t {
    kPi = 0x100,
    kSqrt,
    kCbrt,
    kSuperMinus,
    kSuperDigit0 = 0x200,  // kSuperDigit0 + d
};

struct Ch {
    char32_t c;
    int pos;
};

char32_t superscriptDigit(char16_t u) {
    switch (u) {
    case 0x2070: return 0;
    case 0x00B9: return 1;
    case 0x00B2: return 2;
    case 0x00B3: return 3;
    default: break;
    }
    if (u >= 0x2074 && u <= 0x2079) return u - 0x2070;
    return 0xFFFF;
}

// The ASCII (or mark) a typed UTF-16 unit stands for; 0 when it stands for
// nothing the notation knows.
char32_t normalise(char16_t u) {
    if (u >= 0xFF01 && u <= 0xFF5E) u = char16_t(u - 0xFEE0);  // full-width forms
    if (u < 0x80) return u;
    const char32_t d = superscriptDigit(u);
    if (d != 0xFFFF) return kSuperDigit0 + d;
    switch (u) {
    case 0x3000:  // ideographic space
    case 0x00A0:  // no-break space
        return ' ';
    case 0x2212:  // minus sign
    case 0x2010:  // hyphen
    case 0x2011:  // non-breaking hyphen
    case 0x2013:  // en dash
    case 0xFE63:  // small hyphen-minus
        return '-';
    case 0x00D7:  // ×
    case 0x00B7:  // ·
    case 0x22C5:  // dot operator
    case 0x2219:  // bullet operator
        return '*';
    case 0x00F7:  // ÷
    case 0x2215:  // division slash
        return '/';
    case 0x3002:  // 。 (an input method's full stop for the decimal point)
        return '.';
    case 0x03C0:  // π
    case 0x03A0:  // Π
        return kPi;
    case 0x221A: return kSqrt;
    case 0x221B: return kCbrt;
    case 0x207B: return kSuperMinus;
    case 0x2223: return '|';  // divides, as a bar
    case 0x3010: return '[';  // 【
    case 0x3011: return ']';  // 】
    default: return 0;
    }
}

// ------------------------------------------------------------------- tokens

enum class Tok {
    Number,
    Name,
    Open,
    Close,
    Bar,
    Plus,
    Minus,
    Times,
    Divide,
    Caret,
    Super,
    Sqrt,
    Cbrt,
    Comma,
    Equals,
    End,
};

enum class Name { X, A, B, C, D, Pi, E, Sin, Cos, Tan, Cot, Arcsin, Arccos, Arctan, Sqrt, Cbrt, Abs, Exp, Log, Ln, Lg };

struct Word {
    const char* text;
    Name name;
};

// Longest first where one word begins another.
constexpr std::array<Word, 21> kWords{{
    {"arcsin", Name::Arcsin}, {"arccos", Name::Arccos}, {"arctan", Name::Arctan}, {"sqrt", Name::Sqrt},
    {"cbrt", Name::Cbrt},     {"sin", Name::Sin},       {"cos", Name::Cos},       {"tan", Name::Tan},
    {"cot", Name::Cot},       {"abs", Name::Abs},       {"exp", Name::Exp},       {"log", Name::Log},
    {"ln", Name::Ln},         {"lg", Name::Lg},         {"pi", Name::Pi},         {"x", Name::X},
    {"a", Name::A},           {"b", Name::B},           {"c", Name::C},           {"d", Name::D},
    {"e", Name::E},
}};

bool isFunction(Name n) { return n >= Name::Sin; }

const char* wordOf(Name n) {
    for (const Word& w : kWords)
        if (w.name == n) return w.text;
    return "";
}

struct Token {
    Tok kind;
    int pos;           // in the typed text
    int end;           // one past its last typed unit
    char32_t ch;       // the operator or bracket as normalised
    Name name{};       // Name
    double value;      // Number, Super
    std::string text;  // Number: its digits as written (ASCII); Super: its digits
};

struct Failure {
    Problem problem;
};

QString at(int pos, const QString& what) { return QStringLiteral("第 %1 个字符：%2").arg(pos + 1).arg(what); }

[[noreturn]] void fail(int pos, const QString& what) { throw Failure{{pos, at(pos, what)}}; }

// The character as the message names it: itself when it prints, its code
// otherwise (a lone surrogate, a control character).
QString shown(const QString& typed, int pos) {
    const QChar q = typed.at(pos);
    if (q.isHighSurrogate() && pos + 1 < typed.size() && typed.at(pos + 1).isLowSurrogate()) return typed.mid(pos, 2);
    if (q.isSurrogate() || !q.isPrint())
        return QStringLiteral("U+%1").arg(q.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return QString(q);
}

bool isLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool isSuper(char32_t c) { return c >= kSuperDigit0 && c <= kSuperDigit0 + 9; }

std::vector<Token> tokenise(const QString& typed, const std::vector<Ch>& cs, size_t start) {
    std::vector<Token> out;
    size_t i = start;
    auto simple = [&](Tok k, size_t n = 1) {
        out.push_back(Token{k, cs[i].pos, cs[i + n - 1].pos + 1, cs[i].c, {}, 0, {}});
        i += n;
    };
    while (i < cs.size()) {
        const char32_t c = cs[i].c;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++i;
        } else if (isDigit(c) || (c == '.' && i + 1 < cs.size() && isDigit(cs[i + 1].c))) {
            const size_t from = i;
            std::string digits;
            while (i < cs.size() && isDigit(cs[i].c)) digits += char(cs[i++].c);
            if (i < cs.size() && cs[i].c == '.') {
                digits += '.';
                ++i;
                while (i < cs.size() && isDigit(cs[i].c)) digits += char(cs[i++].c);
            }
            double v = 0;
            const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
            if (r.ec != std::errc() || !std::isfinite(v)) fail(cs[from].pos, QStringLiteral("这个数太大或太小"));
            if (digits.front() == '.') digits.insert(digits.begin(), '0');
            if (digits.back() == '.') digits.pop_back();
            out.push_back(Token{Tok::Number, cs[from].pos, cs[i - 1].pos + 1, 0, {}, v, digits});
        } else if (isLetter(c)) {
            size_t end = i;
            std::string run;
            while (end < cs.size() && isLetter(cs[end].c)) run += char(std::tolower(int(cs[end++].c)));
            // Split into the names known, longest first at each place; a run
            // that does not split is named whole in the message.
            std::vector<Token> parts;
            size_t k = 0;
            while (k < run.size()) {
                const Word* hit = nullptr;
                for (const Word& w : kWords) {
                    const size_t n = std::strlen(w.text);
                    if (run.compare(k, n, w.text) == 0 && (!hit || n > std::strlen(hit->text))) hit = &w;
                }
                if (!hit) {
                    QString name;
                    for (size_t j = i; j < end; ++j) name += QChar(char16_t(cs[j].c));
                    fail(cs[i].pos, QStringLiteral("不认识的名称“%1”").arg(name));
                }
                const size_t n = std::strlen(hit->text);
                parts.push_back(Token{Tok::Name, cs[i + k].pos, cs[i + k + n - 1].pos + 1, 0, hit->name, 0, {}});
                k += n;
            }
            out.insert(out.end(), parts.begin(), parts.end());
            i = end;
        } else if (isSuper(c) || c == kSuperMinus) {
            const size_t from = i;
            std::string digits;
            if (c == kSuperMinus) {
                digits += '-';
                ++i;
            }
            while (i < cs.size() && isSuper(cs[i].c)) digits += char('0' + (cs[i++].c - kSuperDigit0));
            if (digits.empty() || digits == "-") fail(cs[from].pos, QStringLiteral("上标“⁻”后面缺少数字"));
            double v = 0;
            const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
            if (r.ec != std::errc() || !std::isfinite(v)) fail(cs[from].pos, QStringLiteral("这个数太大或太小"));
            out.push_back(Token{Tok::Super, cs[from].pos, cs[i - 1].pos + 1, 0, {}, v, digits});
        } else {
            switch (c) {
            case '(':
            case '[':
            case '{': simple(Tok::Open); break;
            case ')':
            case ']':
            case '}': simple(Tok::Close); break;
            case '|': simple(Tok::Bar); break;
            case '+': simple(Tok::Plus); break;
            case '-': simple(Tok::Minus); break;
            case '*': simple(Tok::Times); break;
            case '/': simple(Tok::Divide); break;
            case '^': simple(Tok::Caret); break;
            case ',': simple(Tok::Comma); break;
            case '=': simple(Tok::Equals); break;
            case kPi: {
                out.push_back(Token{Tok::Name, cs[i].pos, cs[i].pos + 1, 0, Name::Pi, 0, {}});
                ++i;
                break;
            }
            case kSqrt: simple(Tok::Sqrt); break;
            case kCbrt: simple(Tok::Cbrt); break;
            default: fail(cs[i].pos, QStringLiteral("不认识的字符“%1”").arg(shown(typed, cs[i].pos)));
            }
        }
    }
    const int end = typed.size();
    out.push_back(Token{Tok::End, end, end, 0, {}, 0, {}});
    return out;
}

// ------------------------------------------------------------------- parser

using detail::Node;
using detail::Tree;

char32_t closerOf(char32_t open) { return open == '(' ? ')' : open == '[' ? ']' : '}'; }

class Parser {
public:
    Parser(const QString& typed, std::vector<Token> toks) : typed_(typed), t_(std::move(toks)) {}

    Tree run() {
        tree_.root = sum(Context::Top);
        const Token& k = peek();
        switch (k.kind) {
        case Tok::End: break;
        case Tok::Close: fail(k.pos, QStringLiteral("多了一个右括号“%1”").arg(shown(typed_, k.pos)));
        case Tok::Comma: fail(k.pos, QStringLiteral("逗号只能写在 log(底数, x) 里"));
        case Tok::Equals: fail(k.pos, QStringLiteral("等号只能写在开头的“y=”里"));
        default: fail(k.pos, QStringLiteral("这里缺少运算符"));
        }
        return std::move(tree_);
    }

private:
    // What ends the sum being read: the end of the text, a bracket, a bar,
    // or, in a function's argument written without brackets, the next name
    // of a function.
    enum class Context { Top, Bracket, Bar, Argument };

    const QString& typed_;
    std::vector<Token> t_;
    size_t i_ = 0;
    int depth_ = 0;
    // The innermost bracket or bar open: a bar where an operator is expected
    // closes only when the innermost open is a bar.
    std::vector<bool> barOpen_;
    Tree tree_;

    const Token& peek(size_t ahead = 0) const { return t_[std::min(i_ + ahead, t_.size() - 1)]; }
    // Never past the end: the last token is the end of the text.
    const Token& take() { return t_[std::min(i_++, t_.size() - 1)]; }

    int add(Node n) {
        tree_.nodes.push_back(std::move(n));
        return int(tree_.nodes.size()) - 1;
    }

    void enter(const Token& k) {
        if (++depth_ > kMaxDepth) fail(k.pos, QStringLiteral("括号或函数套得太深（最多 %1 层）").arg(kMaxDepth));
    }
    void leave() { --depth_; }

    static bool isOperator(Tok k) {
        return k == Tok::Plus || k == Tok::Minus || k == Tok::Times || k == Tok::Divide || k == Tok::Caret;
    }

    QString symbol(const Token& k) const { return shown(typed_, k.pos); }

    bool insideBar() const { return !barOpen_.empty() && barOpen_.back(); }

    // Where an operand is expected: whether the next token begins one. A bar
    // there opens, unless inside a bar nothing that could be its content
    // follows ("|x+|" lacks an operand, it does not open a bar).
    bool operandNext() const {
        const Token& k = peek();
        switch (k.kind) {
        case Tok::Number:
        case Tok::Name:
        case Tok::Open:
        case Tok::Sqrt:
        case Tok::Cbrt: return true;
        case Tok::Bar: return !insideBar() || contentFollows(peek(1));
        default: return false;
        }
    }

    // Where an operator is expected: whether the next token begins an operand
    // multiplied without a sign (2x, 2(x+1), 2|x|). A bar there closes the
    // innermost bar instead, if that is what is open.
    bool implicitNext() const {
        const Token& k = peek();
        if (k.kind == Tok::Bar) return !insideBar();
        return operandNext();
    }

    static bool contentFollows(const Token& k) {
        return k.kind == Tok::Number || k.kind == Tok::Name || k.kind == Tok::Open || k.kind == Tok::Sqrt ||
               k.kind == Tok::Cbrt || k.kind == Tok::Bar || k.kind == Tok::Minus || k.kind == Tok::Plus;
    }

    // Something other than an operand stands where one is needed: say what.
    [[noreturn]] void missingOperand() const {
        const Token& k = peek();
        const Token* before = i_ > 0 ? &t_[i_ - 1] : nullptr;
        const Tok b = before ? before->kind : Tok::End;
        if (b == Tok::Sqrt || b == Tok::Cbrt || (b == Tok::Caret && !isOperator(k.kind)))
            fail(before->pos, QStringLiteral("“%1”后面缺少数或式子").arg(symbol(*before)));
        if (b == Tok::Name) fail(before->pos, QStringLiteral("“%1”后面缺少自变量").arg(wordOf(before->name)));
        if (isOperator(k.kind) || k.kind == Tok::Super) {
            if (before && isOperator(b))
                fail(k.pos, QStringLiteral("两个运算符“%1”“%2”连在一起").arg(symbol(*before), symbol(k)));
            fail(k.pos, QStringLiteral("“%1”前面缺少数或式子").arg(symbol(k)));
        }
        if (before && isOperator(b)) fail(before->pos, QStringLiteral("“%1”后面缺少数或式子").arg(symbol(*before)));
        if (b == Tok::Comma) fail(before->pos, QStringLiteral("逗号后面缺少数或式子"));
        switch (k.kind) {
        case Tok::End:
            if (b == Tok::Open) fail(before->pos, QStringLiteral("左括号“%1”没有配对的右括号").arg(symbol(*before)));
            if (b == Tok::Bar) fail(before->pos, QStringLiteral("绝对值符号“|”没有配对"));
            fail(k.pos, QStringLiteral("请输入函数表达式"));
        case Tok::Comma: fail(k.pos, QStringLiteral("逗号前面缺少数或式子"));
        case Tok::Equals: fail(k.pos, QStringLiteral("等号只能写在开头的“y=”里"));
        case Tok::Close:
            if (b == Tok::Open) fail(before->pos, QStringLiteral("括号里是空的"));
            fail(k.pos, QStringLiteral("多了一个右括号“%1”").arg(symbol(k)));
        case Tok::Bar:
            if (b == Tok::Bar) fail(before->pos, QStringLiteral("绝对值符号里是空的"));
            fail(k.pos, QStringLiteral("“|”前面缺少数或式子"));
        default: fail(k.pos, QStringLiteral("这里缺少数或式子"));
        }
    }

    int sum(Context ctx) {
        Node s{Node::Sum, peek().pos};
        char sign = '+';
        const Token& lead = peek();
        if (lead.kind == Tok::Plus || lead.kind == Tok::Minus) {
            take();
            sign = lead.kind == Tok::Minus ? '-' : '+';
        }
        if (!operandNext()) missingOperand();
        int term = product(ctx);
        if (sign == '-') {
            Node n{Node::Neg, lead.pos};
            n.kids = {term};
            term = add(std::move(n));
        }
        s.kids.push_back(term);
        s.ops.push_back('+');
        while (peek().kind == Tok::Plus || peek().kind == Tok::Minus) {
            const Token& op = take();
            if (!operandNext()) missingOperand();
            s.kids.push_back(product(ctx));
            s.ops.push_back(op.kind == Tok::Minus ? '-' : '+');
        }
        if (s.kids.size() == 1) return s.kids.front();
        return add(std::move(s));
    }

    int product(Context ctx) {
        Node p{Node::Product, peek().pos};
        p.kids.push_back(power());
        p.ops.push_back('*');
        for (;;) {
            const Token& k = peek();
            char op;
            if (k.kind == Tok::Times || k.kind == Tok::Divide) {
                // In an argument without brackets, "sin x / cos x" divides
                // sin x by cos x.
                if (ctx == Context::Argument && peek(1).kind == Tok::Name && isFunction(peek(1).name)) break;
                op = k.kind == Tok::Times ? '*' : '/';
                take();
                if (!operandNext()) missingOperand();
            } else if (implicitNext()) {
                if (ctx == Context::Argument && k.kind == Tok::Name && isFunction(k.name)) break;
                if (k.kind == Tok::Number && t_[i_ - 1].kind == Tok::Number)
                    fail(k.pos, QStringLiteral("两个数之间缺少运算符"));
                op = 'i';
            } else {
                break;
            }
            p.kids.push_back(power());
            p.ops.push_back(op);
        }
        if (p.kids.size() == 1) return p.kids.front();
        return add(std::move(p));
    }

    // An operand with its powers: superscripts bind first, then "^" to the
    // right ("2^3^2" is 2^9); the exponent after "^" is one operand, signed.
    int power() {
        const int base = superscripts(primary());
        if (peek().kind != Tok::Caret) return base;
        Node p{Node::Power, peek().pos};
        p.kids.push_back(base);
        while (peek().kind == Tok::Caret) {
            const Token& caret = take();
            p.ops.push_back('^');
            p.kids.push_back(exponent(caret));
        }
        return add(std::move(p));
    }

    int exponent(const Token& caret) {
        const Token& k = peek();
        if (k.kind == Tok::Plus || k.kind == Tok::Minus) {
            take();
            if (!operandNext()) missingOperand();
            const int e = superscripts(primary());
            if (k.kind == Tok::Plus) return e;
            Node n{Node::Neg, k.pos};
            n.kids = {e};
            return add(std::move(n));
        }
        if (!operandNext()) {
            if (k.kind == Tok::Super || isOperator(k.kind))
                fail(k.pos, QStringLiteral("两个运算符“%1”“%2”连在一起").arg(symbol(caret), symbol(k)));
            missingOperand();
        }
        return superscripts(primary());
    }

    int superscripts(int base) {
        while (peek().kind == Tok::Super) {
            const Token& k = take();
            Node e{Node::Number, k.pos};
            e.value = k.value;
            e.text = k.text;
            Node p{Node::Power, k.pos};
            p.kids = {base, add(std::move(e))};
            p.ops = {'s'};
            base = add(std::move(p));
        }
        return base;
    }

    int primary() {
        const Token& k = peek();
        switch (k.kind) {
        case Tok::Number: {
            take();
            Node n{Node::Number, k.pos};
            n.value = k.value;
            n.text = k.text;
            return add(std::move(n));
        }
        case Tok::Name: return name();
        case Tok::Open: {
            take();
            enter(k);
            if (peek().kind == Tok::Close) fail(k.pos, QStringLiteral("括号里是空的"));
            barOpen_.push_back(false);
            const int inner = sum(Context::Bracket);
            barOpen_.pop_back();
            close(k);
            leave();
            Node g{Node::Group, k.pos};
            g.kids = {inner};
            return add(std::move(g));
        }
        case Tok::Bar: {
            take();
            enter(k);
            if (peek().kind == Tok::Bar && !contentFollows(peek(1))) fail(k.pos, QStringLiteral("绝对值符号里是空的"));
            barOpen_.push_back(true);
            const int inner = sum(Context::Bar);
            barOpen_.pop_back();
            if (peek().kind != Tok::Bar) fail(k.pos, QStringLiteral("绝对值符号“|”没有配对"));
            take();
            leave();
            Node c{Node::Call, k.pos};
            c.name = "abs";
            c.kids = {inner};
            c.bars = true;
            return add(std::move(c));
        }
        case Tok::Sqrt:
        case Tok::Cbrt: {
            take();
            enter(k);
            if (!operandNext()) missingOperand();
            const int inner = power();
            leave();
            Node c{Node::Call, k.pos};
            c.name = k.kind == Tok::Sqrt ? "sqrt" : "cbrt";
            c.kids = {inner};
            return add(std::move(c));
        }
        default: missingOperand();
        }
    }

    void close(const Token& open) {
        const Token& k = peek();
        if (k.kind == Tok::Close) {
            if (k.ch != closerOf(open.ch))
                fail(k.pos, QStringLiteral("右括号“%1”和第 %2 个字符的左括号“%3”不配对")
                                .arg(symbol(k))
                                .arg(open.pos + 1)
                                .arg(symbol(open)));
            take();
            return;
        }
        if (k.kind == Tok::Comma) fail(k.pos, QStringLiteral("逗号只能写在 log(底数, x) 里"));
        if (k.kind == Tok::Equals) fail(k.pos, QStringLiteral("等号只能写在开头的“y=”里"));
        fail(open.pos, QStringLiteral("左括号“%1”没有配对的右括号").arg(symbol(open)));
    }

    int name() {
        const Token& k = take();
        const char* word = wordOf(k.name);
        if (!isFunction(k.name)) {
            Node n{k.name == Name::Pi || k.name == Name::E ? Node::Constant : Node::Variable, k.pos};
            n.name = word;
            return add(std::move(n));
        }
        enter(k);
        // sin²x and sin^2 x: the power of the function's value.
        int pow = -1;
        char powKind = 0;
        if (peek().kind == Tok::Super) {
            const Token& s = take();
            Node e{Node::Number, s.pos};
            e.value = s.value;
            e.text = s.text;
            pow = add(std::move(e));
            powKind = 's';
        } else if (peek().kind == Tok::Caret) {
            const Token& caret = take();
            pow = exponent(caret);
            powKind = '^';
        }
        Node c{Node::Call, k.pos};
        c.name = word;
        if (peek().kind == Tok::Open) {
            const Token& open = take();
            if (peek().kind == Tok::Close) fail(open.pos, QStringLiteral("括号里是空的"));
            barOpen_.push_back(false);
            for (;;) {
                c.kids.push_back(sum(Context::Bracket));
                if (peek().kind != Tok::Comma) break;
                const Token& comma = take();
                if (k.name != Name::Log) fail(comma.pos, QStringLiteral("“%1”只能有一个自变量").arg(word));
                if (c.kids.size() >= 2) fail(k.pos, QStringLiteral("log 要写成 log(底数, x)，只有两个数"));
            }
            barOpen_.pop_back();
            close(open);
            if (k.name == Name::Log && c.kids.size() != 2) fail(k.pos, QStringLiteral("log 要写成 log(底数, x)"));
        } else {
            if (k.name == Name::Log) fail(k.pos, QStringLiteral("log 要写成 log(底数, x)"));
            // Without brackets the argument is the product that follows, up
            // to the next + or − or the next function's name.
            const Token& s = peek();
            // "sin −x" is sin(−x); "sin + x" lacks the argument.
            const bool signed_ = s.kind == Tok::Minus;
            if (!signed_ && !operandNext()) fail(k.pos, QStringLiteral("“%1”后面缺少自变量").arg(word));
            if (signed_) {
                take();
                if (!operandNext()) missingOperand();
                Node n{Node::Neg, s.pos};
                n.kids = {product(Context::Argument)};
                c.kids.push_back(add(std::move(n)));
            } else {
                c.kids.push_back(product(Context::Argument));
            }
        }
        leave();
        int call = add(std::move(c));
        if (pow >= 0) {
            Node p{Node::Power, k.pos};
            p.kids = {call, pow};
            p.ops = {powKind};
            call = add(std::move(p));
        }
        return call;
    }
};

// The leading "y =" (or "f(x) =") that pupils write: where the expression
// itself begins (0 without one).
size_t afterLeadingY(const std::vector<Ch>& cs) {
    size_t i = 0;
    auto blanks = [&] {
        while (i < cs.size() && (cs[i].c == ' ' || cs[i].c == '\t')) ++i;
    };
    auto lower = [&](size_t k) -> char32_t {
        if (k >= cs.size() || cs[k].c >= 0x80) return 0;
        return char32_t(std::tolower(int(cs[k].c)));
    };
    auto is = [&](char32_t c) { return i < cs.size() && (cs[i].c == c || lower(i) == c); };
    blanks();
    if (is('y')) {
        ++i;
    } else if (is('f')) {
        ++i;
        blanks();
        if (!is('(')) return 0;
        ++i;
        blanks();
        if (!is('x')) return 0;
        ++i;
        blanks();
        if (!is(')')) return 0;
        ++i;
    } else {
        return 0;
    }
    blanks();
    return is('=') ? i + 1 : 0;
}

// ------------------------------------------------------------------ writing

// The evaluator's syntax with, for every character, where it came from.
class Writer {
public:
    explicit Writer(const Tree& t) : t_(t) {}
    Translation run() {
        node(t_.root);
        return std::move(out_);
    }

private:
    const Tree& t_;
    Translation out_;

    void put(const std::string& s, int pos) {
        out_.text += s;
        out_.origin.insert(out_.origin.end(), s.size(), pos);
    }

    static std::string number(double v) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        return std::string(buf, r.ptr);
    }

    void node(int i) {
        const Node& n = t_.nodes[size_t(i)];
        switch (n.kind) {
        case Node::Number: put(number(n.value), n.pos); break;
        case Node::Variable: put(n.name, n.pos); break;
        case Node::Constant: put(n.name == "pi" ? "_pi" : "_e", n.pos); break;
        case Node::Group:
            put("(", n.pos);
            node(n.kids[0]);
            put(")", n.pos);
            break;
        case Node::Neg:
            put("(-(", n.pos);
            node(n.kids[0]);
            put("))", n.pos);
            break;
        case Node::Sum:
            put("(", n.pos);
            for (size_t k = 0; k < n.kids.size(); ++k) {
                if (k > 0) put(n.ops[k] == '-' ? "-" : "+", t_.nodes[size_t(n.kids[k])].pos);
                node(n.kids[k]);
            }
            put(")", n.pos);
            break;
        case Node::Product: {
            // Left to right: a/b*c/d is dv(dv(a,b)*c,d), each division a call
            // whose opening goes in front of everything before it.
            for (size_t k = 1; k < n.kids.size(); ++k)
                if (n.ops[k] == '/') put("f_dv(", n.pos);
            node(n.kids[0]);
            for (size_t k = 1; k < n.kids.size(); ++k) {
                const int pos = t_.nodes[size_t(n.kids[k])].pos;
                put(n.ops[k] == '/' ? "," : "*", pos);
                node(n.kids[k]);
                if (n.ops[k] == '/') put(")", pos);
            }
            break;
        }
        case Node::Power: {
            // Right to left: a^b^c is pw(a,pw(b,c)).
            const size_t last = n.kids.size() - 1;
            for (size_t k = 0; k < last; ++k) {
                put("f_pw(", n.pos);
                node(n.kids[k]);
                put(",", t_.nodes[size_t(n.kids[k + 1])].pos);
            }
            node(n.kids[last]);
            for (size_t k = 0; k < last; ++k) put(")", n.pos);
            break;
        }
        case Node::Call: {
            put(detail::evaluatorName(n.name) + "(", n.pos);
            for (size_t k = 0; k < n.kids.size(); ++k) {
                if (k > 0) put(",", n.pos);
                node(n.kids[k]);
            }
            put(")", n.pos);
            break;
        }
        }
    }
};

// The expression in words.
class Speaker {
public:
    explicit Speaker(const Tree& t) : t_(t) {}
    QString run() { return QStringLiteral("y 等于 ") + node(t_.root); }

private:
    const Tree& t_;

    const Node& at(int i) const { return t_.nodes[size_t(i)]; }

    bool isAtom(int i) const {
        const Node& n = at(i);
        return n.kind == Node::Number || n.kind == Node::Variable || n.kind == Node::Constant;
    }

    // Short enough to follow a function's name without brackets said.
    bool isSimple(int i) const {
        const Node& n = at(i);
        if (isAtom(i)) return true;
        if (n.kind == Node::Product) {
            for (size_t k = 1; k < n.ops.size(); ++k)
                if (n.ops[k] != 'i') return false;
            for (int kid : n.kids)
                if (!isAtom(kid)) return false;
            return true;
        }
        return false;
    }

    static QString functionWord(const std::string& name) {
        if (name == "arcsin" || name == "arccos" || name == "arctan" || name == "sin" || name == "cos" ||
            name == "tan" || name == "cot" || name == "ln" || name == "lg")
            return QString::fromStdString(name);
        if (name == "sqrt") return QStringLiteral("根号");
        if (name == "cbrt") return QStringLiteral("三次根号");
        return QString::fromStdString(name);
    }

    QString argument(int i) const {
        if (isSimple(i) || at(i).kind == Node::Group) return node(i);
        return QStringLiteral("左括号 ") + node(i) + QStringLiteral(" 右括号");
    }

    QString node(int i) const {
        const Node& n = at(i);
        switch (n.kind) {
        case Node::Number:
            if (n.text.front() == '-') return QStringLiteral("负 ") + QString::fromStdString(n.text.substr(1));
            return QString::fromStdString(n.text);
        case Node::Variable: return QString::fromStdString(n.name);
        case Node::Constant: return n.name == "pi" ? QStringLiteral("派") : QStringLiteral("e");
        case Node::Group: return QStringLiteral("左括号 ") + node(n.kids[0]) + QStringLiteral(" 右括号");
        case Node::Neg: return QStringLiteral("负 ") + node(n.kids[0]);
        case Node::Sum: {
            QString s = node(n.kids[0]);
            for (size_t k = 1; k < n.kids.size(); ++k)
                s += (n.ops[k] == '-' ? QStringLiteral(" 减 ") : QStringLiteral(" 加 ")) + node(n.kids[k]);
            return s;
        }
        case Node::Product: {
            // "2x" said as written, but after a division every product is
            // said: "1/2x" is half of x, "1 除以 2 乘 x".
            const bool divides = n.ops.find('/') != std::string::npos;
            QString s = node(n.kids[0]);
            for (size_t k = 1; k < n.kids.size(); ++k) {
                const bool joined = !divides && n.ops[k] == 'i' && isAtom(n.kids[k - 1]) && isAtom(n.kids[k]) &&
                                    at(n.kids[k]).kind != Node::Number;
                // "2 派", "派 x": the word apart from the letters.
                const bool pi = at(n.kids[k]).name == "pi" || at(n.kids[k - 1]).name == "pi";
                if (joined && pi) s += QStringLiteral(" ");
                else if (!joined) s += n.ops[k] == '/' ? QStringLiteral(" 除以 ") : QStringLiteral(" 乘 ");
                s += node(n.kids[k]);
            }
            return s;
        }
        case Node::Power: {
            // Read from the innermost exponent out: a^b^c is a to the power b^c.
            QString exp = node(n.kids.back());
            for (size_t k = n.kids.size() - 1; k-- > 1;)
                exp = node(n.kids[k]) + QStringLiteral(" 的 ") + exp + QStringLiteral(" 次方");
            QString base = node(n.kids[0]);
            if (at(n.kids[0]).kind == Node::Call && !at(n.kids[0]).bars)
                base = QStringLiteral("左括号 ") + base + QStringLiteral(" 右括号");
            if (n.kids.size() == 2 && at(n.kids[1]).kind == Node::Number && at(n.kids[1]).value == 2)
                return base + QStringLiteral(" 的平方");
            return base + QStringLiteral(" 的 ") + exp + QStringLiteral(" 次方");
        }
        case Node::Call: {
            if (n.name == "abs") return node(n.kids[0]) + QStringLiteral(" 的绝对值");
            if (n.name == "exp") return QStringLiteral("e 的 ") + node(n.kids[0]) + QStringLiteral(" 次方");
            if (n.name == "log")
                return QStringLiteral("以 ") + node(n.kids[0]) + QStringLiteral(" 为底 ") + node(n.kids[1]) +
                       QStringLiteral(" 的对数");
            return functionWord(n.name) + QStringLiteral(" ") + argument(n.kids[0]);
        }
        }
        return {};
    }
};

}  // namespace

namespace detail {

std::string evaluatorName(const std::string& name) {
    // The evaluator's own functions are named apart from the typed words so
    // that nothing of its built-in set is ever used by accident.
    if (name == "arcsin") return "f_asin";
    if (name == "arccos") return "f_acos";
    if (name == "arctan") return "f_atan";
    if (name == "log") return "f_logb";
    return "f_" + name;
}

// The typed text as the notation reads it, each character with its place.
std::vector<Ch> characters(const QString& typed) {
    std::vector<Ch> cs;
    cs.reserve(size_t(typed.size()));
    for (int i = 0; i < typed.size(); ++i) cs.push_back(Ch{normalise(typed.at(i).unicode()), i});
    // Characters the notation does not know keep a mark no table uses, so
    // the tokeniser names them.
    for (Ch& c : cs)
        if (c.c == 0) c.c = 0xFFFF;
    return cs;
}

std::variant<Tree, Problem> parse(const QString& typed) {
    if (typed.size() > kMaxLength)
        return Problem{kMaxLength, QStringLiteral("表达式太长（最多 %1 个字符）").arg(kMaxLength)};
    const std::vector<Ch> cs = characters(typed);
    const size_t start = afterLeadingY(cs);
    bool blank = true;
    for (size_t i = start; i < cs.size(); ++i)
        if (cs[i].c != ' ' && cs[i].c != '\t' && cs[i].c != '\n' && cs[i].c != '\r') blank = false;
    if (blank) return Problem{start == 0 ? 0 : int(typed.size()), QStringLiteral("请输入函数表达式")};
    try {
        Parser p(typed, tokenise(typed, cs, start));
        return p.run();
    } catch (const Failure& f) { return f.problem; }
}

}  // namespace detail

std::variant<Translation, Problem> translate(const QString& typed) {
    auto parsed = detail::parse(typed);
    if (auto* p = std::get_if<Problem>(&parsed)) return *p;
    return Writer(std::get<Tree>(parsed)).run();
}

int expressionStart(const QString& typed) {
    const std::vector<Ch> cs = detail::characters(typed);
    const size_t start = afterLeadingY(cs);
    return start < cs.size() ? cs[start].pos : int(typed.size());
}

QString spoken(const QString& typed) {
    auto parsed = detail::parse(typed);
    if (std::holds_alternative<Problem>(parsed)) return {};
    return Speaker(std::get<Tree>(parsed)).run();
}

}  // namespace expr
