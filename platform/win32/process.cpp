// The process around the windows: the program's directory, the current directory, the hidden
// tool window that owns windows without a taskbar button, and starting other programs.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

constexpr wchar_t kOwnerWindowClass[] = L"VantrelOwner";

HWND g_ownerToolWindow = nullptr;

// The module's full path; the buffer grows until the path fits.
std::wstring moduleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

HINSTANCE appInstance() { return GetModuleHandleW(nullptr); }

HWND ownerToolWindow() { return g_ownerToolWindow; }

namespace platform {

// Paths are kept as code page 936 texts like every other text, and handed to the -W functions,
// so a directory with Chinese characters works whatever the system code page is.
Text executableDirectory() {
  std::wstring path = moduleFileName();
  std::size_t lastBackslash = path.rfind(L'\\');
  return ansiFromWide(lastBackslash == std::wstring::npos ? std::wstring()
                                                          : path.substr(0, lastBackslash));
}

void setCurrentDirectory(const Text& directory) {
  std::wstring wide = wideFromAnsi(directory);
  SetCurrentDirectoryW(wide.c_str());
}

void createOwnerToolWindow() {
  if (g_ownerToolWindow) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = appInstance();
  windowClass.lpszClassName = kOwnerWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  // Top-level, never shown: windows it owns get no taskbar button.
  g_ownerToolWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerWindowClass, L"", WS_POPUP, 0, 0, 0,
                                      0, nullptr, nullptr, appInstance(), nullptr);
}

bool startProgram(const Text& commandLine) {
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return false;
  WaitForInputIdle(process.hProcess, 1000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace platform
