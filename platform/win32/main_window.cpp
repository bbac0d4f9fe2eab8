// The main window: its controls, the status bar, the monitor timer 时钟1, the tray icon and
// the message boxes. Controls sit inside group boxes, so the group boxes forward their
// children's notifications and colour requests to the main window, whose one window procedure
// dispatches them to named handlers. Texts arrive as code page 936 and are shown through the
// -W functions.
#include "platform/win32/main_window_parts.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <string>
#include <string_view>

#include "monitor/monitor.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "ui/main_window.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"VantrelMainWindow";
constexpr int kWindowWidth = 367;
constexpr int kWindowHeight = 190;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr const char* kWindowTitle = "  Vantrel";
constexpr UINT_PTR kMonitorTimerId = 1000;
constexpr int kFirstControlId = 100;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

constexpr int kStatusPaneCount = 4;
constexpr std::array<int, kStatusPaneCount> kStatusPaneRightEdges = {40, 70, 85, 352};
// " Run", "", "", "  电脑配对设备 Windows可以知道你何时离开"
constexpr std::array<const char*, kStatusPaneCount> kStatusPaneTexts = {
    " Run", "", "",
    "  \xB5\xE7\xC4\xD4\xC5\xE4\xB6\xD4\xC9\xE8\xB1\xB8 Windows\xBF\xC9\xD2\xD4\xD6\xAA\xB5\xC0"
    "\xC4\xE3\xBA\xCE\xCA\xB1\xC0\xEB\xBF\xAA"};

// Subclass identifiers (SetWindowSubclass keys a subclass by procedure and identifier).
constexpr UINT_PTR kForwardingSubclass = 1;
constexpr UINT_PTR kKeyDownSubclass = 2;

// Shell_NotifyIcon can fail while the taskbar is still starting; a few tries bridge that.
constexpr int kTrayAddAttempts = 5;
constexpr DWORD kTrayRetryDelayMs = 200;
constexpr std::size_t kTrayTipBytes = 62;

enum class FontKind { Gui, Large };

constexpr DWORD kGroupBoxStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kRadioStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_VCENTER;

struct ControlSpec {
  MainControl control;
  MainControl parent;  // MainControl::count: the main window itself
  const wchar_t* className;
  const char* text;  // code page 936
  int x, y, width, height;
  DWORD style;
  DWORD exStyle;
  FontKind font;
};

constexpr MainControl kWindow = MainControl::count;

// The design of the window. Places are relative to the parent; the order is the creation
// order, so 分组框5 comes after the controls it covers.
const ControlSpec kControls[] = {
    // "设备IP"
    {MainControl::分组框1, kWindow, L"Button", "\xC9\xE8\xB1\xB8IP", 8, 8, 152, 56,
     kGroupBoxStyle, 0, FontKind::Gui},
    {MainControl::编辑框1, MainControl::分组框1, L"Edit", "", 8, 16, 136, 32, kEditStyle,
     WS_EX_CLIENTEDGE, FontKind::Large},
    // "刷新周期"
    {MainControl::分组框2, kWindow, L"Button", "\xCB\xA2\xD0\xC2\xD6\xDC\xC6\xDA", 168, 8, 88, 56,
     kGroupBoxStyle, 0, FontKind::Gui},
    {MainControl::编辑框2, MainControl::分组框2, L"Edit", "", 8, 16, 32, 32, kEditStyle,
     WS_EX_CLIENTEDGE, FontKind::Large},
    // "秒"
    {MainControl::标签1, MainControl::分组框2, L"Static", "\xC3\xEB", 53, 16, 24, 32, kLabelStyle,
     0, FontKind::Large},
    // "刷新次数"
    {MainControl::分组框3, kWindow, L"Button", "\xCB\xA2\xD0\xC2\xB4\xCE\xCA\xFD", 264, 8, 88, 56,
     kGroupBoxStyle, 0, FontKind::Gui},
    {MainControl::编辑框3, MainControl::分组框3, L"Edit", "", 8, 16, 32, 32, kEditStyle,
     WS_EX_CLIENTEDGE, FontKind::Large},
    // "次"
    {MainControl::标签2, MainControl::分组框3, L"Static", "\xB4\xCE", 53, 16, 24, 32, kLabelStyle,
     0, FontKind::Large},
    // "设备离开后"
    {MainControl::分组框4, kWindow, L"Button", "\xC9\xE8\xB1\xB8\xC0\xEB\xBF\xAA\xBA\xF3", 8, 72,
     344, 64, kGroupBoxStyle, 0, FontKind::Gui},
    // "锁屏软件"; the first radio starts the group of three.
    {MainControl::单选框1, MainControl::分组框4, L"Button", "\xCB\xF8\xC6\xC1\xC8\xED\xBC\xFE", 16,
     24, 72, 24, kRadioStyle | WS_GROUP, 0, FontKind::Gui},
    // "Windows 锁定"
    {MainControl::单选框6, MainControl::分组框4, L"Button", "Windows \xCB\xF8\xB6\xA8", 130, 24,
     102, 24, kRadioStyle, 0, FontKind::Gui},
    // "睡眠"
    {MainControl::单选框3, MainControl::分组框4, L"Button", "\xCB\xAF\xC3\xDF", 271, 24, 56, 24,
     kRadioStyle, 0, FontKind::Gui},
    // The setup panel: hidden, no title, covering the client area above the status bar.
    {MainControl::分组框5, kWindow, L"Button", "", 0, -8, 368, 152,
     kGroupBoxStyle & ~WS_VISIBLE, 0, FontKind::Gui},
    // "请输入设备IP"
    {MainControl::标签3, MainControl::分组框5, L"Static",
     "\xC7\xEB\xCA\xE4\xC8\xEB\xC9\xE8\xB1\xB8IP", 80, 40, 80, 24, kLabelStyle, 0, FontKind::Gui},
    {MainControl::编辑框4, MainControl::分组框5, L"Edit", "", 80, 72, 136, 24, kEditStyle,
     WS_EX_CLIENTEDGE, FontKind::Large},
    // "确定"
    {MainControl::按钮1, MainControl::分组框5, L"Button", "\xC8\xB7\xB6\xA8", 224, 48, 56, 48,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER, 0, FontKind::Gui},
    // Docked at the bottom by the control itself; no size grip.
    {MainControl::状态条1, kWindow, STATUSCLASSNAMEW, "", 0, 0, 0, 0,
     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, FontKind::Gui},
};
static_assert(std::size(kControls) == static_cast<std::size_t>(MainControl::count));

MainControl mainControlOf(platform::Control control) {
  switch (control) {
    case platform::Control::编辑框1: return MainControl::编辑框1;
    case platform::Control::编辑框2: return MainControl::编辑框2;
    case platform::Control::编辑框3: return MainControl::编辑框3;
    case platform::Control::编辑框4: return MainControl::编辑框4;
    case platform::Control::单选框1: return MainControl::单选框1;
    case platform::Control::单选框6: return MainControl::单选框6;
    case platform::Control::单选框3: return MainControl::单选框3;
    case platform::Control::分组框5: return MainControl::分组框5;
  }
  return MainControl::count;
}

int controlId(MainControl control) { return kFirstControlId + static_cast<int>(control); }

// The tray icon as last asked for, so it can be put back when the taskbar is recreated (also
// when the taskbar was not there to take it the first time).
struct TrayIcon {
  bool wanted = false;
  bool added = false;
  UINT id = 0;
  UINT callbackMessage = 0;
  std::wstring tip;
};

// The state of the one main window, reached through GWLP_USERDATA.
struct MainWindow {
  HWND window = nullptr;
  std::array<HWND, static_cast<std::size_t>(MainControl::count)> controls{};
  HFONT largeFont = nullptr;
  HICON smallIcon = nullptr;
  UINT taskbarCreatedMessage = 0;
  TrayIcon tray;
  // Non-zero while the program itself sets an edit box's text: the box's own change
  // notification is not the event then, setControlText raises it once itself.
  int programTextChanges = 0;

  HWND control(MainControl which) const {
    return which == MainControl::count ? nullptr : controls[static_cast<std::size_t>(which)];
  }
  bool onCreate();
  void onDestroy();
  void onCommand(WORD notification, HWND source);
  void onTrayNotification(UINT mouseMessage);
  bool putUpTrayIcon();
  void removeTrayIcon();
};

HWND g_mainWindow = nullptr;
// The state between CreateWindowExW and WM_NCCREATE, which hands it to the window; the window
// releases it at WM_NCDESTROY.
MainWindow* g_pendingState = nullptr;

MainWindow* mainWindowState() {
  return g_mainWindow
             ? reinterpret_cast<MainWindow*>(GetWindowLongPtrW(g_mainWindow, GWLP_USERDATA))
             : nullptr;
}

// Group boxes parent controls, so their notifications and colour requests go to the group box;
// they are handed on to the main window. The box also fills its own interior, which a group box
// normally leaves unpainted, so that the setup panel really covers what lies beneath it.
LRESULT CALLBACK groupBoxSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client,
               static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return 1;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, groupBoxSubclassProc, kForwardingSubclass);
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// 编辑框4 reports every key press; the key then goes on to the edit box as usual.
LRESULT CALLBACK setupAddressSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN) {
    mainWindowEvents().setupAddressKeyDown(static_cast<int>(wParam));
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, setupAddressSubclassProc, kKeyDownSubclass);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

HFONT createLargeFont() {
  // 16-pixel character height, normal weight, GB2312 character set and no face name, so the
  // system picks a face that has the Chinese characters.
  LOGFONTW font{};
  font.lfHeight = -16;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  return CreateFontIndirectW(&font);
}

bool MainWindow::onCreate() {
  largeFont = createLargeFont();
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);

  for (const ControlSpec& spec : kControls) {
    HWND parent = spec.parent == kWindow ? window : control(spec.parent);
    std::wstring text = wideFromAnsi(spec.text);
    HWND created = CreateWindowExW(
        spec.exStyle, spec.className, text.c_str(), spec.style, spec.x, spec.y, spec.width,
        spec.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(spec.control))), appInstance(),
        nullptr);
    if (!created) return false;
    controls[static_cast<std::size_t>(spec.control)] = created;
    HFONT font = spec.font == FontKind::Large && largeFont ? largeFont : guiFont;
    SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    std::wstring_view className = spec.className;
    if (className == L"Button" && (spec.style & BS_TYPEMASK) == BS_GROUPBOX)
      SetWindowSubclass(created, groupBoxSubclassProc, kForwardingSubclass, 0);
    if (className == L"Edit")
      SendMessageW(created, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the control allows
  }

  SetWindowSubclass(control(MainControl::编辑框4), setupAddressSubclassProc, kKeyDownSubclass, 0);
  SendMessageW(control(MainControl::单选框1), BM_SETCHECK, BST_CHECKED, 0);
  // The panel lies over the other settings controls: top of the siblings' order, and every
  // sibling clips it away (WS_CLIPSIBLINGS) so nothing beneath paints over it.
  SetWindowPos(control(MainControl::分组框5), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  HWND statusBar = control(MainControl::状态条1);
  SendMessageW(statusBar, SB_SETPARTS, kStatusPaneCount,
               reinterpret_cast<LPARAM>(kStatusPaneRightEdges.data()));
  SendMessageW(statusBar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(kWhite));
  for (int pane = 0; pane < kStatusPaneCount; ++pane) {
    std::wstring text = wideFromAnsi(kStatusPaneTexts[pane]);
    SendMessageW(statusBar, SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(text.c_str()));
  }

  taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
  return true;
}

void MainWindow::onDestroy() {
  KillTimer(window, kMonitorTimerId);
  removeTrayIcon();
}

void MainWindow::onCommand(WORD notification, HWND source) {
  if (notification == EN_CHANGE && programTextChanges == 0) {
    if (source == control(MainControl::编辑框2)) mainWindowEvents().periodTextChanged();
    if (source == control(MainControl::编辑框3)) mainWindowEvents().thresholdTextChanged();
  } else if (notification == BN_CLICKED && source == control(MainControl::按钮1)) {
    mainWindowEvents().confirmClicked();
  }
}

void MainWindow::onTrayNotification(UINT mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONUP: mainWindowEvents().trayEvent(kTrayLeftButtonUp); break;
    case WM_LBUTTONDBLCLK: mainWindowEvents().trayEvent(kTrayLeftDoubleClick); break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: mainWindowEvents().trayEvent(kTrayRightButtonUp); break;
    default: break;
  }
}

bool MainWindow::putUpTrayIcon() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = tray.id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = tray.callbackMessage;
  data.hIcon = smallIcon;
  tray.tip.copy(data.szTip, std::size(data.szTip) - 1);
  for (int attempt = 1; attempt <= kTrayAddAttempts; ++attempt) {
    if (Shell_NotifyIconW(NIM_ADD, &data)) return true;
    // An icon already up under this id (the taskbar kept it) only needs its data renewed.
    if (Shell_NotifyIconW(NIM_MODIFY, &data)) return true;
    if (attempt < kTrayAddAttempts) Sleep(kTrayRetryDelayMs);
  }
  return false;
}

void MainWindow::removeTrayIcon() {
  if (!tray.added) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = tray.id;
  Shell_NotifyIconW(NIM_DELETE, &data);
  tray.added = false;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window = window;
    g_pendingState = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    g_mainWindow = window;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);

  switch (message) {
    case WM_CREATE:
      return self->onCreate() ? 0 : -1;
    case WM_COMMAND:
      self->onCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, kBlack);
      SetBkColor(dc, kWhite);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_TIMER:
      if (wParam == kMonitorTimerId) mainWindowEvents().timerTick();
      return 0;
    case WM_CLOSE:
      if (!mainWindowEvents().closeRequest()) return 0;
      break;
    case WM_DESTROY:
      self->onDestroy();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (self->largeFont) DeleteObject(self->largeFont);
      if (g_mainWindow == window) g_mainWindow = nullptr;
      delete self;
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      break;
  }
  if (self->tray.callbackMessage != 0 && message == self->tray.callbackMessage) {
    self->onTrayNotification(LOWORD(lParam));
    return 0;
  }
  if (self->taskbarCreatedMessage != 0 && message == self->taskbarCreatedMessage) {
    if (self->tray.wanted) self->tray.added = self->putUpTrayIcon();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerMainWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = appInstance();
  windowClass.hIcon = programIcon(GetSystemMetrics(SM_CXICON));
  windowClass.hIconSm = programIcon(GetSystemMetrics(SM_CXSMICON));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The first kTrayTipBytes bytes of a code page 936 text, never splitting a double-byte
// character.
Text cutTip(const Text& tip) {
  std::size_t end = 0;
  while (end < tip.size()) {
    std::size_t length = static_cast<unsigned char>(tip[end]) >= 0x81 ? 2 : 1;
    if (end + length > kTrayTipBytes || end + length > tip.size()) break;
    end += length;
  }
  return tip.substr(0, end);
}

HWND controlWindow(platform::Control control) {
  MainWindow* self = mainWindowState();
  return self ? self->control(mainControlOf(control)) : nullptr;
}

}  // namespace

HWND mainWindowHandle() { return g_mainWindow; }

HWND mainControlWindow(MainControl control) {
  MainWindow* self = mainWindowState();
  return self ? self->control(control) : nullptr;
}

MainWindowEvents& mainWindowEvents() {
  static MainWindowEvents events = {onCloseRequest,       onTrayEvent,
                                    onPeriodTextChanged,  onThresholdTextChanged,
                                    onSetupAddressKeyDown, confirmDeviceAddress,
                                    monitorTick};
  return events;
}

namespace platform {

void createMainWindow() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (g_mainWindow || !registerMainWindowClass()) return;

  int x = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
  auto* state = new MainWindow;
  g_pendingState = state;
  state->smallIcon = programIcon(GetSystemMetrics(SM_CXSMICON));
  std::wstring title = wideFromAnsi(kWindowTitle);
  CreateWindowExW(0, kMainWindowClass, title.c_str(), kWindowStyle, x, y, kWindowWidth,
                  kWindowHeight, nullptr, nullptr, appInstance(), state);
  // A creation that failed before WM_NCCREATE never took the state over.
  delete g_pendingState;
  g_pendingState = nullptr;
}

void setMainWindowVisible(bool visible) {
  if (g_mainWindow) ShowWindow(g_mainWindow, visible ? SW_SHOW : SW_HIDE);
}

bool mainWindowVisible() { return g_mainWindow && IsWindowVisible(g_mainWindow); }

Text controlText(Control control) {
  HWND window = controlWindow(control);
  if (!window) return Text();
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return Text();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return ansiFromWide(text);
}

void setControlText(Control control, const Text& text) {
  MainWindow* self = mainWindowState();
  HWND window = controlWindow(control);
  if (!self || !window) return;
  std::wstring wide = wideFromAnsi(text);
  ++self->programTextChanges;
  SetWindowTextW(window, wide.c_str());
  --self->programTextChanges;
  // Exactly one text-changed event, whether or not the text differed.
  if (control == Control::编辑框2) mainWindowEvents().periodTextChanged();
  if (control == Control::编辑框3) mainWindowEvents().thresholdTextChanged();
}

bool controlChecked(Control control) {
  HWND window = controlWindow(control);
  return window && SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setControlVisible(Control control, bool visible) {
  HWND window = controlWindow(control);
  if (!window) return;
  if (visible && control == Control::分组框5)
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A hidden control keeps the keyboard focus it had; give it to the window instead, so the
  // keyboard still works after the setup panel goes.
  if (!visible && IsChild(window, GetFocus())) SetFocus(mainWindowHandle());
  ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

bool controlVisible(Control control) {
  // The control's own state: a control of the hidden main window still counts as visible.
  HWND window = controlWindow(control);
  return window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void setStatusPaneText(int pane, const Text& text) {
  HWND statusBar = mainControlWindow(MainControl::状态条1);
  if (!statusBar || pane < 0 || pane >= kStatusPaneCount) return;
  std::wstring wide = wideFromAnsi(text);
  SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(pane),
               reinterpret_cast<LPARAM>(wide.c_str()));
}

void startMonitorTimer(std::uint32_t periodMs) {
  if (g_mainWindow) SetTimer(g_mainWindow, kMonitorTimerId, periodMs, nullptr);
}

void stopMonitorTimer() {
  if (g_mainWindow) KillTimer(g_mainWindow, kMonitorTimerId);
}

bool addTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const Text& tip) {
  MainWindow* self = mainWindowState();
  if (!self) return false;
  self->tray.id = id;
  self->tray.callbackMessage = callbackMessage;
  self->tray.tip = wideFromAnsi(cutTip(tip));
  self->tray.wanted = true;
  self->tray.added = self->putUpTrayIcon();
  return self->tray.added;
}

void showMessageBox(const Text& text, const Text& caption, std::uint32_t style) {
  std::wstring wideText = wideFromAnsi(text);
  std::wstring wideCaption = wideFromAnsi(caption);
  MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), style);
}

}  // namespace platform
