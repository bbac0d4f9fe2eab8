// The probe's platform side under Wine: Winsock 1.1 look-ups and ICMP echoes to loopback. The
// echo to a namespace test host runs only when an end-to-end fixture names the host.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {

struct LookUpCase {
  const char* name;
  Text host;
  bool found;
  Text dotted;
};

class LookUpHostTest : public testing::TestWithParam<LookUpCase> {};

TEST_P(LookUpHostTest, ResolvesToDottedText) {
  const LookUpCase& c = GetParam();
  Text dotted = "unchanged";
  EXPECT_EQ(platform::lookUpHost(c.host, dotted), c.found);
  EXPECT_EQ(dotted, c.found ? c.dotted : Text("unchanged"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, LookUpHostTest,
    testing::Values(LookUpCase{"DottedLiteral", "127.0.0.1", true, "127.0.0.1"},
                    LookUpCase{"OtherLoopback", "127.1.2.3", true, "127.1.2.3"},
                    LookUpCase{"Localhost", "localhost", true, "127.0.0.1"},
                    LookUpCase{"Unresolvable", "no-such-device.invalid", false, ""},
                    // 100 bytes do not fit the look-up buffer with its zero: refused, not cut.
                    LookUpCase{"TooLong", "127.0.0.1" + Text(91, ' '), false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Winsock is cleaned up after every look-up, found or not: many look-ups leave it stopped.
TEST(LookUpHost, LeavesWinsockStopped) {
  if (gethostbyname("127.0.0.1") != nullptr)
    GTEST_SKIP() << "Winsock is kept started by someone else in this process";
  Text dotted;
  for (int i = 0; i < 20; ++i) {
    platform::lookUpHost("127.0.0.1", dotted);
    platform::lookUpHost("no-such-device.invalid", dotted);
  }
  EXPECT_EQ(gethostbyname("127.0.0.1"), nullptr);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(SendEcho, LoopbackAnswersWithSuccess) {
  platform::EchoReply reply = platform::sendEcho("127.0.0.1");
  EXPECT_GE(reply.replies, 1u);
  EXPECT_EQ(reply.status, 0u);
  EXPECT_LT(reply.roundTripTime, 1000u);
}

// Text that names no address is never sent anywhere (inet_addr gives the broadcast address).
TEST(SendEcho, NoAddressIsNotSent) {
  for (const char* address : {"", "999.1.1.1", "not an address"}) {
    platform::EchoReply reply = platform::sendEcho(address);
    EXPECT_EQ(reply.replies, 0u) << address;
  }
}

// VANTREL_TEST_HOST: the address of a namespace test host made by an end-to-end fixture;
// VANTREL_TEST_HOST_EXPECT: "answer" or "silent", what the fixture has made it do.
TEST(SendEcho, NamespaceTestHost) {
  const char* host = std::getenv("VANTREL_TEST_HOST");
  const char* expect = std::getenv("VANTREL_TEST_HOST_EXPECT");
  if (!host || !expect) GTEST_SKIP() << "no test host (run by tests/e2e/spine_probe.sh)";
  platform::EchoReply reply = platform::sendEcho(host);
  if (std::string(expect) == "answer") {
    EXPECT_EQ(reply.replies, 1u);
    EXPECT_EQ(reply.status, 0u);
  } else {
    EXPECT_TRUE(reply.replies == 0 || reply.status != 0)
        << "replies " << reply.replies << ", status " << reply.status;
  }
}

}  // namespace
