// The simulated platform's code-page, shell, worker-thread and HTTP pieces.
// (Placeholder bodies: being written.)
#include <cstdlib>

#include "platform/platform.h"

namespace platform {
Text utf8ToAnsi(const Text& utf8) { return utf8; }
void shellOpen(const Text&) {}
void terminateSelf() { std::exit(0); }
WorkerHandle startWorker(void (*)(void*), void*) { return nullptr; }
WaitResult waitForWorkerOrMessage(WorkerHandle, std::uint32_t) { return WaitResult::Failed; }
void releaseWorker(WorkerHandle) {}
namespace inet {
Handle internetOpen(const char*, std::uint32_t, const char*, const char*, std::uint32_t) { return nullptr; }
Handle internetConnect(Handle, const char*, std::uint16_t, const char*, const char*, std::uint32_t, std::uint32_t, std::uintptr_t) { return nullptr; }
Handle httpOpenRequest(Handle, const char*, const char*, const char*, const char*, const char**, std::uint32_t, std::uintptr_t) { return nullptr; }
bool httpSendRequest(Handle, const char*, std::uint32_t, const void*, std::uint32_t) { return false; }
bool internetReadFile(Handle, void*, std::uint32_t, std::uint32_t* read) { if (read) *read = 0; return false; }
bool httpQueryInfo(Handle, std::uint32_t, void*, std::uint32_t*, std::uint32_t*) { return false; }
bool internetSetCookie(const char*, const char*, const char*) { return false; }
bool internetCloseHandle(Handle) { return false; }
}  // namespace inet
}  // namespace platform
