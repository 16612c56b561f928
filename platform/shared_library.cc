#include "platform/shared_library.h"

#include <dlfcn.h>

namespace pic2jpg::platform {

void* OpenSharedLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }

void* OpenSharedModule(const std::string& path, std::string* error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* why = dlerror();
    *error = why == nullptr ? "unknown failure" : why;
  }
  return module;
}

void* FindSymbol(void* library, const char* name) {
  return library == nullptr ? nullptr : dlsym(library, name);
}

}  // namespace pic2jpg::platform
