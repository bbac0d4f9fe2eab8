// The lock window's Win32 pieces that tests reach besides the platform contract.
#pragma once

#include "platform/win32/win32_internal.h"

// The window procedure the lock window had before lockWindowProc replaced it; rewritten at
// every opening.
extern WNDPROC savedLockWindowProc;

// Swallows the keyboard's close command (WM_SYSCOMMAND, SC_CLOSE, lParam 0) and passes every
// other message to savedLockWindowProc.
LRESULT CALLBACK lockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The open lock window, or null.
HWND lockWindowHandle();
// Its picture box 图片框1 (a child window), or null.
HWND lockPictureBox(HWND lockWindow);

// Deletes the last two items of the window's system menu, the last one first.
void trimSystemMenu(HWND window);

// The timer 时钟1 of the lock window.
constexpr UINT_PTR kLockTimerId = 1;
constexpr UINT kLockTimerMs = 10;
