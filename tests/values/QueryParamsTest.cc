#include "hvc_util/QueryParams.h"

#include "bindings/Orb.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using hvc_util::QueryParams;

namespace {

// A session reference that no server stands behind; nothing here calls it.
EpSession::Session_ptr someSession() {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var obj = orb->string_to_object("corbaloc::127.0.0.1:1/Session");
    return EpSession::Session::_unchecked_narrow(obj);
}

std::vector<std::string> namesOf(const DosTypes::StringSeq& seq) {
    std::vector<std::string> out;
    for (CORBA::ULong i = 0; i < seq.length(); ++i)
        out.emplace_back(seq[i].in());
    return out;
}

std::vector<std::string> projectNames(const QueryParams& q) {
    std::unique_ptr<DosTypes::StringSeq> names(q.getStringSeqParameter("ProjectNames"));
    return namesOf(*names);
}

} // namespace

TEST(QueryParams, TheSessionIsOneParameterAndComesBackAsTheSameObject) {
    EpSession::Session_var session = someSession();
    QueryParams q(session);
    std::unique_ptr<CosCollection::ParameterList> list(q.parameters());
    ASSERT_EQ(list->length(), 1u);
    EXPECT_STREQ((*list)[0].name.in(), "Session");
    EpSession::Session_var back = q.getSession();
    ASSERT_FALSE(CORBA::is_nil(back));
    EXPECT_TRUE(back->_is_equivalent(session));

    QueryParams empty;
    EpSession::Session_var none = empty.getSession();
    EXPECT_TRUE(CORBA::is_nil(none));
    empty.addParameter("Session", "not a session");
    none = empty.getSession();
    EXPECT_TRUE(CORBA::is_nil(none));
}

TEST(QueryParams, LimitAndResultTypeKeepTheirFirstValue) {
    QueryParams q;
    EXPECT_EQ(q.getLimitParameter(), 0);
    EXPECT_STREQ(q.getResultType(), "EpCollection::EntityCollection");
    q.addLimitParameter(25);
    q.addLimitParameter(50);
    EXPECT_EQ(q.getLimitParameter(), 25);
    CORBA::TypeCode_var type = q.getParameter("Limit").type();
    EXPECT_EQ(type->kind(), CORBA::tk_long);

    q.entitySequenceResultType();
    q.entityCollectionResultType();
    EXPECT_STREQ(q.getResultType(), "EpEntity::EntitySeq");
    std::unique_ptr<CosCollection::ParameterList> list(q.parameters());
    EXPECT_EQ(list->length(), 2u);

    QueryParams wrong;
    wrong.addParameter("Limit", "25");
    CORBA::Any number;
    number <<= static_cast<CORBA::Long>(7);
    wrong.addParameter("ResultType", number);
    EXPECT_EQ(wrong.getLimitParameter(), 0);
    EXPECT_STREQ(wrong.getResultType(), "EpCollection::EntityCollection");
}

// The texts handed out belong to the stored values: they stay readable while
// the set grows and after copies of it come and go.
TEST(QueryParams, StringTextsStayValidWhileTheParametersLive) {
    QueryParams q;
    q.entitySequenceResultType();
    q.addParameter("Text", "hello");
    const char* type = q.getResultType();
    const char* text = q.getStringParameter("Text");
    for (int i = 0; i < 200; ++i)
        q.addLimitParameter(i), q.addParameter(("p" + std::to_string(i)).c_str(), "x");
    { QueryParams copy(q); }
    EXPECT_STREQ(type, "EpEntity::EntitySeq");
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(q.getStringParameter("Text"), text);

    CORBA::Any empty;
    q.addParameter("Empty", empty);
    EXPECT_EQ(q.getStringParameter("Empty"), nullptr);
    EXPECT_EQ(q.getStringParameter("Limit"), nullptr);
    EXPECT_EQ(q.getStringParameter("absent"), nullptr);
}

TEST(QueryParams, ProjectNamesGrowOneNameAtATime) {
    QueryParams q;
    EXPECT_TRUE(projectNames(q).empty());
    q.addSingleProjectNameParameter("A");
    q.addSingleProjectNameParameter("B");
    q.addSingleProjectNameParameter("A");
    q.addSingleProjectNameParameter(nullptr);
    EXPECT_EQ(projectNames(q), (std::vector<std::string>{"A", "B"}));
    CORBA::TypeCode_var type = q.getParameter("ProjectNames").type();
    EXPECT_TRUE(type->equal(DosTypes::_tc_StringSeq));

    // A list of another type gives way to one holding the new name.
    QueryParams text;
    text.addParameter("ProjectNames", "A");
    EXPECT_TRUE(projectNames(text).empty());
    text.addSingleProjectNameParameter("C");
    EXPECT_EQ(projectNames(text), std::vector<std::string>{"C"});

    // A bare sequence of strings is read like the platform's StringSeq.
    CORBA::StringSeq bare;
    bare.length(1);
    bare[0] = "D";
    CORBA::Any value;
    value <<= bare;
    QueryParams plain;
    plain.addParameter("ProjectNames", value);
    plain.addSingleProjectNameParameter("E");
    EXPECT_EQ(projectNames(plain), (std::vector<std::string>{"D", "E"}));
}

TEST(QueryParams, CopiesAreDeepAndNullNamesAreIgnored) {
    CosCollection::ParameterList list;
    list.length(3);
    list[0].name = "Limit";
    list[0].value <<= static_cast<CORBA::Long>(3);
    list[1].name = "Limit";
    list[1].value <<= static_cast<CORBA::Long>(4);
    list[2].name = "ResultType";
    list[2].value <<= "EpEntity::EntitySeq";
    QueryParams q(list.get_buffer(), 3);
    EXPECT_EQ(q.getLimitParameter(), 3);

    QueryParams copy(q);
    QueryParams assigned;
    assigned = q;
    assigned = assigned;
    q.addSingleProjectNameParameter("A");
    EXPECT_TRUE(projectNames(copy).empty());
    EXPECT_TRUE(projectNames(assigned).empty());
    EXPECT_STREQ(assigned.getResultType(), "EpEntity::EntitySeq");
    EXPECT_NE(assigned.getResultType(), q.getResultType());

    q.addParameter(nullptr, "x");
    q.addParameter("Nothing", static_cast<const char*>(nullptr));
    EXPECT_EQ(q.getStringParameter(nullptr), nullptr);
    std::unique_ptr<DosTypes::StringSeq> none(q.getStringSeqParameter(nullptr));
    EXPECT_EQ(none->length(), 0u);
    CORBA::TypeCode_var type = q.getParameter(nullptr).type();
    EXPECT_EQ(type->kind(), CORBA::tk_null);
    std::unique_ptr<CosCollection::ParameterList> all(q.parameters());
    EXPECT_EQ(all->length(), 3u);
}
