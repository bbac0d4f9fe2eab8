// The simulated platform: message queue, virtual clock, controls, network, processes, files.
// (Placeholder bodies: being written.)
#include "platform/platform.h"

namespace platform {
Text executableDirectory() { return "."; }
void setCurrentDirectory(const Text&) {}
void createOwnerToolWindow() {}
void createMainWindow() {}
void setMainWindowVisible(bool) {}
bool mainWindowVisible() { return false; }
Text controlText(Control) { return Text(); }
void setControlText(Control, const Text&) {}
bool controlChecked(Control) { return false; }
void setControlVisible(Control, bool) {}
bool controlVisible(Control) { return false; }
void setStatusPaneText(int, const Text&) {}
void startMonitorTimer(std::uint32_t) {}
void stopMonitorTimer() {}
bool addTrayIcon(std::uint32_t, std::uint32_t, const Text&) { return true; }
void showMessageBox(const Text&, const Text&, std::uint32_t) {}
std::uint32_t tickCount() { return 0; }
void dispatchPendingMessages() {}
void waitForMessages(std::uint32_t) {}
void postCall(void (*)()) {}
void runMessageLoop() {}
void postQuit() {}
bool lookUpHost(const Text&, Text&) { return false; }
EchoReply sendEcho(const Text&) { return EchoReply(); }
bool lockWindowOpen() { return false; }
void openLockWindowModal() {}
void requestLockWindowClose() {}
bool startProgram(const Text&) { return false; }
bool readWholeFile(const Text&, Bytes&) { return false; }
bool writeWholeFile(const Text&, const Bytes&) { return false; }
}  // namespace platform
