// The trader's constraint parser over arbitrary text: it refuses with
// Constraint::Illegal, or gives a constraint whose canonical text parses to
// the same canonical text and matches the same offers.
#include "sandbox/trader/Constraint.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>

using hvc_sandbox::Constraint;
using hvc_sandbox::ConstraintValue;

namespace {

// An offer whose property values follow their names' first letters, so that
// every kind of value, and missing ones, meet the constraint.
ConstraintValue property(const std::string& name) {
    switch (name[0]) {
    case 'S':
        return ConstraintValue::ofString(name.substr(1));
    case 'N':
        return ConstraintValue::ofNumber(static_cast<long double>(name.size()) - 3);
    case 'B':
        return ConstraintValue::ofBoolean(name.size() % 2 == 0);
    case 'O':
        return ConstraintValue::other();
    default:
        return ConstraintValue();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string canonical;
    bool matched = false;
    try {
        const Constraint parsed = Constraint::parse(text);
        canonical = parsed.text();
        matched = parsed.matches(property);
    } catch (const Constraint::Illegal& e) {
        HVC_FUZZ_CHECK(e.what()[0] != '\0');
        return 0;
    }
    const Constraint again = Constraint::parse(canonical);
    HVC_FUZZ_CHECK(again.text() == canonical);
    HVC_FUZZ_CHECK(again.matches(property) == matched);
    HVC_FUZZ_CHECK(!canonical.empty() || matched);
    return 0;
}
