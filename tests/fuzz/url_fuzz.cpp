// Fuzzes URL splitting: every address yields a host, a path of at least "/" and a port.
#include <cstddef>
#include <cstdint>

#include "net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Text url = textFromBytes(reinterpret_cast<const char*>(data), size);
  Text host = hostOf(url);
  Text hostWithPort = hostOf(url, true);
  Text path = pathOf(url);
  if (host.size() > url.size() || hostWithPort.size() > url.size()) __builtin_trap();
  if (path.empty() || path[0] != '/') __builtin_trap();
  (void)portOf(url);
  return 0;
}
