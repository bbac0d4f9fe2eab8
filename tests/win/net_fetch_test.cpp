// The page fetch worker over the real WinINet, against a loopback HTTP server running on a
// thread of this test program that records every request it receives.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/fetch.h"
#include "platform/platform.h"

namespace {

using namespace std::chrono_literals;

struct Request {
  std::string requestLine;
  std::vector<std::string> headerLines;
  std::string body;

  std::string header(const std::string& name) const {
    for (const auto& line : headerLines)
      if (_strnicmp(line.c_str(), (name + ": ").c_str(), name.size() + 2) == 0)
        return line.substr(name.size() + 2);
    return std::string();
  }
};

// One loopback HTTP/1.1 server: each connection carries one request and gets the next scripted
// response (or none at all, when the response is empty: the server then holds the connection
// until it stops).
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<std::string> responses) : responses_(std::move(responses)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 8);
    thread_ = std::thread([this] { serve(); });
  }

  ~LoopbackServer() {
    stopping_ = true;
    closesocket(listener_);
    thread_.join();
    for (SOCKET held : held_) closesocket(held);
    WSACleanup();
  }

  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string url(const std::string& path) const { return "http://" + host() + path; }
  std::vector<Request> requests() {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
  }

 private:
  void serve() {
    for (std::size_t next = 0; !stopping_; ++next) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      Request request;
      if (!readRequest(client, request)) {
        closesocket(client);
        continue;
      }
      {
        std::lock_guard<std::mutex> guard(mutex_);
        requests_.push_back(request);
      }
      const std::string response = next < responses_.size() ? responses_[next] : std::string();
      if (response.empty()) {
        held_.push_back(client);
        continue;
      }
      send(client, response.data(), static_cast<int>(response.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  static bool readRequest(SOCKET client, Request& request) {
    std::string data;
    char buffer[4096];
    std::size_t headerEnd;
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
      const int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) return false;
      data.append(buffer, static_cast<std::size_t>(got));
    }
    std::size_t lineStart = 0;
    for (;;) {
      const std::size_t lineEnd = data.find("\r\n", lineStart);
      if (lineEnd == std::string::npos || lineEnd >= headerEnd + 2) break;
      const std::string line = data.substr(lineStart, lineEnd - lineStart);
      if (line.empty()) break;
      if (request.requestLine.empty())
        request.requestLine = line;
      else
        request.headerLines.push_back(line);
      lineStart = lineEnd + 2;
    }
    const std::size_t contentLength =
        static_cast<std::size_t>(std::atoi(request.header("Content-Length").c_str()));
    request.body = data.substr(headerEnd + 4);
    while (request.body.size() < contentLength) {
      const int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.body.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
  }

  std::vector<std::string> responses_;
  SOCKET listener_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<Request> requests_;
  std::vector<SOCKET> held_;
};

std::string response(const std::string& status, const std::string& body,
                     const std::string& extraHeaders = "") {
  return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

const std::string kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
const std::string kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";

TEST(FetchOverWinInet, PlainGetSendsTheRequestLineAndTheThreeDefaultHeaders) {
  LoopbackServer server({response("200 OK", "hello")});
  const std::string url = server.url("/dir/page.html?q=1");
  Text responseHeaders;
  EXPECT_EQ(fetchPage(url, "", "", "", "", "", "", 10, &responseHeaders), bytesOf("hello"));
  EXPECT_EQ(responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << responseHeaders;

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const Request& r = requests[0];
  EXPECT_EQ(r.requestLine, "GET /dir/page.html?q=1 HTTP/1.1");
  // WinINet puts Host and User-Agent first; our lines follow exactly as composed.
  EXPECT_EQ(r.headerLines, (std::vector<std::string>{
                               "Host: " + server.host(), "User-Agent: " + kAgent, kAccept,
                               "Referer: " + url, "Accept-Language: zh-cn"}));
  EXPECT_TRUE(r.body.empty());
}

TEST(FetchOverWinInet, PostSendsItsDataWithTypeAndLength) {
  LoopbackServer server({response("200 OK", "posted")});
  EXPECT_EQ(fetchPage(server.url("/form"), "post", "", "", "", "X-Test: 1\r\n", "a=1&b=2", 10),
            bytesOf("posted"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const Request& r = requests[0];
  EXPECT_EQ(r.requestLine, "post /form HTTP/1.1");
  EXPECT_EQ(r.headerLines, (std::vector<std::string>{
                               "Host: " + server.host(), "User-Agent: " + kAgent, "X-Test: 1",
                               kAccept, "Referer: " + server.url("/form"),
                               "Accept-Language: zh-cn",
                               "Content-Type: application/x-www-form-urlencoded",
                               "Content-Length: 7"}));
  EXPECT_EQ(r.body, "a=1&b=2");
}

TEST(FetchOverWinInet, CookiesSetByOneResponseGoBackWithTheNext) {
  LoopbackServer server({response("200 OK", "one", "Set-Cookie: vtid=42; path=/\r\n"),
                         response("200 OK", "two")});
  EXPECT_EQ(fetchPage(server.url("/a"), "", "", "", "", "", "", 10), bytesOf("one"));
  EXPECT_EQ(fetchPage(server.url("/b"), "", "", "", "", "", "", 10), bytesOf("two"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].header("Cookie").find("vtid="), std::string::npos);
  EXPECT_NE(requests[1].header("Cookie").find("vtid=42"), std::string::npos)
      << requests[1].header("Cookie");
}

TEST(FetchOverWinInet, BodiesOfExactly512BytesAndErrorPagesComeBackWhole) {
  std::string body512(512, 'x');
  for (std::size_t i = 0; i < body512.size(); ++i) body512[i] = static_cast<char>('a' + i % 26);
  LoopbackServer server({response("200 OK", body512), response("404 Not Found", "<h1>gone</h1>"),
                         response("200 OK", "")});
  EXPECT_EQ(fetchPage(server.url("/512"), "", "", "", "", "", "", 10), bytesOf(body512));
  Text responseHeaders;
  EXPECT_EQ(fetchPage(server.url("/missing"), "", "", "", "", "", "", 10, &responseHeaders),
            bytesOf("<h1>gone</h1>"));
  EXPECT_EQ(responseHeaders.rfind("HTTP/1.1 404", 0), 0u) << responseHeaders;
  EXPECT_TRUE(fetchPage(server.url("/empty"), "", "", "", "", "", "", 10).empty());
}

TEST(FetchOverWinInet, ServerThatNeverAnswersGivesAnEmptyBodyAfterTheTimeout) {
  LoopbackServer server({std::string()});
  Text responseHeaders = "old";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(fetchPage(server.url("/silent"), "", "", "", "", "", "", 2, &responseHeaders).empty());
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(responseHeaders, "");
  EXPECT_GE(waited, 1900ms);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST(FetchOverWinInet, NoServerGivesAnEmptyBody) {
  // A port nobody listens on: one the system handed out and took back.
  std::string url;
  {
    LoopbackServer gone({});
    url = gone.url("/x");
  }
  EXPECT_TRUE(fetchPage(url, "", "", "", "", "", "", 10).empty());
}

TEST(CodePages, Utf8ToAnsiUsesCodePage936) {
  // 软件版本已更新 and 信息： in UTF-8 become their code page 936 bytes.
  EXPECT_EQ(platform::utf8ToAnsi("\xE8\xBD\xAF\xE4\xBB\xB6\xE7\x89\x88\xE6\x9C\xAC\xE5\xB7\xB2"
                                 "\xE6\x9B\xB4\xE6\x96\xB0"),
            "\xC8\xED\xBC\xFE\xB0\xE6\xB1\xBE\xD2\xD1\xB8\xFC\xD0\xC2");
  EXPECT_EQ(platform::utf8ToAnsi("vantrelver[1.0] \xE4\xBF\xA1\xE6\x81\xAF\xEF\xBC\x9A"),
            "vantrelver[1.0] \xD0\xC5\xCF\xA2\xA3\xBA");
  EXPECT_EQ(platform::utf8ToAnsi(""), "");
  // Ill-formed bytes do not stop the conversion; the ASCII around them comes through.
  const Text converted = platform::utf8ToAnsi("a\xFF" "b\xD0\xC2" "c");
  EXPECT_EQ(converted.front(), 'a');
  EXPECT_NE(converted.find('b'), Text::npos);
  EXPECT_EQ(converted.back(), 'c');
}

}  // namespace
