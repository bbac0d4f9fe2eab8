// Code page 936 texts and byte arrays, and the text operations the whole program shares.
// A Text holds code page 936 bytes and never a zero byte: an empty text and an absent text
// are the same. Positions are 1-based byte positions; -1 means "not found".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Text = std::string;
using Bytes = std::vector<std::uint8_t>;

// The bytes up to the first zero byte (all of them when there is none).
Text textFromBytes(const Bytes& bytes);
Text textFromBytes(const char* data, std::size_t size);
Bytes bytesFromText(const Text& text);

// Decimal, with a minus sign for negative values and nothing else.
Text numberToText(std::int64_t value);

// Skips leading white space (space, tab, CR, LF, VT, FF, full-width space), takes an optional
// sign and decimal digits; full-width forms count as their ASCII characters. Wraps in 32 bits.
std::int32_t textToInteger(const Text& text);

// Removes leading and trailing ASCII spaces and full-width spaces (A1 A1); other blanks stay.
Text trimText(const Text& text);

// True when nothing is left once every ASCII space and full-width space is removed.
bool isBlank(const Text& text);

constexpr int kNoStart = 0;
int findText(const Text& text, const Text& sought, int start = kNoStart, bool ignoreCase = false);
Text leftText(const Text& text, int count);
Text rightText(const Text& text, int count);
Text midText(const Text& text, int start, int count);
Text lowerText(const Text& text);
Text upperText(const Text& text);
double textToNumber(const Text& text);
