#include "gui/preferences_commit.h"

#include "engine/format_tables.h"
#include "engine/run_setup.h"
#include "gui/colour_choices.h"
#include "gui/preferences_model.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"

namespace pic2jpg {
bool ColourCorrectionNeeded(const AdjustmentSettings& adjustment) {
  return adjustment.image_brightness != 0 || adjustment.image_contrast != 0 ||
         adjustment.image_gamma != 1.0f || adjustment.image_invert != 0;
}

void DepthsToAuto(Settings* settings) {
  for (const SettingField& field : SettingFields()) {
    if (field.refuse != SettingRefusal::kDepth) continue;
    const int depth = static_cast<int>(SettingInt(*settings, field));
    if (!IsDepthAllowed(std::string(field.format), depth)) SetSettingInt(settings, field, 0);
  }
}

InterfaceChanges CommitPreferences(const Settings& draft, Settings* live) {
  Settings next = draft;
  next.general.language = "en";
  next.adjustment.do_image_color_correction = ColourCorrectionNeeded(next.adjustment) ? 1 : 0;
  DepthsToAuto(&next);
  // Colours as RRGGBB: a malformed colour from a hand-edited file is stored
  // as the conversion would have drawn it.
  for (const PreferencesRow& row : PreferencesRows()) {
    if (row.kind == RowKind::kColourButton || row.kind == RowKind::kColourList) {
      SetRowText(row, ColourToHex(ColourOfHex(RowText(row, next))), &next);
    }
  }
  // What the dialog does not edit stays as the live record has it.
  next.general.cfg = live->general.cfg;
  next.general.update_date = live->general.update_date;
  next.window = live->window;
  next.file = live->file;
  const InterfaceChanges changes = CompareInterface(*live, next);
  *live = std::move(next);
  return changes;
}

InterfaceChanges ResetPreferencesToDefaults() {
  const Settings before = g_settings;
  ApplyDefaultSettings(false);
  g_settings.file = before.file;
  return CompareInterface(before, g_settings);
}

}  // namespace pic2jpg
