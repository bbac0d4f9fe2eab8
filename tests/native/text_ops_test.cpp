// The code page 936 text operations: positions, double-byte stepping, full-width forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "text/text.h"

namespace {

// "啊" in code page 936 is B0 A1; "鼢" is F7 41 (second byte an ASCII capital).
const Text kAh = "\xB0\xA1";
const Text kCapitalTrail = "\xF7\x41";
const Text kFullSpace = "\xA1\xA1";

struct FindCase {
  Text text;
  Text sought;
  int start;
  bool ignoreCase;
  int expected;
};

void PrintTo(const FindCase& c, std::ostream* os) {
  *os << "find \"" << c.sought << "\" in \"" << c.text << "\" from " << c.start
      << (c.ignoreCase ? " ignoring case" : "");
}

class FindTextCases : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTextCases, FindsFirstMatch) {
  const FindCase& c = GetParam();
  EXPECT_EQ(findText(c.text, c.sought, c.start, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Text, FindTextCases, ::testing::Values(
    FindCase{"a/b/c", "/", 0, false, 2},
    FindCase{"a/b/c", "/", 1, false, 2},
    FindCase{"a/b/c", "/", -3, false, 2},
    FindCase{"a/b/c", "/", std::numeric_limits<int>::min(), false, 2},
    FindCase{"a/b/c", "/", 3, false, 4},
    FindCase{"a/b/c", "/", 5, false, -1},
    FindCase{"a/b/c", "/", 6, false, -1},
    FindCase{"a/b/c", "/", 100, false, -1},
    // An empty sought text: 1 (not the start) while anything is left to search.
    FindCase{"abcde", "", 0, false, 1},
    FindCase{"abcde", "", 5, false, 1},
    FindCase{"abcde", "", 6, false, -1},
    FindCase{"", "", 0, false, -1},
    FindCase{"", "a", 0, false, -1},
    FindCase{"abc", "abcd", 0, false, -1},
    FindCase{"abcabc", "bc", 0, false, 2},
    FindCase{"ABC", "b", 0, false, -1},
    FindCase{"ABC", "b", 0, true, 2},
    FindCase{"x-Accept: y", "accept: ", 1, true, 3},
    // A byte that occurs only as the second byte of a two-byte character is never found.
    FindCase{kAh + "x", "\xA1", 0, false, -1},
    FindCase{kCapitalTrail, "A", 0, false, -1},
    FindCase{kCapitalTrail, "a", 0, true, -1},
    FindCase{kAh + kAh + "/", "/", 0, false, 5},
    FindCase{"x" + kAh, kAh, 0, false, 2},
    // A start inside a character begins there all the same.
    FindCase{kAh + "b", "\xA1" "b", 2, false, 2},
    // A lead byte at the very end ends the search.
    FindCase{"ab\xB0", "\xB0", 0, false, 3},
    // Case folding is for ASCII letters only.
    FindCase{"\xC4", "\xE4", 0, true, -1}));

TEST(TextCut, LeftRightMid) {
  EXPECT_EQ(leftText("abc", 0), "");
  EXPECT_EQ(leftText("abc", -2), "");
  EXPECT_EQ(leftText("abc", 2), "ab");
  EXPECT_EQ(leftText("abc", 9), "abc");
  EXPECT_EQ(rightText("abc", 0), "");
  EXPECT_EQ(rightText("abc", -1), "");
  EXPECT_EQ(rightText("abc", 2), "bc");
  EXPECT_EQ(rightText("abc", 9), "abc");
  EXPECT_EQ(midText("abcde", 0, 2), "");
  EXPECT_EQ(midText("abcde", -1, 2), "");
  EXPECT_EQ(midText("abcde", 2, 2), "bc");
  EXPECT_EQ(midText("abcde", 4, 9), "de");
  EXPECT_EQ(midText("abcde", 5, 1), "e");
  EXPECT_EQ(midText("abcde", 6, 1), "");
  EXPECT_EQ(midText("abcde", 2, 0), "");
  EXPECT_EQ(midText("abcde", 2, std::numeric_limits<int>::max()), "bcde");
  // Cutting counts plain bytes and may split a two-byte character.
  EXPECT_EQ(leftText(kAh + "b", 1), "\xB0");
  EXPECT_EQ(rightText("a" + kAh, 1), "\xA1");
}

TEST(TextCase, LowerAndUpperLeaveTwoByteCharactersAlone) {
  EXPECT_EQ(lowerText("AbC-Z@[`"), "abc-z@[`");
  EXPECT_EQ(lowerText(kCapitalTrail + "Q"), kCapitalTrail + "q");
  EXPECT_EQ(upperText("post"), "POST");
  EXPECT_EQ(upperText("\xF7\x61" "a{"), "\xF7\x61" "A{");
  // A lone lead byte at the end is copied.
  EXPECT_EQ(lowerText("A\xB0"), "a\xB0");
}

struct IntegerCase {
  Text text;
  std::int32_t expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class TextToIntegerCases : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(TextToIntegerCases, Reads) { EXPECT_EQ(textToInteger(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Text, TextToIntegerCases, ::testing::Values(
    IntegerCase{"", 0},
    IntegerCase{"abc", 0},
    IntegerCase{"42", 42},
    IntegerCase{" \t\r\n\v\f-17x", -17},
    IntegerCase{"+5", 5},
    IntegerCase{"- 5", 0},
    IntegerCase{"2.9", 2},
    IntegerCase{kFullSpace + "12", 12},
    // Full-width digits and sign.
    IntegerCase{"\xA3\xAD\xA3\xB1\xA3\xB2", -12},
    IntegerCase{"\xA3\xB1" "2\xA3\xB3", 123},
    // Only spaces lead: a full-width letter ends the number like its ASCII twin.
    IntegerCase{"\xA3\xC1" "5", 0},
    IntegerCase{"2147483647", 2147483647},
    IntegerCase{"2147483648", std::numeric_limits<std::int32_t>::min()},
    IntegerCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
    IntegerCase{"4294967297", 1},
    IntegerCase{"99999999999999999999999", static_cast<std::int32_t>(4135583743u)}));

TEST(TextTrim, RemovesAsciiAndFullWidthSpacesOnly) {
  EXPECT_EQ(trimText("  a b  "), "a b");
  EXPECT_EQ(trimText(kFullSpace + " x" + kFullSpace), "x");
  EXPECT_EQ(trimText("\tx\t"), "\tx\t");
  EXPECT_EQ(trimText("   "), "");
  EXPECT_EQ(trimText(kFullSpace + kFullSpace), "");
  // "啊" (B0 A1) followed by A1 A1: the pair at the end is a full-width space, the A1 before
  // it belongs to the character.
  EXPECT_EQ(trimText(kAh + kFullSpace), kAh);
  // B0 A1 A1: no full-width space at the end, only a character and a lone byte.
  EXPECT_EQ(trimText("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}

TEST(TextBlank, OnlySpacesAreBlank) {
  EXPECT_TRUE(isBlank(""));
  EXPECT_TRUE(isBlank("  "));
  EXPECT_TRUE(isBlank(" " + kFullSpace + " "));
  EXPECT_FALSE(isBlank("\t"));
  EXPECT_FALSE(isBlank(" x "));
  EXPECT_FALSE(isBlank("\xA1"));
}

struct NumberCase {
  Text text;
  double expected;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class TextToNumberCases : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TextToNumberCases, Reads) {
  EXPECT_DOUBLE_EQ(textToNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Text, TextToNumberCases, ::testing::Values(
    NumberCase{"", 0},
    NumberCase{"abc", 0},
    NumberCase{" 81", 81},
    NumberCase{"\xA3\xB8\xA3\xB0\xA3\xB8\xA3\xB0", 8080},
    NumberCase{"8080.9", 8080.9},
    NumberCase{"-2.5e2x", -250},
    NumberCase{"1.5D3", 1500},
    NumberCase{"1.5d-1", 0.15},
    NumberCase{"7e", 7},
    NumberCase{"7e+", 7},
    NumberCase{".5", 0.5},
    NumberCase{"5.", 5},
    NumberCase{".", 0},
    NumberCase{"-", 0},
    NumberCase{"+.e1", 0},
    NumberCase{"0x1A", 0},
    NumberCase{"1,5", 1},
    NumberCase{kFullSpace + "\xA3\xAB\xA3\xB1\xA3\xAE\xA3\xB5", 1.5},
    NumberCase{"1e-400", 0},
    NumberCase{"0.000e99999", 0},
    NumberCase{"000123.4500", 123.45}));

TEST(TextToNumberLimits, OverflowGivesInfinity) {
  EXPECT_EQ(textToNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(textToNumber("-9e99999999999"), -std::numeric_limits<double>::infinity());
}

TEST(TextNumbers, NumberToTextAndBytes) {
  EXPECT_EQ(numberToText(0), "0");
  EXPECT_EQ(numberToText(-17), "-17");
  EXPECT_EQ(numberToText(4294967296), "4294967296");
  EXPECT_EQ(textFromBytes(Bytes{'a', 'b'}), "ab");
  EXPECT_EQ(textFromBytes(Bytes{0, 'b'}), "");
  EXPECT_EQ(bytesFromText("a\xB0"), (Bytes{'a', 0xB0}));
}

}  // namespace
