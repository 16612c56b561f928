// libpixbufloader-pict.so: the gdk-pixbuf loader for PICT pictures, so that
// every program reading pictures through gdk-pixbuf (image viewers, file
// managers' previews, GTK's file dialogs) shows them. gdk-pixbuf finds it
// through its loaders cache (gdk-pixbuf-query-loaders) and calls the two
// functions exported at the end.
//
// The viewer hands the bytes over whole (load) or in pieces
// (begin_load, load_increment, stop_load); either way they are kept, up to
// the reader's input limit, and decoded once complete by pict2tga in a child
// process (convert_in_child.h). A failure of any kind sets a GError with the
// reason and returns; nothing here ends or stops the viewer.
#include "tools/pixbuf_loader/pixbuf_module.h"

#include <gmodule.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "pict/pict_reader.h"
#include "tools/pixbuf_loader/convert_in_child.h"
#include "tools/pixbuf_loader/targa.h"

namespace pic2jpg::pixbuf_loader {
namespace {

void SetError(GError** error, GdkPixbufError code, const std::string& reason) {
  g_set_error(error, GDK_PIXBUF_ERROR, code, "PICT picture: %s", reason.c_str());
}

std::string OverLimit() {
  return "the file is over " + std::to_string(pict::kMaxInputBytes >> 20) + " MiB";
}

// A new picture of the bytes, or null with the error set.
GdkPixbuf* Decode(std::string_view bytes, GError** error) {
  const Converted converted = ConvertInChild(bytes);
  if (!converted.reason.empty()) {
    SetError(error,
             converted.failed_to_run ? GDK_PIXBUF_ERROR_FAILED : GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
             converted.reason);
    return nullptr;
  }
  TargaView view;
  if (!ParseTarga(converted.targa, pict::kMaxPicturePixels, &view)) {
    SetError(error, GDK_PIXBUF_ERROR_FAILED, "the PICT converter's picture is damaged");
    return nullptr;
  }
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, CopiedChannels(view) == 4, 8,
                                     view.form.width, view.form.height);
  if (pixbuf == nullptr) {
    SetError(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
             "no memory for " + std::to_string(view.form.width) + " x " +
                 std::to_string(view.form.height) + " pixels");
    return nullptr;
  }
  CopyRowsTopFirst(view, gdk_pixbuf_get_pixels(pixbuf),
                   static_cast<size_t>(gdk_pixbuf_get_rowstride(pixbuf)));
  return pixbuf;
}

struct LoadContext {
  GdkPixbufModuleSizeFunc size_func = nullptr;
  GdkPixbufModulePreparedFunc prepared_func = nullptr;
  GdkPixbufModuleUpdatedFunc updated_func = nullptr;
  gpointer user_data = nullptr;
  std::string bytes;
};

GdkPixbuf* LoadFile(FILE* file, GError** error) {
  std::string bytes;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (bytes.size() + n > pict::kMaxInputBytes) {
      SetError(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, OverLimit());
      return nullptr;
    }
    bytes.append(buffer, n);
  }
  if (std::ferror(file)) {
    SetError(error, GDK_PIXBUF_ERROR_FAILED, "the file could not be read");
    return nullptr;
  }
  return Decode(bytes, error);
}

gpointer BeginLoad(GdkPixbufModuleSizeFunc size_func, GdkPixbufModulePreparedFunc prepared_func,
                   GdkPixbufModuleUpdatedFunc updated_func, gpointer user_data, GError**) {
  auto* context = new LoadContext;
  context->size_func = size_func;
  context->prepared_func = prepared_func;
  context->updated_func = updated_func;
  context->user_data = user_data;
  return context;
}

gboolean LoadIncrement(gpointer data, const guchar* buf, guint size, GError** error) {
  auto* context = static_cast<LoadContext*>(data);
  if (context->bytes.size() + size > pict::kMaxInputBytes) {
    SetError(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, OverLimit());
    return FALSE;
  }
  context->bytes.append(reinterpret_cast<const char*>(buf), size);
  return TRUE;
}

// Decodes what came in; the context is gone afterwards.
gboolean StopLoad(gpointer data, GError** error) {
  auto* context = static_cast<LoadContext*>(data);
  GdkPixbuf* pixbuf = Decode(context->bytes, error);
  bool ok = pixbuf != nullptr;
  if (ok) {
    int width = gdk_pixbuf_get_width(pixbuf);
    int height = gdk_pixbuf_get_height(pixbuf);
    // A caller asking for the size only answers 0 (the size it was told is
    // all it wanted); another size it asks for is made by gdk-pixbuf.
    if (context->size_func != nullptr) context->size_func(&width, &height, context->user_data);
    if (width > 0 && height > 0) {
      if (context->prepared_func != nullptr) {
        context->prepared_func(pixbuf, nullptr, context->user_data);
      }
      if (context->updated_func != nullptr) {
        context->updated_func(pixbuf, 0, 0, gdk_pixbuf_get_width(pixbuf),
                              gdk_pixbuf_get_height(pixbuf), context->user_data);
      }
    }
    g_object_unref(pixbuf);
  }
  delete context;
  return ok ? TRUE : FALSE;
}

// The signature: a version 2 header (0x0011 0x02FF 0x0C00) or a version 1
// one (0x11 0x01) after the picture's size word and frame, at the start of
// the data or after the 512-byte file preamble. 'x' is any byte, 'z' a zero
// byte (it cannot stand in the prefix string, which ends at one).
std::string Anywhere(size_t count) { return std::string(count, 'x'); }
const std::string kV2Prefix = Anywhere(10) + "_\x11\x02\xff\x0c_";
const std::string kV2Mask = Anywhere(10) + "z    z";
const std::string kV1Prefix = Anywhere(10) + "\x11\x01";
const std::string kV1Mask = Anywhere(10) + "  ";
const std::string kPreambleV2Prefix = Anywhere(512) + kV2Prefix;
const std::string kPreambleV2Mask = Anywhere(512) + kV2Mask;
const std::string kPreambleV1Prefix = Anywhere(512) + kV1Prefix;
const std::string kPreambleV1Mask = Anywhere(512) + kV1Mask;

GdkPixbufModulePattern signature[] = {
    {const_cast<char*>(kPreambleV2Prefix.c_str()), const_cast<char*>(kPreambleV2Mask.c_str()), 100},
    {const_cast<char*>(kV2Prefix.c_str()), const_cast<char*>(kV2Mask.c_str()), 100},
    // Two bytes say less: other formats may have them there by chance.
    {const_cast<char*>(kPreambleV1Prefix.c_str()), const_cast<char*>(kPreambleV1Mask.c_str()), 60},
    {const_cast<char*>(kV1Prefix.c_str()), const_cast<char*>(kV1Mask.c_str()), 50},
    {nullptr, nullptr, 0},
};
char kName[] = "pict";
char kDescription[] = "Macintosh PICT picture";
char kMimeType[] = "image/x-pict";
char* mime_types[] = {kMimeType, nullptr};
char kPict[] = "pict";
char kPct[] = "pct";
char kPic[] = "pic";
char* extensions[] = {kPict, kPct, kPic, nullptr};
char kLicense[] = "Proprietary";

}  // namespace

void FillVtable(GdkPixbufModule* module) {
  module->load = LoadFile;
  module->begin_load = BeginLoad;
  module->load_increment = LoadIncrement;
  module->stop_load = StopLoad;
}

void FillInfo(GdkPixbufFormat* info) {
  info->name = kName;
  info->signature = signature;
  info->description = kDescription;
  info->mime_types = mime_types;
  info->extensions = extensions;
  info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
  info->license = kLicense;
}

}  // namespace pic2jpg::pixbuf_loader

extern "C" {
G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module) {
  pic2jpg::pixbuf_loader::FillVtable(module);
}
G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info) { pic2jpg::pixbuf_loader::FillInfo(info); }
}
