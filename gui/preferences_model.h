// The preferences dialog without its widgets. The dialog edits a draft copy
// of the settings; every control reads its value from the draft and writes it
// back through the row table and the functions below. OK checks the draft
// and commits it into the live record (preferences_commit.h), Cancel drops
// it.
#ifndef PIC2JPG_GUI_PREFERENCES_MODEL_H_
#define PIC2JPG_GUI_PREFERENCES_MODEL_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_fields.h"

namespace pic2jpg {

// General, Interface, Input, Output, Transform, Adjustment, Frame, Watermark,
// Advanced: each page edits the settings group of its own name.
inline constexpr int kPreferencesPageCount = 9;
inline constexpr int kOutputPage = 3;
std::string_view PreferencesPageKey(int page);
// The page that edits a settings group; -1 for a group no page edits.
int PreferencesPageOf(std::string_view group);

struct PreferencesRow {
  int page = 0;
  // "" for the page itself; a format's pane ("jpg", "raw"); "frame", "text"
  // or "image" for the solid-frame and the two watermark areas.
  std::string_view area;
  std::string_view caption;  // key in the catalogue group Preferences
  RowKind kind = RowKind::kList;
  std::string_view key;                // setting key in the page's group; "" when not stored
  std::span<const char* const> items;  // list entries, catalogue keys
  int min = 0;                         // range of numbers and sliders as shown
  int max = 0;
  RowScale scale = RowScale::kPlain;
  std::string_view unit;      // number rows: catalogue key of the one unit
  std::string_view unit_key;  // or the setting of a pixels/percent unit list
  std::string_view list_key;  // colour and font lists: the setting that lists them
};

// Every row of every page, pane and area, in page order and row order.
std::span<const PreferencesRow> PreferencesRows();
// The row that edits group/key (names as in the settings table), or nullptr.
const PreferencesRow* FindPreferencesRow(std::string_view group, std::string_view key);
// The setting a row edits; nullptr for a row that stores nothing.
const SettingField* RowField(const PreferencesRow& row);

// Numeric value of a row as the user sees it: the list position, 0 or 1, the
// number (gamma in hundredths); 0 for text rows.
int64_t RowValue(const PreferencesRow& row, const Settings& settings);
// Stores a value as the user sees it, clamped to the row's range.
void SetRowValue(const PreferencesRow& row, int64_t value, Settings* settings);
// Text rows (text, image, colours, font, formats, theme): the stored text.
std::string RowText(const PreferencesRow& row, const Settings& settings);
// Stores a text; text and image fields go through CleanTextField.
void SetRowText(const PreferencesRow& row, const std::string& text, Settings* settings);

// Slider rows: the slider's position for a value and back.
int SliderPosition(const PreferencesRow& row, int64_t value);
int64_t ValueOfSliderPosition(const PreferencesRow& row, int position);
// The number box's or digit field's text of a value ("2.50" for gamma).
std::string NumberText(const PreferencesRow& row, int64_t value);
// The value a typed text gives, clamped to the row's range; nullopt when the
// text holds no number at all (an empty field).
std::optional<int64_t> ValueOfNumberText(const PreferencesRow& row, std::string_view text);

// Enabling and visibility rules, from the draft.
bool RowEnabled(const PreferencesRow& row, const Settings& draft);
bool RowVisible(const PreferencesRow& row, const Settings& draft);
bool AreaVisible(int page, std::string_view area, const Settings& draft);

// Text fields: empty stays empty; otherwise blanks at both ends go, and every
// tab, carriage return and line feed; at most kMaxTextFieldBytes remain
// (cut at a character boundary).
inline constexpr size_t kMaxTextFieldBytes = 1024;
std::string CleanTextField(std::string_view text);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_PREFERENCES_MODEL_H_
