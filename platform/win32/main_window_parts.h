// The main window's controls and the events it raises, as the Win32 backend and the Windows
// tests see them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Every control of the main window, in creation order.
enum class MainControl {
  分组框1,
  编辑框1,
  分组框2,
  编辑框2,
  标签1,
  分组框3,
  编辑框3,
  标签2,
  分组框4,
  单选框1,
  单选框6,
  单选框3,
  分组框5,
  标签3,
  编辑框4,
  按钮1,
  状态条1,
  count
};

// The control's window, or null while the main window does not exist.
HWND mainControlWindow(MainControl control);

// Where the main window delivers its events: the core's handlers unless a test has swapped an
// entry to record what the window raised.
struct MainWindowEvents {
  bool (*closeRequest)();
  void (*trayEvent)(int kind);
  void (*periodTextChanged)();
  void (*thresholdTextChanged)();
  void (*setupAddressKeyDown)(int keyCode);
  void (*confirmClicked)();
  void (*timerTick)();
};
MainWindowEvents& mainWindowEvents();

// The program's icon at size x size pixels, its proportions kept; the system's application
// icon when the program carries none.
HICON programIcon(int size);
// Scales a top-down BGRA image to fit a transparent size x size square, centred, averaging the
// pixels each target pixel covers.
std::vector<std::uint8_t> fitIconImage(const std::uint8_t* pixels, int width, int height,
                                       int size);
