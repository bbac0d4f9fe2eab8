// Code page 936 text operations shared by the whole program.
//
// Code page 936 is a double-byte character set: a byte of 0x80 or above opens a two-byte
// character. Searching, case mapping, trimming and the full-width folding below step over such
// a pair as one character; cutting (leftText, rightText, midText) counts plain bytes.
#include "text/text.h"

#include <charconv>
#include <cstddef>
#include <limits>

namespace {

constexpr unsigned char kLeadMin = 0x80;
// Full-width forms of the printable ASCII characters: 0xA3 0xA1..0xFE stand for 0x21..0x7E.
constexpr unsigned char kFullWidthLead = 0xA3;
// The full-width space is 0xA1 0xA1.
constexpr unsigned char kFullWidthSpaceByte = 0xA1;

unsigned char byteAt(const Text& text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// Length in bytes of the character starting at i (a lead byte at the very end stands alone).
std::size_t charLength(const Text& text, std::size_t i) {
  return byteAt(text, i) >= kLeadMin && i + 1 < text.size() ? 2 : 1;
}

bool isFullWidthSpaceAt(const Text& text, std::size_t i) {
  return i + 1 < text.size() && byteAt(text, i) == kFullWidthSpaceByte &&
         byteAt(text, i + 1) == kFullWidthSpaceByte;
}

// Replaces full-width ASCII forms by their ASCII characters and the full-width space by a space;
// every other byte stays.
Text foldFullWidth(const Text& text) {
  Text folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = charLength(text, i);
    if (len == 2 && byteAt(text, i) == kFullWidthLead && byteAt(text, i + 1) >= 0xA1 &&
        byteAt(text, i + 1) <= 0xFE) {
      folded.push_back(static_cast<char>(byteAt(text, i + 1) - 0x80));
    } else if (len == 2 && isFullWidthSpaceAt(text, i)) {
      folded.push_back(' ');
    } else {
      folded.append(text, i, len);
    }
    i += len;
  }
  return folded;
}

// The white space of the C library's isspace in the "C" locale, without asking the locale.
bool isAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Maps the ASCII letters of one case to the other; a two-byte character is copied unchanged,
// even when its second byte is an ASCII letter.
Text mapAsciiCase(const Text& text, char from, char to) {
  Text mapped = text;
  for (std::size_t i = 0; i < mapped.size();) {
    std::size_t len = charLength(mapped, i);
    if (len == 1 && mapped[i] >= from && mapped[i] <= static_cast<char>(from + 25))
      mapped[i] = static_cast<char>(mapped[i] - from + to);
    i += len;
  }
  return mapped;
}

char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool bytesMatch(const Text& text, std::size_t at, const Text& sought, bool ignoreCase) {
  for (std::size_t k = 0; k < sought.size(); ++k) {
    char a = text[at + k];
    char b = sought[k];
    if (ignoreCase ? foldAscii(a) != foldAscii(b) : a != b) return false;
  }
  return true;
}

// Skips leading white space and an optional sign, as the C library's number readers do; true
// for a minus sign. i is left on the first byte after them.
bool skipSpaceAndSign(const Text& text, std::size_t& i) {
  i = 0;
  while (i < text.size() && isAsciiSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
  return false;
}

}  // namespace

Text textFromBytes(const Bytes& bytes) {
  return textFromBytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Text textFromBytes(const char* data, std::size_t size) {
  std::size_t n = 0;
  while (n < size && data[n] != 0) ++n;
  return Text(data, n);
}

Bytes bytesFromText(const Text& text) { return Bytes(text.begin(), text.end()); }

Text numberToText(std::int64_t value) { return std::to_string(value); }

std::int32_t textToInteger(const Text& text) {
  const Text folded = foldFullWidth(text);
  std::size_t i;
  const bool negative = skipSpaceAndSign(folded, i);
  // Unsigned arithmetic wraps by definition; the final conversion is modular in C++20.
  std::uint32_t value = 0;
  for (; i < folded.size() && isDigit(folded[i]); ++i)
    value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

Text trimText(const Text& text) {
  auto isSpaceAt = [&](std::size_t i) { return text[i] == ' ' || isFullWidthSpaceAt(text, i); };
  std::size_t begin = 0;
  while (begin < text.size() && isSpaceAt(begin)) begin += charLength(text, begin);
  // Walk forward character by character so that the second byte of a character followed by
  // 0xA1 is never taken for half of a full-width space.
  std::size_t end = begin;
  for (std::size_t i = begin; i < text.size();) {
    std::size_t len = charLength(text, i);
    if (!isSpaceAt(i)) end = i + len;
    i += len;
  }
  return text.substr(begin, end - begin);
}

bool isBlank(const Text& text) {
  for (std::size_t i = 0; i < text.size(); i += charLength(text, i)) {
    if (text[i] != ' ' && !isFullWidthSpaceAt(text, i)) return false;
  }
  return true;
}

int findText(const Text& text, const Text& sought, int start, bool ignoreCase) {
  const std::size_t n = text.size();
  // 64-bit so that a start of INT_MIN does not overflow.
  const std::int64_t from = static_cast<std::int64_t>(start) - 1;
  const std::size_t b = from < 0 ? 0 : static_cast<std::size_t>(from);
  if (b >= n) return -1;
  if (sought.empty()) return 1;
  const std::size_t m = sought.size();
  for (std::size_t pos = b; n - pos >= m;) {
    if (bytesMatch(text, pos, sought, ignoreCase)) return static_cast<int>(pos + 1);
    // Never start a match on the second byte of a two-byte character.
    pos += byteAt(text, pos) >= kLeadMin ? 2 : 1;
    if (pos > n) break;
  }
  return -1;
}

Text leftText(const Text& text, int count) {
  if (count < 1) return Text();
  return text.substr(0, static_cast<std::size_t>(count));
}

Text rightText(const Text& text, int count) {
  if (count < 1) return Text();
  const std::size_t c = static_cast<std::size_t>(count);
  return c >= text.size() ? text : text.substr(text.size() - c);
}

Text midText(const Text& text, int start, int count) {
  if (start < 1 || count < 1 || static_cast<std::size_t>(start) > text.size()) return Text();
  return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count));
}

Text lowerText(const Text& text) { return mapAsciiCase(text, 'A', 'a'); }

Text upperText(const Text& text) { return mapAsciiCase(text, 'a', 'A'); }

double textToNumber(const Text& text) {
  const Text s = foldFullWidth(text);
  std::size_t i;
  const bool negative = skipSpaceAndSign(s, i);
  // Gather the mantissa digits without the point, and where the point stood, so the value can
  // be rebuilt in a form from_chars reads the same way in every locale.
  std::string digits;
  std::int64_t pointShift = 0;  // digits after the decimal point
  bool anyDigit = false;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    digits.push_back(s[i]);
    anyDigit = true;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    for (; i < s.size() && isDigit(s[i]); ++i) {
      digits.push_back(s[i]);
      ++pointShift;
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0;

  std::int64_t exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      negativeExponent = s[j] == '-';
      ++j;
    }
    if (j < s.size() && isDigit(s[j])) {
      for (; j < s.size() && isDigit(s[j]); ++j) {
        // Saturate: any exponent this large already overflows or underflows a double.
        if (exponent < 100000000) exponent = exponent * 10 + (s[j] - '0');
      }
      if (negativeExponent) exponent = -exponent;
    }
  }

  // Drop leading zeros; an all-zero mantissa is zero whatever the exponent.
  std::size_t firstNonZero = digits.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return negative ? -0.0 : 0.0;
  digits.erase(0, firstNonZero);
  const std::int64_t scale = exponent - pointShift;
  // The decimal exponent of the leading digit: the value lies in [10^lead, 10^(lead+1)).
  const std::int64_t lead = scale + static_cast<std::int64_t>(digits.size()) - 1;
  double value;
  if (lead > 400) {
    value = std::numeric_limits<double>::infinity();
  } else if (lead < -400) {
    value = 0.0;
  } else {
    std::string canonical = digits + "e" + std::to_string(scale);
    auto [end, error] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
      value = lead > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (error != std::errc())
      value = 0.0;
  }
  return negative ? -value : value;
}
