// The main window's handlers, the settings files and the monitor timer's period rule. The
// controls live in the platform backend; the settings live in the controls.
#include "ui/main_window.h"

#include "app/program.h"
#include "monitor/probe.h"

using platform::Control;

const char* const kTrayTip = "Vantrel";
// "信息："
const char* const kMessageCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";
// "请输入在同一网络下设备IP\r\n\r\n推荐使用路由器的IP与MAC绑定设置\r\n\r\nWindows 用它检测你何时离开"
const char* const kSetupPrompt =
    "\xC7\xEB\xCA\xE4\xC8\xEB\xD4\xDA\xCD\xAC\xD2\xBB\xCD\xF8\xC2\xE7\xCF\xC2\xC9\xE8\xB1\xB8"
    "IP\r\n\r\n"
    "\xCD\xC6\xBC\xF6\xCA\xB9\xD3\xC3\xC2\xB7\xD3\xC9\xC6\xF7\xB5\xC4"
    "IP"
    "\xD3\xEB"
    "MAC"
    "\xB0\xF3\xB6\xA8\xC9\xE8\xD6\xC3"
    "\r\n\r\n"
    "Windows "
    "\xD3\xC3\xCB\xFC\xBC\xEC\xB2\xE2\xC4\xE3\xBA\xCE\xCA\xB1\xC0\xEB\xBF\xAA";
// "Windows 找不到此IP"
const char* const kAddressNotFound = "Windows \xD5\xD2\xB2\xBB\xB5\xBD\xB4\xCB" "IP";

const char* const kAddressFile = "\\ip.ini";
const char* const kPeriodFile = "\\zq.ini";
const char* const kThresholdFile = "\\cs.ini";

namespace {

// Period of 时钟1 as last set through the period rule; 0 while stopped.
std::int32_t currentTimerPeriod = 0;
// True while a setting is loaded from a file that exists but could not be read.
bool settingWritesHeld = false;

}  // namespace

void readSettingFile(const Text& fileName, Control box) {
  const Text path = programDirectory + fileName;
  Bytes contents;
  // A missing or unreadable file leaves contents empty, which gives an empty box.
  if (!platform::readWholeFile(path, contents) && platform::fileExists(path)) {
    // The box's text-changed handler would write the empty text straight back and so wipe a
    // file that exists but could not be read this time (locked, say); hold that write.
    settingWritesHeld = true;
    platform::setControlText(box, Text());
    settingWritesHeld = false;
    return;
  }
  platform::setControlText(box, textFromBytes(contents));
}

void writeSettingFile(const Text& fileName, Control box) {
  if (settingWritesHeld) return;
  // A failed write is ignored: the box keeps its text and the program goes on using it.
  platform::writeWholeFile(programDirectory + fileName, bytesFromText(platform::controlText(box)));
}

bool onCloseRequest() {
  platform::setMainWindowVisible(false);
  return false;
}

void onTrayEvent(int kind) {
  if (kind == kTrayLeftButtonUp) platform::setMainWindowVisible(true);
}

void onPeriodTextChanged() { writeSettingFile(kPeriodFile, Control::编辑框2); }

void onThresholdTextChanged() { writeSettingFile(kThresholdFile, Control::编辑框3); }

void onSetupAddressKeyDown(int keyCode) {
  if (keyCode == kKeyEnter) confirmDeviceAddress();
}

void confirmDeviceAddress() {
  const Text typed = platform::controlText(Control::编辑框4);
  deviceAddress = trimText(typed);
  if (typed.empty()) {
    showInfoMessage(kSetupPrompt);
    return;
  }
  if (!probeDevice().answered) {
    showInfoMessage(kAddressNotFound);
    return;
  }
  // The address is saved and shown as typed, blanks included; only the probe uses it trimmed.
  writeSettingFile(kAddressFile, Control::编辑框4);
  platform::setControlText(Control::编辑框1, typed);
  platform::setControlVisible(Control::分组框5, false);
  // Each text change writes its file; both are then written once more with the same text.
  platform::setControlText(Control::编辑框2, "2");
  platform::setControlText(Control::编辑框3, "4");
  writeSettingFile(kPeriodFile, Control::编辑框2);
  writeSettingFile(kThresholdFile, Control::编辑框3);
  setMonitorPeriod();
}

std::int32_t monitorTimerPeriod() { return currentTimerPeriod; }

void setTimerPeriod(std::int32_t periodMs) {
  if (periodMs < 0) periodMs = 0;
  // An unchanged period keeps the running timer on its schedule.
  if (periodMs == currentTimerPeriod) return;
  platform::stopMonitorTimer();
  currentTimerPeriod = periodMs;
  if (periodMs > 0) platform::startMonitorTimer(static_cast<std::uint32_t>(periodMs));
}

void setMonitorPeriod() {
  const std::int64_t seconds = textToInteger(platform::controlText(Control::编辑框2));
  // The product always fits in 64 bits; only its low 32 bits count, read as a signed value,
  // so 2^31 ms and a little more come out negative and 2^32 + 704 ms comes out as 704 ms.
  const auto lowBits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds * 1000));
  setTimerPeriod(static_cast<std::int32_t>(lowBits));
}

void resetMainWindowState() { currentTimerPeriod = 0; }

void showInfoMessage(const Text& text) {
  platform::showMessageBox(text, kMessageCaption, platform::kMbOk | platform::kMbTaskModal);
}
