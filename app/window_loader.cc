#include "app/window_loader.h"

#include "platform/app_paths.h"
#include "platform/file_system.h"
#include "platform/shared_library.h"

namespace pic2jpg {

std::vector<std::string> WindowModulePlaces(const std::string& program_folder) {
  return {program_folder + kWindowModuleFile,
          program_folder + "../lib/pic2jpg/" + kWindowModuleFile};
}

const WindowModule* LoadWindowModule(std::string* error) {
  const std::vector<std::string> places = WindowModulePlaces(platform::ProgramFolder());
  for (const std::string& place : places) {
    if (!fs::Exists(place)) continue;
    std::string why;
    void* module = platform::OpenSharedModule(place, &why);
    using Entry = const WindowModule* (*)();
    auto entry = reinterpret_cast<Entry>(platform::FindSymbol(module, kWindowModuleEntry));
    if (entry == nullptr) {
      *error = "the window module " + place + " cannot be loaded" +
               (why.empty() ? std::string() : ": " + why);
      return nullptr;
    }
    return entry();
  }
  *error = std::string("the window module ") + kWindowModuleFile + " is missing (looked for " +
           places[0] + " and " + places[1] + ")";
  return nullptr;
}

}  // namespace pic2jpg
