// Start-up: the program entry and the two roads of the creation handler, on the simulated
// platform.
#include <algorithm>

#include "sim_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class Startup : public SimTest {};

bool timerEverStarted() {
  const auto& changes = sim::timerChanges();
  return std::any_of(changes.begin(), changes.end(), [](const auto& c) { return c.started; });
}

std::vector<bool> visibilitySequence() {
  std::vector<bool> sequence;
  for (const auto& change : sim::mainWindowVisibility()) sequence.push_back(change.visible);
  return sequence;
}

// Echoes of the start-up attempts: those sent before the first monitor tick.
std::vector<sim::Echo> startupEchoes() {
  std::vector<sim::Echo> echoes;
  for (const sim::Echo& echo : sim::echoes()) {
    if (!sim::ticks().empty() && echo.at >= sim::ticks().front().startedAt) break;
    echoes.push_back(echo);
  }
  return echoes;
}

}  // namespace

TEST_F(Startup, WithoutSavedAddressPromptsBeforeTheWindowShowsAndSavesEmptySettings) {
  EXPECT_EQ(runProgram(10000), 0);

  ASSERT_EQ(sim::messageBoxes().size(), 1u);
  const sim::MessageBoxRecord& box = sim::messageBoxes()[0];
  EXPECT_EQ(box.text, kSetupPrompt);
  EXPECT_EQ(box.caption, kMessageCaption);
  EXPECT_EQ(box.style, platform::kMbOk | platform::kMbTaskModal);
  EXPECT_EQ(box.shownAt, settingsLoadedAt());  // at once: no probe
  EXPECT_FALSE(box.mainWindowVisible);
  ASSERT_FALSE(sim::mainWindowVisibility().empty());
  EXPECT_LE(box.dismissedAt, sim::mainWindowVisibility()[0].at);

  EXPECT_TRUE(platform::controlVisible(Control::分组框5));
  EXPECT_THAT(visibilitySequence(), ElementsAre(true));
  EXPECT_FALSE(timerEverStarted());
  EXPECT_THAT(sim::echoes(), IsEmpty());
  EXPECT_FALSE(sim::fileExists("ip.ini"));
  EXPECT_TRUE(sim::fileExists("zq.ini"));
  EXPECT_TRUE(sim::fileExists("cs.ini"));
  EXPECT_EQ(sim::fileContents("zq.ini"), "");
  EXPECT_EQ(sim::fileContents("cs.ini"), "");

  const sim::TrayIcon tray = sim::trayIcon();
  EXPECT_TRUE(tray.present);
  EXPECT_EQ(tray.id, 100u);
  EXPECT_EQ(tray.callbackMessage, 0x8064u);
  EXPECT_EQ(tray.tip, "Vantrel");
  EXPECT_TRUE(sim::ownerToolWindowCreated());
  EXPECT_EQ(sim::currentDirectory(), sim::programDir());
  EXPECT_EQ(programDirectory, sim::programDir());
}

struct StartupRoad {
  const char* name;
  std::string address;
  std::vector<sim::Device> replies;  // one per echo; silent after the last
  std::size_t echoes;
  bool monitoring;
  friend void PrintTo(const StartupRoad& c, std::ostream* os) { *os << c.name; }
};

class StartupRoads : public Startup, public ::testing::WithParamInterface<StartupRoad> {};

TEST_P(StartupRoads, ProbeUpToFiveTimesThenMonitorOrPrompt) {
  const StartupRoad& road = GetParam();
  saveSettings(road.address, "2", "4");
  sim::beforeEachEcho([&](std::size_t i) {
    sim::setDevice(kPhone, i < road.replies.size() ? road.replies[i] : silent());
  });
  EXPECT_EQ(runProgram(20000), 0);

  EXPECT_EQ(startupEchoes().size(), road.echoes);
  for (const sim::Echo& echo : sim::echoes()) EXPECT_EQ(echo.destination, kPhone);

  if (road.monitoring) {
    EXPECT_THAT(sim::messageBoxes(), IsEmpty());
    EXPECT_FALSE(platform::controlVisible(Control::分组框5));
    ASSERT_FALSE(sim::timerChanges().empty());
    EXPECT_EQ(monitorTimerPeriod(), 2000);
    EXPECT_TRUE(sim::timerRunning());
    // The hide comes after the window's first show, so the window ends hidden.
    EXPECT_THAT(visibilitySequence(), ElementsAre(true, false));
    EXPECT_FALSE(platform::mainWindowVisible());
  } else {
    ASSERT_EQ(sim::messageBoxes().size(), 1u);
    EXPECT_EQ(sim::messageBoxes()[0].text, kSetupPrompt);
    // Five waits of more than a second each came first.
    EXPECT_GE(sim::messageBoxes()[0].shownAt - settingsLoadedAt(), 5u * 1001u);
    EXPECT_TRUE(platform::controlVisible(Control::分组框5));
    EXPECT_FALSE(timerEverStarted());
    EXPECT_THAT(visibilitySequence(), ElementsAre(true));
  }
}

INSTANTIATE_TEST_SUITE_P(
    , StartupRoads,
    ::testing::Values(
        StartupRoad{"AnswerAtTheThirdAttempt", kPhone, {silent(), silent(), answering()}, 3, true},
        StartupRoad{"AnswerUnderOneMillisecond", kPhone, {answering(0)}, 1, true},
        StartupRoad{"FiveSilentAttempts", kPhone, {}, 5, false},
        StartupRoad{"UnreachableReportsAreNoAnswer", kPhone,
                    {unreachableReport(), unreachableReport(), unreachableReport(),
                     unreachableReport(), unreachableReport()},
                    5, false},
        // A blank address names no device: nothing is probed (looking up an empty name would
        // give this computer's own address, which always answers).
        StartupRoad{"BlankAddressIsNeverProbed", "  \xA1\xA1 ", {}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Startup, PeriodZeroStillCountsAsStartedButNoTickComes) {
  saveSettings(kPhone, "0", "4");
  sim::setDevice(kPhone, answering());
  runProgram(60000);
  EXPECT_FALSE(platform::mainWindowVisible());
  EXPECT_FALSE(timerEverStarted());
  EXPECT_EQ(sim::ticksDispatched(), 0);
  EXPECT_THAT(sim::messageBoxes(), IsEmpty());
}

// During the waits the user brings the window up from the tray, corrects the address, changes
// the period and closes the window again; the next attempt uses the corrected address.
TEST_F(Startup, HandlersRunInsideTheWaitsBetweenAttempts) {
  saveSettings("127.0.0.9", "2", "4");
  sim::setDevice(kPhone, answering());
  // From the first attempt's probe on, during the second wait.
  sim::beforeEachEcho([](std::size_t echo) {
    if (echo != 0) return;
    sim::after(1500, [] { sim::trayNotify(kTrayLeftButtonUp); });
    sim::after(1600, [] {
      sim::pressBackspace(Control::编辑框1);
      sim::typeText(Control::编辑框1, "5");
      sim::pressBackspace(Control::编辑框2);
      sim::typeText(Control::编辑框2, "3");
    });
    sim::after(1800, [] { sim::requestClose(); });
  });
  runProgram(20000);

  const std::vector<sim::Echo> echoes = startupEchoes();
  ASSERT_EQ(echoes.size(), 2u);
  EXPECT_EQ(echoes[0].destination, "127.0.0.9");
  EXPECT_EQ(echoes[1].destination, kPhone);
  EXPECT_THAT(visibilitySequence(), ElementsAre(true, false, true, false));
  EXPECT_EQ(sim::fileContents("ip.ini"), "127.0.0.9");  // a hand edit is not saved
  EXPECT_THAT(sim::writesOf("zq.ini"), ElementsAre("2", "", "3"));
  EXPECT_EQ(monitorTimerPeriod(), 3000);
}

TEST_F(Startup, ExitCleanUpReleasesTheDeviceAddress) {
  saveSettings(kPhone, "0", "4");
  sim::setDevice(kPhone, answering());
  EXPECT_EQ(runProgram(5000), 0);
  EXPECT_EQ(deviceAddress, "");
}

// The wait ends once more than 1000 ms have passed by the tick count, also when the count
// wraps during the wait, keeps dispatching, and sleeps instead of spinning.
class StartupWait : public Startup, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(StartupWait, LastsJustOverOneSecondAcrossTheWrap) {
  sim::reset(GetParam());
  int dispatched = 0;
  sim::after(300, [&] { ++dispatched; });
  sim::after(999, [&] { ++dispatched; });
  waitDispatching(1000);
  EXPECT_EQ(sim::elapsed(), 1001u);
  EXPECT_EQ(dispatched, 2);
  EXPECT_LE(sim::waitsCalled(), 4);
}

INSTANTIATE_TEST_SUITE_P(, StartupWait,
                         ::testing::Values(0x10000u, 0xFFFFFC18u, 0xFFFFFE0Cu, 0xFFFFFFFFu));

// First run: the prompt, then the user types the phone's address into the setup panel and
// presses Enter; the address is saved, the monitor runs and the window stays open.
TEST_F(Startup, FirstRunFromThePromptToMonitoring) {
  sim::setDevice(kPhone, answering());
  sim::after(30000, [] {
    sim::typeText(Control::编辑框4, kPhone);
    sim::pressKey(Control::编辑框4, kKeyEnter);
  });
  runProgram(35000);

  EXPECT_EQ(sim::fileContents("ip.ini"), kPhone);
  EXPECT_EQ(sim::fileContents("zq.ini"), "2");
  EXPECT_EQ(sim::fileContents("cs.ini"), "4");
  EXPECT_FALSE(platform::controlVisible(Control::分组框5));
  EXPECT_TRUE(platform::mainWindowVisible());
  EXPECT_EQ(sim::ticksDispatched(), 2);
  EXPECT_THAT(sim::missCountPaneHistory(), ElementsAre("0", "0"));
}
