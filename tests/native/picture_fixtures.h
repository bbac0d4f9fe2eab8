// Test pictures written with libjpeg itself, for the decoder's and the lock window's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "ui/picture.h"

namespace picture_test {

enum class Kind { Rgb, Greyscale, Cmyk };

struct Colour {
  int r, g, b;
};

// Left half red, right half blue (grey levels 64 and 192 for a greyscale picture), so a
// decoded picture shows whether channels and halves ended up in the right place.
inline Colour leftColour(Kind kind) { return kind == Kind::Greyscale ? Colour{64, 64, 64} : Colour{255, 0, 0}; }
inline Colour rightColour(Kind kind) { return kind == Kind::Greyscale ? Colour{192, 192, 192} : Colour{0, 0, 255}; }

inline Bytes encodeJpeg(int width, int height, Kind kind, bool progressive, int quality = 90) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = kind == Kind::Rgb ? 3 : kind == Kind::Greyscale ? 1 : 4;
  info.in_color_space = kind == Kind::Rgb ? JCS_RGB : kind == Kind::Greyscale ? JCS_GRAYSCALE : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * info.input_components);
  for (int x = 0; x < width; ++x) {
    const Colour c = x < width / 2 ? leftColour(kind) : rightColour(kind);
    JSAMPLE* p = &row[static_cast<size_t>(x) * info.input_components];
    if (kind == Kind::Rgb) {
      p[0] = static_cast<JSAMPLE>(c.r), p[1] = static_cast<JSAMPLE>(c.g), p[2] = static_cast<JSAMPLE>(c.b);
    } else if (kind == Kind::Greyscale) {
      p[0] = static_cast<JSAMPLE>(c.r);
    } else {
      // libjpeg writes an Adobe marker for CMYK and the values as given: Adobe's inverted form.
      p[0] = static_cast<JSAMPLE>(c.r), p[1] = static_cast<JSAMPLE>(c.g), p[2] = static_cast<JSAMPLE>(c.b);
      p[3] = 255;
    }
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  Bytes jpeg(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return jpeg;
}

// Offset of the first byte after marker 0xFF code, or npos.
inline size_t afterMarker(const Bytes& jpeg, std::uint8_t code) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i + 2;
  return std::string::npos;
}

inline Bytes withSize(Bytes jpeg, int width, int height) {
  size_t sof = afterMarker(jpeg, 0xC0);
  if (sof == std::string::npos) sof = afterMarker(jpeg, 0xC2);
  // SOF: length (2), precision (1), height (2), width (2), big-endian.
  jpeg[sof + 3] = static_cast<std::uint8_t>(height >> 8), jpeg[sof + 4] = static_cast<std::uint8_t>(height);
  jpeg[sof + 5] = static_cast<std::uint8_t>(width >> 8), jpeg[sof + 6] = static_cast<std::uint8_t>(width);
  return jpeg;
}

inline Bytes cut(Bytes jpeg, size_t size) {
  jpeg.resize(size);
  return jpeg;
}

// Cut halfway through the compressed data of the last scan.
inline Bytes cutInScan(const Bytes& jpeg) {
  size_t lastScan = 0;
  for (size_t i = 0; i + 3 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) lastScan = i + 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
  return cut(jpeg, (lastScan + jpeg.size() - 2) / 2);
}

inline void expectNear(const Picture& picture, int x, int y, Colour c) {
  const std::uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 4];
  EXPECT_NEAR(p[2], c.r, 12) << "red at " << x << "," << y;
  EXPECT_NEAR(p[1], c.g, 12) << "green at " << x << "," << y;
  EXPECT_NEAR(p[0], c.b, 12) << "blue at " << x << "," << y;
  EXPECT_EQ(p[3], 0) << "padding byte at " << x << "," << y;
}

}  // namespace picture_test
