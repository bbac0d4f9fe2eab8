// Test-control API of the simulated platform's network, code-page, shell, process-ending and
// worker-thread pieces.
//
// The simulated WinINet records every call with its arguments and answers from scripted pages.
// Worker threads are real threads; a scripted stall holds a worker inside one WinINet call for a
// span of virtual time, so time-outs of 90 seconds cost no real waiting: while the worker is
// stalled, the wait moves the virtual clock (sim::advance) to the next due event or the end of
// the time-out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/text.h"

namespace sim::net {

// Thrown by the simulated terminateSelf, which must not return; tests catch it.
struct ProcessTerminated {};

// The calls of one request where a worker can be held (stalled).
enum class Step { OpenRequest, Send, Read, QueryInfo };

constexpr std::uint32_t kForever = UINT32_MAX;

// What the simulated server at one address does.
struct Page {
  Bytes body;
  // The raw header text HttpQueryInfoA delivers (status line and headers, CR LF separated).
  Text rawHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
  std::uint32_t chunk = 512;  // the most bytes one read delivers
  bool failOpenRequest = false;  // HttpOpenRequestA returns null
  bool failSend = false;         // HttpSendRequestA fails; reads then fail too
  bool failReads = false;        // every InternetReadFile fails, reporting 0 bytes
  bool failQuery = false;        // HttpQueryInfoA fails without touching the buffer
  // The worker stays inside this call for stallMs of virtual time (kForever: until reset);
  // a call released from a stall made forever fails.
  std::optional<Step> stallAt;
  std::uint32_t stallMs = kForever;
};

// A fresh network: no pages, no records, no stalls; every abandoned worker is released and
// joined, and nothing it does afterwards is recorded.
void reset();

// Serves page for requests whose connection and path give this address: "http://" + host
// (+ ":" + port unless 80) + path, for example "http://update.example.test/a?b".
void setPage(const Text& address, Page page);
// Answers every other address (default: a name that does not resolve, i.e. failSend).
void setDefaultPage(Page page);
// InternetOpenA / InternetConnectA return null while set.
void failInternetOpen(bool fail);
void failConnect(bool fail);

struct Call {
  std::string function;           // the WinINet name, e.g. "HttpOpenRequestA"
  std::vector<std::string> args;  // "null", "\"text\"", numbers in decimal, handles by kind
  std::string result;             // handle kind, "null", "true"/"false"; reads: "true 512"
  std::string toString() const;   // function(arg, arg, ...) -> result
};
std::vector<Call> calls();
std::vector<std::string> callNames();
// The headers, body and verb of the last HttpSendRequestA / HttpOpenRequestA.
Text sentHeaders();
std::optional<Bytes> sentBody();  // nullopt when no optional data was passed
int requestsSent();
// Handles opened and not yet closed.
int openHandles();

// Code page, shell, process.
std::vector<Text> shellOpens();
int terminations();

// Worker threads.
void failWorkerStarts(bool fail);
void failWaits(bool fail);
int workersStarted();
int workersAbandoned();  // released while still running
// Ends the stalls of abandoned workers as if their time had come and waits for them to end;
// their further calls are recorded like any others.
void finishAbandonedWorkers();

}  // namespace sim::net
