// The path of one PICT resource inside a container file, as the run lists,
// converts, names and reports it: "CONTAINER#PICT ID" or "CONTAINER#PICT ID
// NAME" (the resource's name, made safe for a file name), and "CONTAINER#data
// fork" for a data fork typed 'PICT'. A path that names an existing file is
// that file, whatever it holds; only otherwise is it read as a reference.
#ifndef PIC2JPG_TEXT_RESOURCE_REFERENCE_H_
#define PIC2JPG_TEXT_RESOURCE_REFERENCE_H_

#include <string>

namespace pic2jpg {

// The id a data fork is referred to with (outside the 16-bit resource ids).
inline constexpr int kDataForkResourceId = 0x10000;

struct ResourceReference {
  std::string container;  // the container file's path
  int id = 0;
  std::string name;  // "" when the resource has none
};

// "CONTAINER#PICT ID[ NAME]" for the resource.
std::string ResourceReferencePath(const std::string& container, int id, const std::string& name);

// The resource name made safe for a file name: control bytes and "/"
// dropped, a name of only dots dropped, at most 100 bytes of UTF-8.
std::string SafeResourceName(const std::string& name);

// Splits a reference whose container is an existing regular file; false for
// any other path (an existing file among them).
bool SplitResourceReference(const std::string& path, ResourceReference* reference);

// The file a path's content lives in: the container of a reference, else the
// path itself.
std::string ContainerOfInput(const std::string& path);

// What %filename% stands for: the container's name without its extension
// (and without the "._" of an AppleDouble companion), "-ID", and "-NAME"
// when the resource has a name: "Game-128-Title Screen".
std::string ResourceOutputBase(const ResourceReference& reference);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_RESOURCE_REFERENCE_H_
