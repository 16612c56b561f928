#include "platform/shared_library.h"

#include <dlfcn.h>

namespace pic2jpg::platform {

void* OpenSharedLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }

void* FindSymbol(void* library, const char* name) {
  return library == nullptr ? nullptr : dlsym(library, name);
}

}  // namespace pic2jpg::platform
