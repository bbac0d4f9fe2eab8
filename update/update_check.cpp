// The update check. (Placeholder bodies: being written.)
#include "update/update_check.h"

const char* const kUpdateUrl = VANTREL_UPDATE_URL;

void checkForUpdate(const Text&) {}
Text extractBetween(const Text&, const Text&, const Text&) { return Text(); }
Text toAnsiText(const Text& utf8) { return utf8; }
