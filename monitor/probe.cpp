// The device probe: one ICMP echo to the device, and what an answer does to the presence state.
#include "monitor/probe.h"

#include "platform/platform.h"

std::int32_t missCount = 0;
Text deviceAddress;

namespace {

// The look-up's name buffer holds 99 bytes and a terminating zero.
constexpr std::size_t kNameBufferSize = 100;

constexpr int kRoundTripPane = 1;

}  // namespace

Text resolveAddress(const Text& address) {
  // A blank address names no device: looking up an empty name would give this computer's own
  // address, and the program would then watch itself and never act.
  if (isBlank(address)) return Text();
  // Refused rather than cut: a shortened name could name another host.
  if (address.size() >= kNameBufferSize) return Text();
  Text dotted;
  if (!platform::lookUpHost(address, dotted)) return Text();
  return dotted;
}

ProbeResult probeDevice() {
  ProbeResult result;
  const Text resolved = resolveAddress(deviceAddress);
  if (resolved.empty()) return result;  // nothing to send to: unanswered

  const platform::EchoReply reply = platform::sendEcho(resolved);
  result.roundTripTime = static_cast<std::int32_t>(reply.roundTripTime);
  // Only a success status is the device's own answer; an unreachable report from a router
  // also arrives as a reply, with an error status.
  result.answered = reply.replies != 0 && reply.status == 0;
  if (result.answered) {
    missCount = 0;
    if (platform::lockWindowOpen()) platform::requestLockWindowClose();
    platform::setStatusPaneText(kRoundTripPane, numberToText(result.roundTripTime));
  }
  return result;
}
