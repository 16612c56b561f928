#include "pict/font_table.h"

#include <iterator>

#include "platform/font_config.h"
#include "text/ascii_case.h"

namespace pic2jpg::pict {
namespace {

constexpr const char kUrw[] = "fonts-urw-base35";
constexpr const char kLiberation[] = "fonts-liberation";
constexpr const char kDejaVu[] = "fonts-dejavu-core";

// The LaserWriter faces go to their metric-compatible URW clones; the
// screen faces to the face the LaserWriter printed them with, or else the
// free face nearest in shape and width; docs/fonts.md
// has the reason for each row. Stand-ins are of the same kind from the
// other packages of scripts/setup.
constexpr FontStandIn kTable[] = {
    {0, "Chicago", "Nimbus Sans", kUrw, "Liberation Sans", true},
    {-1, "Charcoal", "Nimbus Sans", kUrw, "Liberation Sans", true},
    {3, "Geneva", "Nimbus Sans", kUrw, "Liberation Sans", false},
    {2, "New York", "Nimbus Roman", kUrw, "Liberation Serif", false},
    {4, "Monaco", "DejaVu Sans Mono", kDejaVu, "Liberation Mono", false},
    {5, "Venice", "Z003", kUrw, "Liberation Serif", false},
    {6, "London", "C059", kUrw, "Liberation Serif", false},
    {7, "Athens", "DejaVu Serif", kDejaVu, "Liberation Serif", false},
    {8, "San Francisco", "DejaVu Sans", kDejaVu, "Liberation Sans", false},
    {9, "Toronto", "DejaVu Serif", kDejaVu, "Liberation Serif", false},
    {11, "Cairo", "D050000L", kUrw, "DejaVu Sans", false},
    {12, "Los Angeles", "Z003", kUrw, "Liberation Serif", false},
    {13, "Zapf Dingbats", "D050000L", kUrw, "DejaVu Sans", false},
    {14, "Bookman", "URW Bookman", kUrw, "Liberation Serif", false},
    {15, "Helvetica Narrow", "Nimbus Sans Narrow", kUrw, "Liberation Sans Narrow", false},
    {16, "Palatino", "P052", kUrw, "Liberation Serif", false},
    {18, "Zapf Chancery", "Z003", kUrw, "Liberation Serif", false},
    {20, "Times", "Nimbus Roman", kUrw, "Liberation Serif", false},
    {21, "Helvetica", "Nimbus Sans", kUrw, "Liberation Sans", false},
    {22, "Courier", "Nimbus Mono PS", kUrw, "Liberation Mono", false},
    {23, "Symbol", "Standard Symbols PS", kUrw, "DejaVu Sans", false},
    {33, "Avant Garde", "URW Gothic", kUrw, "DejaVu Sans", false},
    {34, "New Century Schoolbook", "C059", kUrw, "Liberation Serif", false},
    // Later system faces with metric-compatible free twins.
    {-1, "Arial", "Liberation Sans", kLiberation, "DejaVu Sans", false},
    {-1, "Times New Roman", "Liberation Serif", kLiberation, "DejaVu Serif", false},
    {-1, "Courier New", "Liberation Mono", kLiberation, "DejaVu Sans Mono", false},
    {-1, "Verdana", "DejaVu Sans", kDejaVu, "Liberation Sans", false},
    {-1, "Tahoma", "DejaVu Sans", kDejaVu, "Liberation Sans", false},
};

// Names of no entry, by their kind: metric twins of the commonest faces.
constexpr FontStandIn kOtherSans = {-1, "", "Liberation Sans", kLiberation, "DejaVu Sans", false};
constexpr FontStandIn kOtherSerif = {-1,   "", "Liberation Serif", kLiberation, "DejaVu Serif",
                                     false};
constexpr FontStandIn kOtherMono = {-1,   "", "Liberation Mono", kLiberation, "DejaVu Sans Mono",
                                    false};

constexpr int kApplicationFont = 3;  // Geneva (font 1 names the application font)

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// True when `name` is `entry` or starts with it followed by a non-letter.
bool NameMatches(std::string_view name, std::string_view entry) {
  if (name.size() < entry.size() || !EqualsAsciiNoCase(name.substr(0, entry.size()), entry)) {
    return false;
  }
  return name.size() == entry.size() || !IsLetter(name[entry.size()]);
}

const FontStandIn& ByKind(std::string_view name) {
  const std::string lower = LowerAscii(name);
  auto has = [&lower](const char* word) { return lower.find(word) != std::string::npos; };
  if (has("mono") || has("courier") || has("typewriter") || has("console")) return kOtherMono;
  if (has("serif") && !has("sans")) return kOtherSerif;
  if (has("times") || has("roman") || has("garamond") || has("georgia") || has("palatino") ||
      has("bookman") || has("schoolbook") || has("baskerville") || has("caslon") || has("bodoni") ||
      has("century") || has("minion") || has("book antiqua")) {
    return kOtherSerif;
  }
  return kOtherSans;
}

}  // namespace

std::span<const FontStandIn> FontTable() { return kTable; }

const FontStandIn& FontFor(int number, const std::string* name) {
  if (name != nullptr && !name->empty()) {
    const FontStandIn* best = nullptr;
    for (const FontStandIn& entry : kTable) {
      std::string_view entry_name = entry.name;
      if (NameMatches(*name, entry_name) &&
          (best == nullptr || entry_name.size() > std::string_view(best->name).size())) {
        best = &entry;
      }
    }
    return best != nullptr ? *best : ByKind(*name);
  }
  const FontStandIn* application = nullptr;
  for (const FontStandIn& entry : kTable) {
    if (entry.number == number) return entry;
    if (entry.number == kApplicationFont) application = &entry;
  }
  return *application;
}

std::string FamilyToDraw(const FontStandIn& entry, std::string_view asked) {
  return platform::InstalledFamily({entry.family, entry.package, entry.stand_in}, asked);
}

}  // namespace pic2jpg::pict
