// The exchange stream between the page fetch caller and its worker thread.
#include "net/exchange_stream.h"

#include <algorithm>

void ExchangeStream::clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  position_ = 0;
}

void ExchangeStream::writeRaw(const std::uint8_t* data, std::size_t size) {
  if (position_ + size > bytes_.size()) bytes_.resize(position_ + size);
  std::copy(data, data + size, bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
  position_ += size;
}

void ExchangeStream::writeText(const Text& text) {
  writeRaw(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  const std::uint8_t zero = 0;
  writeRaw(&zero, 1);
}

void ExchangeStream::writeBytes(const Bytes& bytes) {
  const auto n = static_cast<std::uint32_t>(bytes.size());
  const std::uint8_t length[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                  static_cast<std::uint8_t>(n >> 16),
                                  static_cast<std::uint8_t>(n >> 24)};
  writeRaw(length, sizeof length);
  writeRaw(bytes.data(), bytes.size());
}

bool ExchangeStream::readText(Text& text) {
  if (position_ >= bytes_.size()) return false;
  const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(position_);
  const auto zero = std::find(begin, bytes_.end(), std::uint8_t{0});
  text.assign(begin, zero);
  position_ = static_cast<std::size_t>(zero - bytes_.begin());
  if (zero != bytes_.end()) ++position_;
  return true;
}

bool ExchangeStream::readBytes(Bytes& bytes) {
  const std::size_t left = bytes_.size() - std::min(position_, bytes_.size());
  if (left < 4) return false;
  const std::uint8_t* p = bytes_.data() + position_;
  const std::uint32_t n = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                          static_cast<std::uint32_t>(p[2]) << 16 |
                          static_cast<std::uint32_t>(p[3]) << 24;
  if (left - 4 < n) return false;
  bytes.assign(p + 4, p + 4 + n);
  position_ += 4 + static_cast<std::size_t>(n);
  return true;
}

bool ExchangeStream::readItems(std::initializer_list<Item> items) {
  const std::size_t groupStart = position_;
  bool failed = false;
  for (const Item& item : items) {
    if (!failed) failed = item.text_ ? !readText(*item.text_) : !readBytes(*item.bytes_);
    if (failed) {
      if (item.text_) item.text_->clear();
      if (item.bytes_) item.bytes_->clear();
    }
  }
  if (failed) position_ = groupStart;
  return !failed;
}
