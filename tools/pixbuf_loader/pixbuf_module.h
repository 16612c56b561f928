// The loader module's two entry points, as gdk-pixbuf calls them through
// fill_info and fill_vtable (exported by pixbuf_module.cc); the fuzz target
// and the tests call them directly.
#ifndef PIC2JPG_TOOLS_PIXBUF_LOADER_PIXBUF_MODULE_H_
#define PIC2JPG_TOOLS_PIXBUF_LOADER_PIXBUF_MODULE_H_

#ifndef GDK_PIXBUF_ENABLE_BACKEND
#define GDK_PIXBUF_ENABLE_BACKEND
#endif
#include <gdk-pixbuf/gdk-pixbuf.h>

namespace pic2jpg::pixbuf_loader {

// The loading functions: load, and begin_load, load_increment, stop_load.
void FillVtable(GdkPixbufModule* module);
// The format: its name, MIME type, extensions and signature.
void FillInfo(GdkPixbufFormat* info);

}  // namespace pic2jpg::pixbuf_loader

#endif  // PIC2JPG_TOOLS_PIXBUF_LOADER_PIXBUF_MODULE_H_
