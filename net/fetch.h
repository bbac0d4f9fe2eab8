// The page fetch worker: one HTTP exchange on a worker thread while the caller keeps
// dispatching window messages.
#pragma once

#include <cstdint>

#include "text/text.h"

Bytes fetchPage(const Text& url, const Text& verb = Text(), const Text& proxy = Text(),
                const Text& userName = Text(), const Text& password = Text(),
                const Text& headers = Text(), const Text& postData = Text(),
                std::int32_t timeoutSeconds = 0, Text* responseHeaders = nullptr);
void fetchWorker(void* exchangeStream);
