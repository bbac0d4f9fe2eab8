// The exchange stream: an in-memory byte stream with one position for reading and writing,
// through which the page fetch caller and its worker thread pass the request and the reply.
//
// Items: a text is its bytes followed by one zero byte; a byte array is a 4-byte little-endian
// length followed by that many bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "text/text.h"

class ExchangeStream {
 public:
  // One item of a group read: where a text or a byte array read from the stream goes.
  class Item {
   public:
    Item(Text& text) : text_(&text) {}    // NOLINT: implicit on purpose, for group reads
    Item(Bytes& bytes) : bytes_(&bytes) {}  // NOLINT
   private:
    friend class ExchangeStream;
    Text* text_ = nullptr;
    Bytes* bytes_ = nullptr;
  };

  void rewind() { position_ = 0; }
  // Deletes every byte; the position goes back to the start.
  void clear();
  std::size_t position() const { return position_; }
  const Bytes& contents() const { return bytes_; }

  // Writing overwrites at the position and grows the stream as needed.
  void writeText(const Text& text);
  void writeBytes(const Bytes& bytes);
  void writeRaw(const std::uint8_t* data, std::size_t size);

  // A text read takes the bytes up to the next zero byte and moves past it; when the stream
  // ends first, the bytes up to the end form the text. It fails when no byte is left.
  // A byte-array read fails when fewer bytes remain than its length field (or that field)
  // needs. A failed read leaves the position where it was.
  bool readText(Text& text);
  bool readBytes(Bytes& bytes);
  // Reads the items in order. When one read fails, that item and every later one are left
  // empty and the position goes back to where the group began.
  bool readItems(std::initializer_list<Item> items);

 private:
  Bytes bytes_;
  std::size_t position_ = 0;
};

// The caller and the worker each hold a reference; a worker abandoned after a time-out keeps
// the stream alive alone, so nothing it does afterwards reaches the caller.
using SharedExchangeStream = std::shared_ptr<ExchangeStream>;
