// The monitor tick: the miss count, the threshold, the leave actions, the modal lock window
// with ticks nesting inside it, and the period re-read at every tick.
#include <string>

#include "sim_fixture.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

constexpr std::uint32_t kPeriodMs = 2000;

// How the device behaves at one tick: x silent, a answer, 0 answer under 1 ms, e an unreachable
// report (a reply with an error status).
sim::Device deviceFor(char c) {
  switch (c) {
    case 'a': return answering(3);
    case '0': return answering(0);
    case 'e': return unreachableReport();
    default: return silent();
  }
}

class Monitor : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    showSettings();
    start_ = sim::now();
  }

  // Arms the monitor with the device following pattern, one letter per tick (silent after it).
  void arm(const Text& threshold, Control action, const std::string& pattern) {
    pattern_ = pattern;
    platform::setControlText(Control::编辑框1, kPhone);
    platform::setControlText(Control::编辑框2, "2");
    platform::setControlText(Control::编辑框3, threshold);
    ASSERT_TRUE(sim::clickRadio(action));
    sim::beforeEachTick([this] {
      const std::size_t tick = static_cast<std::size_t>(sim::ticksDispatched()) - 1;
      sim::setDevice(kPhone, deviceFor(tick < pattern_.size() ? pattern_[tick] : 'x'));
    });
    setMonitorPeriod();
  }

  // Runs exactly `ticks` ticks (and whatever they nest).
  static void runTicks(int ticks) { sim::runFor(kPeriodMs * ticks + kPeriodMs / 2); }

  // Milliseconds since the monitor was armed.
  std::uint32_t since(std::uint32_t time) const { return time - start_; }

  std::vector<std::uint32_t> tickTimes() const {
    std::vector<std::uint32_t> times;
    for (const sim::TickRecord& tick : sim::ticks()) times.push_back(since(tick.startedAt));
    return times;
  }

  std::uint32_t start_ = 0;
  std::string pattern_;
};

}  // namespace

struct ThresholdCase {
  const char* name;
  Text threshold;
  std::string device;   // per tick, see deviceFor
  std::vector<Text> pane;  // pane 2 after each tick
  std::string actions;  // per tick: ! when the leave action ran
  friend void PrintTo(const ThresholdCase& c, std::ostream* os) { *os << c.name; }
};

class Threshold : public Monitor, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(Threshold, CountsMissesAndActsPastTheThreshold) {
  const ThresholdCase& c = GetParam();
  arm(c.threshold, Control::单选框6, c.device);
  std::string actions;
  std::size_t starts = 0;
  sim::afterEachTick([&] {
    actions += sim::programStarts().size() > starts ? '!' : '.';
    starts = sim::programStarts().size();
  });
  runTicks(static_cast<int>(c.device.size()));
  EXPECT_THAT(sim::missCountPaneHistory(), ElementsAreArray(c.pane));
  EXPECT_EQ(actions, c.actions);
}

INSTANTIATE_TEST_SUITE_P(
    , Threshold,
    ::testing::Values(
        ThresholdCase{"ThreeAway", "3", "xxxxx", {"1", "2", "3", "4", "1"}, "...!."},
        ThresholdCase{"AnAnswerShowsZero", "3", "xxaxx", {"1", "2", "0", "1", "2"}, "....."},
        ThresholdCase{"AnAnswerUnderOneMillisecondCounts", "3", "xx0xx", {"1", "2", "0", "1", "2"},
                      "....."},
        ThresholdCase{"AnUnreachableReportIsAMiss", "3", "xxexx", {"1", "2", "3", "4", "1"},
                      "...!."},
        ThresholdCase{"NegativeActsOnEveryTick", "-1", "axa", {"0", "1", "0"}, "!!!"},
        ThresholdCase{"EmptyActsOnTheFirstMiss", "", "axxa", {"0", "1", "1", "0"}, ".!!."},
        ThresholdCase{"LettersReadAsZero", "x", "xx", {"1", "1"}, "!!"},
        ThresholdCase{"BlanksAndFullWidthDigits", " \xA3\xB2", "xxxx", {"1", "2", "3", "1"},  // "２"
                      "..!."}),
    [](const auto& info) { return std::string(info.param.name); });

struct ActionCase {
  const char* name;
  Control radio;
  const char* commandLine;  // null: the lock window
  friend void PrintTo(const ActionCase& c, std::ostream* os) { *os << c.name; }
};

class LeaveAction : public Monitor, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(LeaveAction, RunsTheChosenActionOnly) {
  const ActionCase& c = GetParam();
  arm("0", c.radio, "xa");
  runTicks(2);
  if (c.commandLine == nullptr) {
    EXPECT_THAT(sim::programStarts(), IsEmpty());
    EXPECT_EQ(sim::lockWindowOpenings(), 1);
    return;
  }
  EXPECT_EQ(sim::lockWindowOpenings(), 0);
  ASSERT_EQ(sim::programStarts().size(), 1u);
  EXPECT_EQ(sim::programStarts()[0].commandLine, c.commandLine);
}

INSTANTIATE_TEST_SUITE_P(
    , LeaveAction,
    ::testing::Values(ActionCase{"LockWindow", Control::单选框1, nullptr},
                      ActionCase{"LockSession", Control::单选框6,
                                 "rundll32 user32.dll,LockWorkStation"},
                      ActionCase{"Sleep", Control::单选框3,
                                 "rundll32.exe powrprof.dll,SetSuspendState Sleep"}),
    [](const auto& info) { return std::string(info.param.name); });

// Threshold 3, device away for eight ticks, back at the ninth: the cover opens at the fourth
// tick, ticks 5 to 9 run inside its loop (one level deep) and keep counting without opening it
// again, and the fourth tick finishes only after the answer's close has been handled.
TEST_F(Monitor, TicksNestInsideTheLockWindowUntilTheDeviceAnswers) {
  arm("3", Control::单选框1, "xxxxxxxxaa");
  runTicks(10);

  EXPECT_THAT(sim::missCountPaneHistory(),
              ElementsAre("1", "2", "3", "4", "1", "2", "3", "4", "0", "0"));
  EXPECT_EQ(sim::lockWindowOpenings(), 1);
  EXPECT_EQ(sim::maxLockNesting(), 1);
  EXPECT_EQ(sim::maxTickNesting(), 2);
  ASSERT_EQ(sim::lockSpans().size(), 1u);
  const sim::LockSpan& cover = sim::lockSpans()[0];
  EXPECT_TRUE(cover.closed);
  EXPECT_EQ(since(cover.openedAt), 4 * kPeriodMs + 1000);  // after the fourth tick's probe

  const auto& ticks = sim::ticks();
  ASSERT_EQ(ticks.size(), 10u);
  std::vector<int> depths;
  for (const sim::TickRecord& tick : ticks) depths.push_back(tick.depth);
  EXPECT_THAT(depths, ElementsAre(1, 1, 1, 1, 2, 2, 2, 2, 2, 1));
  EXPECT_GE(since(cover.closedAt), since(ticks[8].endedAt));
  EXPECT_GE(since(ticks[3].endedAt), since(cover.closedAt));
  EXPECT_LT(since(ticks[3].endedAt), since(ticks[9].startedAt));
  EXPECT_TRUE(sim::mainWindowEnabled());
  EXPECT_THAT(sim::programStarts(), IsEmpty());
}

// A cover still open is not opened again when the threshold passes inside it, while the later
// actions still run: here a second action is checked while the cover is up (the window cannot do
// that; the program's checks must not depend on it).
TEST_F(Monitor, AnOpenCoverIsNotOpenedAgainWhileTheOtherActionsStillRun) {
  arm("1", Control::单选框1, "xxxxa");
  sim::beforeEachTick([this] {
    const int tick = sim::ticksDispatched();
    if (tick == 3) sim::forceCheck(Control::单选框6, true);
    sim::setDevice(kPhone, deviceFor(static_cast<std::size_t>(tick - 1) < pattern_.size()
                                         ? pattern_[tick - 1] : 'x'));
  });
  runTicks(5);

  EXPECT_EQ(sim::lockWindowOpenings(), 1);
  EXPECT_EQ(sim::maxLockNesting(), 1);
  ASSERT_EQ(sim::programStarts().size(), 2u);
  // The fourth tick (inside the cover) passes the threshold again; the suspended second tick
  // runs the command once more after the cover has closed.
  EXPECT_EQ(since(sim::programStarts()[0].at), 4 * kPeriodMs + 1000);
  EXPECT_EQ(sim::programStarts()[1].at, sim::lockSpans()[0].closedAt);
  EXPECT_EQ(sim::programStarts()[1].commandLine, kLockWorkStationCommand);
}

TEST_F(Monitor, ACommandThatFailsToStartIsIgnored) {
  sim::failProgramStarts(true);
  arm("1", Control::单选框3, "xxxxx");
  runTicks(5);
  EXPECT_THAT(sim::missCountPaneHistory(), ElementsAre("1", "2", "1", "2", "1"));
  ASSERT_EQ(sim::programStarts().size(), 2u);
  EXPECT_FALSE(sim::programStarts()[0].started);
  EXPECT_EQ(since(sim::programStarts()[1].at), 4 * kPeriodMs + 1000);
}

// Each tick re-reads the period: a change takes effect one new period after the tick that read
// it, and a box that reads as 0 stops the monitor for good.
TEST_F(Monitor, EachTickReadsThePeriodAgain) {
  arm("9", Control::单选框6, "aaaaaaaaaa");
  sim::after(2 * kPeriodMs + 500, [] { platform::setControlText(Control::编辑框2, "5"); });
  sim::after(7 * kPeriodMs + 500, [] { platform::setControlText(Control::编辑框2, ""); });
  sim::runFor(40000);
  EXPECT_THAT(tickTimes(), ElementsAre(2000, 4000, 6000, 11000, 16000));
  EXPECT_FALSE(sim::timerRunning());
}

TEST_F(Monitor, APeriodOf2To32Plus704MillisecondsTicksEvery704) {
  arm("9", Control::单选框6, "aaaa");
  platform::setControlText(Control::编辑框2, "4294968");
  setMonitorPeriod();
  sim::runFor(3 * 704 + 100);
  EXPECT_THAT(tickTimes(), ElementsAre(704, 1408, 2112));
}

// A message box dispatches messages while it waits for the user: the monitor keeps ticking.
TEST_F(Monitor, TicksGoOnWhileAMessageBoxIsUp) {
  arm("9", Control::单选框6, "aaaa");
  sim::holdMessageBoxes(5000);
  sim::after(2500, [] { showInfoMessage(kAddressNotFound); });
  runTicks(4);
  ASSERT_EQ(sim::messageBoxes().size(), 1u);
  EXPECT_EQ(since(sim::messageBoxes()[0].dismissedAt), 7500u);
  EXPECT_THAT(tickTimes(), ElementsAre(2000, 4000, 6000, 8000));
}
