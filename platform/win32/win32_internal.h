// Pieces the Win32 backend's files share: the windows every part needs, code page 936
// conversion at the boundary, and functions bound by name on first call.
#pragma once

#include <windows.h>

#include <string>

#include "text/text.h"

HINSTANCE appInstance();
// The hidden top-level tool window that owns windows without a taskbar button.
HWND ownerToolWindow();
HWND mainWindowHandle();

// Code page 936 bytes to UTF-16 and back; every text shown goes through the -W functions.
std::wstring wideFromAnsi(const Text& text);
Text ansiFromWide(const std::wstring& text);

// The address of an entry point, looked up the first time and kept for the rest of the run.
// A library or entry point that cannot be found ends the program with an error message.
FARPROC bindProc(const char* library, const char* name);

template <typename Fn>
Fn boundProc(const char* library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(bindProc(library, name)));
}
