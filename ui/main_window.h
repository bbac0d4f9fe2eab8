// The main window's handlers, the settings files and the monitor timer's period rule.
// The controls themselves live in the platform backend; the settings live in the controls.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "text/text.h"

constexpr std::uint32_t kTrayIconId = 100;
constexpr std::uint32_t kTrayCallback = 0x8064;  // WM_APP + 100
extern const char* const kTrayTip;               // "Vantrel"
extern const char* const kMessageCaption;        // "信息："
extern const char* const kSetupPrompt;
extern const char* const kAddressNotFound;       // "Windows 找不到此IP"
// The settings files, appended to programDirectory.
extern const char* const kAddressFile;    // "\\ip.ini"
extern const char* const kPeriodFile;     // "\\zq.ini"
extern const char* const kThresholdFile;  // "\\cs.ini"

// Tray notification kinds as the backend reports them.
constexpr int kTrayLeftButtonUp = 1;
constexpr int kTrayLeftDoubleClick = 2;
constexpr int kTrayRightButtonUp = 3;
constexpr int kKeyEnter = 13;

// fileName is "\\ip.ini", "\\zq.ini" or "\\cs.ini", appended to programDirectory.
void readSettingFile(const Text& fileName, platform::Control box);
void writeSettingFile(const Text& fileName, platform::Control box);

bool onCloseRequest();  // false: the close is refused
void onTrayEvent(int kind);
void onPeriodTextChanged();
void onThresholdTextChanged();
void onSetupAddressKeyDown(int keyCode);
void confirmDeviceAddress();

// Period of 时钟1 in milliseconds, 0 while stopped.
std::int32_t monitorTimerPeriod();
// The timer's period rule: negative counts as 0, an unchanged value changes nothing,
// otherwise stop and, above 0, start again with the new period.
void setTimerPeriod(std::int32_t periodMs);
// Period ← textToInteger(编辑框2) × 1000 ms, cut to its low 32 bits.
void setMonitorPeriod();
// Resets the window-side state kept by the core (for tests).
void resetMainWindowState();

void showInfoMessage(const Text& text);
