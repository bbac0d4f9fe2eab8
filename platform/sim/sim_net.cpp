// The simulated platform's code-page, shell, process-ending, worker-thread and HTTP pieces.
// Worker threads are real; the HTTP side is a scripted set of pages behind a WinINet-shaped
// interface that records every call. A scripted stall holds a worker in one call for a span of
// virtual time, which the wait lets pass on the virtual clock.
#include "platform/sim/sim_net.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/platform.h"
#include "platform/sim/sim.h"

namespace {

using namespace std::chrono_literals;

// ---- Shared state ----------------------------------------------------------------------------

struct Worker {
  std::thread thread;
  bool done = false;
  bool released = false;   // the handle was released
  bool stalledOnce = false;
  bool stalled = false;    // inside a stalled call
  std::uint32_t stallLeft = 0;
  bool stallOver = false;  // the stalled call may go on
  bool stallFails = false;
  bool discarded = false;  // after reset: record nothing, fail everything
};

enum class HandleKind { Internet, Connection, Request };

struct HandleInfo {
  HandleKind kind;
  Text host;
  std::uint16_t port = 0;
  std::shared_ptr<const sim::net::Page> page;
  bool sent = false;
  bool sendFailed = false;
  std::size_t readOffset = 0;
};

struct State {
  std::mutex mutex;
  std::condition_variable changed;
  std::map<Text, sim::net::Page> pages;
  sim::net::Page defaultPage;
  bool failOpen = false;
  bool failConnect = false;
  std::vector<sim::net::Call> calls;
  std::map<std::uintptr_t, HandleInfo> handles;
  std::uintptr_t nextHandle = 0x1000;
  Text lastHeaders;
  std::optional<Bytes> lastBody;
  int requestsSent = 0;
  std::vector<Text> shellOpens;
  int terminations = 0;
  bool failWorkerStarts = false;
  bool failWaits = false;
  int workersStarted = 0;
  int workersAbandoned = 0;
  std::vector<std::shared_ptr<Worker>> workers;

  State() { defaultPage.failSend = true; }
};

State& state() {
  static State s;
  return s;
}

thread_local Worker* currentWorker = nullptr;

bool discarded() { return currentWorker && currentWorker->discarded; }

std::string quoted(const char* text) {
  return text ? "\"" + std::string(text) + "\"" : std::string("null");
}

const char* kindName(HandleKind kind) {
  switch (kind) {
    case HandleKind::Internet: return "internet";
    case HandleKind::Connection: return "connection";
    case HandleKind::Request: return "request";
  }
  return "?";
}

// Caller holds the lock.
std::string handleName(State& s, void* handle) {
  if (!handle) return "null";
  auto found = s.handles.find(reinterpret_cast<std::uintptr_t>(handle));
  return found == s.handles.end() ? "unknown" : kindName(found->second.kind);
}

void* newHandle(State& s, HandleInfo info) {
  const std::uintptr_t id = s.nextHandle;
  s.nextHandle += 0x10;
  s.handles.emplace(id, std::move(info));
  return reinterpret_cast<void*>(id);
}

HandleInfo* findHandle(State& s, void* handle, HandleKind kind) {
  auto found = s.handles.find(reinterpret_cast<std::uintptr_t>(handle));
  return found != s.handles.end() && found->second.kind == kind ? &found->second : nullptr;
}

void record(State& s, std::string function, std::vector<std::string> args, std::string result) {
  if (discarded()) return;
  s.calls.push_back({std::move(function), std::move(args), std::move(result)});
}

// Holds the calling worker inside this call when the request's page says so. Returns false
// when the call must fail (its stall was made forever and ended by reset). Caller holds lock.
bool passStall(std::unique_lock<std::mutex>& lock, const sim::net::Page& page,
               sim::net::Step step) {
  Worker* w = currentWorker;
  if (!w || w->discarded || !page.stallAt || *page.stallAt != step || w->stalledOnce) return true;
  State& s = state();
  w->stalledOnce = true;
  w->stalled = true;
  w->stallLeft = page.stallMs;
  s.changed.notify_all();
  s.changed.wait(lock, [w] { return w->stallOver; });
  return !w->stallFails;
}

// Caller holds the lock.
void endStall(Worker& w, bool fails) {
  w.stalled = false;
  w.stallOver = true;
  w.stallFails = fails;
  state().changed.notify_all();
}

// ---- UTF-8 to code page 936 -----------------------------------------------------------------

// Decodes UTF-8 the way MultiByteToWideChar does: each maximal ill-formed part becomes U+FFFD
// and the conversion goes on.
std::vector<char32_t> decodeUtf8(const Text& text) {
  std::vector<char32_t> out;
  const std::size_t n = text.size();
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = at(i);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int length = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;  // no overlong forms
      if (b == 0xED) hi = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    int taken = 1;
    for (; taken < length && j < n; ++taken, ++j) {
      const unsigned char c = at(j);
      const unsigned char low = taken == 1 ? lo : 0x80;
      const unsigned char high = taken == 1 ? hi : 0xBF;
      if (c < low || c > high) break;
      cp = cp << 6 | (c & 0x3F);
    }
    out.push_back(taken == length ? cp : 0xFFFD);
    i = j;
  }
  return out;
}

// Encodes one character in code page 936; characters it lacks become its default character.
void appendCp936(iconv_t cd, char32_t cp, Text& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
    return;
  }
  char in[4];
  std::memcpy(in, &cp, sizeof in);  // host order: the converter is opened for UTF-32LE
  char buffer[8];
  char* inPtr = in;
  char* outPtr = buffer;
  std::size_t inLeft = sizeof in, outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
      outPtr == buffer) {
    out.push_back('?');
    return;
  }
  out.append(buffer, outPtr);
}

}  // namespace

namespace platform {

Text utf8ToAnsi(const Text& utf8) {
  if (utf8.empty()) return Text();
  static_assert(std::endian::native == std::endian::little);
  iconv_t cd = iconv_open("CP936", "UTF-32LE");
  Text out;
  for (char32_t cp : decodeUtf8(utf8)) {
    if (cd == reinterpret_cast<iconv_t>(-1))
      out.push_back(cp < 0x80 ? static_cast<char>(cp) : '?');
    else
      appendCp936(cd, cp, out);
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return textFromBytes(out.data(), out.size());
}

void shellOpen(const Text& address) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.shellOpens.push_back(address);
}

void terminateSelf() {
  {
    State& s = state();
    std::lock_guard<std::mutex> guard(s.mutex);
    ++s.terminations;
  }
  throw sim::net::ProcessTerminated{};
}

// ---- Worker threads --------------------------------------------------------------------------

WorkerHandle startWorker(void (*fn)(void*), void* param) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (s.failWorkerStarts) return nullptr;
  auto worker = std::make_shared<Worker>();
  Worker* w = worker.get();
  try {
    w->thread = std::thread([w, fn, param] {
      currentWorker = w;
      fn(param);
      State& st = state();
      std::lock_guard<std::mutex> g(st.mutex);
      w->done = true;
      st.changed.notify_all();
    });
  } catch (const std::system_error&) {
    return nullptr;
  }
  s.workers.push_back(worker);
  ++s.workersStarted;
  return w;
}

WaitResult waitForWorkerOrMessage(WorkerHandle handle, std::uint32_t timeoutMs) {
  State& s = state();
  auto* w = static_cast<Worker*>(handle);
  std::unique_lock<std::mutex> lock(s.mutex);
  if (s.failWaits || !w) return WaitResult::Failed;
  auto pendingMessages = [&] {
    lock.unlock();
    const bool pending = sim::hasPendingMessages();
    lock.lock();
    return pending;
  };
  auto advanceClock = [&](std::unique_lock<std::mutex>& held, std::uint32_t ms) {
    held.unlock();
    sim::advance(ms);
    held.lock();
  };
  std::uint32_t remaining = timeoutMs;
  for (;;) {
    // The worker runs in real time until it ends or stalls; one stuck for two real minutes
    // fails the wait rather than hanging the test run.
    if (!s.changed.wait_for(lock, 120s, [w] { return w->done || w->stalled; }))
      return WaitResult::Failed;
    if (w->done) return WaitResult::WorkerEnded;
    if (pendingMessages()) return WaitResult::Message;
    if (w->stallLeft == 0) {
      endStall(*w, false);
      continue;
    }
    if (remaining == 0) return WaitResult::Timeout;
    std::uint32_t step = std::min(remaining, w->stallLeft);
    lock.unlock();
    step = std::min(step, sim::untilNextEvent());
    lock.lock();
    if (step == 0) {
      // An event already due: advancing 0 ms queues it.
      advanceClock(lock, 0);
      if (pendingMessages()) return WaitResult::Message;
      step = 1;
    }
    advanceClock(lock, step);
    remaining -= std::min(remaining, step);
    if (w->stallLeft != sim::net::kForever) w->stallLeft -= std::min(w->stallLeft, step);
  }
}

void releaseWorker(WorkerHandle handle) {
  State& s = state();
  auto* w = static_cast<Worker*>(handle);
  if (!w) return;
  std::unique_lock<std::mutex> lock(s.mutex);
  w->released = true;
  if (!w->done) {
    // Abandoned, never terminated: it goes on with its own reference to the exchange stream
    // until reset or finishAbandonedWorkers ends its stall.
    ++s.workersAbandoned;
    return;
  }
  auto found = std::find_if(s.workers.begin(), s.workers.end(),
                            [w](const std::shared_ptr<Worker>& p) { return p.get() == w; });
  if (found == s.workers.end()) return;
  std::shared_ptr<Worker> keep = *found;
  s.workers.erase(found);
  lock.unlock();
  keep->thread.join();
}

// ---- WinINet ---------------------------------------------------------------------------------

namespace inet {

Handle internetOpen(const char* agent, std::uint32_t accessType, const char* proxy,
                    const char* proxyBypass, std::uint32_t flags) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  Handle h = s.failOpen || discarded() ? nullptr : newHandle(s, {HandleKind::Internet, {}, 0, nullptr});
  record(s, "InternetOpenA",
         {quoted(agent), std::to_string(accessType), quoted(proxy), quoted(proxyBypass),
          std::to_string(flags)},
         handleName(s, h));
  return h;
}

Handle internetConnect(Handle internet, const char* host, std::uint16_t port,
                       const char* userName, const char* password, std::uint32_t service,
                       std::uint32_t flags, std::uintptr_t context) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  Handle h = nullptr;
  if (!s.failConnect && !discarded() && findHandle(s, internet, HandleKind::Internet))
    h = newHandle(s, {HandleKind::Connection, host ? host : "", port, nullptr});
  record(s, "InternetConnectA",
         {handleName(s, internet), quoted(host), std::to_string(port), quoted(userName),
          quoted(password), std::to_string(service), std::to_string(flags),
          std::to_string(context)},
         handleName(s, h));
  return h;
}

Handle httpOpenRequest(Handle connection, const char* verb, const char* path,
                       const char* version, const char* referrer, const char** acceptTypes,
                       std::uint32_t flags, std::uintptr_t context) {
  State& s = state();
  std::unique_lock<std::mutex> lock(s.mutex);
  Handle h = nullptr;
  const HandleInfo* conn = findHandle(s, connection, HandleKind::Connection);
  if (conn && !discarded()) {
    Text address = "http://" + conn->host;
    if (conn->port != 80) address += ":" + std::to_string(conn->port);
    address += path ? path : "";
    auto found = s.pages.find(address);
    HandleInfo info{HandleKind::Request, conn->host, conn->port,
                    std::make_shared<const sim::net::Page>(
                        found != s.pages.end() ? found->second : s.defaultPage)};
    const bool goesOn = passStall(lock, *info.page, sim::net::Step::OpenRequest);
    if (goesOn && !info.page->failOpenRequest && !discarded()) h = newHandle(s, std::move(info));
  }
  record(s, "HttpOpenRequestA",
         {handleName(s, connection), quoted(verb), quoted(path), quoted(version),
          quoted(referrer), acceptTypes ? "types" : "null", std::to_string(flags),
          std::to_string(context)},
         handleName(s, h));
  return h;
}

bool httpSendRequest(Handle request, const char* headers, std::uint32_t headersLength,
                     const void* optional, std::uint32_t optionalLength) {
  State& s = state();
  std::unique_lock<std::mutex> lock(s.mutex);
  HandleInfo* info = findHandle(s, request, HandleKind::Request);
  bool ok = false;
  if (info && !discarded()) {
    const std::shared_ptr<const sim::net::Page> held = info->page;
    const sim::net::Page& page = *held;
    const bool goesOn = passStall(lock, page, sim::net::Step::Send);
    info = findHandle(s, request, HandleKind::Request);
    if (info && !discarded()) {
      ok = goesOn && !page.failSend;
      info->sent = true;
      info->sendFailed = !ok;
      s.lastHeaders = headers ? Text(headers, headersLength) : Text();
      if (optional)
        s.lastBody = Bytes(static_cast<const std::uint8_t*>(optional),
                           static_cast<const std::uint8_t*>(optional) + optionalLength);
      else
        s.lastBody.reset();
      ++s.requestsSent;
    }
  }
  record(s, "HttpSendRequestA",
         {handleName(s, request), quoted(headers), std::to_string(headersLength),
          optional ? "data" : "null", std::to_string(optionalLength)},
         ok ? "true" : "false");
  return ok;
}

bool internetReadFile(Handle request, void* buffer, std::uint32_t toRead, std::uint32_t* read) {
  State& s = state();
  std::unique_lock<std::mutex> lock(s.mutex);
  if (read) *read = 0;
  HandleInfo* info = findHandle(s, request, HandleKind::Request);
  bool ok = false;
  std::uint32_t delivered = 0;
  if (info && !discarded()) {
    const std::shared_ptr<const sim::net::Page> held = info->page;
    const sim::net::Page& page = *held;
    const bool goesOn = passStall(lock, page, sim::net::Step::Read);
    info = findHandle(s, request, HandleKind::Request);
    if (info && goesOn && !discarded() && info->sent && !info->sendFailed && !page.failReads) {
      ok = true;
      const std::size_t left = page.body.size() - std::min(info->readOffset, page.body.size());
      delivered = static_cast<std::uint32_t>(
          std::min<std::size_t>({left, toRead, std::max<std::uint32_t>(page.chunk, 1)}));
      if (delivered) std::memcpy(buffer, page.body.data() + info->readOffset, delivered);
      info->readOffset += delivered;
      if (read) *read = delivered;
    }
  }
  record(s, "InternetReadFile", {handleName(s, request), std::to_string(toRead)},
         (ok ? "true " : "false ") + std::to_string(delivered));
  return ok;
}

bool httpQueryInfo(Handle request, std::uint32_t level, void* buffer, std::uint32_t* length,
                   std::uint32_t* index) {
  State& s = state();
  std::unique_lock<std::mutex> lock(s.mutex);
  const std::uint32_t lengthIn = length ? *length : 0;
  HandleInfo* info = findHandle(s, request, HandleKind::Request);
  bool ok = false;
  if (info && !discarded() && length) {
    const std::shared_ptr<const sim::net::Page> held = info->page;
    const sim::net::Page& page = *held;
    const bool goesOn = passStall(lock, page, sim::net::Step::QueryInfo);
    info = findHandle(s, request, HandleKind::Request);
    if (info && goesOn && !discarded() && info->sent && !info->sendFailed && !page.failQuery &&
        level == kQueryRawHeadersCrlf) {
      const Text& headers = page.rawHeaders;
      if (headers.size() + 1 > *length) {
        // Too small: nothing is written; the length needed comes back.
        *length = static_cast<std::uint32_t>(headers.size() + 1);
      } else {
        std::memcpy(buffer, headers.c_str(), headers.size() + 1);
        *length = static_cast<std::uint32_t>(headers.size());
        ok = true;
      }
    }
  }
  record(s, "HttpQueryInfoA",
         {handleName(s, request), std::to_string(level), std::to_string(lengthIn),
          index ? "index" : "null"},
         ok ? "true" : "false");
  return ok;
}

bool internetSetCookie(const char* url, const char* name, const char* data) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  const bool ok = url && data && !discarded();
  record(s, "InternetSetCookieA", {quoted(url), quoted(name), quoted(data)}, ok ? "true" : "false");
  return ok;
}

bool internetCloseHandle(Handle handle) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  const std::string name = handleName(s, handle);
  const bool ok = s.handles.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
  record(s, "InternetCloseHandle", {name}, ok ? "true" : "false");
  return ok;
}

}  // namespace inet
}  // namespace platform

// ---- Test control --------------------------------------------------------------------------

namespace sim::net {

std::string Call::toString() const {
  std::string text = function + "(";
  for (std::size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + args[i];
  return text + ") -> " + result;
}

namespace {
// Ends every outstanding worker: discarded ones fail all their further calls and record
// nothing; the others go on normally. Waits for all of them to end.
void endWorkers(bool discard) {
  State& s = state();
  std::vector<std::shared_ptr<Worker>> ending;
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    for (auto it = s.workers.begin(); it != s.workers.end();) {
      Worker& w = **it;
      if (!w.released && !discard) {
        ++it;
        continue;
      }
      if (discard) w.discarded = true;
      if (w.stalled || !w.stallOver) endStall(w, discard);
      ending.push_back(*it);
      it = s.workers.erase(it);
    }
  }
  for (auto& w : ending) w->thread.join();
}
}  // namespace

void reset() {
  endWorkers(true);
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.pages.clear();
  s.defaultPage = Page{};
  s.defaultPage.failSend = true;
  s.failOpen = false;
  s.failConnect = false;
  s.calls.clear();
  s.handles.clear();
  s.lastHeaders.clear();
  s.lastBody.reset();
  s.requestsSent = 0;
  s.shellOpens.clear();
  s.terminations = 0;
  s.failWorkerStarts = false;
  s.failWaits = false;
  s.workersStarted = 0;
  s.workersAbandoned = 0;
}

void finishAbandonedWorkers() { endWorkers(false); }

void setPage(const Text& address, Page page) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.pages[address] = std::move(page);
}

void setDefaultPage(Page page) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.defaultPage = std::move(page);
}

void failInternetOpen(bool fail) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.failOpen = fail;
}

void failConnect(bool fail) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.failConnect = fail;
}

std::vector<Call> calls() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.calls;
}

std::vector<std::string> callNames() {
  std::vector<std::string> names;
  for (const Call& call : calls()) names.push_back(call.function);
  return names;
}

Text sentHeaders() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.lastHeaders;
}

std::optional<Bytes> sentBody() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.lastBody;
}

int requestsSent() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.requestsSent;
}

int openHandles() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return static_cast<int>(s.handles.size());
}

std::vector<Text> shellOpens() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.shellOpens;
}

int terminations() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.terminations;
}

void failWorkerStarts(bool fail) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.failWorkerStarts = fail;
}

void failWaits(bool fail) {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.failWaits = fail;
}

int workersStarted() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.workersStarted;
}

int workersAbandoned() {
  State& s = state();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.workersAbandoned;
}

}  // namespace sim::net
