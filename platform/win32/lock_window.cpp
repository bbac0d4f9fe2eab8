// The lock window. (Placeholder bodies: being written.)
#include "platform/win32/win32_internal.h"
#include "platform/platform.h"

namespace platform {
bool lockWindowOpen() { return false; }
void openLockWindowModal() {}
void requestLockWindowClose() {}
}  // namespace platform
