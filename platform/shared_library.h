// Loading a shared library when it is first needed rather than at start:
// a program that rarely needs a large library does not pay for loading it
// (and the libraries it depends on) on every start.
#ifndef PIC2JPG_PLATFORM_SHARED_LIBRARY_H_
#define PIC2JPG_PLATFORM_SHARED_LIBRARY_H_

#include <string>

namespace pic2jpg::platform {

// Opens the library of that file name (a soname: "libavcodec.so.59"), found
// as the dynamic linker finds libraries; it stays loaded until the program
// ends. nullptr when it is not there.
void* OpenSharedLibrary(const char* name);

// Opens a module of ours by its path. Its undefined symbols bind to the
// program's own (which exports them), so it shares the program's state. It
// stays loaded until the program ends; nullptr with the loader's reason in
// `error` when it cannot be loaded.
void* OpenSharedModule(const std::string& path, std::string* error);

// The address of a symbol of an opened library; nullptr when it has none.
void* FindSymbol(void* library, const char* name);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_SHARED_LIBRARY_H_
