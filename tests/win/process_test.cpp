// The process pieces under Wine: the program's directory, the current directory, the hidden
// owner tool window and starting other programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

TEST(Process, ExecutableDirectoryIsTheModulesDirectory) {
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring expected = module;
  expected.resize(expected.rfind(L'\\'));
  Text directory = platform::executableDirectory();
  EXPECT_EQ(wideFromAnsi(directory), expected);
  EXPECT_NE(directory.back(), '\\');
}

TEST(Process, SetCurrentDirectory) {
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring target = temp;
  if (target.back() == L'\\') target.pop_back();

  platform::setCurrentDirectory(ansiFromWide(target));
  wchar_t now[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, now);
  EXPECT_EQ(lstrcmpiW(now, target.c_str()), 0);
  SetCurrentDirectoryW(saved);
}

TEST(Process, OwnerToolWindowIsHiddenTopLevelToolWindow) {
  platform::createOwnerToolWindow();
  HWND owner = ownerToolWindow();
  ASSERT_NE(owner, nullptr);
  EXPECT_NE(GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(GetAncestor(owner, GA_PARENT), GetDesktopWindow());
  platform::createOwnerToolWindow();  // once only
  EXPECT_EQ(ownerToolWindow(), owner);
}

TEST(Process, StartProgramRunsTheCommandLine) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  Text marker = ansiFromWide(std::wstring(temp) + L"vantrel-started.txt");
  DeleteFileW(wideFromAnsi(marker).c_str());

  ASSERT_TRUE(platform::startProgram("cmd.exe /c echo started> \"" + marker + "\""));
  DWORD start = GetTickCount();
  while (GetFileAttributesW(wideFromAnsi(marker).c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetTickCount() - start < 20000)
    Sleep(50);
  EXPECT_NE(GetFileAttributesW(wideFromAnsi(marker).c_str()), INVALID_FILE_ATTRIBUTES);
  Sleep(200);
  DeleteFileW(wideFromAnsi(marker).c_str());
}

TEST(Process, StartProgramFailsOnAMissingProgram) {
  EXPECT_FALSE(platform::startProgram("vantrel-no-such-program.exe /x"));
  EXPECT_FALSE(platform::startProgram(""));
}

}  // namespace
