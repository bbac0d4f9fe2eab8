// The page fetch worker: one HTTP exchange on a worker thread while the caller keeps
// dispatching window messages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/exchange_stream.h"
#include "text/text.h"

// A time-out of 0 (or below) means this many seconds.
constexpr std::int32_t kDefaultFetchTimeoutSeconds = 90;
// A longer response body counts as a failed fetch, so a hostile server cannot exhaust memory.
constexpr std::size_t kMaxBodyBytes = 16u * 1024u * 1024u;

// Returns the response body, or an empty byte array when the exchange failed or the worker was
// abandoned after a quiet time-out. responseHeaders, when given, receives the reply's raw header
// text (empty when there is no reply).
Bytes fetchPage(const Text& url, const Text& verb = Text(), const Text& proxy = Text(),
                const Text& userName = Text(), const Text& password = Text(),
                const Text& headers = Text(), const Text& postData = Text(),
                std::int32_t timeoutSeconds = 0, Text* responseHeaders = nullptr);

// The worker's thread procedure. Its parameter comes from handOverExchangeStream: the worker
// takes over that reference to the stream and drops it when it ends.
void fetchWorker(void* exchangeStream);
void* handOverExchangeStream(const SharedExchangeStream& stream);
