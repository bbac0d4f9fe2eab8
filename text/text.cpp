// Code page 936 text operations. (Placeholder bodies: being written.)
#include "text/text.h"

Text textFromBytes(const Bytes& bytes) { return textFromBytes(reinterpret_cast<const char*>(bytes.data()), bytes.size()); }
Text textFromBytes(const char* data, std::size_t size) {
  std::size_t n = 0;
  while (n < size && data[n] != 0) ++n;
  return Text(data, n);
}
Bytes bytesFromText(const Text& text) { return Bytes(text.begin(), text.end()); }
Text numberToText(std::int64_t value) { return std::to_string(value); }
std::int32_t textToInteger(const Text&) { return 0; }
Text trimText(const Text& text) { return text; }
bool isBlank(const Text& text) { return text.empty(); }
int findText(const Text&, const Text&, int, bool) { return -1; }
Text leftText(const Text&, int) { return Text(); }
Text rightText(const Text&, int) { return Text(); }
Text midText(const Text&, int, int) { return Text(); }
Text lowerText(const Text& text) { return text; }
Text upperText(const Text& text) { return text; }
double textToNumber(const Text&) { return 0; }
