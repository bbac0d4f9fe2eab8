// Resource identifiers shared by vantrel.rc and the Win32 backend (the resource compiler
// understands only macros, so these stay macros).
#pragma once

#define IDI_VANTREL 1
