// Entry point: containers, image maps, the single-instance lock, then the
// command line decides the mode and main starts it.
#include <FreeImage.h>

#include <string>
#include <vector>

#include "app/identity.h"
#include "cli/command_line.h"
#include "engine/format_tables.h"
#include "gui/desktop.h"
#include "gui/image_maps.h"
#include "platform/cleanup.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  using namespace pic2jpg;
  FreeImage_Initialise(FALSE);
  FillImageMaps();
  RegisterFormats();
  EnsureSingleInstance(TitleWithVersion());
  // A run ended by a signal takes its temporary files and its converter
  // with it; what a run killed outright left behind goes now.
  platform::InstallCleanupHandlers();
  platform::RemoveStaleTempFolders(fs::TempFolderBase(), "pic2jpg");

  std::vector<std::string> args(argv + 1, argv + argc);
  CommandLineResult result = RunCommandLine(args);
  switch (result.next) {
    case NextStep::kEnd:
      EndProgram(result.exit_status);
    case NextStep::kDesktop:
      EndProgram(RunDesktop(result.path));
    case NextStep::kUninstall:
      EndProgram(RunUninstallPage());
    case NextStep::kScreenshots:
      EndProgram(RunScreenshotMode(result.path));
  }
  EndProgram(kFailureStatus);
}
