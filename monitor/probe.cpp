// The device probe. (Placeholder bodies: being written.)
#include "monitor/probe.h"

std::int32_t missCount = 0;
Text deviceAddress;

Text resolveAddress(const Text&) { return Text(); }
ProbeResult probeDevice() { return ProbeResult(); }
