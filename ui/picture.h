// Decoding the lock window's picture from JPEG bytes into a 32-bit BGRX image.
// Never ends the process on bad input: a corrupt, truncated or foreign file gives no picture.
#pragma once

#include <cstdint>
#include <vector>

#include "text/text.h"

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // rows top-down, 4 bytes per pixel: B, G, R, 0
  bool empty() const { return width == 0 || height == 0; }
};

// Largest decoded image accepted, in pixels (after DCT scaling).
constexpr std::uint64_t kMaxDecodedPixels = 64ull * 1024 * 1024;

// Decodes at the smallest DCT scale (1/8 .. 1/1) whose result still covers coverWidth x
// coverHeight; 0 for either means full size. An empty Picture on any failure.
Picture decodePicture(const Bytes& jpeg, int coverWidth = 0, int coverHeight = 0);
