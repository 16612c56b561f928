// Entry point: containers, image maps, the single-instance lock, then the
// command line decides the mode and main starts it.
#include <FreeImage.h>

#include <string>
#include <vector>

#include "app/identity.h"
#include "cli/command_line.h"
#include "engine/format_tables.h"
#include "platform/cleanup.h"
#include "platform/console.h"
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
  if (result.next == NextStep::kEnd) EndProgram(result.exit_status);

  // The desktop mode and its special pages are not built yet.
  platform::ErrorWriteLine("pic2jpg: the desktop mode is not available; see pic2jpg --help");
  EndProgram(2);
}
