// Whether a path names something that exists, readable or not.
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace platform {

bool fileExists(const Text& path) {
  return GetFileAttributesW(wideFromAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace platform
