// The gdk-pixbuf loader as a viewer meets it: gdk-pixbuf finds the built
// module through a loaders cache made for it, picks it by the file's
// content, and gets the reader's picture or a GError with the reader's
// reason, also for a file fed in small pieces and for bombs.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "pict/pict_reader.h"
#include "support/test_support.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::test {
namespace {

using pict::test_util::HeaderSpec;
using pict::test_util::PictBuilder;
using pict::test_util::StartPicture;

struct Loaded {
  GdkPixbuf* pixbuf = nullptr;  // owned
  std::string format;           // the loader gdk-pixbuf chose
  std::string error;            // the GError's message
  ~Loaded() {
    if (pixbuf != nullptr) g_object_unref(pixbuf);
  }
};

// Feeds `bytes` to a gdk-pixbuf loader `step` bytes at a time; `type` ""
// lets gdk-pixbuf choose the loader by the content.
void Load(const std::string& bytes, size_t step, const std::string& type, Loaded* loaded,
          const std::string& converter = PICT2TGA_EXE) {
  // Only our module, as gdk-pixbuf-query-loaders lists it; read at the first
  // use of gdk-pixbuf in the process.
  // Our MIME type's magic before the system's, which knows the extended
  // version 2 header only.
  setenv("GDK_PIXBUF_MODULE_FILE", PIXBUF_LOADERS_CACHE, 1);
  setenv("XDG_DATA_DIRS", TEST_MIME_DATA_DIR ":/usr/share", 1);
  setenv("PIC2JPG_PICT2TGA", converter.c_str(), 1);
  GError* error = nullptr;
  GdkPixbufLoader* loader = type.empty() ? gdk_pixbuf_loader_new()
                                         : gdk_pixbuf_loader_new_with_type(type.c_str(), &error);
  ASSERT_NE(loader, nullptr);
  bool ok = true;
  for (size_t at = 0; ok && at < bytes.size(); at += step) {
    const size_t n = std::min(step, bytes.size() - at);
    ok = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data() + at), n,
                                 &error);
  }
  ok = gdk_pixbuf_loader_close(loader, ok ? &error : nullptr) && ok;
  if (ok) {
    loaded->pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (loaded->pixbuf != nullptr) g_object_ref(loaded->pixbuf);
  }
  if (GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader)) {
    gchar* name = gdk_pixbuf_format_get_name(format);
    loaded->format = name;
    g_free(name);
  }
  if (error != nullptr) {
    loaded->error = error->message;
    g_error_free(error);
  }
  g_object_unref(loader);
}

std::string Bytes(const std::vector<uint8_t>& data) { return {data.begin(), data.end()}; }

TEST(PixbufLoaderTest, SampleHasTheReadersPixels) {
  const std::string bytes = ReadText(std::string(TEST_DATA_DIR) + "/sample.pict");
  pict::Picture expected;
  ASSERT_TRUE(
      pict::DecodePict(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &expected)
          .ok());
  Loaded loaded;
  Load(bytes, 4096, "", &loaded);
  ASSERT_NE(loaded.pixbuf, nullptr) << loaded.error;
  EXPECT_EQ(loaded.format, "pict");
  ASSERT_EQ(gdk_pixbuf_get_width(loaded.pixbuf), expected.width);
  ASSERT_EQ(gdk_pixbuf_get_height(loaded.pixbuf), expected.height);
  ASSERT_EQ(gdk_pixbuf_get_has_alpha(loaded.pixbuf), expected.has_alpha);
  const int channels = gdk_pixbuf_get_n_channels(loaded.pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(loaded.pixbuf);
  const guchar* pixels = gdk_pixbuf_get_pixels(loaded.pixbuf);
  int differing = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const guchar* got = pixels + y * stride + x * channels;
      const uint8_t* want = expected.pixels.data() + (y * expected.width + x) * 4;
      if (got[0] != want[2] || got[1] != want[1] || got[2] != want[0]) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
}

// Each header the signature names is recognised by its content alone.
TEST(PixbufLoaderTest, EveryHeaderIsRecognised) {
  struct Case {
    int version;
    bool preamble;
  };
  for (const Case& c : {Case{2, true}, Case{2, false}, Case{1, true}, Case{1, false}}) {
    SCOPED_TRACE("version " + std::to_string(c.version) + (c.preamble ? " with" : " without") +
                 " preamble");
    PictBuilder b = StartPicture(HeaderSpec({0, 0, 30, 40}, c.version, c.preamble));
    b.Op(0x31);  // paintRect with the black pen
    b.Rect(10, 10, 20, 30);
    Loaded loaded;
    Load(Bytes(b.Finish()), 4096, "", &loaded);
    ASSERT_NE(loaded.pixbuf, nullptr) << loaded.error;
    EXPECT_EQ(loaded.format, "pict");
    EXPECT_EQ(gdk_pixbuf_get_width(loaded.pixbuf), 40);
    EXPECT_EQ(gdk_pixbuf_get_height(loaded.pixbuf), 30);
    const guchar* centre = gdk_pixbuf_get_pixels(loaded.pixbuf) +
                           15 * gdk_pixbuf_get_rowstride(loaded.pixbuf) +
                           20 * gdk_pixbuf_get_n_channels(loaded.pixbuf);
    const guchar* corner = gdk_pixbuf_get_pixels(loaded.pixbuf);
    EXPECT_EQ(centre[0] + centre[1] + centre[2], 0);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 3 * 255);
  }
}

TEST(PixbufLoaderTest, TruncatedFileInSmallPiecesFails) {
  const std::string bytes = ReadText(std::string(TEST_DATA_DIR) + "/sample.pict");
  Loaded loaded;
  Load(bytes.substr(0, bytes.size() / 2), 7, "pict", &loaded);
  EXPECT_EQ(loaded.pixbuf, nullptr);
  EXPECT_NE(loaded.error.find(pict::StatusName(pict::DecodeStatus::kTruncated)), std::string::npos)
      << loaded.error;
}

// Bombs end with the reader's reason.
TEST(PixbufLoaderTest, BombsFailWithTheReadersReason) {
  PictBuilder huge = StartPicture(HeaderSpec({0, 0, 20000, 20000}));
  PictBuilder ovals = StartPicture(HeaderSpec({0, 0, 1000, 1000}));
  for (int i = 0; i < 2000; ++i) {
    ovals.Op(0x51);  // paintOval over the whole frame
    ovals.Rect(0, 0, 1000, 1000);
  }
  struct Case {
    std::string bytes;
    pict::DecodeStatus status;
  };
  for (const Case& c : {Case{Bytes(huge.Finish()), pict::DecodeStatus::kTooLarge},
                        Case{Bytes(ovals.Finish()), pict::DecodeStatus::kTooComplex}}) {
    pict::Picture picture;
    const pict::DecodeResult result = pict::DecodePict(
        reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), &picture);
    ASSERT_EQ(result.status, c.status);
    Loaded loaded;
    Load(c.bytes, 65536, "pict", &loaded);
    EXPECT_EQ(loaded.pixbuf, nullptr);
    EXPECT_NE(loaded.error.find(result.message), std::string::npos) << loaded.error;
  }
}

// A converter that crashes fails the picture with the signal; the viewer
// (this test) goes on.
TEST(PixbufLoaderTest, CrashingConverterFailsThePictureOnly) {
  TempDir folder;
  const std::string converter = folder.File("crashing-converter");
  ASSERT_TRUE(WriteText(converter, "#!/bin/sh\nkill -SEGV $$\n"));
  ASSERT_EQ(chmod(converter.c_str(), 0700), 0);
  Loaded loaded;
  Load(ReadText(std::string(TEST_DATA_DIR) + "/sample.pict"), 4096, "pict", &loaded, converter);
  EXPECT_EQ(loaded.pixbuf, nullptr);
  EXPECT_NE(loaded.error.find("signal " + std::to_string(SIGSEGV)), std::string::npos)
      << loaded.error;
}

}  // namespace
}  // namespace pic2jpg::test
