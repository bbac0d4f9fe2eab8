// The small platform layer: everything the portable core asks of the windowing system, the
// network, files, threads and processes. It is implemented twice and chosen at link time:
// platform/win32 (the real program) and platform/sim (a simulated platform for native tests).
//
// Contract for both backends:
// - Every function here is called on the user-interface thread, except the inet:: functions,
//   which the page fetch worker calls on its own thread.
// - Texts are code page 936 bytes; a backend converts at its own boundary (Win32: to UTF-16
//   for everything shown, back from UTF-16 for everything typed).
// - Failures come back as plain results (false, empty, null); nothing throws.
// - The backend calls the core's handlers (ui/main_window.h, monitor/monitor.h) when their
//   events happen: text changes of 编辑框2/编辑框3, Enter in 编辑框4, the click on 按钮1,
//   close requests, tray notifications and the ticks of 时钟1.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace platform {

// The main window's controls that the core reads or writes.
enum class Control {
  编辑框1,  // device address
  编辑框2,  // period in seconds
  编辑框3,  // threshold in ticks
  编辑框4,  // address typed into the setup panel
  单选框1,  // leave action: the lock window
  单选框6,  // leave action: lock the session
  单选框3,  // leave action: sleep
  分组框5,  // the setup panel
};

// ---- Process --------------------------------------------------------------------------------

// The directory part of the executable's full path, without the trailing backslash.
Text executableDirectory();
void setCurrentDirectory(const Text& directory);
// The hidden top-level tool window that owns windows without a taskbar button.
void createOwnerToolWindow();
// Ends the own process at once with exit code 0; no clean-up runs.
[[noreturn]] void terminateSelf();

// ---- Main window ----------------------------------------------------------------------------

// Creates the main window hidden, centred, with every control in its initial state and
// 时钟1 stopped. Does not call any handler.
void createMainWindow();
void setMainWindowVisible(bool visible);
bool mainWindowVisible();

Text controlText(Control control);
// Setting the text of 编辑框2 or 编辑框3 fires its text-changed handler exactly once, even when
// the text is unchanged.
void setControlText(Control control, const Text& text);
bool controlChecked(Control control);
void setControlVisible(Control control, bool visible);
bool controlVisible(Control control);
// Setting the text of a pane that does not exist does nothing.
void setStatusPaneText(int pane, const Text& text);

// 时钟1: timer 1000 on the main window; its ticks run monitorTick. Starting restarts the
// schedule. The period rule itself lives in the core.
void startMonitorTimer(std::uint32_t periodMs);
void stopMonitorTimer();

// Tray icon of the main window with the program's built-in icon. Returns false on failure.
bool addTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const Text& tip);

// A task-modal message box with no owner; window messages (timers among them) keep being
// dispatched until the user dismisses it.
constexpr std::uint32_t kMbOk = 0x0;
constexpr std::uint32_t kMbTaskModal = 0x2000;
void showMessageBox(const Text& text, const Text& caption, std::uint32_t style);

// ---- Messages and time ----------------------------------------------------------------------

// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t tickCount();
// Dispatches the messages waiting in the user-interface thread's queue until it is empty or the
// next message is the quit message (which stays queued).
void dispatchPendingMessages();
// Blocks until a message arrives in the queue or timeoutMs have passed; dispatches nothing.
void waitForMessages(std::uint32_t timeoutMs);
// Queues a call to fn on the user-interface thread; it runs when the queue is next dispatched.
void postCall(void (*fn)());
// Runs the message loop until the quit message.
void runMessageLoop();
void postQuit();

// ---- Device probe ---------------------------------------------------------------------------

// Winsock 1.1 look-up of a name (at most 99 bytes): the dotted IPv4 text of its first
// address, or false.
bool lookUpHost(const Text& name, Text& dotted);

struct EchoReply {
  std::uint32_t replies = 0;        // replies stored in the reply buffer; 0 when none
  std::uint32_t status = 0;         // Status of the first reply; 0 is success
  std::uint32_t roundTripTime = 0;  // RoundTripTime field as the echo call left it
};
// One ICMP echo to the dotted address with the address text as payload, 1000 ms timeout.
EchoReply sendEcho(const Text& dottedAddress);

// ---- Lock window ----------------------------------------------------------------------------

// True from the creation of the lock window until its destruction has been handled.
bool lockWindowOpen();
// Creates the lock window afresh and runs a nested message loop until it is destroyed; the
// program's other top-level windows are disabled meanwhile and get their state back after.
void openLockWindowModal();
// Posts the lock window's close; never waits for it.
void requestLockWindowClose();

// ---- Processes, files, shell ----------------------------------------------------------------

// Starts a program from a command line without waiting for it to end (at most 1000 ms for it
// to become idle). False when it could not be started.
bool startProgram(const Text& commandLine);

// Whole-file read (OPEN_EXISTING, GENERIC_READ, shared for reading) and write (CREATE_ALWAYS,
// GENERIC_WRITE, shared with nobody). Paths use backslashes.
bool readWholeFile(const Text& path, Bytes& contents);
bool writeWholeFile(const Text& path, const Bytes& contents);
// True when something exists at the path, readable or not.
bool fileExists(const Text& path);

// UTF-8 to code page 936 through the code-page functions, up to the first zero byte.
Text utf8ToAnsi(const Text& utf8);
// The shell's "open" of an address, owned by the "Microsoft Internet Explorer" window when
// one exists. The result is ignored.
void shellOpen(const Text& address);

// ---- Worker threads -------------------------------------------------------------------------

using WorkerHandle = void*;
// Starts fn(param) on a new thread; null when the thread cannot be created.
WorkerHandle startWorker(void (*fn)(void*), void* param);
enum class WaitResult { WorkerEnded, Timeout, Message, Failed };
// Waits until the worker ends, a message arrives or timeoutMs pass (Win32:
// MsgWaitForMultipleObjects with QS_ALLEVENTS). Dispatches nothing.
WaitResult waitForWorkerOrMessage(WorkerHandle worker, std::uint32_t timeoutMs);
// Closes the handle; a worker still running is abandoned, never terminated.
void releaseWorker(WorkerHandle worker);

// ---- WinINet-shaped HTTP, called on the worker thread ---------------------------------------

namespace inet {
using Handle = void*;
constexpr std::uint32_t kOpenTypeDirect = 1;
constexpr std::uint32_t kOpenTypeProxy = 3;
constexpr std::uint32_t kServiceHttp = 3;
constexpr std::uint32_t kFlagReload = 0x80000000u;
constexpr std::uint32_t kQueryRawHeadersCrlf = 22;

Handle internetOpen(const char* agent, std::uint32_t accessType, const char* proxy,
                    const char* proxyBypass, std::uint32_t flags);
Handle internetConnect(Handle internet, const char* host, std::uint16_t port,
                       const char* userName, const char* password, std::uint32_t service,
                       std::uint32_t flags, std::uintptr_t context);
Handle httpOpenRequest(Handle connection, const char* verb, const char* path,
                       const char* version, const char* referrer, const char** acceptTypes,
                       std::uint32_t flags, std::uintptr_t context);
bool httpSendRequest(Handle request, const char* headers, std::uint32_t headersLength,
                     const void* optional, std::uint32_t optionalLength);
bool internetReadFile(Handle request, void* buffer, std::uint32_t toRead,
                      std::uint32_t* read);
bool httpQueryInfo(Handle request, std::uint32_t level, void* buffer, std::uint32_t* length,
                   std::uint32_t* index);
bool internetSetCookie(const char* url, const char* name, const char* data);
bool internetCloseHandle(Handle handle);
}  // namespace inet

}  // namespace platform
