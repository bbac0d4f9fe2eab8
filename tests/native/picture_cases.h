// The picture decoder's tests, shared by the native test binary and the Windows one (which
// runs them against the MinGW build of libjpeg).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/native/picture_fixtures.h"
#include "ui/picture.h"

namespace picture_test {

// ---- Pictures that decode -------------------------------------------------------------------

struct GoodCase {
  const char* name;
  Kind kind;
  bool progressive;
  std::function<Bytes(Bytes)> damage;  // a change that must not cost the picture
};

class PictureDecodes : public ::testing::TestWithParam<GoodCase> {};

TEST_P(PictureDecodes, FullSizeBgrxTopDownWithBothHalves) {
  const GoodCase& c = GetParam();
  Bytes jpeg = encodeJpeg(96, 64, c.kind, c.progressive);
  if (c.damage) jpeg = c.damage(jpeg);
  const Picture picture = decodePicture(jpeg);
  ASSERT_EQ(picture.width, 96);
  ASSERT_EQ(picture.height, 64);
  ASSERT_EQ(picture.pixels.size(), 96u * 64 * 4);
  for (int y : {0, 63}) {
    expectNear(picture, 4, y, leftColour(c.kind));
    expectNear(picture, 91, y, rightColour(c.kind));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PictureDecodes,
    ::testing::Values(
        GoodCase{"Baseline", Kind::Rgb, false, nullptr},
        GoodCase{"Progressive", Kind::Rgb, true, nullptr},
        GoodCase{"Greyscale", Kind::Greyscale, false, nullptr},
        GoodCase{"GreyscaleProgressive", Kind::Greyscale, true, nullptr},
        GoodCase{"AdobeCmyk", Kind::Cmyk, false, nullptr},
        // Stray bytes before a marker only draw a warning from libjpeg; many camera files
        // have them and show fine, so the picture is kept.
        GoodCase{"ExtraneousBytesBeforeMarker", Kind::Rgb, false,
                 [](Bytes jpeg) {
                   const size_t sos = afterMarker(jpeg, 0xDA) - 2;
                   jpeg.insert(jpeg.begin() + static_cast<long>(sos), {0x12, 0x34, 0x56});
                   return jpeg;
                 }},
        // Anything after the end-of-image marker is never read.
        GoodCase{"TrailingGarbage", Kind::Rgb, true,
                 [](Bytes jpeg) {
                   jpeg.insert(jpeg.end(), 1000, 0xAB);
                   return jpeg;
                 }}),
    [](const ::testing::TestParamInfo<GoodCase>& info) { return std::string(info.param.name); });

// ---- Pictures that give no picture (and never end the process) -----------------------------

struct BadCase {
  const char* name;
  std::function<Bytes()> make;
};

class PictureRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(PictureRefused, GivesEmptyPicture) {
  const Picture picture = decodePicture(GetParam().make(), 1920, 1080);
  EXPECT_TRUE(picture.empty());
  EXPECT_EQ(picture.width, 0);
  EXPECT_EQ(picture.height, 0);
  EXPECT_TRUE(picture.pixels.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PictureRefused,
    ::testing::Values(
        BadCase{"Empty", [] { return Bytes(); }},
        BadCase{"Text", [] { const std::string s = "not a picture at all\r\n"; return Bytes(s.begin(), s.end()); }},
        BadCase{"Gif", [] { return Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0}; }},
        BadCase{"SoiOnly", [] { return Bytes{0xFF, 0xD8}; }},
        BadCase{"TruncatedInHeader", [] { return cut(encodeJpeg(96, 64, Kind::Rgb, false), 100); }},
        // Cut in the middle of the compressed data: libjpeg warns, pads the rest with grey and
        // would hand back a partial picture.
        BadCase{"TruncatedBaseline", [] { return cutInScan(encodeJpeg(96, 64, Kind::Rgb, false)); }},
        BadCase{"TruncatedProgressive", [] { return cutInScan(encodeJpeg(96, 64, Kind::Rgb, true)); }},
        BadCase{"WithoutEndMarker",
                [] { Bytes j = encodeJpeg(96, 64, Kind::Rgb, false); return cut(j, j.size() - 2); }},
        // A marker in the middle of the compressed data: libjpeg only warns and pads with grey.
        BadCase{"MarkerInsideScan",
                [] {
                  Bytes j = encodeJpeg(96, 64, Kind::Rgb, false);
                  const size_t middle = (afterMarker(j, 0xDA) + j.size()) / 2;
                  j[middle] = 0xFF, j[middle + 1] = 0xD9;
                  return j;
                }},
        BadCase{"ZeroHeight", [] { return withSize(encodeJpeg(96, 64, Kind::Rgb, false), 96, 0); }},
        BadCase{"UnknownFrameType",
                [] {
                  Bytes j = encodeJpeg(96, 64, Kind::Rgb, false);
                  j[afterMarker(j, 0xC0) - 1] = 0xCF;  // SOF15: lossless arithmetic, unsupported
                  return j;
                }},
        // The whole-image coefficient buffers of a 65000 x 65000 progressive file (25 GB)
        // are more than libjpeg is allowed to allocate.
        BadCase{"ProgressiveCoefficientsAboveMemoryBound",
                [] { return withSize(encodeJpeg(96, 64, Kind::Rgb, true), 65000, 65000); }}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// Decoded sizes above kMaxDecodedPixels are refused before any pixel buffer is allocated.
TEST(PictureBound, SizeAboveBoundRefused) {
  const Bytes huge = withSize(encodeJpeg(96, 64, Kind::Rgb, false), 65000, 65000);
  EXPECT_TRUE(decodePicture(huge).empty());             // full size: 4.2 G pixels
  EXPECT_TRUE(decodePicture(huge, 16384, 16384).empty());  // 1/4: 16250 x 16250
}

// ---- Scaling to the cover size ---------------------------------------------------------------

struct ScaleCase {
  int coverWidth, coverHeight;
  int width, height;  // expected decoded size of an 800 x 600 picture
};

class PictureScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(PictureScale, SmallestEighthThatCovers) {
  static const Bytes jpeg = encodeJpeg(800, 600, Kind::Rgb, false);
  const ScaleCase& c = GetParam();
  const Picture picture = decodePicture(jpeg, c.coverWidth, c.coverHeight);
  EXPECT_EQ(picture.width, c.width);
  EXPECT_EQ(picture.height, c.height);
  ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(c.width) * c.height * 4);
  expectNear(picture, 0, 0, leftColour(Kind::Rgb));
  expectNear(picture, picture.width - 1, picture.height - 1, rightColour(Kind::Rgb));
}

INSTANTIATE_TEST_SUITE_P(
    Covers, PictureScale,
    ::testing::Values(ScaleCase{0, 0, 800, 600}, ScaleCase{1, 1, 100, 75}, ScaleCase{100, 75, 100, 75},
                      ScaleCase{101, 75, 200, 150}, ScaleCase{100, 76, 200, 150},
                      ScaleCase{300, 200, 300, 225}, ScaleCase{600, 100, 600, 450},
                      ScaleCase{799, 599, 800, 600}, ScaleCase{1920, 1080, 800, 600},
                      ScaleCase{-5, -5, 800, 600}));

// A 6000 x 4000 photo for a 1920 x 1080 screen is decoded at 3/8: 2250 x 1500 (13.5 MB
// instead of 96 MB), in either encoding.
TEST(PictureHuge, DecodedAtThreeEighthsForFullHdScreen) {
  for (bool progressive : {false, true}) {
    const Picture picture = decodePicture(encodeJpeg(6000, 4000, Kind::Rgb, progressive, 75), 1920, 1080);
    EXPECT_EQ(picture.width, 2250) << "progressive " << progressive;
    EXPECT_EQ(picture.height, 1500) << "progressive " << progressive;
    if (!picture.empty()) expectNear(picture, 2249, 1499, rightColour(Kind::Rgb));
  }
}

}  // namespace picture_test
