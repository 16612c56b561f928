// The faces QuickDraw text is drawn with: every classic Macintosh font, by
// number and by name, maps to a named free face from a Debian package that
// scripts/setup installs, chosen on purpose (docs/fonts.md gives the reason
// for each), so that a picture renders the same on every machine whatever
// its fontconfig aliases make of "Times" or "Geneva".
#ifndef PIC2JPG_PICT_FONT_TABLE_H_
#define PIC2JPG_PICT_FONT_TABLE_H_

#include <span>
#include <string>
#include <string_view>

namespace pic2jpg::pict {

struct FontStandIn {
  int number;            // QuickDraw font number; -1 for a name only
  const char* name;      // the Macintosh name
  const char* family;    // the free face drawn in its place
  const char* package;   // the Debian package that installs it
  const char* stand_in;  // drawn with (after a warning) when the package is missing
  bool bold;             // the face is drawn bold (the heavy system font)
};

// Every entry of the table.
std::span<const FontStandIn> FontTable();

// The entry for a picture's font: by the name the picture gave the number
// (its fontName opcode), if any, else by the number. A name matches an entry
// whole or as its first word(s) ("Helvetica-Bold", "Times Roman"), the
// longest entry winning, case aside; other names go by their kind (serif,
// monospaced, sans) to the metric-compatible faces of fonts-liberation;
// unknown numbers are the application font, Geneva.
const FontStandIn& FontFor(int number, const std::string* name);

// The family to hand to the layout for `entry`: its own face when
// fontconfig gives that face, else the stand-in with a warning on standard
// error (see platform::InstalledFamily).
std::string FamilyToDraw(const FontStandIn& entry, std::string_view asked);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_FONT_TABLE_H_
