// Main window handlers and settings files. (Placeholder bodies: being written.)
#include "ui/main_window.h"

const char* const kTrayTip = "Vantrel";
const char* const kMessageCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";
const char* const kSetupPrompt = "";
const char* const kAddressNotFound = "";

void readSettingFile(const Text&, platform::Control) {}
void writeSettingFile(const Text&, platform::Control) {}
bool onCloseRequest() { return false; }
void onTrayEvent(int) {}
void onPeriodTextChanged() {}
void onThresholdTextChanged() {}
void onSetupAddressKeyDown(int) {}
void confirmDeviceAddress() {}
std::int32_t monitorTimerPeriod() { return 0; }
void setTimerPeriod(std::int32_t) {}
void setMonitorPeriod() {}
void resetMainWindowState() {}
void showInfoMessage(const Text&) {}
