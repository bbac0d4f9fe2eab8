// The monitor tick: count a miss, probe the device, show the count and, past the threshold,
// take the chosen leave action.
#include "monitor/monitor.h"

#include "monitor/probe.h"
#include "platform/platform.h"
#include "ui/main_window.h"

using platform::Control;

const char* const kLockWorkStationCommand = "rundll32 user32.dll,LockWorkStation";
const char* const kSleepCommand = "rundll32.exe powrprof.dll,SetSuspendState Sleep";

namespace {

constexpr int kMissCountPane = 2;

}  // namespace

void monitorTick() {
  setMonitorPeriod();
  checkPresence();
}

void checkPresence() {
  // Wrapping increment: with a threshold near the top of the range the count may run that far.
  missCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(missCount) + 1u);
  deviceAddress = trimText(platform::controlText(Control::编辑框1));
  probeDevice();  // an answer resets missCount and asks the lock window to close
  platform::setStatusPaneText(kMissCountPane, numberToText(missCount));

  const std::int32_t threshold = textToInteger(platform::controlText(Control::编辑框3));
  if (missCount <= threshold) return;
  missCount = 0;

  // Each action is tested on its own. The lock window is opened modally: ticks go on inside
  // its nested loop, and this tick continues only once the window has closed. A window that is
  // still open (or whose close has not been handled yet) is not opened a second time.
  if (platform::controlChecked(Control::单选框1) && !platform::lockWindowOpen()) {
    platform::openLockWindowModal();
  }
  if (platform::controlChecked(Control::单选框6)) runCommandLine(kLockWorkStationCommand);
  if (platform::controlChecked(Control::单选框3)) runCommandLine(kSleepCommand);
}

bool runCommandLine(const Text& commandLine) { return platform::startProgram(commandLine); }
