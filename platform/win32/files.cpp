// Whole-file reads and writes of the settings files and the lock window's picture.
#include <limits>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

// Larger files are refused as unreadable rather than loaded: far above any settings file or
// screen picture, and small enough that a stray huge file cannot exhaust memory.
constexpr LONGLONG kMaxReadBytes = 64ll * 1024 * 1024;
constexpr DWORD kChunkBytes = 64 * 1024;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

namespace platform {

bool readWholeFile(const Text& path, Bytes& contents) {
  contents.clear();
  std::wstring widePath = wideFromAnsi(path);
  FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxReadBytes) return false;

  // Read to the end, whatever the size said: the file may change while it is read.
  Bytes read;
  read.reserve(static_cast<std::size_t>(size.QuadPart));
  for (;;) {
    std::size_t used = read.size();
    read.resize(used + kChunkBytes);
    DWORD got = 0;
    if (!ReadFile(file.get(), read.data() + used, kChunkBytes, &got, nullptr)) return false;
    read.resize(used + got);
    if (got == 0) break;
    if (static_cast<LONGLONG>(read.size()) > kMaxReadBytes) return false;
  }
  contents = std::move(read);
  return true;
}

bool writeWholeFile(const Text& path, const Bytes& contents) {
  std::wstring widePath = wideFromAnsi(path);
  FileHandle file(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  std::size_t written = 0;
  while (written < contents.size()) {
    std::size_t remaining = contents.size() - written;
    DWORD chunk = remaining > std::numeric_limits<DWORD>::max() / 2
                      ? std::numeric_limits<DWORD>::max() / 2
                      : static_cast<DWORD>(remaining);
    DWORD put = 0;
    if (!WriteFile(file.get(), contents.data() + written, chunk, &put, nullptr) || put == 0)
      return false;
    written += put;
  }
  return true;
}

}  // namespace platform
