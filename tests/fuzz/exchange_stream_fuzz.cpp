// Fuzzes the exchange stream reader with arbitrary stream contents, as a reply record.
#include <cstddef>
#include <cstdint>

#include "net/exchange_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ExchangeStream stream;
  stream.writeRaw(data, size);
  stream.rewind();
  Text tag, headers;
  Bytes body;
  bool complete = stream.readItems({tag, headers, body});
  if (!complete && stream.position() != 0) __builtin_trap();
  if (body.size() > size) __builtin_trap();
  while (stream.readText(tag)) {
  }
  return 0;
}
