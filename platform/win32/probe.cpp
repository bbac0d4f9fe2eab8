// The device probe's platform side: a Winsock 1.1 name look-up and one ICMP echo. The ICMP
// functions, inet_addr and GlobalSize are bound by name from the libraries named below the
// first time they are needed.
#include <winsock2.h>

#include <cstddef>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace {

constexpr WORD kWinsockVersion = 0x0101;
constexpr std::size_t kNameBufferSize = 100;
constexpr DWORD kEchoTimeoutMs = 1000;
constexpr std::size_t kEchoDataRoom = 250;

// The echo reply as a 32-bit Windows lays it out (ICMP_ECHO_REPLY, 28 bytes), followed by
// room for the echoed data. A 64-bit Windows writes its wider ICMP_ECHO_REPLY (Data and
// OptionsData are pointers there), but Address, Status and RoundTripTime, the fields read, sit
// at the same offsets in both, and the record has room for either.
#pragma pack(push, 1)
struct EchoReplyRecord {
  std::int32_t address;
  std::int32_t status;
  std::int32_t roundTripTime;
  std::int32_t dataSizeAndReserved;
  std::int16_t dataLow;
  std::int16_t dataHigh;
  struct {
    std::uint8_t ttl;
    std::uint8_t tos;
    std::uint8_t flags;
    std::uint8_t optionsSize;
    std::int32_t optionsData;
  } options;
  std::uint8_t data[kEchoDataRoom];
};
#pragma pack(pop)
static_assert(sizeof(EchoReplyRecord) == 278);
static_assert(offsetof(EchoReplyRecord, address) == 0);
static_assert(offsetof(EchoReplyRecord, status) == 4);
static_assert(offsetof(EchoReplyRecord, roundTripTime) == 8);
static_assert(offsetof(EchoReplyRecord, dataSizeAndReserved) == 12);
static_assert(offsetof(EchoReplyRecord, dataLow) == 16);
static_assert(offsetof(EchoReplyRecord, dataHigh) == 18);
static_assert(offsetof(EchoReplyRecord, options) == 20);
static_assert(offsetof(EchoReplyRecord, options.optionsData) == 24);
static_assert(offsetof(EchoReplyRecord, data) == 28);

using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE echo, ULONG destination, LPVOID requestData,
                                      WORD requestSize, LPVOID options, LPVOID replyBuffer,
                                      DWORD replySize, DWORD timeoutMs);
using InetAddrFn = ULONG(WINAPI*)(const char*);
using GlobalSizeFn = SIZE_T(WINAPI*)(HGLOBAL);

}  // namespace

namespace platform {

bool lookUpHost(const Text& name, Text& dotted) {
  // A longer name does not fit the buffer with its zero; cutting it could name another host.
  if (name.size() >= kNameBufferSize) return false;
  WSADATA winsock;
  if (WSAStartup(kWinsockVersion, &winsock) != 0) return false;
  char nameBuffer[kNameBufferSize] = {};
  std::memcpy(nameBuffer, name.data(), name.size());
  bool found = false;
  if (const hostent* entry = gethostbyname(nameBuffer)) {
    if (entry->h_addrtype == AF_INET && entry->h_addr_list && entry->h_addr_list[0]) {
      in_addr address;
      std::memcpy(&address, entry->h_addr_list[0], sizeof address);
      if (const char* text = inet_ntoa(address)) {
        dotted = text;
        found = true;
      }
    }
  }
  // Every successful start is paired with a clean-up, also when the look-up failed.
  WSACleanup();
  return found;
}

EchoReply sendEcho(const Text& dottedAddress) {
  auto icmpCreateFile = boundProc<IcmpCreateFileFn>("iphlpapi.dll", "IcmpCreateFile");
  auto icmpSendEcho = boundProc<IcmpSendEchoFn>("ICMP.DLL", "IcmpSendEcho");
  auto icmpCloseHandle = boundProc<IcmpCloseHandleFn>("iphlpapi.dll", "IcmpCloseHandle");
  auto inetAddr = boundProc<InetAddrFn>("ws2_32.dll", "inet_addr");
  auto globalSize = boundProc<GlobalSizeFn>("kernel32", "GlobalSize");

  EchoReplyRecord record{};
  EchoReply result;
  HGLOBAL replyBuffer = GlobalAlloc(GPTR, sizeof record);
  if (!replyBuffer) return result;
  DWORD replySize = static_cast<DWORD>(globalSize(replyBuffer));

  HANDLE echo = icmpCreateFile();
  ULONG destination = inetAddr(dottedAddress.c_str());
  // The payload is the dotted text itself, without its terminating zero.
  Text request = dottedAddress;
  DWORD replies = icmpSendEcho(echo, destination, request.data(),
                               static_cast<WORD>(request.size()), nullptr, replyBuffer, replySize,
                               kEchoTimeoutMs);
  std::memcpy(&record, replyBuffer, replySize < sizeof record ? replySize : sizeof record);
  icmpCloseHandle(echo);
  GlobalFree(replyBuffer);

  result.replies = replies;
  result.status = static_cast<std::uint32_t>(record.status);
  result.roundTripTime = static_cast<std::uint32_t>(record.roundTripTime);
  return result;
}

}  // namespace platform
