#include "Constraint.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>

namespace hvc_sandbox {

ConstraintValue ConstraintValue::ofBoolean(bool b) {
    ConstraintValue v;
    v.kind = Kind::Boolean;
    v.boolean = b;
    return v;
}

ConstraintValue ConstraintValue::ofNumber(long double n) {
    ConstraintValue v;
    v.kind = Kind::Number;
    v.number = n;
    return v;
}

ConstraintValue ConstraintValue::ofString(std::string s) {
    ConstraintValue v;
    v.kind = Kind::String;
    v.text = std::move(s);
    return v;
}

ConstraintValue ConstraintValue::other() {
    ConstraintValue v;
    v.kind = Kind::Other;
    return v;
}

struct Constraint::Node {
    enum class Type { Or, And, Not, Exist, Compare, Property, Literal };
    // What a node yields, as far as the text alone tells.
    enum class Static { Boolean, Number, String, Dynamic };

    Type type;
    Static yields = Static::Dynamic;
    std::string name;   // Exist, Property; the operator of Compare
    std::string lexeme; // how a number literal was written
    ConstraintValue value;
    std::vector<std::shared_ptr<const Node>> children;
    int depth = 1;
};

namespace {

using Node = Constraint::Node;
using NodePtr = std::shared_ptr<const Node>;
using Kind = ConstraintValue::Kind;

enum class Token { End, Open, Close, Compare, Minus, Word, Number, String };

bool isLeader(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isFollower(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

class Parser {
public:
    explicit Parser(const std::string& text) : text(text) { advance(); }

    NodePtr constraint() {
        if (token == Token::End)
            return nullptr;
        NodePtr root = orExpression();
        if (token != Token::End)
            fail("unexpected '" + lexeme + "'");
        if (root->yields != Node::Static::Boolean && root->yields != Node::Static::Dynamic)
            fail("the constraint is not a boolean expression");
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw Constraint::Illegal(why + " at offset " + std::to_string(start));
    }

    // Reads the next token into `token` and `lexeme` (a string's value for
    // Token::String).
    void advance() {
        while (pos < text.size() &&
               (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r'))
            ++pos;
        start = pos;
        lexeme.clear();
        if (pos >= text.size()) {
            token = Token::End;
            return;
        }
        const char c = text[pos];
        if (c == '(' || c == ')') {
            token = c == '(' ? Token::Open : Token::Close;
            lexeme = c;
            ++pos;
            return;
        }
        if (c == '=' || c == '!' || c == '<' || c == '>') {
            const bool twoChars = pos + 1 < text.size() && text[pos + 1] == '=';
            if ((c == '=' || c == '!') && !twoChars)
                fail(std::string("unknown operator '") + c + "'");
            lexeme = text.substr(pos, twoChars ? 2 : 1);
            pos += lexeme.size();
            token = Token::Compare;
            return;
        }
        if (c == '-') {
            token = Token::Minus;
            lexeme = "-";
            ++pos;
            return;
        }
        if (c == '\'') {
            readString();
            return;
        }
        if (isDigit(c) || c == '.') {
            readNumber();
            return;
        }
        if (isLeader(c)) {
            while (pos < text.size() && isFollower(text[pos]))
                lexeme += text[pos++];
            token = Token::Word;
            return;
        }
        fail(std::string("unexpected character '") + c + "'");
    }

    void readString() {
        ++pos;
        while (true) {
            if (pos >= text.size())
                fail("unterminated string");
            const char c = text[pos++];
            if (c == '\'')
                break;
            if (c == '\\') {
                if (pos >= text.size() || (text[pos] != '\'' && text[pos] != '\\'))
                    fail("a backslash in a string escapes only ' and \\");
                lexeme += text[pos++];
                continue;
            }
            lexeme += c;
        }
        token = Token::String;
    }

    void readNumber() {
        const std::size_t begin = pos;
        bool digits = false;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
            digits = true;
        }
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            while (pos < text.size() && isDigit(text[pos])) {
                ++pos;
                digits = true;
            }
        }
        if (!digits)
            fail("a number needs digits");
        if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
            ++pos;
            if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
                ++pos;
            if (pos >= text.size() || !isDigit(text[pos]))
                fail("an exponent needs digits");
            while (pos < text.size() && isDigit(text[pos]))
                ++pos;
        }
        if (pos < text.size() && (isFollower(text[pos]) || text[pos] == '.'))
            fail("malformed number");
        lexeme = text.substr(begin, pos - begin);
        token = Token::Number;
    }

    bool atWord(const char* word) const { return token == Token::Word && lexeme == word; }

    static bool isKeyword(const std::string& word) {
        return word == "and" || word == "or" || word == "not" || word == "exist" || word == "in" ||
               word == "TRUE" || word == "FALSE";
    }

    static void requireBoolean(const NodePtr& operand, const char* what) {
        if (operand->yields != Node::Static::Boolean && operand->yields != Node::Static::Dynamic)
            throw Constraint::Illegal(std::string("the operand of ") + what +
                                      " is not a boolean expression");
    }

    NodePtr finish(std::shared_ptr<Node> node) {
        for (const NodePtr& child : node->children)
            node->depth = std::max(node->depth, child->depth + 1);
        if (node->depth > Constraint::maxDepth)
            fail("the constraint is nested too deeply");
        return node;
    }

    NodePtr chain(Node::Type type, const char* word, NodePtr (Parser::*operand)()) {
        NodePtr first = (this->*operand)();
        if (!atWord(word))
            return first;
        auto node = std::make_shared<Node>();
        node->type = type;
        node->yields = Node::Static::Boolean;
        requireBoolean(first, word);
        node->children.push_back(first);
        while (atWord(word)) {
            advance();
            NodePtr next = (this->*operand)();
            requireBoolean(next, word);
            node->children.push_back(next);
        }
        return finish(node);
    }

    NodePtr orExpression() { return chain(Node::Type::Or, "or", &Parser::andExpression); }
    NodePtr andExpression() { return chain(Node::Type::And, "and", &Parser::comparison); }

    NodePtr comparison() {
        NodePtr left = notFactor();
        if (token != Token::Compare)
            return left;
        const std::string op = lexeme;
        advance();
        NodePtr right = notFactor();
        if (left->yields != Node::Static::Dynamic && right->yields != Node::Static::Dynamic &&
            left->yields != right->yields)
            fail("'" + op + "' compares values of different types");
        auto node = std::make_shared<Node>();
        node->type = Node::Type::Compare;
        node->yields = Node::Static::Boolean;
        node->name = op;
        node->children = {left, right};
        return finish(node);
    }

    NodePtr notFactor() {
        if (!atWord("not"))
            return factor();
        advance();
        NodePtr operand = factor();
        requireBoolean(operand, "not");
        auto node = std::make_shared<Node>();
        node->type = Node::Type::Not;
        node->yields = Node::Static::Boolean;
        node->children.push_back(operand);
        return finish(node);
    }

    static std::shared_ptr<Node> literal(ConstraintValue value, Node::Static yields) {
        auto node = std::make_shared<Node>();
        node->type = Node::Type::Literal;
        node->yields = yields;
        node->value = std::move(value);
        return node;
    }

    NodePtr number(bool negative) {
        long double value = 0;
        const char* first = lexeme.data();
        const char* last = first + lexeme.size();
        unsigned long long whole = 0;
        auto [end, error] = std::from_chars(first, last, whole);
        if (error == std::errc() && end == last) {
            value = static_cast<long double>(whole);
        } else {
            double real = 0;
            auto [realEnd, realError] = std::from_chars(first, last, real);
            if (realError != std::errc() || realEnd != last)
                fail("number out of range");
            value = real;
        }
        auto node =
            literal(ConstraintValue::ofNumber(negative ? -value : value), Node::Static::Number);
        node->lexeme = (negative ? "-" : "") + lexeme;
        advance();
        return node;
    }

    NodePtr factor() {
        switch (token) {
        case Token::Open: {
            if (++nesting > Constraint::maxDepth)
                fail("the constraint is nested too deeply");
            advance();
            NodePtr inner = orExpression();
            if (token != Token::Close)
                fail("')' expected");
            --nesting;
            advance();
            return inner;
        }
        case Token::Minus:
            advance();
            if (token != Token::Number)
                fail("'-' stands only before a number");
            return number(true);
        case Token::Number:
            return number(false);
        case Token::String: {
            NodePtr node = literal(ConstraintValue::ofString(lexeme), Node::Static::String);
            advance();
            return node;
        }
        case Token::Word: {
            if (lexeme == "TRUE" || lexeme == "FALSE") {
                NodePtr node =
                    literal(ConstraintValue::ofBoolean(lexeme == "TRUE"), Node::Static::Boolean);
                advance();
                return node;
            }
            if (lexeme == "exist") {
                advance();
                if (token != Token::Word || isKeyword(lexeme))
                    fail("'exist' needs a property name");
                auto node = std::make_shared<Node>();
                node->type = Node::Type::Exist;
                node->yields = Node::Static::Boolean;
                node->name = lexeme;
                advance();
                return finish(node);
            }
            if (isKeyword(lexeme))
                fail("unexpected '" + lexeme + "'");
            auto node = std::make_shared<Node>();
            node->type = Node::Type::Property;
            node->name = lexeme;
            advance();
            return node;
        }
        case Token::Close:
        case Token::Compare:
            fail("unexpected '" + lexeme + "'");
        case Token::End:
            break;
        }
        fail("the constraint ends too early");
    }

    const std::string& text;
    std::size_t pos = 0;
    std::size_t start = 0;
    int nesting = 0;
    Token token = Token::End;
    std::string lexeme;
};

// Undecided is carried as a missing value.
const ConstraintValue undecided{};

bool isTrue(const ConstraintValue& v) {
    return v.kind == Kind::Boolean && v.boolean;
}

ConstraintValue compare(const std::string& op, const ConstraintValue& a, const ConstraintValue& b) {
    if (a.kind != b.kind)
        return undecided;
    int order = 0;
    switch (a.kind) {
    case Kind::Number:
        if (a.number != a.number || b.number != b.number) // NaN is equal to nothing
            return ConstraintValue::ofBoolean(op == "!=");
        order = a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
        break;
    case Kind::String:
        order = a.text.compare(b.text);
        break;
    case Kind::Boolean:
        order = static_cast<int>(a.boolean) - static_cast<int>(b.boolean);
        break;
    case Kind::Missing:
    case Kind::Other:
        return undecided;
    }
    bool result = false;
    if (op == "==")
        result = order == 0;
    else if (op == "!=")
        result = order != 0;
    else if (op == "<")
        result = order < 0;
    else if (op == "<=")
        result = order <= 0;
    else if (op == ">")
        result = order > 0;
    else
        result = order >= 0;
    return ConstraintValue::ofBoolean(result);
}

ConstraintValue evaluate(const Node& node, const Constraint::Lookup& lookup) {
    switch (node.type) {
    case Node::Type::Or:
    case Node::Type::And: {
        // Or: one TRUE decides; and: one FALSE decides.
        const bool deciding = node.type == Node::Type::Or;
        bool allDecided = true;
        for (const NodePtr& child : node.children) {
            const ConstraintValue v = evaluate(*child, lookup);
            if (v.kind != Kind::Boolean)
                allDecided = false;
            else if (v.boolean == deciding)
                return ConstraintValue::ofBoolean(deciding);
        }
        return allDecided ? ConstraintValue::ofBoolean(!deciding) : undecided;
    }
    case Node::Type::Not: {
        const ConstraintValue v = evaluate(*node.children[0], lookup);
        return v.kind == Kind::Boolean ? ConstraintValue::ofBoolean(!v.boolean) : undecided;
    }
    case Node::Type::Exist:
        return ConstraintValue::ofBoolean(lookup(node.name).kind != Kind::Missing);
    case Node::Type::Compare:
        return compare(node.name, evaluate(*node.children[0], lookup),
                       evaluate(*node.children[1], lookup));
    case Node::Type::Property:
        return lookup(node.name);
    case Node::Type::Literal:
        break;
    }
    return node.value;
}

void quote(const std::string& value, std::string& out) {
    out += '\'';
    for (char c : value) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '\'';
}

void print(const Node& node, std::string& out) {
    switch (node.type) {
    case Node::Type::Or:
    case Node::Type::And: {
        out += '(';
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            if (i > 0)
                out += node.type == Node::Type::Or ? " or " : " and ";
            print(*node.children[i], out);
        }
        out += ')';
        return;
    }
    case Node::Type::Not:
        out += "(not ";
        print(*node.children[0], out);
        out += ')';
        return;
    case Node::Type::Exist:
        out += "(exist " + node.name + ")";
        return;
    case Node::Type::Compare:
        out += '(';
        print(*node.children[0], out);
        out += " " + node.name + " ";
        print(*node.children[1], out);
        out += ')';
        return;
    case Node::Type::Property:
        out += node.name;
        return;
    case Node::Type::Literal:
        break;
    }
    switch (node.value.kind) {
    case Kind::Boolean:
        out += node.value.boolean ? "TRUE" : "FALSE";
        return;
    case Kind::Number:
        out += node.lexeme;
        return;
    case Kind::String:
        quote(node.value.text, out);
        return;
    case Kind::Missing:
    case Kind::Other:
        break;
    }
}

} // namespace

Constraint Constraint::parse(const std::string& text) {
    Parser parser(text);
    return Constraint(parser.constraint());
}

bool Constraint::matches(const Lookup& lookup) const {
    if (!root)
        return true;
    return isTrue(evaluate(*root, lookup));
}

std::string Constraint::text() const {
    std::string out;
    if (root)
        print(*root, out);
    return out;
}

} // namespace hvc_sandbox
