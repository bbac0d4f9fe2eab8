// Program entry and start-up. (Placeholder bodies: being written.)
#include "app/program.h"

#include "platform/platform.h"

Text programDirectory;
const char* const kProgramVersion = "1.0";

int programMain() {
  programDirectory = platform::executableDirectory();
  platform::setCurrentDirectory(programDirectory);
  platform::createOwnerToolWindow();
  platform::createMainWindow();
  onMainWindowCreated();
  platform::setMainWindowVisible(true);
  platform::runMessageLoop();
  exitCleanUp();
  return 0;
}
void onMainWindowCreated() {}
void hideMainWindow() {}
void exitCleanUp() {}
void waitDispatching(std::uint32_t) {}
