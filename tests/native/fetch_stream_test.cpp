// The exchange stream's item formats and its read failures.
#include <gtest/gtest.h>

#include "net/exchange_stream.h"

namespace {

TEST(ExchangeStream, WritesTextsWithZeroAndByteArraysWithLittleEndianLength) {
  ExchangeStream stream;
  stream.writeText("ab");
  stream.writeText("");
  stream.writeBytes(Bytes{7, 8, 9});
  stream.writeBytes(Bytes{});
  EXPECT_EQ(stream.contents(), (Bytes{'a', 'b', 0, 0, 3, 0, 0, 0, 7, 8, 9, 0, 0, 0, 0}));

  ExchangeStream big;
  big.writeBytes(Bytes(0x010203, 0x55));
  EXPECT_EQ(Bytes(big.contents().begin(), big.contents().begin() + 4), (Bytes{3, 2, 1, 0}));
}

TEST(ExchangeStream, ReadsBackWhatWasWritten) {
  ExchangeStream stream;
  stream.writeText("Quillot_OK");
  stream.writeText("HTTP/1.1 200 OK\r\n");
  stream.writeBytes(Bytes{0, 1, 0});
  stream.rewind();
  Text tag, headers;
  Bytes body;
  ASSERT_TRUE(stream.readItems({tag, headers, body}));
  EXPECT_EQ(tag, "Quillot_OK");
  EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\n");
  EXPECT_EQ(body, (Bytes{0, 1, 0}));
  EXPECT_EQ(stream.position(), stream.contents().size());
}

TEST(ExchangeStream, TextReadRunsToTheEndAndFailsOnlyWhenNothingIsLeft) {
  ExchangeStream stream;
  stream.writeRaw(reinterpret_cast<const std::uint8_t*>("xyz"), 3);
  stream.rewind();
  Text text;
  ASSERT_TRUE(stream.readText(text));
  EXPECT_EQ(text, "xyz");
  text = "kept";
  EXPECT_FALSE(stream.readText(text));
  EXPECT_EQ(stream.position(), 3u);
}

TEST(ExchangeStream, ByteArrayReadFailsWhenBytesAreMissing) {
  for (const Bytes& contents : {Bytes{}, Bytes{5, 0, 0}, Bytes{5, 0, 0, 0, 1, 2, 3, 4}}) {
    ExchangeStream stream;
    stream.writeRaw(contents.data(), contents.size());
    stream.rewind();
    Bytes bytes;
    EXPECT_FALSE(stream.readBytes(bytes)) << contents.size() << " bytes";
    EXPECT_EQ(stream.position(), 0u);
  }
}

TEST(ExchangeStream, FailedGroupReadEmptiesTheRestAndGoesBackToTheGroupStart) {
  ExchangeStream stream;
  stream.writeText("first");
  stream.writeText("second");
  stream.writeText("tag");
  stream.writeText("headers");
  stream.writeRaw(reinterpret_cast<const std::uint8_t*>("\x09\0\0\0abc"), 7);  // body cut short
  stream.rewind();
  Text first, second;
  ASSERT_TRUE(stream.readItems({first, second}));
  const std::size_t groupStart = stream.position();

  Text tag = "x", headers = "x";
  Bytes body{1};
  Text after = "x";
  EXPECT_FALSE(stream.readItems({tag, headers, body, after}));
  EXPECT_EQ(tag, "tag");
  EXPECT_EQ(headers, "headers");
  EXPECT_TRUE(body.empty());
  EXPECT_TRUE(after.empty());
  EXPECT_EQ(stream.position(), groupStart);
}

TEST(ExchangeStream, WritingOverwritesAtThePositionAndGrows) {
  ExchangeStream stream;
  stream.writeText("abcdef");
  stream.rewind();
  stream.writeText("xy");
  EXPECT_EQ(stream.contents(), (Bytes{'x', 'y', 0, 'd', 'e', 'f', 0}));
  stream.clear();
  EXPECT_TRUE(stream.contents().empty());
  EXPECT_EQ(stream.position(), 0u);
}

}  // namespace
