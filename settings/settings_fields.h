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
using SettingRef = std::variant<int8_t*, int32_t*, float*, std::string*>;

struct SettingField {
  std::string_view group;  // "Output"
  std::string_view key;    // "JPG Quality"
  // The format a per-format key of the Input or Output group belongs to
  // (lower-case extension: "jpg", "tiff", "raw"); empty for every other key.
  std::string_view format;
  SettingRef (*ref)(Settings&);
};

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

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_SETTINGS_FIELDS_H_
