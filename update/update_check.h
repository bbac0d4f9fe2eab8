// The update check at the head of start-up: two pages, their markers, and what follows.
#pragma once

#include <cstdint>

#include "text/text.h"

extern const char* const kUpdateUrl;

// Attempts of one check, the time after which no new attempt starts, and the pause between.
constexpr int kMaxUpdateAttempts = 3;
constexpr std::uint32_t kUpdateCheckBudgetMs = 60000;
constexpr std::uint32_t kUpdateRetryPauseMs = 1000;

// Returns when the published version equals currentVersion or no version could be found;
// ends the process when a different version is published.
void checkForUpdate(const Text& currentVersion);
// What lies between the first openMarker and the next closeMarker. A missing openMarker
// counts as found at position -1, so the rest starts at byte (length of openMarker - 1).
Text extractBetween(const Text& text, const Text& openMarker, const Text& closeMarker);
// UTF-8 to code page 936 (ill-formed bytes do not stop it; ASCII comes through unchanged).
Text toAnsiText(const Text& utf8);
// True for an address the shell may be asked to open: "http://" or "https://", either case.
bool isWebAddress(const Text& address);
