// Program entry, the start-up sequence and the exit clean-up.
#include "app/program.h"

#include <cstdlib>

#include "monitor/probe.h"
#include "platform/platform.h"
#include "ui/main_window.h"
#include "update/update_check.h"

Text programDirectory;
const char* const kProgramVersion = "1.0";

namespace {

constexpr int kStartupAttempts = 5;
constexpr std::uint32_t kStartupWaitMs = 1000;

void releaseAtExit() { exitCleanUp(); }

// The setup panel over the settings, with the prompt (编辑框4 is still empty, so confirming it
// only shows the prompt and waits for the user).
void openSetupPanel() {
  platform::setControlVisible(platform::Control::分组框5, true);
  confirmDeviceAddress();
}

}  // namespace

int programMain() {
  programDirectory = platform::executableDirectory();
  platform::setCurrentDirectory(programDirectory);
  platform::createOwnerToolWindow();
  // Registered once, however often the entry runs (the native tests run it many times).
  static const bool exitCleanUpRegistered = std::atexit(releaseAtExit) == 0;
  (void)exitCleanUpRegistered;
  platform::createMainWindow();
  onMainWindowCreated();
  platform::setMainWindowVisible(true);
  platform::runMessageLoop();
  exitCleanUp();
  return 0;
}

void onMainWindowCreated() {
  checkForUpdate(kProgramVersion);
  platform::addTrayIcon(kTrayIconId, kTrayCallback, kTrayTip);
  readSettingFile(kAddressFile, platform::Control::编辑框1);
  readSettingFile(kPeriodFile, platform::Control::编辑框2);
  readSettingFile(kThresholdFile, platform::Control::编辑框3);

  if (platform::controlText(platform::Control::编辑框1).empty()) {
    openSetupPanel();
    return;
  }
  for (int attempt = 1; attempt <= kStartupAttempts; ++attempt) {
    waitDispatching(kStartupWaitMs);
    // Read again at every attempt: the user may have edited the box during the wait.
    deviceAddress = trimText(platform::controlText(platform::Control::编辑框1));
    if (probeDevice().answered) {
      setMonitorPeriod();
      // Posted to our own queue, so it runs after the window's first show that follows this
      // handler; hiding from here would be undone by that show.
      platform::postCall(hideMainWindow);
      return;
    }
  }
  openSetupPanel();
}

void hideMainWindow() { platform::setMainWindowVisible(false); }

void exitCleanUp() {
  deviceAddress.clear();
  deviceAddress.shrink_to_fit();
}

void waitDispatching(std::uint32_t timeoutMs) {
  const std::uint32_t start = platform::tickCount();
  for (;;) {
    platform::dispatchPendingMessages();
    // Unsigned subtraction gives the elapsed time across the wrap of the tick count.
    const std::uint32_t elapsed = platform::tickCount() - start;
    if (elapsed > timeoutMs) return;
    // Sleep until a message comes or the wait is over (one past the timeout: it ends once
    // more than timeoutMs have passed).
    const std::uint32_t remaining = timeoutMs - elapsed;
    platform::waitForMessages(remaining == UINT32_MAX ? remaining : remaining + 1);
  }
}
