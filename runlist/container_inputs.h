// Containers of PICT resources among the inputs (resource forks, AppleDouble,
// MacBinary, BinHex, Rez text: pict/pict_containers.h): each resource that
// can be converted becomes an input of its own, named by its reference path
// (text/resource_reference.h); each that cannot is a problem of its own.
// A file is a container by its content alone. The listing checks every
// offset; the pictures are decoded by the converter, never here.
#ifndef PIC2JPG_RUNLIST_CONTAINER_INPUTS_H_
#define PIC2JPG_RUNLIST_CONTAINER_INPUTS_H_

#include <string>
#include <vector>

#include "runlist/input_queue.h"

namespace pic2jpg {

struct ContainerInputs {
  bool container = false;
  std::vector<std::string> resources;  // reference paths, in the container's order
  // A resource that cannot be converted, the container's own damage, or a
  // container with no PICT resources at all.
  std::vector<InputProblem> problems;
};

// Lists the PICT resources of `path`; `container` is false when the file is
// no container (or cannot be read).
ContainerInputs ListContainerInputs(const std::string& path);

// The folder a container's pictures belong in: its own, or for netatalk's
// companions (FOLDER/.AppleDouble/NAME, FOLDER/.rsrc/NAME) the FOLDER of the
// file they belong to. Ends with "/".
std::string ContainerHomeFolder(const std::string& path);

// True when the file is a container of PICT resources (with or without any).
bool IsContainerFile(const std::string& path);

// Queues the convertible resources of a container into g_input_list, each
// with the container's subfolder below `base`; false when `path` is no
// container. Problems are appended to `problems`.
bool QueueContainerFile(const std::string& path, const std::string& base,
                        std::vector<std::string>* queued, std::vector<InputProblem>* problems);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_CONTAINER_INPUTS_H_
