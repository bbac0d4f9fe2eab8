// The monitor tick, its leave actions and starting a program from a command line.
#pragma once

#include "text/text.h"

extern const char* const kLockWorkStationCommand;
extern const char* const kSleepCommand;

void monitorTick();
void checkPresence();
bool runCommandLine(const Text& commandLine);
