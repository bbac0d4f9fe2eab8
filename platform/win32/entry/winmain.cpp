// Process entry of the Windows program.
#include <windows.h>

#include <commctrl.h>

#include "app/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The status bar's class comes from the common controls, version 6 through the manifest.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return programMain();
}
