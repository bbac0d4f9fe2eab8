// The device probe: one ICMP echo to the device, and the program-wide presence state.
#pragma once

#include <cstdint>

#include "text/text.h"

extern std::int32_t missCount;
extern Text deviceAddress;

struct ProbeResult {
  bool answered = false;            // a reply with a success status came back
  std::int32_t roundTripTime = 0;   // milliseconds; 0 also for an answer under 1 ms
};

// Dotted IPv4 text of an address, or empty when it is blank, too long or cannot be resolved.
Text resolveAddress(const Text& address);
ProbeResult probeDevice();
