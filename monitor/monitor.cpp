// The monitor tick. (Placeholder bodies: being written.)
#include "monitor/monitor.h"

const char* const kLockWorkStationCommand = "rundll32 user32.dll,LockWorkStation";
const char* const kSleepCommand = "rundll32.exe powrprof.dll,SetSuspendState Sleep";

void monitorTick() {}
void checkPresence() {}
bool runCommandLine(const Text&) { return false; }
