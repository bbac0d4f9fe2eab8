// Binding platform functions by name on first call, and code page 936 conversion.
#include "platform/win32/win32_internal.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

FARPROC bindProc(const char* library, const char* name) {
  // The fetch worker binds its functions on its own thread while the user-interface thread may
  // bind others, so the table is guarded.
  static std::mutex lock;
  static std::map<std::pair<std::string, std::string>, FARPROC> bound;

  std::unique_lock<std::mutex> guard(lock);
  auto key = std::make_pair(std::string(library), std::string(name));
  auto found = bound.find(key);
  FARPROC proc = found != bound.end() ? found->second : nullptr;
  if (!proc) {
    HMODULE module = LoadLibraryA(library);
    proc = module ? GetProcAddress(module, name) : nullptr;
    if (proc) bound[key] = proc;
  }
  guard.unlock();
  if (!proc) {
    std::wstring message = L"Cannot find " + wideFromAnsi(name) + L" in " + wideFromAnsi(library);
    MessageBoxW(nullptr, message.c_str(), L"Vantrel", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
  }
  return proc;
}

std::wstring wideFromAnsi(const Text& text) {
  if (text.empty()) return std::wstring();
  int size = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(size > 0 ? size : 0, L'\0');
  if (size > 0)
    MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

Text ansiFromWide(const std::wstring& text) {
  if (text.empty()) return Text();
  int size = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  Text ansi(size > 0 ? size : 0, '\0');
  if (size > 0)
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size,
                        nullptr, nullptr);
  return textFromBytes(ansi.data(), ansi.size());
}
