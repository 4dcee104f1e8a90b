#include "sandbox/units/UnitCatalogue.h"

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using hvc_sandbox::UnitCatalogue;

namespace {

nlohmann::json catalogue(const std::string& units) {
    return nlohmann::json::parse(R"({"dimensions": [
        {"name": "length", "base": "m", "kind": "linear"},
        {"name": "temperature", "base": "K", "kind": "none"}],
      "units": [)" + units + "]}");
}

const char* const base =
    R"({"acronym": "m", "name": "metre", "dimension": "length", "toBase": [0, 1, 1, 0]},
    {"acronym": "K", "name": "kelvin", "dimension": "temperature", "toBase": [0, 1, 1, 0]})";

std::string loadFailure(const std::string& units) {
    return hvc_test::whatOf<std::runtime_error>([&] { UnitCatalogue c(catalogue(units)); });
}

} // namespace

TEST(UnitCatalogue, MalformedCataloguesAreRefusedNamingTheEntry) {
    EXPECT_EQ(loadFailure(std::string(base) + R"(, {"acronym": "m", "name": "again",
        "dimension": "length", "toBase": [0, 1, 1, 0]})"),
              "unit 'm' is listed twice");
    EXPECT_EQ(loadFailure(std::string(base) + R"(, {"acronym": "x", "name": "x",
        "dimension": "mass", "toBase": [0, 1, 1, 0]})"),
              "unit 'x': unknown dimension 'mass'");
    EXPECT_EQ(loadFailure(std::string(base) + R"(, {"acronym": "x", "name": "x",
        "dimension": "length", "toBase": [1, 2, 2, 4]})"),
              "unit 'x': its conversion cannot be inverted");
    EXPECT_EQ(loadFailure(std::string(base) + R"(, {"acronym": "x", "name": "x",
        "dimension": "length", "toBase": [0, 1, 1]})"),
              "unit 'x': toBase is not [A, B, C, D]");
    EXPECT_EQ(loadFailure(R"({"acronym": "m", "name": "metre", "dimension": "length",
        "toBase": [0, 2, 1, 0]}, {"acronym": "K", "name": "kelvin", "dimension": "temperature",
        "toBase": [0, 1, 1, 0]})"),
              "dimension 'length': its base unit 'm' is not listed as itself");
}

TEST(UnitCatalogue, DeclaredUnitsComposeThroughTheirBase) {
    UnitCatalogue c(catalogue(std::string(base) + R"(, {"acronym": "degC", "name": "Celsius",
        "dimension": "temperature", "toBase": [273.15, 1, 1, 0]})"));
    UnitCatalogue::Conversion toC;
    toC.a = -160; // Fahrenheit into Celsius: (x - 32) * 5 / 9
    toC.b = 5;
    toC.c = 9;
    toC.d = 0;
    const UnitCatalogue::Definition& f = c.declare("degF", "Fahrenheit", "degC", toC);
    const UnitCatalogue::Conversion k = UnitCatalogue::conversion(f, *c.find("K"));
    EXPECT_NEAR((k.a + k.b * 32) / (k.c + k.d * 32), 273.15, 1e-12);
    EXPECT_FALSE(UnitCatalogue::equivalent(f, *c.find("degC")));
    EXPECT_TRUE(UnitCatalogue::equivalent(*c.find("degC"), *c.find("degC")));
    EXPECT_THROW(c.declare("degF", "again", "degC", toC), std::invalid_argument);
    EXPECT_THROW(c.declare("x", "x", "nowhere", toC), std::invalid_argument);
    EXPECT_THROW(UnitCatalogue::conversion(f, *c.find("m")), std::domain_error);
    EXPECT_EQ(c.acronyms().back(), "degF");
}
