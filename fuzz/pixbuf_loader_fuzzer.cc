// The gdk-pixbuf loader's entry points on arbitrary bytes, as a viewer
// calls them: the first byte chooses the input's use.
//   even: the rest is a picture fed in pieces of (first byte / 2 + 1) bytes
//         to begin_load, load_increment and stop_load, decoded by the
//         fuzz build's pict2tga in a child; it ends with a picture handed
//         over whole or with a GError that says why, never in this process;
//   odd:  the rest is what the converter sent back, which the loader must
//         check before it copies a pixel.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tools/pixbuf_loader/pixbuf_module.h"
#include "tools/pixbuf_loader/targa.h"

namespace {

struct Outcome {
  bool prepared = false;
  bool updated_whole = false;
};

void Prepared(GdkPixbuf* pixbuf, GdkPixbufAnimation*, gpointer data) {
  pic2jpg::fuzz::Check(gdk_pixbuf_get_width(pixbuf) > 0 && gdk_pixbuf_get_height(pixbuf) > 0,
                       "a picture has a size");
  static_cast<Outcome*>(data)->prepared = true;
}

void Updated(GdkPixbuf* pixbuf, int x, int y, int width, int height, gpointer data) {
  static_cast<Outcome*>(data)->updated_whole = x == 0 && y == 0 &&
                                               width == gdk_pixbuf_get_width(pixbuf) &&
                                               height == gdk_pixbuf_get_height(pixbuf);
}

void FeedInPieces(const uint8_t* data, size_t size, size_t piece) {
  GdkPixbufModule module = {};
  pic2jpg::pixbuf_loader::FillVtable(&module);
  Outcome outcome;
  GError* error = nullptr;
  gpointer context = module.begin_load(nullptr, Prepared, Updated, &outcome, &error);
  bool ok = context != nullptr;
  for (size_t at = 0; ok && at < size; at += piece) {
    const size_t n = size - at < piece ? size - at : piece;
    ok = module.load_increment(context, data + at, static_cast<guint>(n), &error);
  }
  // stop_load ends the context also after a failed piece.
  GError* stop_error = nullptr;
  const bool stopped = context != nullptr && module.stop_load(context, &stop_error);
  if (ok && stopped) {
    pic2jpg::fuzz::Check(outcome.prepared && outcome.updated_whole,
                         "a decoded picture is handed over whole");
  } else {
    GError* reason = error != nullptr ? error : stop_error;
    pic2jpg::fuzz::Check(reason != nullptr && reason->message[0] != '\0', "a failure says why");
    pic2jpg::fuzz::Check(!outcome.prepared, "a failure hands over no picture");
  }
  if (error != nullptr) g_error_free(error);
  if (stop_error != nullptr) g_error_free(stop_error);
}

void ReadConverterOutput(const uint8_t* data, size_t size) {
  pic2jpg::pixbuf_loader::TargaView view;
  // A small limit keeps each run quick; the checks are the same.
  if (!pic2jpg::pixbuf_loader::ParseTarga(
          std::string_view(reinterpret_cast<const char*>(data), size), 1 << 20, &view)) {
    return;
  }
  const size_t stride =
      static_cast<size_t>(view.form.width) * pic2jpg::pixbuf_loader::CopiedChannels(view);
  std::vector<uint8_t> pixels(stride * static_cast<size_t>(view.form.height));
  pic2jpg::pixbuf_loader::CopyRowsTopFirst(view, pixels.data(), stride);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("PIC2JPG_PICT2TGA", FUZZ_PICT2TGA, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    FeedInPieces(data + 1, size - 1, data[0] / 2 + 1u);
  } else {
    ReadConverterOutput(data + 1, size - 1);
  }
  return 0;
}
