// The page fetch worker. (Placeholder bodies: being written.)
#include "net/fetch.h"

Bytes fetchPage(const Text&, const Text&, const Text&, const Text&, const Text&, const Text&,
                const Text&, std::int32_t, Text*) { return Bytes(); }
void fetchWorker(void*) {}
