// The main window's handlers: settings files, the confirm handler, tray and close, and the
// monitor timer's period rule.
#include <filesystem>
#include <string>

#include "sim_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The main window with the setup panel open, as when no address is saved.
class SetupPanel : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    createWindow();
    platform::setMainWindowVisible(true);
    platform::setControlVisible(Control::分组框5, true);
  }
};

}  // namespace

struct ConfirmCase {
  const char* name;
  Text typed;
  sim::Device device;  // of kPhone
  const char* message;  // the box shown, or null when the address is accepted
  std::size_t echoes;
  friend void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }
};

class ConfirmAddress : public SetupPanel, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(ConfirmAddress, AcceptsOnlyAnAnsweringDevice) {
  const ConfirmCase& c = GetParam();
  sim::setDevice(kPhone, c.device);
  sim::setHostName("phone.example", kPhone);
  sim::writeFile("zq.ini", "10");
  platform::setControlText(Control::编辑框1, "127.0.0.9");
  platform::setControlText(Control::编辑框4, c.typed);

  confirmDeviceAddress();

  EXPECT_EQ(sim::echoes().size(), c.echoes);
  if (c.message != nullptr) {
    ASSERT_EQ(sim::messageBoxes().size(), 1u);
    EXPECT_EQ(sim::messageBoxes()[0].text, c.message);
    EXPECT_EQ(sim::messageBoxes()[0].caption, kMessageCaption);
    EXPECT_TRUE(platform::controlVisible(Control::分组框5));
    EXPECT_EQ(platform::controlText(Control::编辑框1), "127.0.0.9");
    EXPECT_THAT(sim::fileWrites(), IsEmpty());
    EXPECT_FALSE(sim::timerRunning());
    return;
  }
  EXPECT_THAT(sim::messageBoxes(), IsEmpty());
  EXPECT_EQ(sim::echoes()[0].destination, kPhone);
  // Saved and shown as typed, blanks included.
  EXPECT_EQ(sim::fileContents("ip.ini"), c.typed);
  EXPECT_EQ(platform::controlText(Control::编辑框1), c.typed);
  EXPECT_FALSE(platform::controlVisible(Control::分组框5));
  EXPECT_THAT(sim::writesOf("zq.ini"), ElementsAre("2", "2"));
  EXPECT_THAT(sim::writesOf("cs.ini"), ElementsAre("4", "4"));
  EXPECT_EQ(sim::timerPeriod(), 2000u);
  EXPECT_TRUE(platform::mainWindowVisible());
}

INSTANTIATE_TEST_SUITE_P(
    , ConfirmAddress,
    ::testing::Values(
        ConfirmCase{"EmptyBoxPrompts", "", answering(), kSetupPrompt, 0},
        ConfirmCase{"BlanksAreNotFoundAndNotProbed", "   ", answering(), kAddressNotFound, 0},
        ConfirmCase{"SilentDeviceIsNotFound", kPhone, silent(), kAddressNotFound, 1},
        ConfirmCase{"UnreachableReportIsNotFound", kPhone, unreachableReport(),
                    kAddressNotFound, 1},
        ConfirmCase{"AnswerUnderOneMillisecondIsAccepted", kPhone, answering(0), nullptr, 1},
        ConfirmCase{"BlanksAroundAreKeptInTheFile", " " + kPhone + " ", answering(), nullptr, 1},
        ConfirmCase{"HostNameIsAcceptedAsTyped", "phone.example", answering(), nullptr, 1},
        ConfirmCase{"AddressOf100BytesIsRefused", std::string(100, 'a'), answering(),
                    kAddressNotFound, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupPanel, EnterInTheSetupBoxConfirmsAndOtherKeysDoNot) {
  sim::setDevice(kPhone, answering());
  ASSERT_TRUE(sim::typeText(Control::编辑框4, kPhone));  // keystrokes, no Enter among them
  EXPECT_THAT(sim::echoes(), IsEmpty());
  sim::pressKey(Control::编辑框4, 'A');
  EXPECT_THAT(sim::echoes(), IsEmpty());
  sim::pressKey(Control::编辑框4, kKeyEnter);
  EXPECT_EQ(sim::echoes().size(), 1u);
  EXPECT_EQ(sim::fileContents("ip.ini"), kPhone);
}

TEST_F(SetupPanel, ConfirmWithTheButton) {
  sim::setDevice(kPhone, answering());
  sim::typeText(Control::编辑框4, kPhone);
  ASSERT_TRUE(sim::clickConfirm());
  EXPECT_EQ(sim::fileContents("ip.ini"), kPhone);
}

class Settings : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    showSettings();
  }
};

TEST_F(Settings, EveryKeystrokeRewritesItsFile) {
  ASSERT_TRUE(sim::typeText(Control::编辑框2, "15"));
  sim::pressBackspace(Control::编辑框2, 2);
  EXPECT_THAT(sim::writesOf("zq.ini"), ElementsAre("1", "15", "1", ""));
  EXPECT_TRUE(sim::fileExists("zq.ini"));
  EXPECT_EQ(sim::fileContents("zq.ini"), "");

  // A double-byte character is one keystroke; letters are saved as they stand.
  sim::typeText(Control::编辑框3, "\xA3\xB3x");  // "３x"
  EXPECT_THAT(sim::writesOf("cs.ini"), ElementsAre("\xA3\xB3", "\xA3\xB3x"));
  EXPECT_THAT(sim::writesOf("ip.ini"), IsEmpty());
}

TEST_F(Settings, SettingABoxFromTheProgramWritesOnceEvenWhenUnchanged) {
  platform::setControlText(Control::编辑框3, "4");
  platform::setControlText(Control::编辑框3, "4");
  EXPECT_THAT(sim::writesOf("cs.ini"), ElementsAre("4", "4"));
}

TEST_F(Settings, AFailedWriteIsIgnoredAndTheBoxKeepsItsText) {
  sim::writeFile("zq.ini", "7");
  sim::failWritesTo("zq.ini", true);
  sim::typeText(Control::编辑框2, "9");
  EXPECT_EQ(platform::controlText(Control::编辑框2), "9");
  EXPECT_EQ(sim::fileContents("zq.ini"), "7");
}

TEST_F(Settings, CloseHidesAndIsRefusedAndOnlyALeftClickShows) {
  EXPECT_FALSE(sim::requestClose());
  EXPECT_FALSE(platform::mainWindowVisible());
  EXPECT_TRUE(sim::mainWindowCreated());
  onTrayEvent(kTrayLeftDoubleClick);
  onTrayEvent(kTrayRightButtonUp);
  EXPECT_FALSE(platform::mainWindowVisible());
  onTrayEvent(kTrayLeftButtonUp);
  EXPECT_TRUE(platform::mainWindowVisible());
}

// Settings files hold whatever a user or another program left in them: loading never crashes,
// and the boxes write back exactly the text that was read.
struct GarbageFile {
  const char* name;
  std::string contents;
  std::string text;  // what the box gets
  friend void PrintTo(const GarbageFile& c, std::ostream* os) { *os << c.name; }
};

class SettingsGarbage : public Settings, public ::testing::WithParamInterface<GarbageFile> {};

TEST_P(SettingsGarbage, LoadsAndWritesBackTheTextUpToTheFirstZero) {
  const GarbageFile& g = GetParam();
  saveSettings(g.contents, g.contents, g.contents);
  readSettingFile("\\ip.ini", Control::编辑框1);
  readSettingFile("\\zq.ini", Control::编辑框2);
  readSettingFile("\\cs.ini", Control::编辑框3);
  EXPECT_EQ(platform::controlText(Control::编辑框1), g.text);
  EXPECT_EQ(platform::controlText(Control::编辑框2), g.text);
  EXPECT_EQ(sim::fileContents("ip.ini"), g.contents);  // never written by loading
  EXPECT_EQ(sim::fileContents("zq.ini"), g.text);
  EXPECT_EQ(sim::fileContents("cs.ini"), g.text);
  // The program reads the values as it runs: nothing here may crash either.
  setMonitorPeriod();
  sim::clickRadio(Control::单选框6);
  checkPresence();
}

std::string everyByteButZero() {
  std::string bytes;
  for (int i = 1; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsGarbage,
    ::testing::Values(GarbageFile{"BinaryBytes", everyByteButZero(), everyByteButZero()},
                      GarbageFile{"ZerosInside", std::string("12\0\0garbage", 11), "12"},
                      GarbageFile{"OnlyZeros", std::string(64, '\0'), ""},
                      GarbageFile{"LineBreaksStay", "5\r\n", "5\r\n"},
                      GarbageFile{"HalfADoubleByteCharacter", "3\xA3", "3\xA3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Settings, AHugeFileIsLoadedWholeAndWrittenBackUnchanged) {
  const std::string huge(8 << 20, '9');
  sim::writeFile("cs.ini", huge);
  readSettingFile("\\cs.ini", Control::编辑框3);
  EXPECT_EQ(platform::controlText(Control::编辑框3).size(), huge.size());
  EXPECT_TRUE(sim::fileContents("cs.ini") == huge);
}

TEST_F(Settings, AnUnreadableFileGivesAnEmptyBox) {
  std::filesystem::create_directory(sim::programDir() + "/cs.ini");
  readSettingFile("\\cs.ini", Control::编辑框3);
  EXPECT_EQ(platform::controlText(Control::编辑框3), "");
}

TEST_F(Settings, AFileThatExistsButCannotBeReadIsNotWipedByTheLoad) {
  sim::writeFile("zq.ini", "7");
  sim::failReadsOf("zq.ini", true);
  const std::size_t writesBefore = sim::writesOf("zq.ini").size();
  readSettingFile("\\zq.ini", Control::编辑框2);
  EXPECT_EQ(platform::controlText(Control::编辑框2), "");
  EXPECT_EQ(sim::writesOf("zq.ini").size(), writesBefore);
  sim::failReadsOf("zq.ini", false);
  EXPECT_EQ(sim::fileContents("zq.ini"), "7");

  // Typing afterwards is the user's choice and is saved as usual.
  ASSERT_TRUE(sim::typeText(Control::编辑框2, "3"));
  EXPECT_EQ(sim::fileContents("zq.ini"), "3");
}

// setMonitorPeriod: textToInteger(编辑框2) seconds, the product cut to its low 32 bits read as
// a signed value, then the timer's rule (0 or less stops it).
struct PeriodCase {
  const char* name;
  Text box;
  std::uint32_t periodMs;  // 0: stopped
  friend void PrintTo(const PeriodCase& c, std::ostream* os) { *os << c.name; }
};

class MonitorPeriod : public Settings, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(MonitorPeriod, FromThePeriodBox) {
  platform::setControlText(Control::编辑框2, "9");
  setMonitorPeriod();
  ASSERT_TRUE(sim::timerRunning());
  platform::setControlText(Control::编辑框2, GetParam().box);
  setMonitorPeriod();
  EXPECT_EQ(sim::timerPeriod(), GetParam().periodMs);
  EXPECT_EQ(sim::timerRunning(), GetParam().periodMs != 0);
  EXPECT_EQ(monitorTimerPeriod(), static_cast<std::int32_t>(GetParam().periodMs));
}

INSTANTIATE_TEST_SUITE_P(
    , MonitorPeriod,
    ::testing::Values(PeriodCase{"LeadingSpaces", "  5", 5000},
                      PeriodCase{"FullWidthDigit", "\xA3\xB5", 5000},  // "５"
                      PeriodCase{"TrailingLetter", "3s", 3000},
                      PeriodCase{"Empty", "", 0},
                      PeriodCase{"Zero", "0", 0},
                      PeriodCase{"Negative", "-3", 0},
                      PeriodCase{"Largest", "2147483", 2147483000},
                      PeriodCase{"JustPast2To31", "2147484", 0},
                      PeriodCase{"JustBelow2To32", "4294967", 0},
                      PeriodCase{"2To32Plus704", "4294968", 704}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Settings, TheTimerRuleKeepsAnUnchangedScheduleAndCountsNegativeAsZero) {
  setTimerPeriod(2000);
  sim::advance(1500);
  const std::uint32_t due = sim::timerNextDue();
  const std::size_t changes = sim::timerChanges().size();
  setTimerPeriod(2000);
  EXPECT_EQ(sim::timerNextDue(), due);
  EXPECT_EQ(sim::timerChanges().size(), changes);

  setTimerPeriod(3000);  // restarts: the next tick is one new period from now
  EXPECT_EQ(sim::timerNextDue(), sim::now() + 3000);

  setTimerPeriod(-5);
  EXPECT_FALSE(sim::timerRunning());
  EXPECT_EQ(monitorTimerPeriod(), 0);
  const std::size_t stopped = sim::timerChanges().size();
  setTimerPeriod(0);  // equal to the current (stopped) period: nothing happens
  EXPECT_EQ(sim::timerChanges().size(), stopped);
}
