// Bitmaps of the numbered pictures, made to show on the current GTK theme: a
// theme's picture that would vanish on the window's background gives way to
// the built-in one; a picture that still cannot be seen gets an outline.
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/settings.h>

#include <vector>

#include "gui/main_window_ui.h"
#include "gui/theme_colours.h"
#include "gui/themes.h"

namespace pic2jpg {
namespace {

wxImage Decode(const std::map<int, std::string>& pictures, int number) {
  auto found = pictures.find(number);
  if (found == pictures.end() || found->second.empty()) return wxImage();
  wxMemoryInputStream stream(found->second.data(), found->second.size());
  wxImage image(stream, wxBITMAP_TYPE_PNG);
  return image;
}

std::vector<uint8_t> Rgba(wxImage* image) {
  if (!image->HasAlpha()) image->InitAlpha();
  const size_t count = static_cast<size_t>(image->GetWidth()) * image->GetHeight();
  std::vector<uint8_t> rgba(count * 4);
  const unsigned char* rgb = image->GetData();
  const unsigned char* alpha = image->GetAlpha();
  for (size_t i = 0; i < count; ++i) {
    rgba[i * 4] = rgb[i * 3];
    rgba[i * 4 + 1] = rgb[i * 3 + 1];
    rgba[i * 4 + 2] = rgb[i * 3 + 2];
    rgba[i * 4 + 3] = alpha[i];
  }
  return rgba;
}

void PutRgba(const std::vector<uint8_t>& rgba, wxImage* image) {
  unsigned char* rgb = image->GetData();
  unsigned char* alpha = image->GetAlpha();
  for (size_t i = 0; i * 4 < rgba.size(); ++i) {
    rgb[i * 3] = rgba[i * 4];
    rgb[i * 3 + 1] = rgba[i * 4 + 1];
    rgb[i * 3 + 2] = rgba[i * 4 + 2];
    alpha[i] = rgba[i * 4 + 3];
  }
}

}  // namespace

Rgb ThemeBackground() {
  const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
  return Rgb{face.Red(), face.Green(), face.Blue()};
}

wxBitmap ImageBitmap(int number, int pixels) {
  const Rgb background = ThemeBackground();
  wxImage image = Decode(g_images, number);
  if (image.IsOk()) {
    std::vector<uint8_t> rgba = Rgba(&image);
    if (PictureVanishes(rgba, background)) {
      wxImage fallback = Decode(g_builtin_images, number);
      if (fallback.IsOk()) {
        image = fallback;
        rgba = Rgba(&image);
      }
    }
    if (PictureVanishes(rgba, background)) {
      AddOutline(&rgba, image.GetWidth(), image.GetHeight(),
                 IsDark(background) ? Rgb{238, 238, 236} : Rgb{46, 52, 54});
      PutRgba(rgba, &image);
    }
  }
  if (!image.IsOk()) return wxBitmap(wxImage(pixels, pixels, true));
  if (image.GetWidth() != pixels || image.GetHeight() != pixels) {
    image.Rescale(pixels, pixels, wxIMAGE_QUALITY_HIGH);
  }
  return wxBitmap(image);
}

}  // namespace pic2jpg
