#include <hvc_util/BuildInfo.h>
#include <hvc_util/Identifier.h>
#include <hvc_util/NullPointerException.h>
#include <hvc_util/String.h>
#include <hvc_util/System.h>
#include <hvc_util/UUID.h>

#include "support/TempDir.h"
#include "util/HostAddress.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using hvc_util::String;
using hvc_util::System;
using hvc_util::UUID;

TEST(BuildInfo, VersionAgreesWithItsNumbers) {
    using hvc_util::BuildInfo;
    EXPECT_STREQ("Halvercast v2.4.0 Build 54", BuildInfo::getVersion());
    EXPECT_STREQ("Tue Nov 26 20:23:31 CST 2002", BuildInfo::getBuildDate());
    EXPECT_EQ(2, BuildInfo::getBuildMajor());
    EXPECT_EQ(4, BuildInfo::getBuildRevision());
    EXPECT_EQ(0, BuildInfo::getBuildUpdate());
    EXPECT_EQ(54, BuildInfo::getBuildNumber());
}

TEST(Identifier, RunsOfAlphanumericsJoinedBySingleSeparators) {
    using hvc_util::Identifier;
    for (const char* good : {"x", "a", "9lives", "well_a-1", "a-b_c", "A1"})
        EXPECT_TRUE(Identifier::isValidIdentifier(good)) << good;
    for (const char* bad :
         {"", "_a", "-a", "a_", "a-", "a__b", "a--b", "a-_b", "a b", "a.b", "\xe9t\xe9", "a\tb"})
        EXPECT_FALSE(Identifier::isValidIdentifier(bad)) << bad;
    EXPECT_FALSE(Identifier::isValidIdentifier(nullptr));
}

TEST(System, OnlyRegularFilesAreLocal) {
    hvc_test::TempDir scratch;
    const std::string dir = scratch.path();
    const std::string file = scratch.write("file", "data");
    EXPECT_TRUE(System::isLocalFile(file.c_str()));
    int w = ::open(file.c_str(), O_WRONLY);
    EXPECT_GE(w, 0) << "the file stays open to writers";
    ::close(w);

    // A FIFO with no writer would block a plain open for reading.
    std::string fifo = dir + "/fifo";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    EXPECT_FALSE(System::isLocalFile(fifo.c_str()));

    EXPECT_FALSE(System::isLocalFile(dir.c_str()));
    EXPECT_FALSE(System::isLocalFile((dir + "/missing").c_str()));
    EXPECT_FALSE(System::isLocalFile("/dev/null"));
    EXPECT_FALSE(System::isLocalFile(""));
    EXPECT_FALSE(System::isLocalFile(nullptr));

    if (::geteuid() != 0) {
        ::chmod(file.c_str(), 0);
        EXPECT_FALSE(System::isLocalFile(file.c_str())) << "unreadable";
    }
}

TEST(System, HostAndProcessFacts) {
    char expected[1024] = {};
    ASSERT_EQ(0, ::gethostname(expected, sizeof expected - 1));
    String name;
    System::getNodeName(name);
    EXPECT_STREQ(expected, name.getValue());

    EXPECT_EQ(static_cast<int>(::getpid()), System::getPID());

    String address;
    System::getNodeAddress(address);
    in_addr parsed;
    EXPECT_EQ(1, ::inet_pton(AF_INET, address.getValue(), &parsed)) << address.getValue();

    String local;
    hvc_util::hostAddress("localhost", local);
    EXPECT_STREQ("127.0.0.1", local.getValue());
    for (const char* unresolvable :
         {"", "no-such-host.invalid", static_cast<const char*>(nullptr)}) {
        String none("x");
        hvc_util::hostAddress(unresolvable, none);
        EXPECT_STREQ("0.0.0.0", none.getValue());
    }
}

TEST(System, ProcessIdentifierIsFixedForTheProcess) {
    UUID a, b;
    System::getProcessId(a);
    System::getProcessId(b);
    EXPECT_TRUE(a == b && a == System::uuid);
    EXPECT_TRUE(a.isSet());
}

TEST(NullPointerException, OwnsACopyOfItsText) {
    using hvc_util::NullPointerException;
    EXPECT_EQ(nullptr, NullPointerException(nullptr).description());

    std::string message = "Coordinate System of supplied Coordinate was nil.";
    NullPointerException original(message.c_str());
    message[0] = 'X';
    EXPECT_STREQ("Coordinate System of supplied Coordinate was nil.", original.description());

    NullPointerException copy(original);
    EXPECT_NE(original.description(), copy.description());
    EXPECT_STREQ(original.description(), copy.description());

    NullPointerException assigned("other");
    assigned = original;
    EXPECT_NE(original.description(), assigned.description());
    EXPECT_STREQ(original.description(), assigned.description());
    assigned = NullPointerException(nullptr);
    EXPECT_EQ(nullptr, assigned.description());
    assigned = assigned;
}
