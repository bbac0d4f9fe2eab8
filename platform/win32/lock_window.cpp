// The lock window: a borderless window covering the primary screen with the picture "SG.jpg",
// keeping itself topmost every 10 ms and ignoring Alt+F4. The monitor tick opens it modally;
// the probe closes it with a posted WM_CLOSE when the device answers again.
#include "platform/win32/lock_window.h"

#include <utility>
#include <vector>

#include "app/program.h"
#include "monitor/monitor.h"
#include "platform/platform.h"
#include "ui/picture.h"

WNDPROC savedLockWindowProc = nullptr;

namespace {

constexpr wchar_t kLockWindowClass[] = L"VantrelLockWindow";
constexpr wchar_t kPictureBoxClass[] = L"VantrelPictureBox";
constexpr int kPictureBoxId = 1;

// Design place of the window and of 图片框1; the creation handler replaces both with the screen.
constexpr RECT kDesignWindow = {50, 50, 50 + 301, 50 + 191};
constexpr RECT kDesignPictureBox = {32, 32, 32 + 248, 32 + 144};

// Set at WM_NCCREATE and cleared once WM_NCDESTROY has been handled: "open" covers the whole
// life of the window, so a tick nested in the modal loop never opens a second one.
HWND openLockWindow = nullptr;

// ---- Functions bound by name on first use ---------------------------------------------------

using SetWindowPosFn = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);
using GetSystemMenuFn = HMENU(WINAPI*)(HWND, BOOL);
using GetMenuItemCountFn = int(WINAPI*)(HMENU);
using DeleteMenuFn = BOOL(WINAPI*)(HMENU, UINT, UINT);
using SetWindowLongFn = LONG_PTR(WINAPI*)(HWND, int, LONG_PTR);
using CallWindowProcFn = LRESULT(WINAPI*)(WNDPROC, HWND, UINT, WPARAM, LPARAM);

BOOL setWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
  static const auto fn = boundProc<SetWindowPosFn>("user32.dll", "SetWindowPos");
  return fn(window, after, x, y, cx, cy, flags);
}

LONG_PTR replaceWindowProc(HWND window, WNDPROC proc) {
  // 32-bit user32 has no SetWindowLongPtrA export: there the pointer-sized call is SetWindowLongA.
#ifdef _WIN64
  static const auto fn = boundProc<SetWindowLongFn>("User32.dll", "SetWindowLongPtrA");
#else
  static const auto fn = boundProc<SetWindowLongFn>("User32.dll", "SetWindowLongA");
#endif
  return fn(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

// ---- 图片框1: the picture box ----------------------------------------------------------------

Picture* pictureOf(HWND box) {
  return reinterpret_cast<Picture*>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

void setPicture(HWND box, Picture picture) {
  Picture* held = pictureOf(box);
  if (held) *held = std::move(picture);
  InvalidateRect(box, nullptr, FALSE);
}

// The picture stretched over the whole client area, aspect ratio not kept; black without one.
void paintPictureBox(HWND box) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box, &paint);
  RECT client;
  GetClientRect(box, &client);
  const Picture* picture = pictureOf(box);
  if (!picture || picture->empty()) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  } else {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture->width;
    info.bmiHeader.biHeight = -picture->height;  // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // required after choosing HALFTONE
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, picture->width, picture->height,
                  picture->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  EndPaint(box, &paint);
}

LRESULT CALLBACK pictureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Picture()));
      break;
    case WM_NCDESTROY:
      delete pictureOf(box);
      SetWindowLongPtrW(box, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
      paintPictureBox(box);
      return 0;
    case WM_LBUTTONDOWN:
      // Locks the session; the window stays open behind the lock.
      runCommandLine(kLockWorkStationCommand);
      return 0;
  }
  return DefWindowProcW(box, message, wParam, lParam);
}

// ---- The lock window's own procedure (the one lockWindowProc replaces) ----------------------

LRESULT CALLBACK lockWindowClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      openLockWindow = window;
      break;
    case WM_CREATE:
      CreateWindowExW(0, kPictureBoxClass, L"", WS_CHILD | WS_VISIBLE, kDesignPictureBox.left,
                      kDesignPictureBox.top, kDesignPictureBox.right - kDesignPictureBox.left,
                      kDesignPictureBox.bottom - kDesignPictureBox.top, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureBoxId)), appInstance(),
                      nullptr);
      SetTimer(window, kLockTimerId, kLockTimerMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam != kLockTimerId) break;
      // Without SWP_NOACTIVATE: each tick also activates the window, so another window brought
      // to the front is covered again within 10 ms.
      setWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      return 0;
    case WM_DESTROY:
      KillTimer(window, kLockTimerId);
      break;
    case WM_NCDESTROY: {
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      if (openLockWindow == window) openLockWindow = nullptr;
      return result;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerClasses() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW box{};
  box.cbSize = sizeof(box);
  box.style = CS_HREDRAW | CS_VREDRAW;  // a stretched picture changes everywhere on resize
  box.lpfnWndProc = pictureBoxProc;
  box.hInstance = appInstance();
  box.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  box.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  box.lpszClassName = kPictureBoxClass;
  WNDCLASSEXW lock{};
  lock.cbSize = sizeof(lock);
  lock.lpfnWndProc = lockWindowClassProc;
  lock.hInstance = appInstance();
  lock.hCursor = box.hCursor;
  lock.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  lock.lpszClassName = kLockWindowClass;
  registered = RegisterClassExW(&box) != 0 && RegisterClassExW(&lock) != 0;
  return registered;
}

// The creation handler, run once the window and its controls exist and before it is shown.
void onLockWindowCreated(HWND window) {
  Bytes bytes;
  if (!platform::readWholeFile(programDirectory + "\\SG.jpg", bytes)) bytes.clear();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HWND box = lockPictureBox(window);
  if (box) setPicture(box, decodePicture(bytes, width, height));

  setWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (box) setWindowPos(box, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  trimSystemMenu(window);
  savedLockWindowProc = reinterpret_cast<WNDPROC>(replaceWindowProc(window, lockWindowProc));
}

HWND createLockWindow() {
  if (!registerClasses()) return nullptr;
  // Owned by the hidden tool window, so it gets no taskbar button; without an owner (before
  // the tool window exists) WS_EX_TOOLWINDOW does the same.
  HWND owner = ownerToolWindow();
  const DWORD exStyle = owner ? 0 : WS_EX_TOOLWINDOW;
  HWND window = CreateWindowExW(exStyle, kLockWindowClass, L"", WS_POPUP, kDesignWindow.left,
                                kDesignWindow.top, kDesignWindow.right - kDesignWindow.left,
                                kDesignWindow.bottom - kDesignWindow.top, owner, nullptr,
                                appInstance(), nullptr);
  if (window) onLockWindowCreated(window);
  return window;
}

struct WindowState {
  HWND window;
  bool enabled;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<WindowState>*>(windows)->push_back(
      {window, IsWindowEnabled(window) != FALSE});
  return TRUE;
}

// Runs until the lock window is gone. A quit message ends the loop early: it is put back for
// the outer loop, and the window goes too, so the caller never returns with it still open.
void runModalLoop() {
  MSG message;
  while (openLockWindow) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (openLockWindow) DestroyWindow(openLockWindow);
}

}  // namespace

LRESULT CALLBACK lockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // SC_CLOSE is compared as it stands, low four bits included, and only with lParam 0: the
  // keyboard's Alt+F4.
  if (message == WM_SYSCOMMAND && wParam == SC_CLOSE && lParam == 0) return 1;
  static const auto callWindowProc = boundProc<CallWindowProcFn>("User32.dll", "CallWindowProcA");
  return callWindowProc(savedLockWindowProc, window, message, wParam, lParam);
}

HWND lockWindowHandle() { return openLockWindow; }

HWND lockPictureBox(HWND lockWindow) { return GetDlgItem(lockWindow, kPictureBoxId); }

void trimSystemMenu(HWND window) {
  static const auto getSystemMenu = boundProc<GetSystemMenuFn>("user32", "GetSystemMenu");
  static const auto getMenuItemCount = boundProc<GetMenuItemCountFn>("user32", "GetMenuItemCount");
  static const auto deleteMenu = boundProc<DeleteMenuFn>("user32", "DeleteMenu");
  HMENU menu = getSystemMenu(window, FALSE);
  const int count = getMenuItemCount(menu);
  deleteMenu(menu, static_cast<UINT>(count - 1), MF_BYPOSITION);
  deleteMenu(menu, static_cast<UINT>(count - 2), MF_BYPOSITION);
}

namespace platform {

bool lockWindowOpen() { return openLockWindow != nullptr; }

void openLockWindowModal() {
  if (openLockWindow) return;
  std::vector<WindowState> others;
  EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&others));
  for (const WindowState& other : others) EnableWindow(other.window, FALSE);

  HWND window = createLockWindow();
  if (window) {
    ShowWindow(window, SW_SHOW);
    runModalLoop();
  }

  for (const WindowState& other : others)
    if (IsWindow(other.window)) EnableWindow(other.window, other.enabled);
}

void requestLockWindowClose() {
  if (openLockWindow) PostMessageW(openLockWindow, WM_CLOSE, 0, 0);
}

}  // namespace platform
