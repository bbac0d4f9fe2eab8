// Fuzzes the code page 936 text operations: any bytes, any positions and counts.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  int start = static_cast<std::int8_t>(data[0]);
  int count = static_cast<std::int8_t>(data[1]);
  bool ignoreCase = data[2] & 1;
  std::size_t split = data[3] % (size - 3);
  Text text = textFromBytes(reinterpret_cast<const char*>(data) + 4, size - 4);
  Text sought = leftText(text, static_cast<int>(split));

  int found = findText(text, sought, start, ignoreCase);
  if (found != -1 && (found < 1 || found > static_cast<int>(text.size()))) __builtin_trap();
  if (leftText(text, count).size() > text.size()) __builtin_trap();
  if (rightText(text, count).size() > text.size()) __builtin_trap();
  if (midText(text, start, count).size() > text.size()) __builtin_trap();
  if (lowerText(text).size() != text.size()) __builtin_trap();
  if (upperText(text).size() != text.size()) __builtin_trap();
  Text trimmed = trimText(text);
  if (trimmed.size() > text.size()) __builtin_trap();
  (void)isBlank(text);
  (void)textToInteger(text);
  (void)textToNumber(text);
  return 0;
}
