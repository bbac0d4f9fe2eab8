// The user-interface thread's queue under Wine: posted calls, the quit message left queued,
// waits that sleep instead of spinning, and the message loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "platform/platform.h"

namespace {

std::vector<int> g_calls;

void firstCall() { g_calls.push_back(1); }
void secondCall() { g_calls.push_back(2); }
void quitCall() {
  g_calls.push_back(3);
  platform::postQuit();
}

class MessagesTest : public testing::Test {
 protected:
  void SetUp() override { g_calls.clear(); }
  void TearDown() override {
    // Leave no quit message behind for the next test.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

TEST_F(MessagesTest, PostedCallsRunInOrderWhenDispatched) {
  platform::postCall(firstCall);
  platform::postCall(secondCall);
  EXPECT_TRUE(g_calls.empty());
  platform::dispatchPendingMessages();
  EXPECT_EQ(g_calls, (std::vector<int>{1, 2}));
}

TEST_F(MessagesTest, DispatchStopsBeforeTheQuitMessageAndLeavesItQueued) {
  platform::postCall(firstCall);
  platform::postQuit();
  platform::dispatchPendingMessages();
  EXPECT_EQ(g_calls, (std::vector<int>{1}));
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MessagesTest, MessageLoopRunsUntilQuit) {
  platform::postCall(firstCall);
  platform::postCall(quitCall);
  platform::runMessageLoop();
  EXPECT_EQ(g_calls, (std::vector<int>{1, 3}));
}

// A wait without messages sleeps for its whole time; a message ends it early. Both bounds are
// wide: they tell a wait from a spin or a hang, not how fast the system is.
TEST_F(MessagesTest, WaitEndsOnAMessageOrTheTimeout) {
  DWORD start = GetTickCount();
  platform::waitForMessages(300);
  EXPECT_GE(GetTickCount() - start, 250u);

  DWORD thread = GetCurrentThreadId();
  std::thread poster([thread] {
    Sleep(100);
    PostThreadMessageW(thread, WM_APP + 7, 0, 0);
  });
  start = GetTickCount();
  platform::waitForMessages(20000);
  DWORD waited = GetTickCount() - start;
  poster.join();
  EXPECT_LT(waited, 10000u);
  MSG message;
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE));
}

TEST_F(MessagesTest, TickCountFollowsTheSystemClock) {
  DWORD before = GetTickCount();
  std::uint32_t tick = platform::tickCount();
  EXPECT_LE(before - 0, tick);
  EXPECT_LE(tick - before, 1000u);
}

}  // namespace
