// The table of every settings field: its group and key in the preferences
// file, and where it lives in a `Settings` record. The table is in file order
// (groups and keys as the preferences file holds them), so the reader and the
// writer of that file, the preferences dialog and anything else that goes
// from a group/key name to a field use this one list of names.
//
// Values cross the table as text in the preferences-file notation (integers
// in decimal, the float with six decimals, strings as they are) or as
// integers; writes into 8-bit and 32-bit fields saturate to the field's range.
#ifndef PIC2JPG_SETTINGS_SETTINGS_FIELDS_H_
#define PIC2JPG_SETTINGS_SETTINGS_FIELDS_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "settings/settings.h"

namespace pic2jpg {

enum class SettingType { kInt8, kInt32, kFloat, kString };

// The address of one field inside a given record.
// An enumeration crosses the table as its number.
using SettingRef = std::variant<int8_t*, int32_t*, float*, std::string*, WatermarkKind*>;

// The numbers a setting takes. A value outside them, read from the
// preferences file or typed in the dialog, is held at the nearer end; a
// number that is not a number at all (or nothing) keeps the default. Console
// options and profile keys are stored as they are read; CheckSettings then
// refuses what the run cannot use (`refuse`).
struct SettingRange {
  bool limited = false;  // false: any number of the field's type
  double min = 0;
  double max = 0;
};

// What CheckSettings refuses in a setting that is in use.
enum class SettingRefusal {
  kNever,
  kOutsideRange,    // a number outside `range`
  kZero,            // 0
  kDepth,           // a depth the format does not take
  kWatermarkFont,   // a font that cannot be made
  kWatermarkImage,  // no file, or an empty one
  kFilenameMask,    // empty, or leading out of the output folder
};

// How a console option (and the profile key of the same name) reads its value.
enum class OptionValue {
  kNone,     // takes no value (switches)
  kText,     // stored unchanged
  kInteger,  // ReadInteger
  kDecimal,  // ReadDecimal
  kKeyword,  // KeywordToValue of the option's kind, blanks trimmed
  kFlag,     // stores the option's fixed value; any value text is ignored
};

// How the console's debug listing shows a value.
enum class DebugShow {
  kNumber,       // decimal
  kText,         // as stored
  kKeyword,      // the keyword of `keyword_kind`
  kCompression,  // the compression keyword of the row's format
  kHundredths,   // two decimals
};

// The control of a setting's row in the preferences dialog.
enum class RowKind {
  kNone,          // the dialog does not show the setting
  kList,          // drop-down list, index = value
  kCheck,         // check box, 0 or 1
  kNumber,        // digits-only field with a unit list
  kSlider,        // slider with a number box
  kColourButton,  // colour button with the colour as RRGGBB beside it
  kColourList,    // list of colour swatches with a "..." button
  kText,          // text field
  kImagePath,     // text field with a "..." file picker
  kFontList,      // list of font names with a "..." font picker
  kDate,          // date and time
  kDepthList,     // "Auto" and the format's depths
  kInputFormat,   // the program's input formats
  kOutputFormat,  // the program's output formats
  kTheme,         // installed themes
  kLanguage,      // one entry, "English"
};

enum class RowScale {
  kPlain,       // slider position = number = value
  kShifted,     // slider position = value + 100
  kHundredths,  // slider position = value x 100; the number shows two decimals
};

// A setting's row in the preferences dialog, on the page of its group. Texts
// are keys of the catalogue group Preferences.
struct DialogRow {
  RowKind kind = RowKind::kNone;
  std::string_view caption;
  // "frame", "text" or "image" for the solid-frame and the two watermark
  // areas; a per-format key's row sits in its format's pane instead.
  std::string_view area;
  std::span<const char* const> items;  // list entries
  RowScale scale = RowScale::kPlain;
  std::string_view unit;      // number rows: the one unit
  std::string_view unit_key;  // or the setting of a pixels/percent unit list
  std::string_view list_key;  // colour and font lists: the setting that lists them
};

struct SettingField {
  std::string_view group;  // "Output"
  std::string_view key;    // "JPG Quality"
  // The format a per-format key of the Input or Output group belongs to
  // (lower-case extension: "jpg", "tiff", "raw"); empty for every other key.
  std::string_view format;
  SettingRef (*ref)(Settings&);

  SettingRange range;
  SettingRefusal refuse = SettingRefusal::kNever;

  // The console option that sets it ("--JPG-QUALITY"); empty when none does.
  std::string_view option;
  OptionValue value = OptionValue::kNone;
  int keyword_kind = -1;  // the keyword list of option values and debug lines
  int32_t flag_value = 0;
  // A field of the same group the option sets to `switch_value` as well
  // ("--WIDTH" switches resizing on); empty when none.
  std::string_view switches;
  int32_t switch_value = 0;

  // The debug line's label ("JPG Chroma Subsampling"); empty when the setting
  // is not listed. A joined key adds that setting's value to the same line
  // after `joiner` ("Width: 800 PIXELS").
  std::string_view debug;
  DebugShow show = DebugShow::kNumber;
  std::string_view joined;
  std::string_view joiner;
  // A setting of the same group that must equal `gate_value` (any value but
  // 0 for kGateOn) for this one to be in use: listed, checked, shown.
  std::string_view gate;
  int32_t gate_value = 0;

  DialogRow row;
};

inline constexpr int32_t kGateOn = -2147483647 - 1;

// Every field, in file order.
std::span<const SettingField> SettingFields();

// The field of group/key (names matched without regard to case), or nullptr.
const SettingField* FindSettingField(std::string_view group, std::string_view key);

SettingType TypeOfSetting(const SettingField& field);

// The value as the preferences file writes it.
std::string SettingText(const Settings& settings, const SettingField& field);
// Stores a value text by the reading rules of the preferences file: integers
// take the leading decimal number (saturated to the field's range), the float
// decimal notation, strings the text as it is.
void SetSettingFromText(Settings* settings, const SettingField& field, std::string_view text);

// Integer view of a numeric field (the float is rounded to the nearest
// integer); 0 for a string field.
int64_t SettingInt(const Settings& settings, const SettingField& field);
// Stores an integer into a numeric field, saturated to its range; ignored for
// a string field.
void SetSettingInt(Settings* settings, const SettingField& field, int64_t value);

// The value held at the nearer end of the field's range (nothing changes for
// a field without one; a float that is not a number becomes the lower end).
void ClampSetting(Settings* settings, const SettingField& field);

// Whether the field is in use: its gate holds, and a per-format field
// belongs to the chosen input or output format.
bool SettingInUse(const Settings& settings, const SettingField& field);

// The field of a console option ("--JPG-QUALITY", upper case), or nullptr.
const SettingField* FindOptionField(std::string_view option);

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_SETTINGS_FIELDS_H_
