// The user-interface thread's message queue and clock: dispatching, waiting, calls posted to
// the thread, and the message loop.
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

constexpr wchar_t kCallWindowClass[] = L"VantrelCalls";
constexpr UINT kPostedCallMessage = WM_APP + 1;

using PostedCall = void (*)();

LRESULT CALLBACK callWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPostedCallMessage) {
    if (auto call = reinterpret_cast<PostedCall>(lParam)) call();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of the user-interface thread that runs the calls posted to it.
HWND callWindow() {
  static HWND window = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = callWindowProc;
    windowClass.hInstance = appInstance();
    windowClass.lpszClassName = kCallWindowClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kCallWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           appInstance(), nullptr);
  }();
  return window;
}

}  // namespace

namespace platform {

std::uint32_t tickCount() { return GetTickCount(); }

void dispatchPendingMessages() {
  MSG message;
  for (;;) {
    // Look before taking: the quit message stays queued for the loop that owns it.
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) || message.message == WM_QUIT) return;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void waitForMessages(std::uint32_t timeoutMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}

void postCall(void (*fn)()) {
  if (HWND window = callWindow())
    PostMessageW(window, kPostedCallMessage, 0, reinterpret_cast<LPARAM>(fn));
}

void runMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void postQuit() { PostQuitMessage(0); }

}  // namespace platform
