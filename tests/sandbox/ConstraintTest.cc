#include "sandbox/trader/Constraint.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using hvc_sandbox::Constraint;
using hvc_sandbox::ConstraintValue;

namespace {

// One offer's properties.
const std::map<std::string, ConstraintValue> offer = {
    {"Name", ConstraintValue::ofString("well")},     {"Depth", ConstraintValue::ofNumber(1500)},
    {"Ratio", ConstraintValue::ofNumber(0.5)},       {"Active", ConstraintValue::ofBoolean(true)},
    {"Quote", ConstraintValue::ofString("it's \\")}, {"Blob", ConstraintValue::other()},
};

bool matches(const std::string& text) {
    return Constraint::parse(text).matches([](const std::string& name) {
        auto found = offer.find(name);
        return found != offer.end() ? found->second : ConstraintValue();
    });
}

} // namespace

TEST(Constraint, ComparesStringsNumbersAndBooleans) {
    const std::pair<const char*, bool> cases[] = {
        {"", true},
        {"  \t ", true},
        {"TRUE", true},
        {"Name == 'well'", true},
        {"Name != 'well'", false},
        {"Name < 'x'", true},
        {"Name >= 'well'", true},
        {"Name > 'well'", false},
        {"Depth > 1000", true},
        {"Depth <= 1500", true},
        {"Depth == 1500.0", true},
        {"Depth == 15e2", true},
        {"Depth < -1", false},
        {"Ratio == 5E-1", true},
        {"Ratio < .6", true},
        {"Ratio >= 1.", false},
        {"Active", true},
        {"Active == TRUE", true},
        {"not Active", false},
        {"FALSE < TRUE", true},
        {"Quote == 'it\\'s \\\\'", true},
        {"exist Name", true},
        {"exist Missing", false},
        {"not exist Missing", true},
        // Operands: not before comparison before and before or.
        {"Depth > 0 or Name == 'x' and FALSE", true},
        {"(Depth > 0 or Name == 'x') and FALSE", false},
        {"not Active == FALSE", true},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(matches(text), expected) << text;
}

TEST(Constraint, AMissingPropertyOrAMismatchDecidesNothing) {
    const std::pair<const char*, bool> cases[] = {
        {"Missing == 1", false},
        {"not (Missing == 1)", false},
        {"Missing == 1 or Depth > 0", true},
        {"not (Missing == 1 and FALSE)", true},
        {"not (Missing == 1 or FALSE)", false},
        {"Name == 1", false},
        {"not (Name == 1)", false},
        {"Blob == 'x'", false},
        {"not (Blob != 'x')", false},
        {"Name", false},
        {"not Name", false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(matches(text), expected) << text;
}

TEST(Constraint, MalformedTextIsIllegal) {
    std::string deep;
    for (int i = 0; i <= Constraint::maxDepth; ++i)
        deep += "(";
    const std::string cases[] = {
        "Name ==",
        "== 1",
        "Name = 'x'",
        "Name === 'x'",
        "'unterminated",
        "'bad \\n escape'",
        "1",
        "'text'",
        "-1.5",
        "Name == 1 == 2",
        "not 1",
        "1 and TRUE",
        "TRUE or 'a'",
        "'a' == 1",
        "TRUE == 2",
        "exist",
        "exist 1",
        "exist and",
        "(Name == 'x'",
        "Name == 'x')",
        "()",
        "Name ~ 'x'",
        "Name in Tags",
        "1.2.3 == Depth",
        "Depth == 1e",
        "Depth == 12abc",
        "- Name == 1",
        "not not Active",
        "Name == 'x' #",
        "and",
        deep + "TRUE",
    };
    for (const std::string& text : cases)
        EXPECT_THROW(Constraint::parse(text), Constraint::Illegal) << text;
}

TEST(Constraint, TheCanonicalTextParsesToTheSameConstraint) {
    const Constraint parsed =
        Constraint::parse("Depth>0 or Name=='it\\'s' and not Active or exist X and -2.5e1 < Ratio");
    const std::string text = parsed.text();
    EXPECT_EQ(text, "((Depth > 0) or ((Name == 'it\\'s') and (not Active)) or "
                    "((exist X) and (-2.5e1 < Ratio)))");
    EXPECT_EQ(Constraint::parse(text).text(), text);
    EXPECT_EQ(Constraint::parse("").text(), "");

    // As deep as allowed, written out in full, still parses.
    std::string chain = "A == 1";
    for (int i = 2; i < Constraint::maxDepth; ++i)
        chain = "not (" + chain + ")";
    const std::string deep = Constraint::parse(chain).text();
    EXPECT_EQ(Constraint::parse(deep).text(), deep);
}
