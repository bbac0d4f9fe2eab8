// The page fetch worker on the simulated platform: the WinINet calls with their values, the
// request headers, the reply and its failures, and the wait with its time-out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/fetch.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_net.h"

namespace {

const Text kAcceptLine =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
const Text kAgent = "\"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\"";
const Text kUrl = "http://Example.com/dir/page?q=1";
const Text kOkHeaders = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<std::string> callStrings() {
  std::vector<std::string> out;
  for (const auto& call : sim::net::calls()) out.push_back(call.toString());
  return out;
}

int countCalls(const std::string& function) {
  int n = 0;
  for (const auto& name : sim::net::callNames()) n += name == function;
  return n;
}

class FetchPage : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::reset();
    sim::net::reset();
  }
  void TearDown() override { sim::net::reset(); }

  static void serve(const Text& address, const std::string& body,
                    const Text& rawHeaders = kOkHeaders) {
    sim::net::Page page;
    page.body = bytesOf(body);
    page.rawHeaders = rawHeaders;
    sim::net::setPage(address, page);
  }
};

TEST_F(FetchPage, GetWithOnlyTheAddressMakesTheCallsInOrderWithTheirValues) {
  serve("http://example.com/dir/page?q=1", "hello");
  Text responseHeaders = "old";
  const Bytes body = fetchPage(kUrl, "", "", "", "", "", "", 0, &responseHeaders);

  EXPECT_EQ(body, bytesOf("hello"));
  EXPECT_EQ(responseHeaders, kOkHeaders);
  const Text headers = kAcceptLine + "Referer: " + kUrl + "\r\nAccept-Language: zh-cn\r\n";
  const std::vector<std::string> expected = {
      "InternetOpenA(" + kAgent + ", 1, null, null, 0) -> internet",
      "InternetConnectA(internet, \"example.com\", 80, null, null, 3, 0, 0) -> connection",
      "HttpOpenRequestA(connection, null, \"/dir/page?q=1\", \"HTTP/1.1\", null, null, "
      "2147483648, 0) -> request",
      "HttpSendRequestA(request, \"" + headers + "\", " + std::to_string(headers.size()) +
          ", null, 0) -> true",
      "InternetReadFile(request, 512) -> true 5",
      "InternetReadFile(request, 512) -> true 0",
      "HttpQueryInfoA(request, 22, 1024, null) -> true",
      "InternetCloseHandle(request) -> true",
      "InternetCloseHandle(connection) -> true",
      "InternetCloseHandle(internet) -> true",
  };
  EXPECT_EQ(callStrings(), expected);
  EXPECT_EQ(sim::net::openHandles(), 0);
}

struct HeaderCase {
  const char* name;
  Text callerHeaders;
  Text expected;
};

class RequestHeaders : public FetchPage, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(RequestHeaders, AddsEachDefaultLineOnlyWhenItsNameIsAbsent) {
  fetchPage("http://site.test/x", "", "", "", "", GetParam().callerHeaders);
  EXPECT_EQ(sim::net::sentHeaders(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fetch, RequestHeaders,
    ::testing::Values(
        HeaderCase{"LowerCaseAccept", "accept: text/html\r\n",
                   "accept: text/html\r\nReferer: http://site.test/x\r\nAccept-Language: zh-cn\r\n"},
        HeaderCase{"NoFinalCrLf", "X-A: 1",
                   "X-A: 1" + kAcceptLine + "Referer: http://site.test/x\r\nAccept-Language: zh-cn\r\n"},
        HeaderCase{"AllGiven", "REFERER: r\r\nAccept-language: en\r\nAccept: */*\r\n",
                   "REFERER: r\r\nAccept-language: en\r\nAccept: */*\r\n"},
        // The name is searched anywhere, even inside another header's value.
        HeaderCase{"NameInsideAValue", "X-Note: Referer: none\r\n",
                   "X-Note: Referer: none\r\n" + kAcceptLine + "Accept-Language: zh-cn\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SendCase {
  const char* name;
  Text verb;
  Text postData;
  Text callerHeaders;
  Text addedAfterDefaults;  // lines appended after the three default lines
  bool sendsBody;
};

class SendVerbs : public FetchPage, public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendVerbs, SendsTheBodyOnlyForPostWithData) {
  const SendCase& c = GetParam();
  fetchPage("http://site.test/x", c.verb, "", "", "", c.callerHeaders, c.postData);
  const Text defaults = kAcceptLine + "Referer: http://site.test/x\r\nAccept-Language: zh-cn\r\n";
  EXPECT_EQ(sim::net::sentHeaders(), c.callerHeaders + defaults + c.addedAfterDefaults);
  const auto body = sim::net::sentBody();
  if (c.sendsBody) {
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(*body, bytesOf(c.postData));
  } else {
    EXPECT_FALSE(body.has_value());
  }
  // The verb goes to WinINet as the caller wrote it.
  const auto calls = sim::net::calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[2].args[1], c.verb.empty() ? "null" : "\"" + c.verb + "\"");
}

INSTANTIATE_TEST_SUITE_P(
    Fetch, SendVerbs,
    ::testing::Values(
        SendCase{"LowerCasePost", "post", "a=1&b=2", "",
                 "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n", true},
        SendCase{"PostWithoutData", "POST", "", "", "", false},
        SendCase{"PostWithOwnContentType", "Post", "abc", "content-type: text/plain\r\n",
                 "Content-Length: 3\r\n", true},
        // A caller's Content-Length is not looked for.
        SendCase{"PostWithOwnLength", "POST", "abc", "Content-Length: 3\r\n",
                 "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n", true},
        SendCase{"GetIgnoresData", "GET", "a=1", "", "", false},
        SendCase{"EmptyVerbIgnoresData", "", "a=1", "", "", false},
        SendCase{"LowerCaseGet", "get", "", "", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchPage, OtherVerbsSendNothingAndCloseTheirHandles) {
  for (const Text verb : {"PUT", "HEAD"}) {
    sim::net::reset();
    serve("http://site.test/x", "body");
    EXPECT_TRUE(fetchPage("http://site.test/x", verb).empty()) << verb;
    EXPECT_EQ(sim::net::requestsSent(), 0) << verb;
    EXPECT_EQ(sim::net::callNames(),
              (std::vector<std::string>{"InternetOpenA", "InternetConnectA", "HttpOpenRequestA",
                                        "InternetCloseHandle", "InternetCloseHandle",
                                        "InternetCloseHandle"}));
    EXPECT_EQ(sim::net::calls()[3].args[0], "request");
    EXPECT_EQ(sim::net::calls()[5].args[0], "internet");
  }
}

TEST_F(FetchPage, ReadsInChunksOf512UntilAReadReportsNothing) {
  struct Case {
    std::size_t size;
    std::vector<std::string> reads;
  };
  for (const Case& c : {Case{512, {"true 512", "true 0"}},
                        Case{0, {"true 0"}},
                        Case{1025, {"true 512", "true 512", "true 1", "true 0"}}}) {
    sim::net::reset();
    sim::net::Page page;
    for (std::size_t i = 0; i < c.size; ++i) page.body.push_back(static_cast<std::uint8_t>(i * 7));
    sim::net::setPage("http://site.test/x", page);
    EXPECT_EQ(fetchPage("http://site.test/x"), page.body) << c.size;
    std::vector<std::string> reads;
    for (const auto& call : sim::net::calls())
      if (call.function == "InternetReadFile") reads.push_back(call.result);
    EXPECT_EQ(reads, c.reads) << c.size;
  }
}

TEST_F(FetchPage, ShortReadsAreAppendedAsReported) {
  sim::net::Page page;
  page.body = bytesOf(std::string(1000, 'z'));
  page.chunk = 300;
  sim::net::setPage("http://site.test/x", page);
  EXPECT_EQ(fetchPage("http://site.test/x"), page.body);
  EXPECT_EQ(countCalls("InternetReadFile"), 5);
}

TEST_F(FetchPage, HeadersThatDoNotFitGiveSpacesAndStoreNoCookie) {
  // The buffer holds 1024 bytes including the terminating zero.
  Text fits = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nX: ";
  fits.resize(1023, 'y');
  for (const Text& raw : {fits, fits + "y"}) {
    sim::net::reset();
    serve("http://site.test/x", "body", raw);
    Text responseHeaders;
    EXPECT_EQ(fetchPage("http://site.test/x", "", "", "", "", "", "", 0, &responseHeaders),
              bytesOf("body"));
    const bool fitted = raw.size() < 1024;
    EXPECT_EQ(responseHeaders, fitted ? raw : Text(1024, ' '));
    EXPECT_EQ(countCalls("InternetSetCookieA"), fitted ? 1 : 0);
  }
}

TEST_F(FetchPage, StoresEachSetCookieLineForTheHostAfterClosingTheHandles) {
  serve("http://example.com:8080/p",
        "",
        "HTTP/1.1 200 OK\r\nSet-Cookie: id=42; path=/\r\nset-cookie: flag\r\n"
        "X-Other: 1\nSet-Cookie: last=1");
  fetchPage("http://Example.com:8080/p");
  const auto calls = sim::net::calls();
  std::vector<std::string> cookies;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].function != "InternetSetCookieA") continue;
    if (cookies.empty()) {
      EXPECT_EQ(calls[i - 1].toString(), "InternetCloseHandle(internet) -> true");
    }
    cookies.push_back(calls[i].toString());
  }
  EXPECT_EQ(cookies, (std::vector<std::string>{
                         "InternetSetCookieA(\"http://example.com\", \"id\", \"42; path=/\") -> true",
                         "InternetSetCookieA(\"http://example.com\", null, \"flag\") -> true",
                         "InternetSetCookieA(\"http://example.com\", \"last\", \"1\") -> true"}));
  EXPECT_EQ(calls[1].args[1], "\"example.com\"");
  EXPECT_EQ(calls[1].args[2], "8080");
}

TEST_F(FetchPage, ProxyAndCredentialsArePassedOnlyWhenNotBlank) {
  struct Case {
    Text proxy, user, password;
    std::string openArgs, credentialArgs;
  };
  for (const Case& c :
       {Case{"   ", " ", "\xA1\xA1", "1, null", "null, null"},
        Case{"cache.example.net:3128", " me ", "pw", "3, \"http=cache.example.net:3128\"",
             "\" me \", \"pw\""},
        Case{"\t", "", "\t", "3, \"http=\t\"", "null, \"\t\""}}) {
    sim::net::reset();
    fetchPage("http://site.test/x", "", c.proxy, c.user, c.password);
    const auto calls = sim::net::calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].args[1] + ", " + calls[0].args[2], c.openArgs) << c.proxy;
    EXPECT_EQ(calls[1].args[3] + ", " + calls[1].args[4], c.credentialArgs) << c.user;
  }
}

TEST_F(FetchPage, PortsOutside16BitsGetNoConnection) {
  fetchPage("http://site.test:70000/x");
  EXPECT_EQ(sim::net::callNames(),
            (std::vector<std::string>{"InternetOpenA", "InternetCloseHandle"}));
}

TEST_F(FetchPage, EachFailureClosesWhatWasOpenedAndGivesAnEmptyBody) {
  struct Case {
    const char* name;
    void (*script)();
    std::vector<std::string> calls;
    Text responseHeaders;
  };
  const Case cases[] = {
      {"open", [] { sim::net::failInternetOpen(true); }, {"InternetOpenA"}, ""},
      {"connect", [] { sim::net::failConnect(true); },
       {"InternetOpenA", "InternetConnectA", "InternetCloseHandle"}, ""},
      {"request",
       [] {
         sim::net::Page page;
         page.failOpenRequest = true;
         sim::net::setPage("http://site.test/x", page);
       },
       {"InternetOpenA", "InternetConnectA", "HttpOpenRequestA", "InternetCloseHandle",
        "InternetCloseHandle"},
       ""},
      // The default page is a name that does not resolve: the send fails unnoticed.
      {"send", [] {},
       {"InternetOpenA", "InternetConnectA", "HttpOpenRequestA", "HttpSendRequestA",
        "InternetReadFile", "HttpQueryInfoA", "InternetCloseHandle", "InternetCloseHandle",
        "InternetCloseHandle"},
       Text(1024, ' ')},
  };
  for (const Case& c : cases) {
    sim::net::reset();
    c.script();
    Text responseHeaders = "old";
    EXPECT_TRUE(fetchPage("http://site.test/x", "", "", "", "", "", "", 0, &responseHeaders).empty())
        << c.name;
    EXPECT_EQ(sim::net::callNames(), c.calls) << c.name;
    EXPECT_EQ(responseHeaders, c.responseHeaders) << c.name;
    EXPECT_EQ(sim::net::openHandles(), 0) << c.name;
  }
}

TEST_F(FetchPage, ErrorStatusBodyIsReturnedLikeAnyOther) {
  serve("http://site.test/missing", "<h1>not here</h1>", "HTTP/1.1 404 Not Found\r\n\r\n");
  EXPECT_EQ(fetchPage("http://site.test/missing"), bytesOf("<h1>not here</h1>"));
}

TEST_F(FetchPage, BodyLongerThanTheCapIsAFailedFetch) {
  for (std::size_t size : {kMaxBodyBytes, kMaxBodyBytes + 1}) {
    sim::net::reset();
    sim::net::Page page;
    page.body.assign(size, 'b');
    page.chunk = 512;
    sim::net::setPage("http://site.test/big", page);
    Text responseHeaders;
    const Bytes body = fetchPage("http://site.test/big", "", "", "", "", "", "", 0, &responseHeaders);
    EXPECT_EQ(body.size(), size == kMaxBodyBytes ? size : 0u);
    EXPECT_EQ(responseHeaders, page.rawHeaders);
  }
}

TEST_F(FetchPage, WorkerLeavesAStreamWithoutTheRequestTagUntouched) {
  auto stream = std::make_shared<ExchangeStream>();
  stream->writeText("Quillot_X");
  stream->writeText("http://site.test/x");
  const Bytes before = stream->contents();
  fetchWorker(handOverExchangeStream(stream));
  EXPECT_EQ(stream->contents(), before);
  EXPECT_TRUE(sim::net::calls().empty());
}

// ---- Waiting ---------------------------------------------------------------------------------

sim::net::Page stalledPage(sim::net::Step step, std::uint32_t ms) {
  sim::net::Page page;
  page.body = bytesOf("late");
  page.stallAt = step;
  page.stallMs = ms;
  return page;
}

TEST_F(FetchPage, QuietWorkerIsAbandonedAfterTheTimeout) {
  struct Case {
    std::int32_t seconds;
    std::uint64_t waitedMs;
  };
  for (const Case& c : {Case{0, 90000}, Case{-5, 90000}, Case{5, 5000}}) {
    sim::reset();
    sim::net::reset();
    sim::net::setPage("http://site.test/x", stalledPage(sim::net::Step::Read, sim::net::kForever));
    Text responseHeaders = "old";
    EXPECT_TRUE(
        fetchPage("http://site.test/x", "", "", "", "", "", "", c.seconds, &responseHeaders).empty());
    EXPECT_EQ(sim::elapsed(), c.waitedMs) << c.seconds;
    EXPECT_EQ(responseHeaders, "");
    EXPECT_EQ(sim::net::workersAbandoned(), 1);
  }
}

TEST_F(FetchPage, MessagesKeepItWaitingAndAreDispatched) {
  // The worker needs 100 s; a message at 60 s starts the 90 s wait afresh.
  sim::net::setPage("http://site.test/x", stalledPage(sim::net::Step::Send, 100000));
  std::vector<std::uint64_t> ran;
  sim::after(60000, [&] { ran.push_back(sim::elapsed()); });
  EXPECT_EQ(fetchPage("http://site.test/x"), bytesOf("late"));
  EXPECT_EQ(ran, (std::vector<std::uint64_t>{60000}));
  EXPECT_EQ(sim::elapsed(), 100000u);
  EXPECT_EQ(sim::net::workersAbandoned(), 0);
}

TEST_F(FetchPage, EveryMessageStartsTheFullTimeoutAgain) {
  sim::net::setPage("http://site.test/x", stalledPage(sim::net::Step::Read, sim::net::kForever));
  for (std::uint32_t t : {30000u, 100000u, 150000u}) sim::after(t, [] {});
  EXPECT_TRUE(fetchPage("http://site.test/x").empty());
  EXPECT_EQ(sim::elapsed(), 150000u + 90000u);
}

TEST_F(FetchPage, NothingAnAbandonedWorkerDoesReachesTheCaller) {
  sim::net::setPage("http://site.test/x", stalledPage(sim::net::Step::QueryInfo, 100000));
  Text responseHeaders = "old";
  const Bytes body = fetchPage("http://site.test/x", "", "", "", "", "", "", 0, &responseHeaders);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(responseHeaders, "");
  // The worker goes on: it writes its reply into its own stream and closes its handles.
  sim::net::finishAbandonedWorkers();
  EXPECT_EQ(countCalls("InternetCloseHandle"), 3);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(responseHeaders, "");
}

TEST_F(FetchPage, WorkerThatCannotStartOrAWaitThatFailsEndsAtOnceWithNothing) {
  for (bool failStart : {true, false}) {
    sim::reset();
    sim::net::reset();
    sim::net::setPage("http://site.test/x", stalledPage(sim::net::Step::Read, sim::net::kForever));
    if (failStart)
      sim::net::failWorkerStarts(true);
    else
      sim::net::failWaits(true);
    Text responseHeaders = "old";
    EXPECT_TRUE(fetchPage("http://site.test/x", "", "", "", "", "", "", 0, &responseHeaders).empty());
    EXPECT_EQ(responseHeaders, "");
    EXPECT_EQ(sim::elapsed(), 0u);
  }
}

}  // namespace
