// Test-control API of the simulated platform. The simulated platform implements
// platform/platform.h for real: a message queue with posted messages and nested dispatch, a
// virtual millisecond clock driving 时钟1 and scripted events, the main window's controls, a
// tray icon, message boxes, a scripted network of devices, a process table, real files in a
// temporary program directory and a modal lock window. Tests drive and observe it from here.
//
// Time only moves when the code under test waits (waitForMessages, message boxes, the lock
// window's loop, the message loop), when an echo or a program start costs time, or when a
// test calls advance or runFor. A world that would run past its time budget throws
// RunawayError instead of hanging; a loop that would wait forever with nothing left to happen
// throws IdleError.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

struct RunawayError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct IdleError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A fresh world: empty queue, clock at startTime, every control as created, no devices, a new
// empty program directory. Also resets the core's state (missCount, deviceAddress, the timer
// period kept by the core, programDirectory = the new directory).
void reset(std::uint32_t startTime = 0x10000);

// ---- Clock and queue --------------------------------------------------------------------------

// Virtual milliseconds, wrapping at 2^32 like the tick count.
std::uint32_t now();
// Virtual milliseconds since reset, not wrapping.
std::uint64_t elapsed();
// Moves the virtual clock forward without dispatching anything; events that fall due are queued.
void advance(std::uint32_t ms);
// True when a message is waiting to be dispatched (posted, scripted or a due timer tick).
bool hasPendingMessages();
// Milliseconds until the next scripted event or timer tick falls due; UINT32_MAX when none.
std::uint32_t untilNextEvent();
// Virtual time budget since reset (default two days); running past it throws RunawayError.
void setTimeLimit(std::uint64_t ms);

// Runs action as an input message when the clock reaches time (the next such moment of the
// wrapping clock) or delayMs from now; it is dispatched like any other message.
void at(std::uint32_t time, std::function<void()> action);
void after(std::uint32_t delayMs, std::function<void()> action);
// Runs the message loop for ms virtual milliseconds; it stops early at a quit message, which it
// leaves queued. Modal loops (message boxes, the lock window) also end at a quit message.
void runFor(std::uint32_t ms);
// Depth of the modal loops (message boxes, lock windows) the code is running inside.
int modalDepth();
// Calls of waitForMessages since reset (a wait that spins shows up here).
int waitsCalled();

// ---- Main window and controls -------------------------------------------------------------------

bool mainWindowCreated();
bool mainWindowEnabled();
struct VisibilityChange {
  bool visible;
  std::uint32_t at;
};
// Every call that set the main window's visibility, in order.
const std::vector<VisibilityChange>& mainWindowVisibility();
// Text of a status pane (0..3); empty for a pane that does not exist.
Text paneText(int pane);
struct PaneWrite {
  int pane;
  Text text;
  std::uint32_t at;
};
const std::vector<PaneWrite>& paneWrites();
// Texts of pane 2 (the miss count) as written, in order.
std::vector<Text> missCountPaneHistory();

// User input. Each returns false (and does nothing) while the main window is disabled.
// Types text one keystroke per character (a double-byte character is one keystroke); every
// keystroke changes the box and fires its text-changed handler, and in 编辑框4 its key-down.
bool typeText(platform::Control box, const Text& text);
// Deletes the last count characters with Backspace, one keystroke each.
bool pressBackspace(platform::Control box, int count = 1);
// A key that does not change the text (e.g. 13, Enter) pressed in a box.
bool pressKey(platform::Control box, int keyCode);
bool clickConfirm();  // 按钮1
bool clickRadio(platform::Control radio);
// Sets one radio's checked state directly, like BM_SETCHECK: the others are left alone and the
// window's enabled state is not asked. For states the user cannot make through the window.
void forceCheck(platform::Control radio, bool checked);
// Close box / Alt+F4 on the main window; true when the window allowed the close.
bool requestClose();

// ---- Timer 时钟1 ------------------------------------------------------------------------------

bool timerRunning();
std::uint32_t timerPeriod();
// Virtual time (wrapping clock) of the next tick while running.
std::uint32_t timerNextDue();
struct TimerChange {
  bool started;  // false: stopped
  std::uint32_t period;
  std::uint32_t at;
};
const std::vector<TimerChange>& timerChanges();
// Hooks around each tick of 时钟1 (also ticks nested inside the lock window's loop).
void beforeEachTick(std::function<void()> hook);
void afterEachTick(std::function<void()> hook);
int ticksDispatched();
// Deepest nesting of ticks seen (1 when no tick ran inside another).
int maxTickNesting();
struct TickRecord {
  int depth;  // 1 at the top level, 2 inside a tick's lock window
  std::uint32_t startedAt;
  std::uint32_t endedAt;
};
const std::vector<TickRecord>& ticks();

// ---- Message boxes --------------------------------------------------------------------------

struct MessageBoxRecord {
  Text text;
  Text caption;
  std::uint32_t style;
  std::uint32_t shownAt;
  std::uint32_t dismissedAt;
  bool mainWindowVisible;  // when it was shown
};
const std::vector<MessageBoxRecord>& messageBoxes();
constexpr std::uint32_t kUntilDismissed = UINT32_MAX;
// How long each following box stays up (virtual ms; default 0: dismissed at once after one
// round of dispatching). kUntilDismissed keeps it up until dismissMessageBox.
void holdMessageBoxes(std::uint32_t ms);
void dismissMessageBox();  // dismisses the innermost box that is up

// ---- Tray icon --------------------------------------------------------------------------------

struct TrayIcon {
  bool present = false;
  std::uint32_t id = 0;
  std::uint32_t callbackMessage = 0;
  Text tip;
};
TrayIcon trayIcon();
void failTrayIcon(bool fail);
// A tray notification of the given kind (1 left-button release, 2 double click, 3 right
// button / context menu) reaches the main window, when the icon is up.
void trayNotify(int kind);

// ---- Network ----------------------------------------------------------------------------------

enum class Reply { Answer, Silent, ErrorStatus };
struct Device {
  Reply reply = Reply::Answer;
  std::uint32_t roundTripTime = 5;  // also how long the reply takes on the virtual clock
  std::uint32_t status = 11003;     // for ErrorStatus (IP_DEST_HOST_UNREACHABLE)
};
constexpr std::uint32_t kEchoTimeoutMs = 1000;
// A device at a dotted address. Unknown addresses stay silent (each echo costs the timeout).
void setDevice(const Text& dotted, Device device);
// A host name that the look-up resolves.
void setHostName(const Text& name, const Text& dotted);
// The computer's own address: what the look-up of an empty name gives, as on Windows.
// Default 127.0.0.1, answering in under 1 ms.
void setOwnAddress(const Text& dotted);
struct Echo {
  Text destination;
  Bytes payload;
  std::uint32_t at;
};
const std::vector<Echo>& echoes();
// Runs before each echo is answered, with the echo's index from 0; it may change devices.
void beforeEachEcho(std::function<void(std::size_t index)> hook);
const std::vector<Text>& lookUps();

// ---- Processes, files, directories -----------------------------------------------------------

struct ProgramStart {
  Text commandLine;
  std::uint32_t at;
  bool started;
};
const std::vector<ProgramStart>& programStarts();
void failProgramStarts(bool fail);

// The temporary program directory (a real directory, '/'-separated).
std::string programDir();
std::string currentDirectory();  // as set by setCurrentDirectory
bool ownerToolWindowCreated();
// Files in the program directory, by name ("zq.ini").
void writeFile(const std::string& name, const Bytes& contents);
void writeFile(const std::string& name, const std::string& contents);
bool fileExists(const std::string& name);
std::string fileContents(const std::string& name);
struct FileWrite {
  std::string name;  // relative to the program directory when inside it
  Bytes contents;
  bool written;
  std::uint32_t at;
};
const std::vector<FileWrite>& fileWrites();
// Contents of each write of one file, in order.
std::vector<std::string> writesOf(const std::string& name);
// Writes to this file fail (the file keeps its contents).
void failWritesTo(const std::string& name, bool fail);
// Reads of this file fail although it exists (locked by another program, say).
void failReadsOf(const std::string& name, bool fail);

// ---- Lock window --------------------------------------------------------------------------------

bool lockWindowOpen();
int lockWindowOpenings();
int lockCloseRequests();
// Deepest nesting of lock windows seen (1 when never opened while one was open).
int maxLockNesting();
struct LockSpan {
  std::uint32_t openedAt;
  std::uint32_t closedAt;
  bool closed;
};
const std::vector<LockSpan>& lockSpans();
// Posts a close of the innermost lock window from outside the program (ends a test's loop).
void forceLockWindowClose();

// ---- Contract checks --------------------------------------------------------------------------

// Calls that broke platform/platform.h's contract (for example a look-up of a name longer than
// 99 bytes, a zero byte in a text); tests expect none.
const std::vector<std::string>& violations();

}  // namespace sim
