// The simulated platform: a message queue with nested dispatch, a virtual millisecond clock that
// drives 时钟1 and scripted events, the main window's controls, tray icon and message boxes, a
// scripted network, a process table, real files in a temporary program directory and a modal
// lock window. It implements platform/platform.h (apart from the pieces in sim_net.cpp) and the
// test-control API of sim.h.
#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <utility>

#include <stdlib.h>

#include "app/program.h"
#include "monitor/monitor.h"
#include "monitor/probe.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_net.h"
#include "ui/main_window.h"

namespace {

using platform::Control;

constexpr std::uint64_t kForever = UINT64_MAX;
constexpr std::uint64_t kDefaultTimeLimit = 2ull * 24 * 60 * 60 * 1000;  // two virtual days
constexpr int kMessagesWithoutTimePassing = 1'000'000;
constexpr int kControlCount = 8;
constexpr int kPaneCount = 4;
// " Run"
const char* const kInitialPane0 = " Run";
// "  电脑配对设备 Windows可以知道你何时离开"
const char* const kInitialPane3 =
    "  \xB5\xE7\xC4\xD4\xC5\xE4\xB6\xD4\xC9\xE8\xB1\xB8 Windows"
    "\xBF\xC9\xD2\xD4\xD6\xAA\xB5\xC0\xC4\xE3\xBA\xCE\xCA\xB1\xC0\xEB\xBF\xAA";

struct Message {
  enum class Kind { Call, Script, LockClose } kind;
  void (*call)() = nullptr;
  std::function<void()> action;
};

struct ControlState {
  Text text;
  bool visible = true;
  bool checked = false;
};

struct LockWindow {
  std::size_t span;
  bool open;
};

struct World {
  std::uint64_t timeLimit = kDefaultTimeLimit;

  // Queue: posted messages (scripted events join it when they fall due), the quit flag, which
  // like WM_QUIT comes after posted messages and before timer ticks, and the timer.
  std::deque<Message> posted;
  bool quit = false;
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::function<void()>> scheduled;
  std::uint64_t scheduleSequence = 0;
  int modalDepth = 0;
  int waits = 0;
  int waitsWithoutProgress = 0;

  bool timerRunning = false;
  std::uint32_t timerPeriod = 0;
  std::uint64_t timerNextDue = 0;
  std::vector<sim::TimerChange> timerChanges;
  std::function<void()> beforeTick, afterTick;
  int tickDepth = 0, maxTickDepth = 0;
  std::vector<sim::TickRecord> ticks;

  bool mainCreated = false, mainVisible = false, mainEnabled = true;
  std::vector<sim::VisibilityChange> visibility;
  std::array<ControlState, kControlCount> controls;
  std::array<Text, kPaneCount> panes;
  std::vector<sim::PaneWrite> paneWrites;

  std::vector<sim::MessageBoxRecord> boxes;
  std::vector<std::size_t> openBoxes;
  std::vector<bool> boxDismissed;
  std::uint32_t boxHold = 0;

  sim::TrayIcon tray;
  bool failTray = false;

  std::map<Text, sim::Device> devices;
  std::map<Text, Text> names;
  Text ownAddress = "127.0.0.1";
  std::vector<sim::Echo> echoes;
  std::function<void(std::size_t)> beforeEcho;
  std::vector<Text> lookUps;

  std::vector<sim::ProgramStart> programStarts;
  bool failPrograms = false;

  std::string directory, currentDirectory;
  bool ownerToolWindow = false;
  std::vector<sim::FileWrite> fileWrites;
  std::set<std::string> failingWrites;
  std::set<std::string> failingReads;

  std::vector<sim::LockSpan> lockSpans;
  std::vector<LockWindow> lockWindows;  // innermost last
  int lockOpenings = 0, lockCloseRequests = 0, lockDepth = 0, maxLockDepth = 0;

  std::vector<std::string> violations;
};

World& world() {
  static World w;
  return w;
}

// The clock is read by the page fetch worker's thread too.
std::atomic<std::uint32_t> clockStart{0};
std::atomic<std::uint64_t> clockElapsed{0};

// Removes the last program directory when the test program ends.
struct DirectoryCleanup {
  std::string path;
  ~DirectoryCleanup() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};
DirectoryCleanup lastDirectory;

void violation(std::string what) { world().violations.push_back(std::move(what)); }

std::uint64_t vt() { return clockElapsed.load(); }

// Scripted events that have fallen due join the queue, in order of time.
void releaseDue() {
  World& w = world();
  while (!w.scheduled.empty() && w.scheduled.begin()->first.first <= vt()) {
    auto node = w.scheduled.extract(w.scheduled.begin());
    w.posted.push_back(Message{Message::Kind::Script, nullptr, std::move(node.mapped())});
  }
}

void setClock(std::uint64_t target) {
  World& w = world();
  if (target <= vt()) return;
  if (target > w.timeLimit) {
    throw sim::RunawayError("virtual time ran past the test's limit of " +
                            std::to_string(w.timeLimit) + " ms");
  }
  clockElapsed.store(target);
  w.waitsWithoutProgress = 0;
  releaseDue();
}

bool timerDue() {
  const World& w = world();
  return w.timerRunning && w.timerNextDue <= vt();
}

bool readyNow() {
  releaseDue();
  const World& w = world();
  return !w.posted.empty() || (!w.quit && timerDue());
}

std::uint64_t nextEventDue() {
  const World& w = world();
  std::uint64_t next = kForever;
  if (!w.scheduled.empty()) next = w.scheduled.begin()->first.first;
  // Once the quit message is queued, timer ticks wait behind it.
  if (w.timerRunning && !w.quit) next = std::min(next, w.timerNextDue);
  return next;
}

// Waits until a message is ready or the clock reaches deadline; dispatches nothing.
void waitUntil(std::uint64_t deadline) {
  if (readyNow()) return;
  const std::uint64_t target = std::min(deadline, nextEventDue());
  if (target == kForever) throw sim::IdleError("waiting forever with nothing left to happen");
  if (target <= vt() && ++world().waitsWithoutProgress > kMessagesWithoutTimePassing) {
    throw sim::RunawayError("waiting again and again without time passing");
  }
  setClock(target);
}

void closeInnermostLockWindow() {
  World& w = world();
  for (auto it = w.lockWindows.rbegin(); it != w.lockWindows.rend(); ++it) {
    if (!it->open) continue;
    it->open = false;
    w.lockSpans[it->span].closed = true;
    w.lockSpans[it->span].closedAt = sim::now();
    return;
  }
}

// Restores a counter when a handler throws (a runaway test), so the world stays consistent.
struct DepthGuard {
  int& depth;
  explicit DepthGuard(int& d) : depth(d) { ++depth; }
  ~DepthGuard() { --depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

void dispatchTick() {
  World& w = world();
  // Missed periods coalesce into this one tick, as with WM_TIMER.
  const std::uint64_t missed = (vt() - w.timerNextDue) / w.timerPeriod + 1;
  w.timerNextDue += missed * w.timerPeriod;
  DepthGuard nesting(w.tickDepth);
  w.maxTickDepth = std::max(w.maxTickDepth, w.tickDepth);
  const std::size_t index = w.ticks.size();
  w.ticks.push_back({w.tickDepth, sim::now(), 0});
  if (w.beforeTick) w.beforeTick();
  monitorTick();
  if (w.afterTick) w.afterTick();
  w.ticks[index].endedAt = sim::now();
}

// Dispatches one message; false when none is ready (or only the quit message is).
bool dispatchOne() {
  World& w = world();
  releaseDue();
  if (!w.posted.empty()) {
    Message message = std::move(w.posted.front());
    w.posted.pop_front();
    switch (message.kind) {
      case Message::Kind::Call: message.call(); break;
      case Message::Kind::Script: message.action(); break;
      case Message::Kind::LockClose: closeInnermostLockWindow(); break;
    }
    return true;
  }
  if (!w.quit && timerDue()) {
    dispatchTick();
    return true;
  }
  return false;
}

void dispatchAll() {
  const std::uint64_t startedAt = vt();
  int dispatched = 0;
  while (dispatchOne()) {
    if (vt() != startedAt) {
      dispatched = 0;
    } else if (++dispatched > kMessagesWithoutTimePassing) {
      throw sim::RunawayError("messages keep coming without time passing");
    }
  }
}

// A nested message loop that runs until done() holds. Like a modal loop on Windows, it also
// ends when it meets the quit message, which stays queued for the outer loop.
template <typename Done>
void nestedLoop(Done done, std::uint64_t deadline = kForever) {
  while (!done() && vt() < deadline) {
    dispatchAll();
    if (done() || world().quit) break;
    waitUntil(deadline);
  }
}

ControlState& control(Control c) { return world().controls[static_cast<int>(c)]; }

void fireTextChanged(Control box) {
  if (box == Control::编辑框2) onPeriodTextChanged();
  if (box == Control::编辑框3) onThresholdTextChanged();
}

bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Character boundaries of a code page 936 text (a lead byte and its trail byte are one).
std::vector<std::size_t> characterStarts(const Text& text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size();) {
    starts.push_back(i);
    i += (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return starts;
}

// Virtual-key code of a typed character, as WM_KEYDOWN reports it.
int keyCodeOf(const Text& character) {
  if (character.size() != 1) return 0xE5;  // VK_PROCESSKEY: an input method delivers it
  const char c = character[0];
  if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return c;
  if (c == '.') return 0xBE;  // VK_OEM_PERIOD
  if (c == '-') return 0xBD;  // VK_OEM_MINUS
  return 0xE5;
}

bool isEditBox(Control c) {
  return c == Control::编辑框1 || c == Control::编辑框2 || c == Control::编辑框3 ||
         c == Control::编辑框4;
}

bool isRadio(Control c) {
  return c == Control::单选框1 || c == Control::单选框6 || c == Control::单选框3;
}

// Whether the user can reach a control: the window shown and enabled, and the setup panel
// either showing (its own controls) or not covering the settings.
bool reachable(Control c) {
  const World& w = world();
  if (!w.mainCreated || !w.mainVisible || !w.mainEnabled) return false;
  const bool panelShown = world().controls[static_cast<int>(Control::分组框5)].visible;
  return c == Control::编辑框4 ? panelShown : !panelShown;
}

bool isDottedLiteral(const Text& text) {
  int parts = 0;
  std::size_t i = 0;
  while (true) {
    std::size_t digits = 0;
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
      value = value * 10 + (text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    ++parts;
    if (i == text.size()) return parts == 4;
    if (text[i] != '.' || parts == 4) return false;
    ++i;
  }
}

std::string hostPath(const Text& path) {
  std::string converted = path;
  std::replace(converted.begin(), converted.end(), '\\', '/');
  return converted;
}

std::string nameInDirectory(const std::string& path) {
  const std::string prefix = world().directory + "/";
  return path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
}

void initialControls() {
  World& w = world();
  for (ControlState& c : w.controls) c = ControlState{};
  control(Control::分组框5).visible = false;
  control(Control::单选框1).checked = true;
  w.panes = {kInitialPane0, "", "", kInitialPane3};
}

}  // namespace

// ---- platform/platform.h ----------------------------------------------------------------------

namespace platform {

Text executableDirectory() { return world().directory; }
void setCurrentDirectory(const Text& directory) { world().currentDirectory = directory; }
void createOwnerToolWindow() { world().ownerToolWindow = true; }

void createMainWindow() {
  World& w = world();
  if (w.mainCreated) violation("createMainWindow: the main window exists already");
  w.mainCreated = true;
  w.mainVisible = false;
  w.mainEnabled = true;
  initialControls();
}

void setMainWindowVisible(bool visible) {
  World& w = world();
  w.mainVisible = visible;
  w.visibility.push_back({visible, sim::now()});
}

bool mainWindowVisible() { return world().mainVisible; }

Text controlText(Control c) { return control(c).text; }

void setControlText(Control c, const Text& text) {
  if (text.find('\0') != Text::npos) violation("setControlText: a text holding a zero byte");
  if (!isEditBox(c) && c != Control::分组框5) violation("setControlText: not a text control");
  control(c).text = text;
  fireTextChanged(c);
}

bool controlChecked(Control c) { return control(c).checked; }
void setControlVisible(Control c, bool visible) { control(c).visible = visible; }
bool controlVisible(Control c) { return control(c).visible; }

void setStatusPaneText(int pane, const Text& text) {
  World& w = world();
  if (pane < 0 || pane >= kPaneCount) return;
  w.panes[pane] = text;
  w.paneWrites.push_back({pane, text, sim::now()});
}

void startMonitorTimer(std::uint32_t periodMs) {
  World& w = world();
  if (periodMs == 0) violation("startMonitorTimer: period 0");
  // Like SetTimer: a period below the minimum is raised to it.
  w.timerPeriod = std::max<std::uint32_t>(periodMs, 10);
  w.timerRunning = true;
  w.timerNextDue = vt() + w.timerPeriod;
  w.timerChanges.push_back({true, periodMs, sim::now()});
}

void stopMonitorTimer() {
  World& w = world();
  w.timerRunning = false;
  w.timerChanges.push_back({false, 0, sim::now()});
}

bool addTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const Text& tip) {
  World& w = world();
  if (w.failTray) return false;
  w.tray = sim::TrayIcon{true, id, callbackMessage, tip};
  return true;
}

void showMessageBox(const Text& text, const Text& caption, std::uint32_t style) {
  World& w = world();
  const std::size_t index = w.boxes.size();
  w.boxes.push_back({text, caption, style, sim::now(), 0, w.mainVisible});
  w.boxDismissed.push_back(false);
  w.openBoxes.push_back(index);
  const std::uint64_t until = w.boxHold == sim::kUntilDismissed ? kForever : vt() + w.boxHold;
  {
    DepthGuard modal(w.modalDepth);
    dispatchAll();  // even a box dismissed at once runs its message loop briefly
    nestedLoop([&] { return static_cast<bool>(w.boxDismissed[index]); }, until);
  }
  w.boxDismissed[index] = true;
  w.boxes[index].dismissedAt = sim::now();
  w.openBoxes.erase(std::find(w.openBoxes.begin(), w.openBoxes.end(), index));
}

std::uint32_t tickCount() { return sim::now(); }
void dispatchPendingMessages() { dispatchAll(); }

void waitForMessages(std::uint32_t timeoutMs) {
  ++world().waits;
  waitUntil(vt() + timeoutMs);
}

void postCall(void (*fn)()) {
  world().posted.push_back(Message{Message::Kind::Call, fn, {}});
}

void runMessageLoop() {
  World& w = world();
  for (;;) {
    dispatchAll();
    if (w.quit) {
      w.quit = false;
      return;
    }
    waitUntil(kForever);
  }
}

void postQuit() { world().quit = true; }

bool lookUpHost(const Text& name, Text& dotted) {
  World& w = world();
  w.lookUps.push_back(name);
  if (name.size() > 99) {
    violation("lookUpHost: a name longer than 99 bytes");
    return false;
  }
  if (name.empty()) {
    dotted = w.ownAddress;  // what Winsock answers for an empty name
    return true;
  }
  if (auto it = w.names.find(name); it != w.names.end()) {
    dotted = it->second;
    return true;
  }
  if (isDottedLiteral(name)) {
    dotted = name;
    return true;
  }
  return false;
}

EchoReply sendEcho(const Text& dottedAddress) {
  World& w = world();
  if (w.beforeEcho) w.beforeEcho(w.echoes.size());
  w.echoes.push_back({dottedAddress, bytesFromText(dottedAddress), sim::now()});
  if (!isDottedLiteral(dottedAddress)) {
    violation("sendEcho: not a dotted address: '" + dottedAddress + "'");
    return EchoReply{};
  }
  const auto it = w.devices.find(dottedAddress);
  if (it == w.devices.end() || it->second.reply == sim::Reply::Silent) {
    sim::advance(sim::kEchoTimeoutMs);
    return EchoReply{};
  }
  const sim::Device& device = it->second;
  const std::uint32_t status = device.reply == sim::Reply::Answer ? 0 : device.status;
  const std::uint32_t roundTripTime = device.roundTripTime;
  sim::advance(std::min(roundTripTime, sim::kEchoTimeoutMs));
  return EchoReply{1, status, roundTripTime};
}

bool lockWindowOpen() {
  const auto& windows = world().lockWindows;
  return std::any_of(windows.begin(), windows.end(), [](const LockWindow& l) { return l.open; });
}

void openLockWindowModal() {
  World& w = world();
  ++w.lockOpenings;
  const std::size_t index = w.lockWindows.size();
  w.lockSpans.push_back({sim::now(), 0, false});
  w.lockWindows.push_back({w.lockSpans.size() - 1, true});
  const bool wasEnabled = w.mainEnabled;
  w.mainEnabled = false;
  {
    DepthGuard nesting(w.lockDepth);
    DepthGuard modal(w.modalDepth);
    w.maxLockDepth = std::max(w.maxLockDepth, w.lockDepth);
    nestedLoop([&] { return !w.lockWindows[index].open; });
  }
  if (w.lockWindows[index].open) {  // the loop met the quit message: the window goes with it
    w.lockWindows[index].open = false;
    w.lockSpans[w.lockWindows[index].span].closed = true;
    w.lockSpans[w.lockWindows[index].span].closedAt = sim::now();
  }
  w.lockWindows.pop_back();
  w.mainEnabled = wasEnabled;
}

void requestLockWindowClose() {
  World& w = world();
  ++w.lockCloseRequests;
  if (!lockWindowOpen()) violation("requestLockWindowClose: no lock window is open");
  w.posted.push_back(Message{Message::Kind::LockClose, nullptr, {}});
}

bool startProgram(const Text& commandLine) {
  World& w = world();
  const bool started = !w.failPrograms;
  w.programStarts.push_back({commandLine, sim::now(), started});
  return started;
}

bool readWholeFile(const Text& path, Bytes& contents) {
  contents.clear();
  const std::string file = hostPath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  if (world().failingReads.count(nameInDirectory(file)) != 0) return false;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  contents.resize(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(contents.data()), static_cast<std::streamsize>(size));
  contents.resize(static_cast<std::size_t>(in.gcount()));
  return !in.bad();
}

bool fileExists(const Text& path) {
  std::error_code error;
  return std::filesystem::exists(hostPath(path), error);
}

bool writeWholeFile(const Text& path, const Bytes& contents) {
  World& w = world();
  const std::string file = hostPath(path);
  const std::string name = nameInDirectory(file);
  bool written = false;
  if (w.failingWrites.count(name) == 0) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    written = static_cast<bool>(out);
  }
  w.fileWrites.push_back({name, contents, written, sim::now()});
  return written;
}

}  // namespace platform

// ---- sim.h ----------------------------------------------------------------------------------

namespace sim {

void reset(std::uint32_t startTime) {
  // The simulated web layer belongs to the same world: a fresh start forgets its records too.
  net::reset();
  World& w = world();
  w = World{};
  clockStart.store(startTime);
  clockElapsed.store(0);

  std::error_code ignored;
  if (!lastDirectory.path.empty()) std::filesystem::remove_all(lastDirectory.path, ignored);
  std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-sim-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temp directory");
  w.directory = pattern;
  lastDirectory.path = pattern;

  initialControls();
  w.devices[w.ownAddress] = Device{Reply::Answer, 0, 0};

  missCount = 0;
  deviceAddress.clear();
  resetMainWindowState();
  programDirectory = w.directory;
}

std::uint32_t now() {
  return static_cast<std::uint32_t>(clockStart.load() + clockElapsed.load());
}
std::uint64_t elapsed() { return vt(); }
void advance(std::uint32_t ms) { setClock(vt() + ms); }
bool hasPendingMessages() { return readyNow(); }

std::uint32_t untilNextEvent() {
  if (readyNow()) return 0;
  const std::uint64_t next = nextEventDue();
  if (next == kForever) return UINT32_MAX;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(next - vt(), UINT32_MAX - 1));
}

void setTimeLimit(std::uint64_t ms) { world().timeLimit = ms; }

void after(std::uint32_t delayMs, std::function<void()> action) {
  World& w = world();
  w.scheduled.emplace(std::make_pair(vt() + delayMs, w.scheduleSequence++), std::move(action));
  releaseDue();
}

void at(std::uint32_t time, std::function<void()> action) {
  after(time - now(), std::move(action));  // unsigned: the next time the clock shows `time`
}

void runFor(std::uint32_t ms) {
  const std::uint64_t deadline = vt() + ms;
  nestedLoop([] { return false; }, deadline);
  dispatchAll();
}

int modalDepth() { return world().modalDepth; }
int waitsCalled() { return world().waits; }

bool mainWindowCreated() { return world().mainCreated; }
bool mainWindowEnabled() { return world().mainEnabled; }
const std::vector<VisibilityChange>& mainWindowVisibility() { return world().visibility; }

Text paneText(int pane) {
  return pane >= 0 && pane < kPaneCount ? world().panes[pane] : Text();
}
const std::vector<PaneWrite>& paneWrites() { return world().paneWrites; }

std::vector<Text> missCountPaneHistory() {
  std::vector<Text> history;
  for (const PaneWrite& write : world().paneWrites) {
    if (write.pane == 2) history.push_back(write.text);
  }
  return history;
}

bool typeText(Control box, const Text& text) {
  if (!isEditBox(box) || !reachable(box)) return false;
  const std::vector<std::size_t> starts = characterStarts(text);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    const Text character = text.substr(starts[i], end - starts[i]);
    if (box == Control::编辑框4) onSetupAddressKeyDown(keyCodeOf(character));
    control(box).text += character;
    fireTextChanged(box);
  }
  return true;
}

bool pressBackspace(Control box, int count) {
  if (!isEditBox(box) || !reachable(box)) return false;
  for (int i = 0; i < count; ++i) {
    if (box == Control::编辑框4) onSetupAddressKeyDown(8);
    Text& text = control(box).text;
    if (text.empty()) continue;  // nothing to delete: no change, no notification
    text.erase(characterStarts(text).back());
    fireTextChanged(box);
  }
  return true;
}

bool pressKey(Control box, int keyCode) {
  if (!isEditBox(box) || !reachable(box)) return false;
  if (box == Control::编辑框4) onSetupAddressKeyDown(keyCode);
  return true;
}

bool clickConfirm() {
  if (!reachable(Control::编辑框4)) return false;
  confirmDeviceAddress();
  return true;
}

bool clickRadio(Control radio) {
  if (!isRadio(radio) || !reachable(radio)) return false;
  for (Control c : {Control::单选框1, Control::单选框6, Control::单选框3}) {
    control(c).checked = c == radio;
  }
  return true;
}

void forceCheck(Control radio, bool checked) {
  if (isRadio(radio)) control(radio).checked = checked;
}

bool requestClose() {
  World& w = world();
  if (!w.mainCreated) return false;
  const bool allowed = onCloseRequest();
  if (allowed) w.mainCreated = false;
  return allowed;
}

bool timerRunning() { return world().timerRunning; }
std::uint32_t timerPeriod() { return world().timerRunning ? world().timerPeriod : 0; }
std::uint32_t timerNextDue() {
  return static_cast<std::uint32_t>(clockStart.load() + world().timerNextDue);
}
const std::vector<TimerChange>& timerChanges() { return world().timerChanges; }
void beforeEachTick(std::function<void()> hook) { world().beforeTick = std::move(hook); }
void afterEachTick(std::function<void()> hook) { world().afterTick = std::move(hook); }
int ticksDispatched() { return static_cast<int>(world().ticks.size()); }
int maxTickNesting() { return world().maxTickDepth; }
const std::vector<TickRecord>& ticks() { return world().ticks; }

const std::vector<MessageBoxRecord>& messageBoxes() { return world().boxes; }
void holdMessageBoxes(std::uint32_t ms) { world().boxHold = ms; }
void dismissMessageBox() {
  World& w = world();
  if (!w.openBoxes.empty()) w.boxDismissed[w.openBoxes.back()] = true;
}

TrayIcon trayIcon() { return world().tray; }
void failTrayIcon(bool fail) { world().failTray = fail; }
void trayNotify(int kind) {
  if (world().tray.present) onTrayEvent(kind);
}

void setDevice(const Text& dotted, Device device) { world().devices[dotted] = device; }
void setHostName(const Text& name, const Text& dotted) { world().names[name] = dotted; }
void setOwnAddress(const Text& dotted) {
  World& w = world();
  w.devices.erase(w.ownAddress);
  w.ownAddress = dotted;
  w.devices[dotted] = Device{Reply::Answer, 0, 0};
}
const std::vector<Echo>& echoes() { return world().echoes; }
void beforeEachEcho(std::function<void(std::size_t)> hook) { world().beforeEcho = std::move(hook); }
const std::vector<Text>& lookUps() { return world().lookUps; }

const std::vector<ProgramStart>& programStarts() { return world().programStarts; }
void failProgramStarts(bool fail) { world().failPrograms = fail; }

std::string programDir() { return world().directory; }
std::string currentDirectory() { return world().currentDirectory; }
bool ownerToolWindowCreated() { return world().ownerToolWindow; }

void writeFile(const std::string& name, const Bytes& contents) {
  std::ofstream out(world().directory + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(contents.data()),
            static_cast<std::streamsize>(contents.size()));
}
void writeFile(const std::string& name, const std::string& contents) {
  writeFile(name, Bytes(contents.begin(), contents.end()));
}
bool fileExists(const std::string& name) {
  std::error_code ignored;
  return std::filesystem::exists(world().directory + "/" + name, ignored);
}
std::string fileContents(const std::string& name) {
  Bytes contents;
  platform::readWholeFile(world().directory + "/" + name, contents);
  return std::string(contents.begin(), contents.end());
}
const std::vector<FileWrite>& fileWrites() { return world().fileWrites; }
std::vector<std::string> writesOf(const std::string& name) {
  std::vector<std::string> contents;
  for (const FileWrite& write : world().fileWrites) {
    if (write.name == name && write.written) {
      contents.emplace_back(write.contents.begin(), write.contents.end());
    }
  }
  return contents;
}
void failReadsOf(const std::string& name, bool fail) {
  if (fail) {
    world().failingReads.insert(name);
  } else {
    world().failingReads.erase(name);
  }
}
void failWritesTo(const std::string& name, bool fail) {
  if (fail) {
    world().failingWrites.insert(name);
  } else {
    world().failingWrites.erase(name);
  }
}

bool lockWindowOpen() { return platform::lockWindowOpen(); }
int lockWindowOpenings() { return world().lockOpenings; }
int lockCloseRequests() { return world().lockCloseRequests; }
int maxLockNesting() { return world().maxLockDepth; }
const std::vector<LockSpan>& lockSpans() { return world().lockSpans; }
void forceLockWindowClose() { world().posted.push_back(Message{Message::Kind::LockClose, nullptr, {}}); }

const std::vector<std::string>& violations() { return world().violations; }

}  // namespace sim
