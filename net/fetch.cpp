// The page fetch worker. The caller writes a request record into a fresh exchange stream, runs
// fetchWorker on a worker thread and keeps dispatching window messages until the worker ends or
// has been quiet for a whole time-out; then it reads the reply record back.
#include "net/fetch.h"

#include <algorithm>
#include <memory>

#include "net/url.h"
#include "platform/platform.h"

namespace {

const char kRequestTag[] = "Quillot";
const char kReplyTag[] = "Quillot_OK";
const char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
const char kHttpVersion[] = "HTTP/1.1";
const char kCrLf[] = "\r\n";
const char kDefaultAccept[] =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
const char kFormContentType[] = "Content-Type: application/x-www-form-urlencoded";
const char kSetCookie[] = "Set-Cookie: ";
constexpr std::uint32_t kReadChunk = 512;
constexpr std::uint32_t kHeaderBufferSize = 1024;

const char* nullWhenEmpty(const Text& text) { return text.empty() ? nullptr : text.c_str(); }
const char* nullWhenBlank(const Text& text) { return isBlank(text) ? nullptr : text.c_str(); }

// Appends the line when its name occurs nowhere yet (ASCII letters in either case).
void appendHeaderWhenAbsent(Text& headers, const Text& name, const Text& line) {
  if (findText(headers, name, 1, true) == -1) headers += line + kCrLf;
}

std::uint32_t timeoutMilliseconds(std::int32_t timeoutSeconds) {
  const std::int64_t seconds = timeoutSeconds > 0 ? timeoutSeconds : kDefaultFetchTimeoutSeconds;
  // Stay below 0xFFFFFFFF, which the wait would take as "forever".
  return static_cast<std::uint32_t>(std::min<std::int64_t>(seconds * 1000, 0xFFFFFFFEu));
}

// Reads the body in 512-byte chunks until a read reports 0 bytes. False when it grows beyond
// kMaxBodyBytes; reading stops there.
bool readBody(platform::inet::Handle request, Bytes& body) {
  for (;;) {
    std::uint8_t chunk[kReadChunk];
    std::uint32_t read = 0;
    if (!platform::inet::internetReadFile(request, chunk, kReadChunk, &read)) read = 0;
    if (read == 0) return true;
    read = std::min(read, kReadChunk);
    if (body.size() + read > kMaxBodyBytes) return false;
    body.insert(body.end(), chunk, chunk + read);
  }
}

Text rawResponseHeaders(platform::inet::Handle request) {
  // The buffer starts as spaces: when the headers do not fit or the query fails, it stays so.
  char buffer[kHeaderBufferSize + 1];
  std::fill(buffer, buffer + kHeaderBufferSize, ' ');
  buffer[kHeaderBufferSize] = 0;
  std::uint32_t length = kHeaderBufferSize;
  platform::inet::httpQueryInfo(request, platform::inet::kQueryRawHeadersCrlf, buffer, &length,
                                nullptr);
  return textFromBytes(buffer, kHeaderBufferSize);
}

void storeCookies(const Text& headerText, const Text& host) {
  if (findText(headerText, kSetCookie, 1, true) <= 0) return;
  const Text cookieUrl = "http://" + host;
  std::size_t begin = 0;
  while (begin < headerText.size()) {
    std::size_t end = headerText.find('\n', begin);
    if (end == Text::npos) end = headerText.size();
    Text line = headerText.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    begin = end + 1;
    if (findText(line, kSetCookie, 1, true) == -1) continue;
    // The first 12 bytes go, wherever the match stood.
    line = rightText(line, static_cast<int>(line.size()) - 12);
    const int e = findText(line, "=", 1, true);
    const Text name = leftText(line, e - 1);
    const Text data = rightText(line, static_cast<int>(line.size()) - e);
    platform::inet::internetSetCookie(cookieUrl.c_str(), nullWhenEmpty(name), nullWhenEmpty(data));
  }
}

// The exchange itself, once the request has been read and the stream emptied.
void performExchange(ExchangeStream& stream, const Text& url, const Text& verb, const Text& proxy,
                     const Text& userName, const Text& password, const Text& callerHeaders,
                     const Text& postData) {
  namespace inet = platform::inet;
  const Text host = hostOf(url);
  const Text path = pathOf(url);

  const Text proxyText = "http=" + proxy;
  const bool viaProxy = !isBlank(proxy);
  inet::Handle internet =
      inet::internetOpen(kAgent, viaProxy ? inet::kOpenTypeProxy : inet::kOpenTypeDirect,
                         viaProxy ? proxyText.c_str() : nullptr, nullptr, 0);
  if (!internet) return;

  const std::int32_t port = portOf(url);
  // A port outside 16 bits would be cut to some other port by the connect call; such an
  // address gets no connection at all.
  inet::Handle connection =
      port < 0 || port > 0xFFFF
          ? nullptr
          : inet::internetConnect(internet, host.c_str(), static_cast<std::uint16_t>(port),
                                  nullWhenBlank(userName), nullWhenBlank(password),
                                  inet::kServiceHttp, 0, 0);
  if (!connection) {
    inet::internetCloseHandle(internet);
    return;
  }

  inet::Handle request = inet::httpOpenRequest(connection, nullWhenEmpty(verb), path.c_str(),
                                               kHttpVersion, nullptr, nullptr, inet::kFlagReload, 0);
  if (!request) {
    inet::internetCloseHandle(connection);
    inet::internetCloseHandle(internet);
    return;
  }

  Text headers = callerHeaders;
  appendHeaderWhenAbsent(headers, "Accept: ", kDefaultAccept);
  appendHeaderWhenAbsent(headers, "Referer: ", "Referer: " + url);
  appendHeaderWhenAbsent(headers, "Accept-Language: ", "Accept-Language: zh-cn");

  const Text upperVerb = upperText(verb);
  if (verb.empty() || upperVerb == "GET") {
    inet::httpSendRequest(request, headers.c_str(), static_cast<std::uint32_t>(headers.size()),
                          nullptr, 0);
  } else if (upperVerb == "POST") {
    if (!postData.empty()) {
      appendHeaderWhenAbsent(headers, "Content-Type: ", kFormContentType);
      headers += "Content-Length: " + numberToText(static_cast<std::int64_t>(postData.size())) +
                 kCrLf;
    }
    inet::httpSendRequest(request, headers.c_str(), static_cast<std::uint32_t>(headers.size()),
                          nullWhenEmpty(postData), static_cast<std::uint32_t>(postData.size()));
  } else {
    // Only GET and POST are spoken.
    inet::internetCloseHandle(request);
    inet::internetCloseHandle(connection);
    inet::internetCloseHandle(internet);
    return;
  }

  Bytes body;
  if (!readBody(request, body)) body.clear();
  const Text headerText = rawResponseHeaders(request);

  stream.rewind();
  stream.writeText(kReplyTag);
  stream.writeText(headerText);
  stream.writeBytes(body);

  inet::internetCloseHandle(request);
  inet::internetCloseHandle(connection);
  inet::internetCloseHandle(internet);

  storeCookies(headerText, host);
}

}  // namespace

void* handOverExchangeStream(const SharedExchangeStream& stream) {
  return new SharedExchangeStream(stream);
}

void fetchWorker(void* exchangeStream) {
  // Take over the reference the caller handed over; it is dropped when the worker ends.
  const std::unique_ptr<SharedExchangeStream> handed(
      static_cast<SharedExchangeStream*>(exchangeStream));
  if (!handed || !*handed) return;
  const SharedExchangeStream stream = *handed;

  stream->rewind();
  Text tag;
  if (!stream->readText(tag) || tag != kRequestTag) return;
  Text url, verb, proxy, userName, password, headers, postData;
  stream->readItems({url, verb, proxy, userName, password, headers, postData});
  stream->clear();

  performExchange(*stream, url, verb, proxy, userName, password, headers, postData);
}

Bytes fetchPage(const Text& url, const Text& verb, const Text& proxy, const Text& userName,
                const Text& password, const Text& headers, const Text& postData,
                std::int32_t timeoutSeconds, Text* responseHeaders) {
  auto stream = std::make_shared<ExchangeStream>();
  stream->writeText(kRequestTag);
  for (const Text* item : {&url, &verb, &proxy, &userName, &password, &headers, &postData})
    stream->writeText(*item);

  const std::uint32_t timeoutMs = timeoutMilliseconds(timeoutSeconds);

  void* handedOver = handOverExchangeStream(stream);
  platform::WorkerHandle worker = platform::startWorker(fetchWorker, handedOver);
  platform::WaitResult result = platform::WaitResult::Failed;
  if (worker) {
    // Every pass waits the whole time-out afresh: only a worker that stays quiet for a full
    // time-out with no message arriving is abandoned.
    do {
      result = platform::waitForWorkerOrMessage(worker, timeoutMs);
      platform::dispatchPendingMessages();
    } while (result == platform::WaitResult::Message);
    // A worker still running is abandoned with its own reference to the stream, never
    // terminated: stopping a thread wherever it stands can leave the heap's lock held.
    platform::releaseWorker(worker);
  } else {
    delete static_cast<SharedExchangeStream*>(handedOver);
  }

  Text tag, headerText;
  Bytes body;
  // The stream is read only once the worker has ended; an abandoned worker may still write it.
  if (result == platform::WaitResult::WorkerEnded) {
    stream->rewind();
    stream->readItems({tag, headerText, body});
  }
  stream.reset();
  if (tag != kReplyTag) body.clear();
  if (responseHeaders) *responseHeaders = headerText;
  return body;
}
