// Splitting an address into host, path and port for the page fetch worker.
#pragma once

#include "text/text.h"

Text hostOf(const Text& url, bool keepPort = false);
Text pathOf(const Text& url);
std::int32_t portOf(const Text& url);
