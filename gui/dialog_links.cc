#include "gui/dialog_links.h"

#include "text/identity.h"

namespace pic2jpg {

std::string AboutWebAddress() { return kVendorWebAddress; }

std::string AboutMailAddress() { return kSupportAddress; }

std::string AboutMailLink() { return std::string("mailto:") + kSupportAddress; }

std::string CleanExtension(std::string_view text) {
  constexpr int kKeptCharacters = 12;
  std::string cleaned;
  int characters = 0;
  for (char c : text) {
    const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (!continuation && ++characters > kKeptCharacters) break;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) cleaned += c;
  }
  return cleaned;
}

std::string ConverterSearchUrl(const std::string& from, const std::string& to) {
  return std::string(kVendorWebAddress) + "find/" + from + "-" + to + "/";
}

}  // namespace pic2jpg
