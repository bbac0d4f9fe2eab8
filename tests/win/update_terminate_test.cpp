// terminateSelf under Wine: the process ends at once with exit code 0 and none of its own
// clean-up runs. The ending runs in a child: this test program started again for one test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {

const char kMarkerVariable[] = "VANTREL_TERMINATE_MARKER";

void writeMarker(const char* what) {
  if (const char* path = std::getenv(kMarkerVariable)) {
    if (FILE* file = std::fopen(path, "ab")) {
      std::fputs(what, file);
      std::fclose(file);
    }
  }
}

// Runs only in the child (disabled tests run when asked for by name).
TEST(TerminateSelfChild, DISABLED_Ends) {
  std::atexit([] { writeMarker("atexit;"); });
  writeMarker("started;");
  platform::terminateSelf();
}

TEST(TerminateSelf, EndsWithExitCodeZeroAndRunsNoCleanUp) {
  char exe[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string marker =
      std::string(temp) + "vantrel-terminate-" + std::to_string(GetCurrentProcessId()) + ".txt";
  DeleteFileA(marker.c_str());
  SetEnvironmentVariableA(kMarkerVariable, marker.c_str());

  std::string commandLine = std::string("\"") + exe +
                            "\" --gtest_filter=TerminateSelfChild.DISABLED_Ends "
                            "--gtest_also_run_disabled_tests";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 1234;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  SetEnvironmentVariableA(kMarkerVariable, nullptr);

  EXPECT_EQ(exitCode, 0u);
  std::string written;
  if (FILE* file = std::fopen(marker.c_str(), "rb")) {
    char buffer[64];
    written.assign(buffer, std::fread(buffer, 1, sizeof buffer, file));
    std::fclose(file);
  }
  DeleteFileA(marker.c_str());
  EXPECT_EQ(written, "started;");
}

}  // namespace
