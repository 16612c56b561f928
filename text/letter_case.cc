#include "text/letter_case.h"

#include <glib.h>

#include "text/utf8.h"

namespace pic2jpg {
namespace {

// GLib's result as our text, freeing GLib's copy.
std::string Taken(gchar* converted) {
  std::string text = converted == nullptr ? std::string() : std::string(converted);
  g_free(converted);
  return text;
}

// The case functions stop at a NUL byte, so text holding one is left alone
// like any other text that is not a plain UTF-8 string.
bool Convertible(std::string_view text) {
  return !text.empty() && text.find('\0') == std::string_view::npos && IsValidUtf8(text);
}

}  // namespace

std::string UpperText(std::string_view text) {
  if (!Convertible(text)) return std::string(text);
  return Taken(g_utf8_strup(text.data(), static_cast<gssize>(text.size())));
}

std::string LowerText(std::string_view text) {
  if (!Convertible(text)) return std::string(text);
  return Taken(g_utf8_strdown(text.data(), static_cast<gssize>(text.size())));
}

std::string TitleText(std::string_view text) {
  if (!Convertible(text)) return std::string(text);
  const size_t first = Utf8SequenceLength(text);
  const gunichar title = g_unichar_totitle(g_utf8_get_char(text.data()));
  gchar encoded[8] = {};
  const gint length = g_unichar_to_utf8(title, encoded);
  return std::string(encoded, static_cast<size_t>(length)) + LowerText(text.substr(first));
}

}  // namespace pic2jpg
