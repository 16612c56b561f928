#include "platform/lazy_libraries.h"

#ifdef PIC2JPG_LAZY_LIBRARIES

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/shared_library.h"

// The stubs' table (cmake/lazy_libraries.cmake): one address for each entry
// of kLazyFunctions.
extern "C" void* pic2jpg_lazy_table[];

namespace pic2jpg::platform {
namespace {

std::atomic<bool> opened{false};

// A library that is not installed leaves the program nothing to go on with.
[[noreturn]] void CannotOpen(const char* what) {
  std::fprintf(stderr, "pic2jpg: cannot load %s, which this program needs\n", what);
  std::_Exit(127);
}

[[noreturn]] void MissingFunction() { CannotOpen("a function of its libraries"); }

void OpenAll() {
  std::vector<void*> handles;
  for (int i = 0; kLazyLibraries[i] != nullptr; ++i) {
    void* handle = OpenSharedLibrary(kLazyLibraries[i]);
    if (handle == nullptr) CannotOpen(kLazyLibraries[i]);
    handles.push_back(handle);
  }
  for (int k = 0; kLazyFunctions[k].name != nullptr; ++k) {
    void* function =
        FindSymbol(handles[static_cast<size_t>(kLazyFunctions[k].library)], kLazyFunctions[k].name);
    pic2jpg_lazy_table[k] =
        function != nullptr ? function : reinterpret_cast<void*>(&MissingFunction);
  }
  opened.store(true);
}

}  // namespace

bool LazyLibrariesOpened() { return opened.load(); }

}  // namespace pic2jpg::platform

// The first call of any stub: opens the libraries once and returns the
// function stub `index` stands for.
extern "C" __attribute__((visibility("hidden"))) void* pic2jpg_lazy_resolve(long index) {
  static std::once_flag once;
  std::call_once(once, pic2jpg::platform::OpenAll);
  return pic2jpg_lazy_table[index];
}

#else

namespace pic2jpg::platform {
// The libraries are linked as usual: opened at start.
bool LazyLibrariesOpened() { return true; }
}  // namespace pic2jpg::platform

#endif
