// The device probe: what counts as an answer, what an answer does, and which addresses are
// looked up and sent to.
#include <string>

#include "sim_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class Probe : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    createWindow();
  }

  // Runs probe() while a lock window is open, then lets the window's loop end.
  template <typename Fn>
  static void withLockWindowOpen(Fn probe) {
    sim::after(0, [&] {
      probe();
      sim::forceLockWindowClose();
    });
    platform::openLockWindowModal();
  }
};

}  // namespace

struct ReplyCase {
  const char* name;
  sim::Device device;
  bool answered;
  std::int32_t roundTripTime;
  std::uint64_t costMs;  // virtual time the echo takes
  friend void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }
};

class ProbeReplies : public Probe, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ProbeReplies, OnlyASuccessfulReplyIsAnAnswer) {
  const ReplyCase& c = GetParam();
  sim::setDevice(kPhone, c.device);
  deviceAddress = kPhone;
  missCount = 7;
  platform::setStatusPaneText(1, "33");
  ProbeResult result;
  withLockWindowOpen([&] { result = probeDevice(); });

  EXPECT_EQ(result.answered, c.answered);
  EXPECT_EQ(result.roundTripTime, c.roundTripTime);
  EXPECT_EQ(sim::elapsed(), c.costMs);
  EXPECT_EQ(missCount, c.answered ? 0 : 7);
  EXPECT_EQ(sim::paneText(1), c.answered ? std::to_string(c.roundTripTime) : "33");
  EXPECT_EQ(sim::lockCloseRequests(), c.answered ? 1 : 0);
  EXPECT_THAT(sim::lockSpans(), ::testing::SizeIs(1));
  ASSERT_EQ(sim::echoes().size(), 1u);
  EXPECT_EQ(sim::echoes()[0].destination, kPhone);
}

INSTANTIATE_TEST_SUITE_P(
    , ProbeReplies,
    ::testing::Values(ReplyCase{"Answer", answering(12), true, 12, 12},
                      ReplyCase{"AnswerUnderOneMillisecond", answering(0), true, 0, 0},
                      ReplyCase{"UnreachableReport", unreachableReport(), false, 2, 2},
                      ReplyCase{"Silent", silent(), false, 0, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Probe, AnAnswerWithNoLockWindowOpenRequestsNoClose) {
  sim::setDevice(kPhone, answering(3));
  deviceAddress = kPhone;
  EXPECT_TRUE(probeDevice().answered);
  EXPECT_EQ(sim::lockCloseRequests(), 0);
  EXPECT_EQ(sim::paneText(1), "3");
}

TEST_F(Probe, TheCloseRequestedByAnAnswerTakesEffectWhenMessagesAreNextHandled) {
  sim::setDevice(kPhone, answering());
  deviceAddress = kPhone;
  bool openAfterProbe = false;
  sim::after(0, [&] {
    probeDevice();
    openAfterProbe = sim::lockWindowOpen();
  });
  platform::openLockWindowModal();  // returns once the posted close has been handled
  EXPECT_TRUE(openAfterProbe);
  EXPECT_FALSE(sim::lockWindowOpen());
  EXPECT_EQ(sim::lockCloseRequests(), 1);
}

TEST_F(Probe, AHostNameIsSentItsDottedAddressAsPayload) {
  sim::setHostName("phone.example", kPhone);
  sim::setDevice(kPhone, answering());
  deviceAddress = "phone.example";
  EXPECT_TRUE(probeDevice().answered);
  ASSERT_EQ(sim::echoes().size(), 1u);
  EXPECT_EQ(sim::echoes()[0].destination, kPhone);
  EXPECT_EQ(sim::echoes()[0].payload, bytesFromText(kPhone));
}

// resolveAddress: blank addresses name nothing, 100 bytes or more are refused (never cut), and
// anything else goes to the look-up.
struct ResolveCase {
  const char* name;
  Text address;
  Text resolved;
  bool lookedUp;
  friend void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }
};

class Resolve : public Probe, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(Resolve, ResolvesOnlyWhatCanNameADevice) {
  const ResolveCase& c = GetParam();
  sim::setHostName(std::string(99, 'p'), kPhone);
  sim::setHostName(std::string(100, 'p'), kOtherPhone);
  sim::setHostName("phone.example", kPhone);
  EXPECT_EQ(resolveAddress(c.address), c.resolved);
  EXPECT_EQ(sim::lookUps().size(), c.lookedUp ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    , Resolve,
    ::testing::Values(ResolveCase{"DottedLiteral", kPhone, kPhone, true},
                      ResolveCase{"HostName", "phone.example", kPhone, true},
                      ResolveCase{"UnknownName", "nowhere.example", "", true},
                      ResolveCase{"Empty", "", "", false},
                      ResolveCase{"Blanks", "   ", "", false},
                      ResolveCase{"FullWidthBlanks", "\xA1\xA1\xA1\xA1", "", false},
                      ResolveCase{"NinetyNineBytes", std::string(99, 'p'), kPhone, true},
                      ResolveCase{"HundredBytesRefused", std::string(100, 'p'), "", false},
                      ResolveCase{"LongerRefused", std::string(100, 'p') + "xyz", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Probe, ABlankAddressIsNotProbedSoTheComputerNeverWatchesItself) {
  deviceAddress = "";
  missCount = 3;
  EXPECT_FALSE(probeDevice().answered);
  EXPECT_THAT(sim::echoes(), IsEmpty());
  EXPECT_EQ(missCount, 3);
  EXPECT_EQ(sim::paneText(1), "");
}

TEST_F(Probe, AnUnresolvableNameSendsNothingAndChangesNothing) {
  deviceAddress = "nowhere.example";
  missCount = 3;
  EXPECT_FALSE(probeDevice().answered);
  EXPECT_THAT(sim::echoes(), IsEmpty());
  EXPECT_THAT(sim::lookUps(), ElementsAre("nowhere.example"));
  EXPECT_EQ(missCount, 3);
}
