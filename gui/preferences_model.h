// The preferences dialog without its widgets. The dialog edits a draft copy
// of the settings; every control reads its value from the draft and writes it
// back through the row table and the functions below. OK checks the draft and
// commits it into the live record, Cancel drops it. What the main window must
// rebuild afterwards comes back as a InterfaceChanges record.
#ifndef PIC2JPG_GUI_PREFERENCES_MODEL_H_
#define PIC2JPG_GUI_PREFERENCES_MODEL_H_

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings_check.h"
#include "gui/main_window_model.h"
#include "settings/settings.h"
#include "settings/settings_fields.h"

namespace pic2jpg {

// General, Interface, Input, Output, Transform, Adjustment, Frame, Watermark,
// Advanced: each page edits the settings group of its own name.
inline constexpr int kPreferencesPageCount = 9;
inline constexpr int kOutputPage = 3;
std::string_view PreferencesPageKey(int page);

enum class RowKind {
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

// Colours: red + 256 x green + 65536 x blue.
bool IsHexColour(std::string_view text);
std::string ColourToHex(uint32_t colour);
// The colour of an RRGGBB text, read as the conversion reads it
// (ParseHexColour).
uint32_t ColourOfHex(std::string_view hex);
// The catalogue name of one of 19 named colours, else "Color #RRGGBB".
std::string ColourName(std::string_view hex);
// Pixels of a swatch, three bytes (red, green, blue) each, row by row.
std::vector<uint8_t> ColourSwatch(uint32_t colour, int width, int height);

struct ColourItem {
  std::string name;
  uint32_t colour = 0;
};
// The entries of a comma-separated colour list; malformed entries are left
// out, and so are repeats.
std::vector<ColourItem> FillColourList(std::string_view colours);
// Position of the setting's colour in the list, or -1.
int ColourListSelection(const std::vector<ColourItem>& items, std::string_view hex);
// Appends the colour to a colour-list setting unless it is already there;
// true when appended.
bool AddCustomColour(std::string* list_setting, uint32_t colour);

// The font list: the trimmed names of Watermark/Fonts (Watermark/Font when
// it is empty), and the current font at the end when it is not among them.
std::vector<std::string> FillFontList(std::string_view fonts, std::string_view font);
// The name a font picker's choice is kept under (commas removed, trimmed).
std::string CleanFontName(std::string_view name);
// Appends a name to a font-list setting unless it is already there; true
// when appended.
bool AddFontName(std::string* fonts_setting, std::string_view name);

struct ThemeItem {
  std::string id;    // package name; "" for the lone "None" entry
  std::string text;  // what the list shows
};
// Installed themes with a display name, by id ignoring case; one "None"
// entry when there are none.
std::vector<ThemeItem> FillThemeList(const std::map<std::string, std::string>& themes);
// Position of the theme, else 0.
int ThemeListSelection(const std::vector<ThemeItem>& items, std::string_view theme);

struct DepthList {
  std::vector<std::string> items;  // "Auto", then the allowed depths
  int selection = -1;              // -1 for a depth the format does not take
};
DepthList FillDepthList(const std::string& extension, int depth);
// The depth stored for a list position (0 for "Auto" or no selection).
int DepthOfChoice(const std::string& extension, int selection);

// The page to open on (0..8), and back to 0 for the next opening.
// The page the next opening shows (the output-format button asks for the
// Output page); taken once, then General again.
void SetPreferencesStartPage(int page);
int TakePreferencesStartPage();

// Timestamps (seconds since 1970 in local time) and their calendar fields.
struct DateFields {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;
};
DateFields TimestampFields(int32_t timestamp);
// Clamped to 1970-01-01 00:00 .. the last minute an int32 holds.
int32_t TimestampOfFields(const DateFields& fields);

// Whether brightness, contrast, gamma or invert change the picture.
bool ColourCorrectionNeeded(const AdjustmentSettings& adjustment);

// The desktop's message for what CheckSettings refuses: the catalogue's
// text, or the console's line for a value the dialog cannot produce.
std::string SettingsProblemText(const SettingsProblem& problem);
// The page that edits a settings group; -1 for a group no page edits.
int PreferencesPageOf(std::string_view group);
// The message for an empty digit field.
std::string EmptyFieldMessage();

// Every depth a format does not take becomes Auto (0), as the dialog shows
// it: after loading the preferences file and on OK.
void DepthsToAuto(Settings* settings);

// OK: the draft's derived values are set (language "en", the colour
// correction flag, depths the format does not take become Auto, colours
// become six upper-case digits, a malformed one black) and it
// replaces the live record, except what the dialog does not edit (window
// geometry, update date, folder history). Check first.
InterfaceChanges CommitPreferences(const Settings& draft, Settings* live);
// Defaults: every setting of g_settings back to its desktop default; the
// output folder history is kept.
InterfaceChanges ResetPreferencesToDefaults();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_PREFERENCES_MODEL_H_
