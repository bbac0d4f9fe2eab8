// The update check: the first page names the second, the second names the published version
// and its download address. A different version is announced, its download page opened and the
// program ended before any other part of start-up has run.
#include "update/update_check.h"

#include "net/fetch.h"
#include "platform/platform.h"

const char* const kUpdateUrl = VANTREL_UPDATE_URL;

namespace {

const char kSecondPageMarker[] = "vtrq1.0[";
const char kVersionMarker[] = "vantrelver[";
const char kDownloadMarker[] = "vantreldl[";
const char kCloseMarker[] = "]";
// "软件版本已更新" in code page 936.
const char kNewVersionText[] = "\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE\xD2\xD1\xB8\xFC\xD0\xC2";
// "信息：" in code page 936.
const char kMessageCaption[] = "\xD0\xC5\xCF\xA2\xA3\xBA";

Text fetchPageText(const Text& address) { return toAnsiText(textFromBytes(fetchPage(address))); }

// The value after openMarker, or false when the marker is not on the page: a page that is not
// ours (a captive portal's login page, say) must never pass for an update.
bool markedValue(const Text& page, const Text& openMarker, Text& value) {
  if (findText(page, openMarker) == -1) return false;
  value = extractBetween(page, openMarker, kCloseMarker);
  return true;
}

enum class Attempt { Failed, SameVersion };

Attempt attemptCheck(const Text& currentVersion) {
  const Text firstPage = fetchPageText(kUpdateUrl);
  Text secondAddress;
  if (!markedValue(firstPage, kSecondPageMarker, secondAddress)) return Attempt::Failed;

  const Text secondPage = fetchPageText(secondAddress);
  Text version;
  if (!markedValue(secondPage, kVersionMarker, version)) return Attempt::Failed;
  const Text downloadAddress = extractBetween(secondPage, kDownloadMarker, kCloseMarker);
  if (version.empty()) return Attempt::Failed;
  if (version == currentVersion) return Attempt::SameVersion;

  platform::showMessageBox(kNewVersionText, kMessageCaption,
                           platform::kMbOk | platform::kMbTaskModal);
  // The address comes from an unauthenticated page and the shell's "open" also starts
  // programs and opens file shares, so only web addresses go to it.
  if (isWebAddress(downloadAddress)) platform::shellOpen(downloadAddress);
  platform::terminateSelf();
}

// Dispatches window messages for ms milliseconds; the elapsed time survives the tick wrap.
void pauseDispatching(std::uint32_t ms) {
  const std::uint32_t start = platform::tickCount();
  for (;;) {
    platform::dispatchPendingMessages();
    const std::uint32_t elapsed = platform::tickCount() - start;
    if (elapsed >= ms) return;
    platform::waitForMessages(ms - elapsed);
  }
}

}  // namespace

bool isWebAddress(const Text& address) {
  const Text lower = lowerText(leftText(address, 8));
  return leftText(lower, 7) == "http://" || lower == "https://";
}

void checkForUpdate(const Text& currentVersion) {
  // Without a network, or behind a server that is not ours, start-up must still go on: a few
  // attempts within a bounded time, then the check gives up.
  const std::uint32_t began = platform::tickCount();
  for (int attempt = 1;; ++attempt) {
    if (attemptCheck(currentVersion) == Attempt::SameVersion) return;
    if (attempt >= kMaxUpdateAttempts) return;
    if (platform::tickCount() - began >= kUpdateCheckBudgetMs) return;
    pauseDispatching(kUpdateRetryPauseMs);
    if (platform::tickCount() - began >= kUpdateCheckBudgetMs) return;
  }
}

Text extractBetween(const Text& text, const Text& openMarker, const Text& closeMarker) {
  const int p = findText(text, openMarker);
  const Text rest = midText(text, p + static_cast<int>(openMarker.size()),
                            static_cast<int>(text.size()));
  const int q = findText(rest, closeMarker);
  return midText(rest, 1, q - 1);
}

Text toAnsiText(const Text& utf8) {
  if (utf8.empty()) return Text();
  return platform::utf8ToAnsi(utf8);
}
