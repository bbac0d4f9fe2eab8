// The Win32 backend's code-page, shell, process-ending, worker-thread and HTTP pieces.
// WinINet and WideCharToMultiByte are bound by name on first call, from the libraries the
// program names for them.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

constexpr UINT kUtf8CodePage = 65001;
constexpr UINT kAnsiCodePage = 936;
constexpr DWORD kAllEvents = 0x4BF;  // QS_ALLEVENTS: input, posted messages, timers, paint, hot keys
const char kInetLibrary[] = "WinINet.dll";

using WideCharToMultiByteFn = int(WINAPI*)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL);

// What a worker thread runs; the thread procedure owns it.
struct WorkerStart {
  void (*fn)(void*);
  void* param;
};

DWORD WINAPI workerThread(LPVOID startParam) {
  std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(startParam));
  start->fn(start->param);
  return 0;
}

}  // namespace

namespace platform {

Text utf8ToAnsi(const Text& utf8) {
  if (utf8.empty()) return Text();
  // Both conversions take the source up to its terminating zero (length -1), so the sizes
  // include the terminator; each output buffer is sized by a first call without one.
  const int wideSize = MultiByteToWideChar(kUtf8CodePage, 0, utf8.c_str(), -1, nullptr, 0);
  if (wideSize <= 0) return Text();
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  if (MultiByteToWideChar(kUtf8CodePage, 0, utf8.c_str(), -1, wide.data(), wideSize) <= 0)
    return Text();

  static const auto wideCharToMultiByte =
      boundProc<WideCharToMultiByteFn>("kernel32.dll", "WideCharToMultiByte");
  const int ansiSize =
      wideCharToMultiByte(kAnsiCodePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (ansiSize <= 0) return Text();
  std::string ansi(static_cast<std::size_t>(ansiSize), '\0');
  const int written = wideCharToMultiByte(kAnsiCodePage, 0, wide.c_str(), -1, ansi.data(),
                                          ansiSize, nullptr, nullptr);
  if (written <= 0) return Text();
  return textFromBytes(ansi.data(), static_cast<std::size_t>(written));
}

void shellOpen(const Text& address) {
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", address.empty() ? nullptr : address.c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

void terminateSelf() {
  const DWORD id = GetCurrentProcessId();
  HANDLE self = OpenProcess(PROCESS_TERMINATE, FALSE, id);
  if (self) {
    TerminateProcess(self, 0);
    CloseHandle(self);
  }
  // Only reached when the process could not be opened for termination.
  ExitProcess(0);
}

// ---- Worker threads --------------------------------------------------------------------------

WorkerHandle startWorker(void (*fn)(void*), void* param) {
  auto start = std::make_unique<WorkerStart>(WorkerStart{fn, param});
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, workerThread, start.get(), 0, &threadId);
  if (!thread) return nullptr;
  start.release();  // the thread owns it now
  return thread;
}

WaitResult waitForWorkerOrMessage(WorkerHandle worker, std::uint32_t timeoutMs) {
  HANDLE thread = static_cast<HANDLE>(worker);
  switch (MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs, kAllEvents)) {
    case WAIT_OBJECT_0: return WaitResult::WorkerEnded;
    case WAIT_TIMEOUT: return WaitResult::Timeout;
    case WAIT_OBJECT_0 + 1: return WaitResult::Message;
    default: return WaitResult::Failed;
  }
}

void releaseWorker(WorkerHandle worker) {
  // A worker still running is abandoned, never terminated: TerminateThread could stop it while
  // it holds the heap's lock.
  if (worker) CloseHandle(static_cast<HANDLE>(worker));
}

// ---- WinINet, bound by name on first call ----------------------------------------------------

namespace inet {

namespace {
using InternetOpenFn = void*(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
using InternetConnectFn = void*(WINAPI*)(void*, LPCSTR, WORD, LPCSTR, LPCSTR, DWORD, DWORD,
                                         DWORD_PTR);
using HttpOpenRequestFn = void*(WINAPI*)(void*, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                         DWORD_PTR);
using HttpSendRequestFn = BOOL(WINAPI*)(void*, LPCSTR, DWORD, LPVOID, DWORD);
using InternetReadFileFn = BOOL(WINAPI*)(void*, LPVOID, DWORD, LPDWORD);
using HttpQueryInfoFn = BOOL(WINAPI*)(void*, DWORD, LPVOID, LPDWORD, LPDWORD);
using InternetSetCookieFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR);
using InternetCloseHandleFn = BOOL(WINAPI*)(void*);
}  // namespace

Handle internetOpen(const char* agent, std::uint32_t accessType, const char* proxy,
                    const char* proxyBypass, std::uint32_t flags) {
  static const auto fn = boundProc<InternetOpenFn>(kInetLibrary, "InternetOpenA");
  return fn(agent, accessType, proxy, proxyBypass, flags);
}

Handle internetConnect(Handle internet, const char* host, std::uint16_t port,
                       const char* userName, const char* password, std::uint32_t service,
                       std::uint32_t flags, std::uintptr_t context) {
  static const auto fn = boundProc<InternetConnectFn>(kInetLibrary, "InternetConnectA");
  return fn(internet, host, port, userName, password, service, flags, context);
}

Handle httpOpenRequest(Handle connection, const char* verb, const char* path,
                       const char* version, const char* referrer, const char** acceptTypes,
                       std::uint32_t flags, std::uintptr_t context) {
  static const auto fn = boundProc<HttpOpenRequestFn>(kInetLibrary, "HttpOpenRequestA");
  return fn(connection, verb, path, version, referrer, acceptTypes, flags, context);
}

bool httpSendRequest(Handle request, const char* headers, std::uint32_t headersLength,
                     const void* optional, std::uint32_t optionalLength) {
  static const auto fn = boundProc<HttpSendRequestFn>(kInetLibrary, "HttpSendRequestA");
  return fn(request, headers, headersLength, const_cast<void*>(optional), optionalLength) != FALSE;
}

bool internetReadFile(Handle request, void* buffer, std::uint32_t toRead, std::uint32_t* read) {
  static const auto fn = boundProc<InternetReadFileFn>(kInetLibrary, "InternetReadFile");
  DWORD got = 0;
  const bool ok = fn(request, buffer, toRead, &got) != FALSE;
  if (read) *read = ok ? got : 0;
  return ok;
}

bool httpQueryInfo(Handle request, std::uint32_t level, void* buffer, std::uint32_t* length,
                   std::uint32_t* index) {
  static const auto fn = boundProc<HttpQueryInfoFn>(kInetLibrary, "HttpQueryInfoA");
  DWORD size = length ? *length : 0;
  DWORD at = index ? *index : 0;
  const bool ok = fn(request, level, buffer, length ? &size : nullptr, index ? &at : nullptr) != FALSE;
  if (length) *length = size;
  if (index) *index = at;
  return ok;
}

bool internetSetCookie(const char* url, const char* name, const char* data) {
  static const auto fn = boundProc<InternetSetCookieFn>(kInetLibrary, "InternetSetCookieA");
  return fn(url, name, data) != FALSE;
}

bool internetCloseHandle(Handle handle) {
  static const auto fn = boundProc<InternetCloseHandleFn>(kInetLibrary, "InternetCloseHandle");
  return fn(handle) != FALSE;
}

}  // namespace inet
}  // namespace platform
