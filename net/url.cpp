// Splitting an address into host, path and port for the page fetch worker. Only a lower-case
// "http://" is known; everything else yields a host, a path and a port by the same steps.
#include "net/url.h"

#include <cmath>
#include <limits>

namespace {
constexpr int kSchemeLength = 7;  // "http://"
constexpr std::int32_t kDefaultPort = 80;
}  // namespace

Text hostOf(const Text& url, bool keepPort) {
  const int s = findText(url, "http://");
  const int start = s == -1 ? 1 : s + kSchemeLength;
  const int e = findText(url, "/", start);
  const int count = e == -1 ? static_cast<int>(url.size()) : e - start;
  Text host = midText(url, start, count);
  if (!keepPort) {
    const int c = findText(host, ":");
    if (c != -1) host = leftText(host, c - 1);
  }
  return lowerText(host);
}

Text pathOf(const Text& url) {
  const Text host = hostOf(url);
  // The host is searched from the very start, so a host that also occurs inside the scheme is
  // found there; the path then starts at the first "/" from that point.
  const int a = findText(url, host, 1, true);
  const int b = findText(url, "/", a, true);
  if (b == -1) return "/";
  return rightText(url, static_cast<int>(url.size()) - b + 1);
}

std::int32_t portOf(const Text& url) {
  const Text hostPort = hostOf(url, true);
  const int c = findText(hostPort, ":");
  if (c == -1) return kDefaultPort;
  const double number = textToNumber(rightText(hostPort, static_cast<int>(hostPort.size()) - c));
  // A number beyond 32 bits saturates at the nearest limit instead of being undefined.
  constexpr double kMax = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  constexpr double kMin = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  if (std::isnan(number)) return 0;
  if (number >= kMax) return std::numeric_limits<std::int32_t>::max();
  if (number <= kMin) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(number);  // truncates toward zero
}
