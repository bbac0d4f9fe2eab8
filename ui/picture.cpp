// JPEG decoding for the lock window's picture box, with libjpeg.
//
// libjpeg reports fatal errors through error_exit, whose default prints and ends the process.
// Here error_exit jumps back to runDecoder, so a bad file only costs the picture. Warnings that
// mean the compressed data is damaged or cut short are treated as errors too: a truncated or
// corrupt file gives no picture (a black screen) rather than a half-grey one.
#include "ui/picture.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <limits>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// Bound on libjpeg's own whole-image buffers (a progressive JPEG keeps every DCT coefficient of
// the full-size image, whatever the output scale): 6000 x 4000 with 4:4:4 sampling needs 144 MB.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;
// A progressive file can hold any number of scans, each a pass over the whole image.
constexpr int kMaxScans = 1000;

struct ErrorManager {
  jpeg_error_mgr base;  // first, so a j_common_ptr's err converts to ErrorManager*
  std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void silence(j_common_ptr) {}

bool damagedData(int messageCode) {
  switch (messageCode) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
      return true;
    default:
      return false;
  }
}

// Level -1 is a warning; other levels are trace messages. Harmless warnings (extraneous bytes
// before a marker, an unknown JFIF revision) are common in camera files and keep the picture.
void onMessage(j_common_ptr info, int level) {
  if (level < 0 && damagedData(info->err->msg_code)) jumpBack(info);
}

void onProgress(j_common_ptr info) {
  if (!info->is_decompressor) return;
  auto* decompressor = reinterpret_cast<j_decompress_ptr>(info);
  if (decompressor->input_scan_number > kMaxScans) jumpBack(info);
}

// Smallest scale n/8 whose output still covers the cover size; full size when none does or
// when no cover size is given.
void chooseScale(jpeg_decompress_struct& info, int coverWidth, int coverHeight) {
  info.scale_denom = 8;
  const unsigned int smallest = coverWidth > 0 && coverHeight > 0 ? 1 : 8;
  for (unsigned int num = smallest; num <= 8; ++num) {
    info.scale_num = num;
    jpeg_calc_output_dimensions(&info);
    if (info.output_width >= static_cast<JDIMENSION>(coverWidth) &&
        info.output_height >= static_cast<JDIMENSION>(coverHeight))
      return;
  }
}

void toBgrx(const JSAMPLE* row, int components, bool invertedCmyk, std::uint8_t* out,
            JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, row += components, out += 4) {
    if (components == 1) {
      out[0] = out[1] = out[2] = row[0];
    } else if (components == 3) {
      out[0] = row[2];
      out[1] = row[1];
      out[2] = row[0];
    } else {
      // Adobe writes CMYK inverted (255 = no ink), which libjpeg passes through unchanged.
      // With the ink amounts inverted, each colour is (255 - ink) * (255 - black) / 255.
      auto light = [invertedCmyk](JSAMPLE v) { return invertedCmyk ? v : 255u - v; };
      const unsigned white = light(row[3]);
      out[0] = static_cast<std::uint8_t>(light(row[2]) * white / 255);
      out[1] = static_cast<std::uint8_t>(light(row[1]) * white / 255);
      out[2] = static_cast<std::uint8_t>(light(row[0]) * white / 255);
    }
    out[3] = 0;
  }
}

// Everything between setjmp and a possible longjmp happens here. This function holds no
// object with a destructor, and only the caller's objects (whose frame is not skipped) are
// written, so the jump is well defined. Returns false when libjpeg gave up or the picture is
// refused.
bool runDecoder(jpeg_decompress_struct& info, ErrorManager& errors, jpeg_progress_mgr& progress,
                const Bytes& jpeg, int coverWidth, int coverHeight, Picture& picture, Bytes& row) {
  if (setjmp(errors.jump)) return false;

  jpeg_create_decompress(&info);  // clears every field but err
  info.progress = &progress;
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;

  switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
      info.out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      info.out_color_space = JCS_CMYK;
      break;
    default:
      info.out_color_space = JCS_RGB;
      break;
  }
  chooseScale(info, coverWidth, coverHeight);

  const std::uint64_t width = info.output_width;
  const std::uint64_t height = info.output_height;
  if (width == 0 || height == 0 || width * height > kMaxDecodedPixels) return false;
  if (width * height * 4 > std::numeric_limits<std::size_t>::max()) return false;

  jpeg_start_decompress(&info);
  const int components = info.output_components;
  if (components != 1 && components != 3 && components != 4) return false;
  const bool invertedCmyk = info.saw_Adobe_marker;

  picture.pixels.resize(static_cast<std::size_t>(width * height * 4));
  row.resize(static_cast<std::size_t>(width) * components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const JDIMENSION y = info.output_scanline;
    if (jpeg_read_scanlines(&info, rows, 1) != 1) return false;
    toBgrx(row.data(), components, invertedCmyk, &picture.pixels[y * width * 4],
           info.output_width);
  }
  jpeg_finish_decompress(&info);
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return true;
}

}  // namespace

Picture decodePicture(const Bytes& jpeg, int coverWidth, int coverHeight) {
  if (jpeg.empty()) return Picture();

  jpeg_decompress_struct info{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = jumpBack;
  errors.base.output_message = silence;
  errors.base.emit_message = onMessage;
  progress.progress_monitor = onProgress;

  Picture picture;
  Bytes row;
  bool decoded = false;
  try {
    decoded = runDecoder(info, errors, progress, jpeg, coverWidth, coverHeight, picture, row);
  } catch (const std::bad_alloc&) {
    decoded = false;
  }
  jpeg_destroy_decompress(&info);
  if (!decoded) return Picture();
  return picture;
}
