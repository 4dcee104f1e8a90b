// The trader's constraint language over offer properties: comparisons
// (==, !=, <, <=, >, >=) of strings, numbers and booleans, and, or, not,
// exist, parentheses, '...' strings (with \' and \\), integer and float
// literals (an optional leading '-'), TRUE and FALSE. The empty constraint
// matches every offer. Free of CORBA so that it can be fuzzed on its own.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvc_sandbox {

// A value the constraint compares: an offer property's, or a literal's.
struct ConstraintValue {
    enum class Kind {
        Missing, // the offer has no such property
        Other,   // a value of a type the language does not compare
        Boolean,
        Number,
        String,
    };
    Kind kind = Kind::Missing;
    bool boolean = false;
    long double number = 0;
    std::string text;

    static ConstraintValue ofBoolean(bool b);
    static ConstraintValue ofNumber(long double n);
    static ConstraintValue ofString(std::string s);
    static ConstraintValue other();
};

// A parsed constraint; immutable, so one may be evaluated from many threads.
class Constraint {
public:
    // Raised for a malformed constraint; what() says where and why.
    struct Illegal : std::invalid_argument {
        using std::invalid_argument::invalid_argument;
    };

    // The value of the named property of the offer being matched.
    using Lookup = std::function<ConstraintValue(const std::string& name)>;

    // Raises Illegal for text that is not a constraint, for operands whose
    // types can never fit (a literal number where a boolean must stand, two
    // literals of different types compared) and for nesting deeper than
    // maxDepth.
    static Constraint parse(const std::string& text);

    // Whether the offer matches. An expression over a property the offer
    // lacks, or over values of different types, is undecided; `and`, `or`
    // and `not` carry undecided through (FALSE and undecided is FALSE, TRUE
    // or undecided is TRUE), and only a TRUE result matches.
    bool matches(const Lookup& lookup) const;

    // The constraint in a canonical form (fully parenthesised, one blank
    // between tokens) that parses to the same constraint; "" for the empty
    // one.
    std::string text() const;

    static constexpr int maxDepth = 200;

    struct Node;

private:
    explicit Constraint(std::shared_ptr<const Node> root) : root(std::move(root)) {}
    std::shared_ptr<const Node> root; // null for the empty constraint
};

} // namespace hvc_sandbox
