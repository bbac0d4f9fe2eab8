// Fuzzes the picture decoder: any bytes give a picture or none, never a crash or a huge buffer.
#include <cstddef>
#include <cstdint>

#include "ui/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes bytes(data, data + size);
  Picture picture = decodePicture(bytes, 64, 48);
  if (!picture.empty() &&
      picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
    __builtin_trap();
  return 0;
}
