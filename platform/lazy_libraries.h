// The codec and drawing libraries (FreeImage, Cairo, Pango, fontconfig) are
// opened when the program first calls one of their functions, not when it
// starts: cmake/lazy_libraries.cmake makes a stub for every function they
// export, and the first call of any stub comes here. A console conversion
// that streams its picture to the JPEG encoder never calls them, and its
// start then costs a few shared libraries instead of sixty.
#ifndef PIC2JPG_PLATFORM_LAZY_LIBRARIES_H_
#define PIC2JPG_PLATFORM_LAZY_LIBRARIES_H_

namespace pic2jpg::platform {

struct LazyFunction {
  const char* name;
  int library;  // index into kLazyLibraries
};

// Generated: the libraries' sonames (ending with nullptr) and their
// functions in the order of the stubs' table (ending with a null name).
extern const char* const kLazyLibraries[];
extern const LazyFunction kLazyFunctions[];

// True once the libraries were opened (tests: what a run has loaded).
bool LazyLibrariesOpened();

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_LAZY_LIBRARIES_H_
