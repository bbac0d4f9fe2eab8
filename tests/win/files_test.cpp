// Whole-file reads and writes under Wine: byte-exact round trips, truncation, the sharing
// modes, paths in code page 936 and the size limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t name[MAX_PATH];
    GetTempFileNameW(temp, L"vtf", 0, name);
    DeleteFileW(name);
    CreateDirectoryW(name, nullptr);
    directory_ = ansiFromWide(name);
  }
  void TearDown() override {
    std::wstring pattern = wideFromAnsi(directory_) + L"\\*";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
          DeleteFileW((wideFromAnsi(directory_) + L"\\" + name).c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(wideFromAnsi(directory_).c_str());
  }
  Text path(const Text& name) const { return directory_ + "\\" + name; }

  Text directory_;
};

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct RoundTripCase {
  const char* name;
  Bytes contents;
};

class FileRoundTripTest : public FilesTest, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(FileRoundTripTest, BytesWrittenAreBytesRead) {
  const Bytes& contents = GetParam().contents;
  ASSERT_TRUE(platform::writeWholeFile(path("zq.ini"), contents));
  Bytes read = {'x'};
  ASSERT_TRUE(platform::readWholeFile(path("zq.ini"), read));
  EXPECT_EQ(read, contents);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, FileRoundTripTest,
    testing::Values(RoundTripCase{"Empty", {}},
                    RoundTripCase{"Digit", bytes("2")},
                    RoundTripCase{"Address", bytes(" 192.168.1.5 ")},
                    // "测试设备" in code page 936
                    RoundTripCase{"Gbk", bytes("\xB2\xE2\xCA\xD4\xC9\xE8\xB1\xB8")},
                    RoundTripCase{"LineBreaksAndZero", Bytes{'1', '\r', '\n', 0, '5', 0xA3, 0xB5}},
                    RoundTripCase{"Large", Bytes(200000, 0xA1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilesTest, WritingReplacesTheWholeFile) {
  ASSERT_TRUE(platform::writeWholeFile(path("cs.ini"), bytes("12345")));
  ASSERT_TRUE(platform::writeWholeFile(path("cs.ini"), bytes("4")));
  Bytes read;
  ASSERT_TRUE(platform::readWholeFile(path("cs.ini"), read));
  EXPECT_EQ(read, bytes("4"));
  ASSERT_TRUE(platform::writeWholeFile(path("cs.ini"), {}));
  ASSERT_TRUE(platform::readWholeFile(path("cs.ini"), read));
  EXPECT_TRUE(read.empty());
}

TEST_F(FilesTest, MissingFileIsUnreadable) {
  Bytes read = {'x'};
  EXPECT_FALSE(platform::readWholeFile(path("ip.ini"), read));
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(platform::writeWholeFile(path("no-such-dir\\ip.ini"), bytes("1")));
}

// Reading shares the file with other readers only; writing shares it with nobody.
TEST_F(FilesTest, SharingModes) {
  ASSERT_TRUE(platform::writeWholeFile(path("ip.ini"), bytes("10.0.0.1")));
  std::wstring wide = wideFromAnsi(path("ip.ini"));
  Bytes read;

  HANDLE reader = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(platform::readWholeFile(path("ip.ini"), read));
  EXPECT_FALSE(platform::writeWholeFile(path("ip.ini"), bytes("x")));
  CloseHandle(reader);

  HANDLE writer = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(platform::readWholeFile(path("ip.ini"), read));
  CloseHandle(writer);

  ASSERT_TRUE(platform::readWholeFile(path("ip.ini"), read));
  EXPECT_EQ(read, bytes("10.0.0.1"));
}

TEST_F(FilesTest, PathsAreCodePage936) {
  // "设置" in code page 936: the directory and file are found by their Chinese names.
  Text chineseDirectory = path("\xC9\xE8\xD6\xC3");
  ASSERT_TRUE(CreateDirectoryW(wideFromAnsi(chineseDirectory).c_str(), nullptr));
  Text file = chineseDirectory + "\\zq.ini";
  ASSERT_TRUE(platform::writeWholeFile(file, bytes("3")));
  EXPECT_NE(GetFileAttributesW((wideFromAnsi(directory_) + L"\\设置\\zq.ini").c_str()),
            INVALID_FILE_ATTRIBUTES);
  Bytes read;
  ASSERT_TRUE(platform::readWholeFile(file, read));
  EXPECT_EQ(read, bytes("3"));
  DeleteFileW(wideFromAnsi(file).c_str());
  RemoveDirectoryW(wideFromAnsi(chineseDirectory).c_str());
}

// A file beyond the limit is refused as unreadable and left as it is.
TEST_F(FilesTest, HugeFileIsRefusedAndKept) {
  std::wstring wide = wideFromAnsi(path("huge.ini"));
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 64ll * 1024 * 1024 + 1;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);

  Bytes read = {'x'};
  EXPECT_FALSE(platform::readWholeFile(path("huge.ini"), read));
  EXPECT_TRUE(read.empty());
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  ASSERT_TRUE(GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &attributes));
  EXPECT_EQ(attributes.nFileSizeLow, static_cast<DWORD>(size.QuadPart));
}

}  // namespace
