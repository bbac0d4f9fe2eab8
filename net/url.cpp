// Splitting an address into host, path and port. (Placeholder bodies: being written.)
#include "net/url.h"

Text hostOf(const Text&, bool) { return Text(); }
Text pathOf(const Text&) { return "/"; }
std::int32_t portOf(const Text&) { return 80; }
