// The sandbox's state store: schema steps run once and in order, transactions
// commit whole or not at all, and Any values come back as they went in.
#include "sandbox/common/StateStore.h"

#include "bindings/Orb.h"
#include "support/Failures.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <EpProject.hh>

#include <functional>
#include <string>
#include <vector>

using hvc_sandbox::StateStore;

namespace {

std::vector<std::string> names(StateStore& store) {
    std::vector<std::string> all;
    StateStore::Statement read(store, "SELECT name FROM things ORDER BY name");
    while (read.step())
        all.push_back(read.text(0));
    return all;
}

void add(StateStore& store, const std::string& name) {
    StateStore::Statement insert(store, "INSERT INTO things(name) VALUES(?)");
    insert.bind(1, name).run();
}

std::string reasonOf(const std::function<void()>& call) {
    return hvc_test::whatOf<StateStore::Unusable>(call);
}

} // namespace

TEST(StateStore, StepsRunOnceInOrderAndAFailingStepChangesNothing) {
    hvc_test::TempDir dir;
    const std::string path = dir.path() + "/state.db";
    const std::vector<std::string> one = {"CREATE TABLE things(name TEXT PRIMARY KEY);"};
    const std::vector<std::string> two = {one[0], "ALTER TABLE things ADD COLUMN size INTEGER;"
                                                  "UPDATE things SET size = length(name);"};
    {
        StateStore store(path);
        EXPECT_TRUE(store.persistent());
        store.migrate("room", one);
        add(store, "apple");
        store.migrate("room", one); // nothing to do
        store.setFact("port", "1234");
    }
    {
        // A later sandbox adds a step: only that one runs, the rows stay.
        StateStore store(path);
        store.migrate("room", two);
        StateStore::Statement read(store, "SELECT name, size FROM things");
        ASSERT_TRUE(read.step());
        EXPECT_EQ(read.text(0), "apple");
        EXPECT_EQ(read.integer(1), 5);
        EXPECT_EQ(store.fact("port").value_or("(none)"), "1234");
        EXPECT_FALSE(store.fact("missing"));
    }
    // An older sandbox's refusal of them is SandboxHome's case. Parts are
    // versioned apart.
    StateStore store(path);
    store.migrate("other", {"CREATE TABLE others(x INTEGER);"});

    // A failing step leaves the part as it was.
    EXPECT_EQ(
        reasonOf([&] {
            store.migrate("other", {"CREATE TABLE others(x INTEGER);", "CREATE TABLE broken(;"});
        }),
        "cannot bring the other tables of " + path + " up to date: near \";\": syntax error");
    store.migrate("other", {"CREATE TABLE others(x INTEGER);", "CREATE TABLE fixed(y INTEGER);"});
}

TEST(StateStore, TransactionsCommitWholeOrNotAtAllAndNest) {
    StateStore store;
    EXPECT_FALSE(store.persistent());
    store.migrate("room", {"CREATE TABLE things(name TEXT PRIMARY KEY);"});
    {
        StateStore::Transaction outer(store);
        add(store, "a");
        {
            StateStore::Transaction inner(store);
            add(store, "b");
            inner.commit(); // joins the outer one
        }
    } // the outer one never committed
    EXPECT_EQ(names(store), std::vector<std::string>());
    {
        StateStore::Transaction outer(store);
        add(store, "a");
        {
            StateStore::Transaction inner(store);
            add(store, "b");
        }
        outer.commit();
    }
    EXPECT_EQ(names(store), (std::vector<std::string>{"a", "b"}));

    // A statement the database refuses raises PERSIST_STORE and says why.
    hvc_test::StderrCapture err;
    EXPECT_THROW(add(store, "a"), CORBA::PERSIST_STORE);
    EXPECT_EQ(err.text(), "hvc-sandbox: state database: INSERT INTO things(name) VALUES(?): "
                          "UNIQUE constraint failed: things.name\n");
    // An in-memory store is its own.
    StateStore other;
    EXPECT_THROW(names(other), CORBA::PERSIST_STORE);
}

TEST(StateStore, AnyValuesComeBackAsTheyWentIn) {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    EpProject::ProjectAccessInfoSeq projects;
    projects.length(2);
    projects[0].dataStoreName = "Store";
    projects[0].projectName = "Proj";
    projects[0].password = "sealed:abc";
    projects[1].dataStoreName = "Store";
    projects[1].projectName = "Other";
    CosPropertyService::Properties table;
    table.length(1);
    table[0].property_name = "Store";
    table[0].property_value <<= projects;
    CORBA::Any in;
    in <<= table;

    CORBA::Any out;
    StateStore::decode(StateStore::encode(in), out);
    CORBA::TypeCode_var type = out.type();
    EXPECT_TRUE(type->equal(CosPropertyService::_tc_Properties));
    const CosPropertyService::Properties* back = nullptr;
    ASSERT_TRUE(out >>= back);
    ASSERT_EQ(back->length(), 1u);
    const EpProject::ProjectAccessInfoSeq* inner = nullptr;
    ASSERT_TRUE((*back)[0].property_value >>= inner);
    ASSERT_EQ(inner->length(), 2u);
    EXPECT_STREQ((*inner)[0].password.in(), "sealed:abc");
    EXPECT_STREQ((*inner)[1].projectName.in(), "Other");

    // References travel as their text, nil included.
    CORBA::Object_var ref = orb->string_to_object("corbaloc::127.0.0.1:1/Thing");
    CORBA::Any holding;
    holding <<= ref.in();
    CORBA::Any again;
    StateStore::decode(StateStore::encode(holding), again);
    CORBA::Object_var got;
    ASSERT_TRUE(again >>= CORBA::Any::to_object(got.out()));
    EXPECT_TRUE(got->_is_equivalent(ref));

    // Bytes that are no encoded Any are refused, never misread.
    CORBA::Any junk;
    EXPECT_THROW(StateStore::decode("", junk), CORBA::MARSHAL);
    EXPECT_THROW(StateStore::decode(std::string("\x01\x00\x00\x00\x7f", 5), junk), CORBA::MARSHAL);
}
