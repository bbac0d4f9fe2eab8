// Program entry, the start-up sequence and the exit clean-up.
#pragma once

#include <cstdint>

#include "text/text.h"

extern Text programDirectory;
extern const char* const kProgramVersion;  // "1.0"

int programMain();
void onMainWindowCreated();
void hideMainWindow();
void exitCleanUp();
// Waits timeoutMs while dispatching window messages; elapsed time survives the tick wrap.
void waitDispatching(std::uint32_t timeoutMs);
