// The update check at the head of start-up: two pages, their markers, and what follows.
#pragma once

#include "text/text.h"

extern const char* const kUpdateUrl;

void checkForUpdate(const Text& currentVersion);
Text extractBetween(const Text& text, const Text& openMarker, const Text& closeMarker);
Text toAnsiText(const Text& utf8);
