// The main window under Wine: its design (places, texts, styles, fonts, status bar), the events
// it raises, the monitor timer and the tray icon. The window's events are recorded instead of
// running the core's handlers, so each case sees exactly what the window raised.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/main_window_parts.h"
#include "platform/win32/win32_internal.h"
#include "ui/main_window.h"

namespace {

using platform::Control;

struct Recorded {
  int closeRequests = 0;
  bool allowClose = false;
  std::vector<int> trayKinds;
  int periodChanges = 0;
  int thresholdChanges = 0;
  std::vector<int> setupKeys;
  int confirms = 0;
  int ticks = 0;
};
Recorded g_recorded;

const MainWindowEvents kRecordingEvents = {
    [] { ++g_recorded.closeRequests; return g_recorded.allowClose; },
    [](int kind) { g_recorded.trayKinds.push_back(kind); },
    [] { ++g_recorded.periodChanges; },
    [] { ++g_recorded.thresholdChanges; },
    [](int key) { g_recorded.setupKeys.push_back(key); },
    [] { ++g_recorded.confirms; },
    [] { ++g_recorded.ticks; },
};

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = mainWindowEvents();
    mainWindowEvents() = kRecordingEvents;
    g_recorded = Recorded();
    platform::createMainWindow();
    ASSERT_NE(mainWindowHandle(), nullptr);
  }
  void TearDown() override {
    if (HWND window = mainWindowHandle()) DestroyWindow(window);
    platform::dispatchPendingMessages();
    mainWindowEvents() = saved_;
  }
  static HWND control(MainControl which) { return mainControlWindow(which); }
  static std::wstring windowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
  }
  // Dispatches messages until the condition holds or timeoutMs pass.
  template <typename Condition>
  static bool pumpUntil(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
      DWORD elapsed = GetTickCount() - start;
      if (elapsed >= timeoutMs) return false;
      platform::dispatchPendingMessages();
      platform::waitForMessages(timeoutMs - elapsed);
    }
    return true;
  }

 private:
  MainWindowEvents saved_{};
};

TEST_F(MainWindowTest, FrameIsFixedCentredWhiteAndHidden) {
  HWND window = mainWindowHandle();
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 367);
  EXPECT_EQ(outer.bottom - outer.top, 190);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 367) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 190) / 2);

  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD | WS_POPUP), 0);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);  // a taskbar button when visible
  EXPECT_EQ(windowText(window), L"  Vantrel");
  EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND),
            reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
  EXPECT_FALSE(platform::mainWindowVisible());

  platform::setMainWindowVisible(true);
  EXPECT_TRUE(platform::mainWindowVisible());
  platform::setMainWindowVisible(false);
  EXPECT_FALSE(platform::mainWindowVisible());
}

enum class FontKind { Gui, Large };

struct ControlDesign {
  const char* name;
  MainControl control;
  MainControl parent;  // MainControl::count: the main window
  const wchar_t* className;
  const wchar_t* text;
  RECT place;          // left, top, width, height within the parent
  DWORD typeMask;      // the type bits of the style, and the type they must hold
  DWORD type;
  DWORD required;      // further style bits that must be set
  DWORD forbidden;     // and bits that must not be
  FontKind font;
  bool visible;
};

constexpr DWORD kEditRequired = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
constexpr DWORD kEditForbidden =
    ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_NOHIDESEL |
    ES_NUMBER | ES_RIGHT;
constexpr MainControl kWindowParent = MainControl::count;

const ControlDesign kDesign[] = {
    {"GroupBox1", MainControl::分组框1, kWindowParent, L"Button", L"设备IP", {8, 8, 152, 56},
     BS_TYPEMASK, BS_GROUPBOX, 0, 0, FontKind::Gui, true},
    {"Edit1", MainControl::编辑框1, MainControl::分组框1, L"Edit", L"", {8, 16, 136, 32}, 0, 0,
     kEditRequired, kEditForbidden, FontKind::Large, true},
    {"GroupBox2", MainControl::分组框2, kWindowParent, L"Button", L"刷新周期", {168, 8, 88, 56},
     BS_TYPEMASK, BS_GROUPBOX, 0, 0, FontKind::Gui, true},
    {"Edit2", MainControl::编辑框2, MainControl::分组框2, L"Edit", L"", {8, 16, 32, 32}, 0, 0,
     kEditRequired, kEditForbidden, FontKind::Large, true},
    {"Label1", MainControl::标签1, MainControl::分组框2, L"Static", L"秒", {53, 16, 24, 32},
     SS_TYPEMASK, SS_LEFT, 0, 0, FontKind::Large, true},
    {"GroupBox3", MainControl::分组框3, kWindowParent, L"Button", L"刷新次数", {264, 8, 88, 56},
     BS_TYPEMASK, BS_GROUPBOX, 0, 0, FontKind::Gui, true},
    {"Edit3", MainControl::编辑框3, MainControl::分组框3, L"Edit", L"", {8, 16, 32, 32}, 0, 0,
     kEditRequired, kEditForbidden, FontKind::Large, true},
    {"Label2", MainControl::标签2, MainControl::分组框3, L"Static", L"次", {53, 16, 24, 32},
     SS_TYPEMASK, SS_LEFT, 0, 0, FontKind::Large, true},
    {"GroupBox4", MainControl::分组框4, kWindowParent, L"Button", L"设备离开后", {8, 72, 344, 64},
     BS_TYPEMASK, BS_GROUPBOX, 0, 0, FontKind::Gui, true},
    {"Radio1", MainControl::单选框1, MainControl::分组框4, L"Button", L"锁屏软件", {16, 24, 72, 24},
     BS_TYPEMASK, BS_AUTORADIOBUTTON, WS_TABSTOP | WS_GROUP, BS_LEFTTEXT, FontKind::Gui, true},
    {"Radio6", MainControl::单选框6, MainControl::分组框4, L"Button", L"Windows 锁定",
     {130, 24, 102, 24}, BS_TYPEMASK, BS_AUTORADIOBUTTON, WS_TABSTOP, BS_LEFTTEXT | WS_GROUP,
     FontKind::Gui, true},
    {"Radio3", MainControl::单选框3, MainControl::分组框4, L"Button", L"睡眠", {271, 24, 56, 24},
     BS_TYPEMASK, BS_AUTORADIOBUTTON, WS_TABSTOP, BS_LEFTTEXT | WS_GROUP, FontKind::Gui, true},
    {"GroupBox5", MainControl::分组框5, kWindowParent, L"Button", L"", {0, -8, 368, 152},
     BS_TYPEMASK, BS_GROUPBOX, 0, 0, FontKind::Gui, false},
    {"Label3", MainControl::标签3, MainControl::分组框5, L"Static", L"请输入设备IP",
     {80, 40, 80, 24}, SS_TYPEMASK, SS_LEFT, 0, 0, FontKind::Gui, true},
    {"Edit4", MainControl::编辑框4, MainControl::分组框5, L"Edit", L"", {80, 72, 136, 24}, 0, 0,
     kEditRequired, kEditForbidden, FontKind::Large, true},
    {"Button1", MainControl::按钮1, MainControl::分组框5, L"Button", L"确定", {224, 48, 56, 48},
     BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP, 0, FontKind::Gui, true},
};

class ControlDesignTest : public MainWindowTest,
                          public testing::WithParamInterface<ControlDesign> {};

TEST_P(ControlDesignTest, MatchesTheDesign) {
  const ControlDesign& design = GetParam();
  HWND window = control(design.control);
  ASSERT_NE(window, nullptr);
  HWND expectedParent =
      design.parent == kWindowParent ? mainWindowHandle() : control(design.parent);
  EXPECT_EQ(GetParent(window), expectedParent);

  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_EQ(lstrcmpiW(className, design.className), 0) << "class " << design.name;
  EXPECT_EQ(windowText(window), design.text);

  RECT place;
  GetWindowRect(window, &place);
  MapWindowPoints(nullptr, expectedParent, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, design.place.left);
  EXPECT_EQ(place.top, design.place.top);
  EXPECT_EQ(place.right - place.left, design.place.right);
  EXPECT_EQ(place.bottom - place.top, design.place.bottom);

  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  EXPECT_EQ(style & design.typeMask, design.type);
  EXPECT_EQ(style & design.required, design.required);
  EXPECT_EQ(style & design.forbidden, 0u);
  EXPECT_EQ((style & WS_VISIBLE) != 0, design.visible);
  DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  bool isEdit = lstrcmpiW(design.className, L"Edit") == 0;
  EXPECT_EQ((exStyle & WS_EX_CLIENTEDGE) != 0, isEdit);

  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (design.font == FontKind::Gui) {
    EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
  } else {
    LOGFONTW logFont{};
    ASSERT_EQ(GetObjectW(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
    EXPECT_EQ(logFont.lfHeight, -16);
    EXPECT_EQ(logFont.lfWeight, 400);
    EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
    EXPECT_FALSE(logFont.lfItalic || logFont.lfUnderline || logFont.lfStrikeOut);
    EXPECT_EQ(logFont.lfFaceName[0], L'\0');
  }
  if (isEdit) {
    EXPECT_GT(SendMessageW(window, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFF0);
  }
}

INSTANTIATE_TEST_SUITE_P(Controls, ControlDesignTest, testing::ValuesIn(kDesign),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, StatusBarHasFourPanesDockedAtTheBottom) {
  HWND bar = control(MainControl::状态条1);
  ASSERT_NE(bar, nullptr);
  wchar_t className[64] = {};
  GetClassNameW(bar, className, 64);
  EXPECT_EQ(lstrcmpiW(className, STATUSCLASSNAMEW), 0);
  EXPECT_EQ(GetWindowLongPtrW(bar, GWL_STYLE) & SBARS_SIZEGRIP, 0);

  int edges[8] = {};
  ASSERT_EQ(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 4);
  EXPECT_EQ(std::vector<int>(edges, edges + 4), (std::vector<int>{40, 70, 85, 352}));

  const std::wstring texts[] = {L" Run", L"", L"", L"  电脑配对设备 Windows可以知道你何时离开"};
  for (int pane = 0; pane < 4; ++pane) {
    wchar_t text[128] = {};
    SendMessageW(bar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(text, texts[pane]) << "pane " << pane;
  }

  RECT client, barPlace;
  GetClientRect(mainWindowHandle(), &client);
  GetWindowRect(bar, &barPlace);
  MapWindowPoints(nullptr, mainWindowHandle(), reinterpret_cast<POINT*>(&barPlace), 2);
  EXPECT_EQ(barPlace.bottom, client.bottom);
  EXPECT_EQ(barPlace.left, 0);
  EXPECT_EQ(barPlace.right, client.right);

  platform::setStatusPaneText(1, "12");
  platform::setStatusPaneText(4, "x");   // no such pane: nothing happens
  platform::setStatusPaneText(-1, "x");
  wchar_t text[32] = {};
  SendMessageW(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"12");
}

TEST_F(MainWindowTest, TextsRoundTripThroughCodePage936) {
  const Text chinese = "\xB2\xE2\xCA\xD4 192.168.1.5";  // "测试 192.168.1.5"
  platform::setControlText(Control::编辑框1, chinese);
  EXPECT_EQ(windowText(control(MainControl::编辑框1)), L"测试 192.168.1.5");
  EXPECT_EQ(platform::controlText(Control::编辑框1), chinese);

  SetWindowTextW(control(MainControl::编辑框4), L"  设备 ");
  EXPECT_EQ(platform::controlText(Control::编辑框4), "  \xC9\xE8\xB1\xB8 ");
  platform::setControlText(Control::编辑框4, "");
  EXPECT_EQ(platform::controlText(Control::编辑框4), "");
}

struct TextChangeCase {
  const char* name;
  Control box;
  int periodChanges;
  int thresholdChanges;
};

class SetTextEventTest : public MainWindowTest,
                         public testing::WithParamInterface<TextChangeCase> {};

// The program's own text changes raise the box's event exactly once, also for an unchanged text.
TEST_P(SetTextEventTest, FiresExactlyOncePerSet) {
  const TextChangeCase& c = GetParam();
  platform::setControlText(c.box, "2");
  EXPECT_EQ(g_recorded.periodChanges, c.periodChanges);
  EXPECT_EQ(g_recorded.thresholdChanges, c.thresholdChanges);
  platform::setControlText(c.box, "2");
  platform::setControlText(c.box, "");
  EXPECT_EQ(g_recorded.periodChanges, 3 * c.periodChanges);
  EXPECT_EQ(g_recorded.thresholdChanges, 3 * c.thresholdChanges);
}

INSTANTIATE_TEST_SUITE_P(Boxes, SetTextEventTest,
                         testing::Values(TextChangeCase{"Edit1", Control::编辑框1, 0, 0},
                                         TextChangeCase{"Edit2", Control::编辑框2, 1, 0},
                                         TextChangeCase{"Edit3", Control::编辑框3, 0, 1},
                                         TextChangeCase{"Edit4", Control::编辑框4, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TypingFiresAtEveryChange) {
  HWND period = control(MainControl::编辑框2);
  SendMessageW(period, WM_CHAR, L'1', 0);
  SendMessageW(period, WM_CHAR, L'5', 0);
  EXPECT_EQ(g_recorded.periodChanges, 2);
  EXPECT_EQ(platform::controlText(Control::编辑框2), "15");
  SendMessageW(period, WM_CHAR, VK_BACK, 0);
  SendMessageW(period, WM_CHAR, VK_BACK, 0);
  EXPECT_EQ(g_recorded.periodChanges, 4);
  EXPECT_EQ(platform::controlText(Control::编辑框2), "");

  SendMessageW(control(MainControl::编辑框3), EM_REPLACESEL, TRUE,
               reinterpret_cast<LPARAM>(L"4"));
  EXPECT_EQ(g_recorded.thresholdChanges, 1);
  EXPECT_EQ(g_recorded.periodChanges, 4);
}

TEST_F(MainWindowTest, SetupPanelKeysAndConfirmButton) {
  platform::setControlVisible(Control::分组框5, true);
  HWND address = control(MainControl::编辑框4);
  SendMessageW(address, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(address, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(g_recorded.setupKeys, (std::vector<int>{13, 'A'}));
  // Keys of the other boxes are not the setup box's.
  SendMessageW(control(MainControl::编辑框1), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(g_recorded.setupKeys.size(), 2u);

  SendMessageW(control(MainControl::按钮1), BM_CLICK, 0, 0);
  EXPECT_EQ(g_recorded.confirms, 1);
  EXPECT_EQ(g_recorded.setupKeys.size(), 2u);
}

TEST_F(MainWindowTest, RadiosExcludeEachOtherAndStartOnTheLockWindow) {
  EXPECT_TRUE(platform::controlChecked(Control::单选框1));
  EXPECT_FALSE(platform::controlChecked(Control::单选框6));
  EXPECT_FALSE(platform::controlChecked(Control::单选框3));
  platform::setMainWindowVisible(true);
  SendMessageW(control(MainControl::单选框3), BM_CLICK, 0, 0);
  EXPECT_FALSE(platform::controlChecked(Control::单选框1));
  EXPECT_TRUE(platform::controlChecked(Control::单选框3));
  SendMessageW(control(MainControl::单选框6), BM_CLICK, 0, 0);
  EXPECT_TRUE(platform::controlChecked(Control::单选框6));
  EXPECT_FALSE(platform::controlChecked(Control::单选框3));
  EXPECT_EQ(g_recorded.confirms, 0);
}

// The setup panel lies over the other settings: on top of its siblings, and painted over them.
TEST_F(MainWindowTest, SetupPanelCoversTheSettingsWhenShown) {
  HWND panel = control(MainControl::分组框5);
  EXPECT_FALSE(platform::controlVisible(Control::分组框5));
  EXPECT_EQ(GetWindow(mainWindowHandle(), GW_CHILD), panel);  // first child: top of the order

  platform::setMainWindowVisible(true);
  SetForegroundWindow(mainWindowHandle());
  RedrawWindow(mainWindowHandle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // A point on the left edge of 分组框1's frame: the frame's line when the panel is hidden,
  // white once the panel covers it.
  POINT frame = {8, 40};
  ClientToScreen(mainWindowHandle(), &frame);
  HDC screen = GetDC(nullptr);
  COLORREF before = GetPixel(screen, frame.x, frame.y);

  platform::setControlVisible(Control::分组框5, true);
  EXPECT_TRUE(platform::controlVisible(Control::分组框5));
  RedrawWindow(mainWindowHandle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  COLORREF after = GetPixel(screen, frame.x, frame.y);
  ReleaseDC(nullptr, screen);
  EXPECT_NE(before, RGB(255, 255, 255));
  EXPECT_EQ(after, RGB(255, 255, 255));
  POINT inside = {20, 40};
  EXPECT_EQ(ChildWindowFromPointEx(mainWindowHandle(), inside, CWP_SKIPINVISIBLE), panel);

  platform::setControlVisible(Control::分组框5, false);
  EXPECT_FALSE(platform::controlVisible(Control::分组框5));
}

TEST_F(MainWindowTest, CloseIsAskedAndRefused) {
  SendMessageW(mainWindowHandle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(g_recorded.closeRequests, 1);
  EXPECT_TRUE(IsWindow(mainWindowHandle()));
}

struct TrayCase {
  const char* name;
  UINT mouseMessage;
  std::vector<int> kinds;
};

class TrayEventTest : public MainWindowTest, public testing::WithParamInterface<TrayCase> {};

TEST_P(TrayEventTest, NotificationBecomesKind) {
  ASSERT_TRUE(platform::addTrayIcon(kTrayIconId, kTrayCallback, "Vantrel"));
  SendMessageW(mainWindowHandle(), kTrayCallback, kTrayIconId, GetParam().mouseMessage);
  EXPECT_EQ(g_recorded.trayKinds, GetParam().kinds);
}

INSTANTIATE_TEST_SUITE_P(
    Notifications, TrayEventTest,
    testing::Values(TrayCase{"LeftUp", WM_LBUTTONUP, {1}},
                    TrayCase{"LeftDoubleClick", WM_LBUTTONDBLCLK, {2}},
                    TrayCase{"RightUp", WM_RBUTTONUP, {3}},
                    TrayCase{"ContextMenu", WM_CONTEXTMENU, {3}},
                    TrayCase{"LeftDown", WM_LBUTTONDOWN, {}},
                    TrayCase{"MouseMove", WM_MOUSEMOVE, {}},
                    TrayCase{"RightDown", WM_RBUTTONDOWN, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TrayIconComesBackWhenTheTaskbarIsRecreated) {
  ASSERT_TRUE(platform::addTrayIcon(kTrayIconId, kTrayCallback, "Vantrel"));
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = mainWindowHandle();
  icon.uID = kTrayIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));  // as if the taskbar had lost it
  SendMessageW(mainWindowHandle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon)) << "the icon was not put back";
}

TEST_F(MainWindowTest, TrayTipOfAnyLengthIsAccepted) {
  Text longTip(40, 'a');
  for (int i = 0; i < 20; ++i) longTip += "\xD0\xC5";  // "信" twenty times
  EXPECT_TRUE(platform::addTrayIcon(kTrayIconId, kTrayCallback, longTip));
}

TEST_F(MainWindowTest, MonitorTimerTicksUntilStopped) {
  platform::startMonitorTimer(30);
  EXPECT_TRUE(pumpUntil([] { return g_recorded.ticks >= 2; }, 5000));
  platform::stopMonitorTimer();
  platform::dispatchPendingMessages();
  int ticks = g_recorded.ticks;
  pumpUntil([] { return false; }, 200);
  EXPECT_EQ(g_recorded.ticks, ticks);

  // Other timers of the window are not the monitor's.
  SendMessageW(mainWindowHandle(), WM_TIMER, 999, 0);
  SendMessageW(mainWindowHandle(), WM_TIMER, 1000, 0);
  EXPECT_EQ(g_recorded.ticks, ticks + 1);
}

// The tall icon image is fitted into the square with its proportions kept: a 99 x 128 image
// becomes 12 x 16, centred, and transparent pixels lend no colour to their neighbours.
TEST(ProgramIcon, FitsTheImageIntoASquare) {
  constexpr int kWidth = 99, kHeight = 128, kSize = 16;
  std::vector<std::uint8_t> image(kWidth * kHeight * 4);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &image[(y * kWidth + x) * 4];
      bool opaque = y % 2 == 0;  // opaque red rows between transparent green ones
      p[0] = 0;
      p[1] = opaque ? 0 : 255;
      p[2] = opaque ? 255 : 0;
      p[3] = opaque ? 255 : 0;
    }
  }
  std::vector<std::uint8_t> fitted = fitIconImage(image.data(), kWidth, kHeight, kSize);
  ASSERT_EQ(fitted.size(), static_cast<std::size_t>(kSize * kSize * 4));
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const std::uint8_t* p = &fitted[(y * kSize + x) * 4];
      bool inside = x >= 2 && x < 14;
      if (inside) {
        EXPECT_EQ(p[2], 255) << x << "," << y;
        EXPECT_EQ(p[1], 0) << x << "," << y;
        EXPECT_NEAR(p[3], 128, 1) << x << "," << y;
      } else {
        EXPECT_EQ(p[3], 0) << x << "," << y;
      }
    }
  }
}

TEST(ProgramIcon, IsMadeOncePerSize) {
  HICON small = programIcon(16);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(programIcon(16), small);
  EXPECT_NE(programIcon(32), nullptr);
}

}  // namespace
