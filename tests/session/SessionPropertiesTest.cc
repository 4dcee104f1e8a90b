#include "hvc_util/Session.h"

#include "SessionPlatform.h"
#include "sandbox/common/Activation.h"
#include "sandbox/users/SessionServant.h"
#include "support/Failures.h"
#include "support/StderrCapture.h"

#include <EpiWell.hh>
#include <omniORB4/Naming.hh>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using hvc_util::Session;

using hvc_test::reasonOf;

namespace {

using Components = std::vector<std::pair<std::string, std::string>>;

CORBA::Any nameValue(const Components& components) {
    CosNaming::Name name;
    name.length(static_cast<CORBA::ULong>(components.size()));
    for (CORBA::ULong i = 0; i < name.length(); ++i) {
        name[i].id = components[i].first.c_str();
        name[i].kind = components[i].second.c_str();
    }
    CORBA::Any value;
    value <<= name;
    return value;
}

// The interpreter table as (data store, components) pairs, in stored order.
std::vector<std::pair<std::string, Components>> tableOf(EpSession::Session_ptr session) {
    CosPropertyService::Properties table = Session::getInterpreters(session);
    std::vector<std::pair<std::string, Components>> out;
    for (CORBA::ULong i = 0; i < table.length(); ++i) {
        const CosNaming::Name* name = nullptr;
        EXPECT_TRUE(table[i].property_value >>= name);
        Components components;
        for (CORBA::ULong j = 0; name != nullptr && j < name->length(); ++j)
            components.push_back({(*name)[j].id.in(), (*name)[j].kind.in()});
        out.push_back({table[i].property_name.in(), components});
    }
    return out;
}

DosTypes::StringSeq strings(const std::vector<std::string>& texts) {
    DosTypes::StringSeq seq;
    seq.length(static_cast<CORBA::ULong>(texts.size()));
    for (CORBA::ULong i = 0; i < seq.length(); ++i)
        seq[i] = texts[i].c_str();
    return seq;
}

std::vector<std::string> priorities(EpSession::Session_ptr session, const char* store,
                                    const char* project) {
    std::unique_ptr<DosTypes::StringSeq> got(Session::getSourcePriority(session, store, project));
    std::vector<std::string> out;
    for (CORBA::ULong i = 0; i < got->length(); ++i)
        out.push_back((*got)[i].in());
    return out;
}

struct PropertiesTest : ::testing::Test {
    hvc_test::SessionPlatform platform;
    EpSession::Session_var session =
        platform.sessions().createSession("props", EpProject::ProjectSet::_nil());

    void store(const char* name, const CORBA::Any& value) { session->define_property(name, value); }
};

// A session whose properties can be read but not written.
class ReadOnlySession : public hvc_sandbox::SessionServant {
public:
    using SessionServant::SessionServant;
    void define_property(const char*, const CORBA::Any&) override {
        throw CosPropertyService::ReadOnlyProperty();
    }
};

} // namespace

TEST_F(PropertiesTest, ArgumentsAreCheckedProjectFirstThenDataStoreThenSession) {
    const EpSession::Session_ptr nil = EpSession::Session::_nil();
    EXPECT_EQ(reasonOf([&] { Session::getInterpreter(nil, nullptr, nullptr); }),
              "Null project name in hvc_util::Session.getInterpreter");
    EXPECT_EQ(reasonOf([&] { Session::setInterpreter(nil, nullptr, "p", "i"); }),
              "Null dataStoreName in hvc_util::Session.setInterpreter");
    EXPECT_EQ(reasonOf([&] { Session::getSourcePriority(nil, "s", "p"); }),
              "Null session in hvc_util::Session.getSourcePriority");
    EXPECT_EQ(reasonOf([&] { Session::setSourcePriority(nil, "s", nullptr, strings({"a"})); }),
              "Null project name in hvc_util::Session.setSourcePriority");
    EXPECT_EQ(reasonOf([&] { Session::getInterpreters(nil); }),
              "Null session in hvc_util::Session.getInterpreter");
    EXPECT_EQ(reasonOf([&] { Session::setInterpreter(session, "s", "p", nullptr); }),
              "Null interpreter in hvc_util::Session.setInterpreter");
    EXPECT_EQ(reasonOf([&] { Session::setSourcePriority(session, "s", "p", strings({})); }),
              "The source priority length cannot be <= 0 in setSourcePriority.");
    EXPECT_FALSE(session->is_property_defined(EpiWell::PROP_SOURCE_PRIORITIES));
    EXPECT_FALSE(session->is_property_defined(EpSession::PROP_INTERPRETER_ROLE));
}

TEST_F(PropertiesTest, MissingTablesReadAsEmpty) {
    const hvc_util::String none = Session::getInterpreter(session, "s", "p");
    EXPECT_FALSE(none.isSet());
    EXPECT_EQ(none.getValue(), hvc_util::String().getValue()); // unset, not empty
    EXPECT_EQ(Session::getInterpreters(session).length(), 0u);
    EXPECT_TRUE(priorities(session, "s", "p").empty());
}

TEST_F(PropertiesTest, InterpretersAreAppendedOrChangedInPlace) {
    Session::setInterpreter(session, "S1", "P1", "I1");
    Session::setInterpreter(session, "S2", "P1", "I2");
    Session::setInterpreter(session, "S1", "P2", "I3");
    Session::setInterpreter(session, "S1", "P1", "I4");
    using Table = std::vector<std::pair<std::string, Components>>;
    EXPECT_EQ(tableOf(session),
              (Table{{"S1", {{"P1", "I4"}, {"P2", "I3"}}}, {"S2", {{"P1", "I2"}}}}));
    EXPECT_EQ(std::string(Session::getInterpreter(session, "S1", "P2")), "I3");
    EXPECT_EQ(std::string(Session::getInterpreter(session, "S2", "P1")), "I2");
    EXPECT_FALSE(Session::getInterpreter(session, "S2", "P2").isSet());
    EXPECT_FALSE(Session::getInterpreter(session, "s1", "P1").isSet()); // names are exact
}

TEST_F(PropertiesTest, StoredInterpreterTablesKeepTheirShape) {
    CosPropertyService::Properties table;
    table.length(2);
    table[0].property_name = "S";
    table[0].property_value = nameValue({{"P9", "x"}});
    table[1].property_name = "S";
    table[1].property_value = nameValue({{"P1", "a"}, {"P2", "b"}, {"P1", "c"}});
    CORBA::Any value;
    value <<= table;
    store(EpSession::PROP_INTERPRETER_ROLE, value);

    // A matching store without the project does not end the search.
    EXPECT_EQ(std::string(Session::getInterpreter(session, "S", "P1")), "a");
    Session::setInterpreter(session, "S", "P1", "z");
    using Table = std::vector<std::pair<std::string, Components>>;
    EXPECT_EQ(tableOf(session), (Table{{"S", {{"P9", "x"}, {"P1", "z"}}},
                                       {"S", {{"P1", "z"}, {"P2", "b"}, {"P1", "z"}}}}));
}

TEST_F(PropertiesTest, InterpreterValuesOfAnotherTypeAreRefused) {
    CORBA::Any number;
    number <<= static_cast<CORBA::Long>(7);
    store(EpSession::PROP_INTERPRETER_ROLE, number);
    EXPECT_EQ(reasonOf([&] { Session::getInterpreter(session, "S", "P"); }),
              "Unable to extract CosPropertyService::Properties from CORBA::Any in "
              "hvc_util::Session.getInterpreter");
    EXPECT_EQ(reasonOf([&] { Session::getInterpreters(session); }),
              "Error, could not get interpreters.");
    EXPECT_EQ(reasonOf([&] { Session::setInterpreter(session, "S", "P", "I"); }),
              "Caught Failed Operation ExceptionError, could not get interpreters.");

    CosPropertyService::Properties table;
    table.length(1);
    table[0].property_name = "S";
    table[0].property_value <<= "not a name";
    CORBA::Any value;
    value <<= table;
    store(EpSession::PROP_INTERPRETER_ROLE, value);
    EXPECT_FALSE(Session::getInterpreter(session, "T", "P").isSet());
    EXPECT_EQ(reasonOf([&] { Session::getInterpreter(session, "S", "P"); }),
              "Unable to extract CosNaming::Name from CORBA::Any in "
              "hvc_util::Session.getInterpreter");
    EXPECT_EQ(reasonOf([&] { Session::setInterpreter(session, "S", "P", "I"); }),
              "Unable to extract CosNaming::Name from CORBA::Any in "
              "hvc_util::Session.setInterpreter");
}

TEST_F(PropertiesTest, SourcePrioritiesAreAppendedOrReplaced) {
    Session::setSourcePriority(session, "S", "P", strings({"a", "b"}));
    Session::setSourcePriority(session, "S", "Q", strings({"c", "d", "e"}));
    Session::setSourcePriority(session, "T", "P", strings({"f"}));
    Session::setSourcePriority(session, "S", "P", strings({"g"}));
    using V = std::vector<std::string>;
    EXPECT_EQ(priorities(session, "S", "P"), V{"g"});
    EXPECT_EQ(priorities(session, "S", "Q"), (V{"c", "d", "e"}));
    EXPECT_EQ(priorities(session, "T", "P"), V{"f"});
    EXPECT_TRUE(priorities(session, "S", "R").empty());
    EXPECT_TRUE(priorities(session, "U", "P").empty());

    CORBA::Any_var value = session->get_property_value(EpiWell::PROP_SOURCE_PRIORITIES);
    const EpiTypes::StoreSourcePrioritiesSeq* table = nullptr;
    ASSERT_TRUE(value.in() >>= table);
    ASSERT_EQ(table->length(), 2u);
    EXPECT_STREQ((*table)[0].dataStoreName.in(), "S");
    ASSERT_EQ((*table)[0].projects.length(), 2u);
    EXPECT_STREQ((*table)[0].projects[1].projectName.in(), "Q");
}

TEST_F(PropertiesTest, SourcePriorityTablesOfAnotherShapeAreReported) {
    EpiTypes::StoreSourcePrioritiesSeq table;
    table.length(1);
    table[0].dataStoreName = "S";
    CORBA::Any value;
    value <<= table;
    store(EpiWell::PROP_SOURCE_PRIORITIES, value);
    EXPECT_EQ(reasonOf([&] { Session::getSourcePriority(session, "S", "P"); }),
              "No priorities in the session in hvc_util::Session.getSourcePriority");
    EXPECT_TRUE(priorities(session, "T", "P").empty());

    CORBA::Any text;
    text <<= "not a table";
    store(EpiWell::PROP_SOURCE_PRIORITIES, text);
    EXPECT_EQ(reasonOf([&] { Session::getSourcePriority(session, "S", "P"); }),
              "CORBA exception, when retrieving the interpreter property from the session.");
    EXPECT_EQ(reasonOf([&] { Session::setSourcePriority(session, "S", "P", strings({"a"})); }),
              "CORBA exception, when trying to retrieve PROP_SOURCE_PRIORITIES.");
}

TEST_F(PropertiesTest, AFailedWriteIsReportedAndLeavesTheTablesAlone) {
    auto* servant =
        new ReadOnlySession(platform.sessions(), "readOnly", CosLifeCycle::FactoryFinder::_nil());
    PortableServer::POA_var poa = servant->_default_POA();
    CORBA::Object_var obj = hvc_sandbox::Activation::activate(poa, servant);
    servant->_remove_ref();
    EpSession::Session_var readOnly = EpSession::Session::_narrow(obj);

    hvc_test::StderrCapture capture;
    EXPECT_EQ(reasonOf([&] { Session::setInterpreter(readOnly, "S", "P", "I"); }),
              "Failed to define the session interpreter property.Exception Caught.");
    EXPECT_EQ(capture.text(), "Caught Exception CosPropertyService::ReadOnlyProperty\n");
    EXPECT_EQ(reasonOf([&] { Session::setSourcePriority(readOnly, "S", "P", strings({"a"})); }),
              "CORBA exception, when trying to define PROP_SOURCE_PRIORITIES.");
    EXPECT_EQ(readOnly->get_number_of_properties(), 0u);
}
