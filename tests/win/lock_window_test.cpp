// The lock window for real under Wine: opened modally, driven from a thread timer inside its
// nested message loop, observed through its handle, its styles and the pixels it paints.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/platform.h"
#include "platform/win32/lock_window.h"
#include "tests/native/picture_fixtures.h"

using picture_test::Kind;
using picture_test::encodeJpeg;

namespace {

constexpr UINT kStepMs = 20;
constexpr int kGiveUpStep = 250;  // 5 s: the test failed to close the window itself

// Each step is called every kStepMs inside openLockWindowModal's loop with its number (from 1)
// and the lock window; returning false requests the close.
using Step = std::function<bool(int step, HWND lock)>;

struct Drive {
  Step step;
  int count = 0;
  bool closeRequested = false;
};
Drive* drive = nullptr;

void CALLBACK onStepTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!drive || drive->closeRequested) return;
  ++drive->count;
  if (drive->count >= kGiveUpStep) {
    ADD_FAILURE() << "lock window still open after " << kGiveUpStep << " steps";
    drive->closeRequested = true;
    platform::requestLockWindowClose();
    return;
  }
  if (!drive->step(drive->count, lockWindowHandle())) {
    drive->closeRequested = true;
    platform::requestLockWindowClose();
  }
}

// Opens the lock window and returns once it has gone.
void openDriven(const Step& step) {
  Drive state{step};
  drive = &state;
  const UINT_PTR timer = SetTimer(nullptr, 0, kStepMs, onStepTimer);
  platform::openLockWindowModal();
  KillTimer(nullptr, timer);
  drive = nullptr;
}

COLORREF pixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

::testing::AssertionResult looksLike(COLORREF actual, int r, int g, int b) {
  if (std::abs(GetRValue(actual) - r) <= 24 && std::abs(GetGValue(actual) - g) <= 24 &&
      std::abs(GetBValue(actual) - b) <= 24)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "pixel " << int(GetRValue(actual)) << "," << int(GetGValue(actual)) << ","
         << int(GetBValue(actual)) << " instead of " << r << "," << g << "," << b;
}

class LockWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ownerToolWindow()) platform::createOwnerToolWindow();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    directory_ = std::string(temp) + "vantrel-lock-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(directory_.c_str(), nullptr);
    savedDirectory_ = programDirectory;
    programDirectory = directory_;
    screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
  }
  void TearDown() override {
    DeleteFileA(picturePath().c_str());
    RemoveDirectoryA(directory_.c_str());
    programDirectory = savedDirectory_;
  }
  std::string picturePath() const { return directory_ + "\\SG.jpg"; }
  void writePicture(const Bytes& bytes) const {
    std::ofstream(picturePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // The picture painted at the left and at the right edge of the screen, mid-height.
  COLORREF left(HWND lock) const { return pixelAt(lockPictureBox(lock), 2, screenHeight_ / 2); }
  COLORREF right(HWND lock) const {
    return pixelAt(lockPictureBox(lock), screenWidth_ - 3, screenHeight_ / 2);
  }

  std::string directory_, savedDirectory_;
  int screenWidth_ = 0, screenHeight_ = 0;
};

TEST_F(LockWindow, CoversScreenWithoutCaptionOrTaskbarButton) {
  // A wide picture on a 5:4 screen: stretched, so both halves reach the screen's edges.
  writePicture(encodeJpeg(320, 80, Kind::Rgb, false));
  HWND seen = nullptr;
  bool openInside = false, topmost = false;
  RECT windowRect{}, boxRect{};
  LONG_PTR style = 0, exStyle = 0, proc = 0;
  HWND owner = nullptr;
  COLORREF corners[4] = {};
  openDriven([&](int step, HWND lock) {
    if (step == 1) {
      seen = lock;
      openInside = platform::lockWindowOpen();
      GetWindowRect(lock, &windowRect);
      GetWindowRect(lockPictureBox(lock), &boxRect);
      style = GetWindowLongPtrW(lock, GWL_STYLE);
      owner = GetWindow(lock, GW_OWNER);
      proc = GetWindowLongPtrA(lock, GWLP_WNDPROC);
      HWND box = lockPictureBox(lock);
      corners[0] = pixelAt(box, 0, 0);
      corners[1] = pixelAt(box, screenWidth_ - 1, 0);
      corners[2] = pixelAt(box, 0, screenHeight_ - 1);
      corners[3] = pixelAt(box, screenWidth_ - 1, screenHeight_ - 1);
      // Already open: a second opening does nothing and returns at once.
      platform::openLockWindowModal();
      EXPECT_EQ(lockWindowHandle(), lock);
    }
    exStyle = GetWindowLongPtrW(lock, GWL_EXSTYLE);
    topmost = (exStyle & WS_EX_TOPMOST) != 0;
    return step < 5;
  });

  ASSERT_NE(seen, nullptr);
  EXPECT_TRUE(openInside);
  EXPECT_FALSE(platform::lockWindowOpen());
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(lockWindowHandle(), nullptr);

  const RECT screen{0, 0, screenWidth_, screenHeight_};
  EXPECT_TRUE(EqualRect(&windowRect, &screen));
  EXPECT_TRUE(EqualRect(&boxRect, &screen));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME));
  EXPECT_TRUE(owner != nullptr || (exStyle & WS_EX_TOOLWINDOW)) << "would get a taskbar button";
  if (ownerToolWindow()) {
    EXPECT_EQ(owner, ownerToolWindow());
  }
  EXPECT_EQ(proc, reinterpret_cast<LONG_PTR>(lockWindowProc));
  EXPECT_NE(savedLockWindowProc, nullptr);
  EXPECT_TRUE(topmost) << "the 10 ms timer makes it topmost";
  EXPECT_TRUE(looksLike(corners[0], 255, 0, 0));
  EXPECT_TRUE(looksLike(corners[1], 0, 0, 255));
  EXPECT_TRUE(looksLike(corners[2], 255, 0, 0));
  EXPECT_TRUE(looksLike(corners[3], 0, 0, 255));
}

// ---- What the picture box shows for each kind of file ---------------------------------------

struct PictureFile {
  const char* name;
  std::function<Bytes()> make;  // null: no file at all
  int left[3], right[3];
};

class LockWindowPicture : public LockWindow, public ::testing::WithParamInterface<PictureFile> {};

TEST_P(LockWindowPicture, ShownStretchedOrBlack) {
  const PictureFile& file = GetParam();
  if (file.make) writePicture(file.make());
  COLORREF shownLeft = 0, shownRight = 0;
  openDriven([&](int, HWND lock) {
    shownLeft = left(lock);
    shownRight = right(lock);
    return false;
  });
  EXPECT_TRUE(looksLike(shownLeft, file.left[0], file.left[1], file.left[2]));
  EXPECT_TRUE(looksLike(shownRight, file.right[0], file.right[1], file.right[2]));
}

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

INSTANTIATE_TEST_SUITE_P(
    Files, LockWindowPicture,
    ::testing::Values(
        PictureFile{"Baseline", [] { return encodeJpeg(200, 150, Kind::Rgb, false); }, {255, 0, 0}, {0, 0, 255}},
        PictureFile{"Progressive", [] { return encodeJpeg(200, 150, Kind::Rgb, true); }, {255, 0, 0}, {0, 0, 255}},
        PictureFile{"Greyscale", [] { return encodeJpeg(200, 150, Kind::Greyscale, false); }, {64, 64, 64}, {192, 192, 192}},
        PictureFile{"Missing", nullptr, {0, 0, 0}, {0, 0, 0}},
        PictureFile{"Empty", [] { return Bytes(); }, {0, 0, 0}, {0, 0, 0}},
        PictureFile{"NotAPicture", [] { return textBytes("GIF89a this is no JPEG"); }, {0, 0, 0}, {0, 0, 0}},
        PictureFile{"Truncated",
                    [] { return picture_test::cutInScan(encodeJpeg(200, 150, Kind::Rgb, false)); },
                    {0, 0, 0}, {0, 0, 0}}),
    [](const ::testing::TestParamInfo<PictureFile>& info) { return std::string(info.param.name); });

// ---- Close commands: only the keyboard's Alt+F4 is ignored ----------------------------------

struct CloseCommand {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool closes;
};

class LockWindowClose : public LockWindow, public ::testing::WithParamInterface<CloseCommand> {};

TEST_P(LockWindowClose, OnlyKeyboardCloseIgnored) {
  const CloseCommand& command = GetParam();
  HWND seen = nullptr;
  bool openAfter = false;
  openDriven([&](int step, HWND lock) {
    if (step == 1) {
      seen = lock;
      PostMessageW(lock, command.message, command.wParam, command.lParam);
      return true;
    }
    openAfter = true;  // reached only while the window is still there
    return step < 4;
  });
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(openAfter, !command.closes);
}

// Alt held (context bit 29) with F4: DefWindowProc turns it into WM_SYSCOMMAND SC_CLOSE, 0.
constexpr LPARAM kAltF4KeyData = 0x203E0001;

INSTANTIATE_TEST_SUITE_P(
    Commands, LockWindowClose,
    ::testing::Values(CloseCommand{"AltF4Keystroke", WM_SYSKEYDOWN, VK_F4, kAltF4KeyData, false},
                      CloseCommand{"SysCommandClose", WM_SYSCOMMAND, SC_CLOSE, 0, false},
                      CloseCommand{"SysCommandCloseFromMouse", WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(20, 20), true},
                      CloseCommand{"SysCommandCloseLowBitsSet", WM_SYSCOMMAND, SC_CLOSE | 2, 0, true},
                      CloseCommand{"Close", WM_CLOSE, 0, 0, true}),
    [](const ::testing::TestParamInfo<CloseCommand>& info) { return std::string(info.param.name); });

// ---- Modality, freshness, topmost, quit -----------------------------------------------------

HWND makeTopLevel(DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST_F(LockWindow, OtherTopLevelWindowsDisabledWhileOpenThenRestored) {
  HWND enabled = makeTopLevel();
  HWND disabled = makeTopLevel();
  EnableWindow(disabled, FALSE);
  bool enabledInside = true, disabledInside = true, lockEnabled = false;
  openDriven([&](int, HWND lock) {
    enabledInside = IsWindowEnabled(enabled);
    disabledInside = IsWindowEnabled(disabled);
    lockEnabled = IsWindowEnabled(lock);
    return false;
  });
  EXPECT_FALSE(enabledInside);
  EXPECT_FALSE(disabledInside);
  EXPECT_TRUE(lockEnabled);
  EXPECT_TRUE(IsWindowEnabled(enabled));
  EXPECT_FALSE(IsWindowEnabled(disabled));
  DestroyWindow(enabled);
  DestroyWindow(disabled);
}

// The picture file is read at each opening, and only then.
TEST_F(LockWindow, EachOpeningIsFreshWindowReadingPictureAgain) {
  writePicture(encodeJpeg(64, 64, Kind::Rgb, false));  // red | blue
  COLORREF beforeReplace = 0, afterReplace = 0;
  WNDPROC firstSaved = nullptr;
  openDriven([&](int step, HWND lock) {
    if (step == 1) {
      beforeReplace = left(lock);
      firstSaved = savedLockWindowProc;
      writePicture(encodeJpeg(64, 64, Kind::Greyscale, false));  // grey 64 | grey 192
      RedrawWindow(lockPictureBox(lock), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return true;
    }
    afterReplace = left(lock);
    return false;
  });
  EXPECT_TRUE(looksLike(beforeReplace, 255, 0, 0));
  EXPECT_TRUE(looksLike(afterReplace, 255, 0, 0));

  COLORREF second = 0;
  WNDPROC secondSaved = nullptr;
  openDriven([&](int, HWND lock) {
    second = left(lock);
    secondSaved = savedLockWindowProc;
    return false;
  });
  EXPECT_TRUE(looksLike(second, 64, 64, 64));
  // Both times the replaced procedure is the class's own, never lockWindowProc itself.
  EXPECT_NE(firstSaved, nullptr);
  EXPECT_NE(secondSaved, reinterpret_cast<WNDPROC>(lockWindowProc));
}

TEST_F(LockWindow, TimerPutsItBackAboveAnotherTopmostWindow) {
  HWND intruder = nullptr;
  bool intruderFirst = false, lockFirstAgain = false;
  auto lockAbove = [&](HWND lock) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      if (w == lock) return true;
      if (w == intruder) return false;
    }
    return false;
  };
  openDriven([&](int step, HWND lock) {
    if (step == 2) {
      intruder = makeTopLevel(WS_EX_TOPMOST);
      SetWindowPos(intruder, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      intruderFirst = !lockAbove(lock);
      return true;
    }
    if (step == 4) lockFirstAgain = lockAbove(lock);
    return step < 4;
  });
  DestroyWindow(intruder);
  EXPECT_TRUE(intruderFirst);
  EXPECT_TRUE(lockFirstAgain);
}

TEST_F(LockWindow, QuitMessageEndsLoopAndStaysQueued) {
  HWND seen = nullptr;
  openDriven([&](int, HWND lock) {
    seen = lock;
    PostQuitMessage(7);
    return true;
  });
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_FALSE(platform::lockWindowOpen());
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

// ---- The system menu -------------------------------------------------------------------------

std::vector<UINT> menuIds(HMENU menu) {
  std::vector<UINT> ids;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
  return ids;
}

TEST(LockSystemMenu, LastTwoItemsDeleted) {
  HWND window = CreateWindowExW(0, L"STATIC", L"menu", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  std::vector<UINT> expected = menuIds(GetSystemMenu(window, FALSE));
  ASSERT_GE(expected.size(), 3u);
  expected.resize(expected.size() - 2);
  trimSystemMenu(window);
  EXPECT_EQ(menuIds(GetSystemMenu(window, FALSE)), expected);
  DestroyWindow(window);
}

// Without a menu (a window without WS_SYSMENU may have none) the calls simply fail.
TEST(LockSystemMenu, WindowWithoutMenuUnharmed) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  trimSystemMenu(window);
  EXPECT_TRUE(IsWindow(window));
  DestroyWindow(window);
}

}  // namespace
