// The update check on the simulated platform: the two pages, their markers, the notice, the
// shell, the ending, and the bounded retries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/url.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_net.h"
#include "update/update_check.h"

namespace {

const Text kNewVersionText = "\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE\xD2\xD1\xB8\xFC\xD0\xC2";  // 软件版本已更新
const Text kCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";                                  // 信息：
const Text kSecondUrl = "http://pages.example.test/ver.html";

// The key under which the simulated network serves an address.
Text served(const Text& url) {
  const std::int32_t port = portOf(url);
  return "http://" + hostOf(url) + (port == 80 ? "" : ":" + std::to_string(port)) + pathOf(url);
}

void servePage(const Text& url, const std::string& body) {
  sim::net::Page page;
  page.body.assign(body.begin(), body.end());
  sim::net::setPage(served(url), page);
}

struct Outcome {
  bool terminated = false;
  std::vector<Text> opened;
  int boxes = 0;
  int requests = 0;
};

class UpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::reset();
    sim::net::reset();
  }
  void TearDown() override { sim::net::reset(); }

  static void servePages(const std::string& first, const std::string& second) {
    servePage(kUpdateUrl, first);
    servePage(kSecondUrl, second);
  }
  static Outcome run(const Text& version = "1.0") {
    Outcome outcome;
    try {
      checkForUpdate(version);
    } catch (const sim::net::ProcessTerminated&) {
      outcome.terminated = true;
    }
    outcome.opened = sim::net::shellOpens();
    outcome.boxes = static_cast<int>(sim::messageBoxes().size());
    outcome.requests = sim::net::requestsSent();
    return outcome;
  }
};

const std::string kFirst = "<p>vtrq1.0[" + kSecondUrl + "]</p>";

TEST_F(UpdateCheck, SameVersionReturnsQuietly) {
  servePages(kFirst, "vantrelver[1.0]vantreldl[http://dl.example.test/v.exe]");
  const Outcome o = run();
  EXPECT_FALSE(o.terminated);
  EXPECT_EQ(o.boxes, 0);
  EXPECT_TRUE(o.opened.empty());
  EXPECT_EQ(o.requests, 2);
}

TEST_F(UpdateCheck, DifferentVersionIsAnnouncedOpenedAndEndsTheProgram) {
  servePages(kFirst, "vantrelver[0.9]<a>vantreldl[http://dl.example.test/v.exe]</a>");
  const Outcome o = run();
  EXPECT_TRUE(o.terminated);
  EXPECT_EQ(sim::net::terminations(), 1);
  ASSERT_EQ(o.boxes, 1);
  EXPECT_EQ(sim::messageBoxes()[0].text, kNewVersionText);
  EXPECT_EQ(sim::messageBoxes()[0].caption, kCaption);
  EXPECT_EQ(sim::messageBoxes()[0].style, 0x2000u);
  EXPECT_EQ(o.opened, (std::vector<Text>{"http://dl.example.test/v.exe"}));
}

struct PageCase {
  const char* name;
  std::string first;
  std::string second;
  bool terminated;
  std::vector<Text> opened;
  int requests;  // over all attempts
};

class UpdatePages : public UpdateCheck, public ::testing::WithParamInterface<PageCase> {};

TEST_P(UpdatePages, Outcome) {
  const PageCase& c = GetParam();
  servePages(c.first, c.second);
  const Outcome o = run();
  EXPECT_EQ(o.terminated, c.terminated);
  EXPECT_EQ(o.boxes, c.terminated ? 1 : 0);
  EXPECT_EQ(o.opened, c.opened);
  EXPECT_EQ(o.requests, c.requests);
}

const Text kDl = "http://dl.example.test/v.exe";

INSTANTIATE_TEST_SUITE_P(
    Update, UpdatePages,
    ::testing::Values(
        // The blank is part of the value.
        PageCase{"BlankBeforeVersion", kFirst, "vantrelver[ 1.0]vantreldl[" + kDl + "]", true,
                 {kDl}, 2},
        PageCase{"ReverseOrder", kFirst, "vantreldl[" + kDl + "] vantrelver[0.9]", true, {kDl}, 2},
        // Without the download marker the address is cut from the page's 9th byte.
        PageCase{"NoDownloadMarker", kFirst, "12345678" + kDl + "]vantrelver[0.9]", true, {kDl},
                 2},
        PageCase{"NoDownloadMarkerNoWebAddress", kFirst, "vantrelver[0.9]", true, {}, 2},
        // No "]" at all: no version; every attempt fails.
        PageCase{"NoClosingBracket", kFirst, "vantrelver[0.9 vantreldl[x", false, {}, 6},
        PageCase{"EmptyVersion", kFirst, "vantrelver[]", false, {}, 6},
        // Everything after a zero byte is ignored.
        PageCase{"ZeroByteInPage", kFirst,
                 std::string("vantrelver[1.0", 14) + std::string(1, '\0') + "]vantrelver[0.9]",
                 false, {}, 6},
        // Code page 936 bytes (新 = D0 C2) around ASCII markers.
        PageCase{"PageInCodePage936", "\xD0\xC2vtrq1.0[" + kSecondUrl + "]\xD0\xC2",
                 "\xD0\xC2vantrelver[1.0]\xD0\xC2", false, {}, 2},
        PageCase{"MarkerTwiceFirstWins",
                 kFirst + "vtrq1.0[http://other.example.test/ver.html]", "vantrelver[1.0]", false,
                 {}, 2},
        // A page that is not ours carries no marker: no update, whatever it holds.
        PageCase{"SecondPageWithoutVersionMarker", kFirst,
                 "<html><a href=\"x\">[login]</a></html>", false, {}, 6},
        PageCase{"FirstPageWithoutMarker", "<html>[portal] login</html>", "vantrelver[0.9]",
                 false, {}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheck, MarkerTwiceOnTheFirstPageFetchesTheFirstAddress) {
  servePage(kUpdateUrl, kFirst + "vtrq1.0[http://other.example.test/ver.html]");
  servePage(kSecondUrl, "vantrelver[1.0]");
  run();
  const auto calls = sim::net::calls();
  std::vector<std::string> hosts;
  for (const auto& call : calls)
    if (call.function == "InternetConnectA") hosts.push_back(call.args[1]);
  EXPECT_EQ(hosts, (std::vector<std::string>{"\"" + hostOf(kUpdateUrl) + "\"",
                                             "\"pages.example.test\""}));
}

class DownloadAddresses : public UpdateCheck,
                          public ::testing::WithParamInterface<std::pair<Text, bool>> {};

TEST_P(DownloadAddresses, OnlyWebAddressesGoToTheShell) {
  const auto& [address, opened] = GetParam();
  servePages(kFirst, "vantrelver[0.9]vantreldl[" + address + "]");
  const Outcome o = run();
  EXPECT_TRUE(o.terminated);
  EXPECT_EQ(o.boxes, 1);
  EXPECT_EQ(o.opened, opened ? std::vector<Text>{address} : std::vector<Text>{});
}

INSTANTIATE_TEST_SUITE_P(
    Update, DownloadAddresses,
    ::testing::Values(std::pair<Text, bool>{"http://dl.example.test/v.exe", true},
                      std::pair<Text, bool>{"HTTPS://dl.example.test/v.exe", true},
                      std::pair<Text, bool>{"hTtP://x", true},
                      std::pair<Text, bool>{"file:///C:/Windows/System32/calc.exe", false},
                      std::pair<Text, bool>{"\\\\server\\share\\setup.exe", false},
                      std::pair<Text, bool>{"C:\\Windows\\notepad.exe", false},
                      std::pair<Text, bool>{" http://dl.example.test/", false},
                      std::pair<Text, bool>{"http:/x", false},
                      std::pair<Text, bool>{"", false}));

TEST_F(UpdateCheck, WithoutANetworkThreeAttemptsOneSecondApartThenStartUpGoesOn) {
  std::vector<std::uint64_t> dispatched;
  sim::after(500, [&] { dispatched.push_back(sim::elapsed()); });
  sim::after(1500, [&] { dispatched.push_back(sim::elapsed()); });
  const Outcome o = run();
  EXPECT_FALSE(o.terminated);
  EXPECT_EQ(o.requests, 3);
  EXPECT_EQ(sim::elapsed(), 2000u);
  // The pauses keep dispatching messages.
  EXPECT_EQ(dispatched, (std::vector<std::uint64_t>{500, 1500}));
}

TEST_F(UpdateCheck, NoNewAttemptOnceSixtySecondsHavePassedEvenAcrossTheTickWrap) {
  for (std::uint32_t start : {0x10000u, 0xFFFFFFFFu - 30000u}) {
    sim::reset(start);
    sim::net::reset();
    // Each first page takes 40 s and is not ours.
    sim::net::Page slow;
    slow.body = Bytes{'n', 'o'};
    slow.stallAt = sim::net::Step::Read;
    slow.stallMs = 40000;
    sim::net::setPage(served(kUpdateUrl), slow);
    const Outcome o = run();
    EXPECT_FALSE(o.terminated);
    EXPECT_EQ(o.requests, 2) << start;
    EXPECT_EQ(sim::elapsed(), 40000u + 1000u + 40000u) << start;
  }
}

TEST_F(UpdateCheck, UpdateFoundOnALaterAttemptStillEndsTheProgram) {
  servePages(kFirst, "vantrelver[0.9]vantreldl[" + kDl + "]");
  sim::net::Page down;
  down.failSend = true;
  sim::net::setPage(served(kSecondUrl), down);
  // The second page comes back during the pause after the first attempt.
  sim::after(500, [] { servePage(kSecondUrl, "vantrelver[0.9]vantreldl[" + kDl + "]"); });
  const Outcome o = run();
  EXPECT_TRUE(o.terminated);
  EXPECT_EQ(o.requests, 4);
  EXPECT_EQ(o.opened, (std::vector<Text>{kDl}));
}

struct BetweenCase {
  Text text, open, close, expected;
};

void PrintTo(const BetweenCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ExtractBetween : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(ExtractBetween, FollowsTheFindAndCutRules) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(extractBetween(c.text, c.open, c.close), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Update, ExtractBetween,
    ::testing::Values(
        BetweenCase{"a vantrelver[1.0] b", "vantrelver[", "]", "1.0"},
        BetweenCase{"vantrelver[1.0", "vantrelver[", "]", ""},
        BetweenCase{"x]vantrelver[1.0]", "vantrelver[", "]", "1.0"},
        BetweenCase{"vantrelver[", "vantrelver[", "]", ""},
        BetweenCase{"vantrelver[]1]", "vantrelver[", "]", ""},
        BetweenCase{"vantrelver[a]b]", "vantrelver[", "]", "a"},
        // A missing open marker: the rest starts at byte (marker length - 1).
        BetweenCase{"123456789012]", "vantrelver[", "]", "012"},
        BetweenCase{"12345678abc]", "vantreldl[", "]", "abc"},
        BetweenCase{"123456http://x/]", "vtrq1.0[", "]", "http://x/"},
        BetweenCase{"12345", "vtrq1.0[", "]", ""},
        BetweenCase{"12345678]", "vantrelver[", "]", ""},
        // The first marker wins; values keep their bytes, two-byte characters included.
        BetweenCase{"vtrq1.0[\xD0\xC2 A]vtrq1.0[b]", "vtrq1.0[", "]", "\xD0\xC2 A"},
        BetweenCase{"", "vantrelver[", "]", ""}));

TEST(ToAnsiText, ConvertsUtf8ToCodePage936) {
  EXPECT_EQ(toAnsiText(""), "");
  EXPECT_EQ(toAnsiText("vantrelver[1.0] <a href=\"x\">"), "vantrelver[1.0] <a href=\"x\">");
  EXPECT_EQ(toAnsiText("\xE4\xBF\xA1\xE6\x81\xAF\xEF\xBC\x9A"), kCaption);  // 信息：
  // Bytes that are not UTF-8 do not stop the conversion; ASCII around them stays.
  const Text converted = toAnsiText("a\xFF" "b\xD0\xC2" "c");
  EXPECT_EQ(converted.front(), 'a');
  EXPECT_NE(converted.find('b'), Text::npos);
  EXPECT_EQ(converted.back(), 'c');
  // A character code page 936 lacks becomes its default character.
  EXPECT_EQ(toAnsiText("x\xF0\x9F\x98\x80y"), "x?y");
}

}  // namespace
