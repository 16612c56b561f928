// The controls of one preferences row, by kind, each loaded from the draft
// and writing back into it through the row table.
#include <wx/bmpbuttn.h>
#include <wx/bmpcbox.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/timectrl.h>
#include <wx/valtext.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "gui/calendar_fields.h"
#include "gui/choice_lists.h"
#include "gui/colour_choices.h"
#include "gui/font_choices.h"
#include "gui/image_maps.h"
#include "gui/main_window_ui.h"
#include "gui/preferences_dialog_ui.h"
#include "gui/preferences_ui.h"
#include "gui/themes.h"
#include "platform/clock.h"
#include "platform/font_config.h"
#include "settings/main_formats.h"
#include "text/ascii_case.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

// A date setting's range: 1970 up to the last second a 32-bit count holds.
int32_t ToInt32(int64_t seconds) {
  return static_cast<int32_t>(std::clamp<int64_t>(seconds, 0, INT32_MAX));
}

wxBitmap SwatchBitmap(uint32_t colour, int width, int height) {
  std::vector<uint8_t> pixels = ColourSwatch(colour, width, height);
  // wxImage takes ownership of malloc'ed data; give it a copy it can free.
  auto* data = static_cast<unsigned char*>(malloc(pixels.size()));
  std::copy(pixels.begin(), pixels.end(), data);
  return wxBitmap(wxImage(width, height, data));
}

std::string Name(const PreferencesRow& row) {
  return std::string(PreferencesPageKey(row.page)) + "/" + std::string(row.key);
}

constexpr int kControlWidth = 240;

wxBitmap NewIcon() {
  auto found = g_icon_image_map.find("New");
  return ImageBitmap(found == g_icon_image_map.end() ? -1 : found->second, 16);
}

wxChoice* ListControl(wxWindow* parent, const PreferencesRow& row, int width = kControlWidth) {
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxSize(width, -1));
  for (const char* item : row.items) list->Append(PreferencesText(item));
  return list;
}

void SelectOrNothing(wxChoice* list, int64_t index) {
  list->SetSelection(index >= 0 && index < list->GetCount() ? static_cast<int>(index)
                                                            : wxNOT_FOUND);
}

wxButton* PickButton(wxWindow* parent, const PreferencesRow& row) {
  auto* button =
      new wxButton(parent, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  button->SetName(Name(row) + "/pick");
  return button;
}

// What a row's builder works with: the dialog and its draft, the row, the
// panel its controls go on, the row's bound controls and what to call when a
// value changes.
struct RowContext {
  PreferencesDialog* dialog;
  Settings* draft;
  const PreferencesRow* row;
  wxWindow* parent;
  BoundRow* bound;
  wxBoxSizer* box;
  const std::function<void()>& changed;
  std::string name;
};

// Puts a control on the row's line.
void Add(const RowContext& c, wxWindow* control, int proportion = 0) {
  c.box->Add(control, proportion, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  c.bound->controls.push_back(control);
}

void BuildLanguageRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxSize(kControlWidth, -1));
  list->Append("English");
  list->SetSelection(0);
  list->SetName("General/Language");
  Add(c, list);
}

void BuildListRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::function<void()>& changed = c.changed;
  const std::string& name = c.name;
  wxChoice* list = ListControl(parent, row);
  list->SetName(name);
  if (row.key.empty()) {
    list->SetSelection(0);  // shown only, nothing to store
  } else {
    SelectOrNothing(list, RowValue(row, *draft));
  }
  list->Bind(wxEVT_CHOICE, [list, r, draft, changed](wxCommandEvent&) {
    if (list->GetSelection() == wxNOT_FOUND) return;
    SetRowValue(*r, list->GetSelection(), draft);
    changed();
  });
  Add(c, list);
}

void BuildCheckRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::function<void()>& changed = c.changed;
  const std::string& name = c.name;
  auto* check = new wxCheckBox(parent, wxID_ANY, "");
  check->SetName(name);
  check->SetValue(RowValue(row, *draft) != 0);
  check->Bind(wxEVT_CHECKBOX, [check, r, draft, changed](wxCommandEvent&) {
    SetRowValue(*r, check->GetValue() ? 1 : 0, draft);
    changed();
  });
  Add(c, check);
}

void BuildNumberRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  auto* field =
      new wxTextCtrl(parent, wxID_ANY, Utf8(NumberText(row, RowValue(row, *draft))),
                     wxDefaultPosition, wxSize(160, -1), 0, wxTextValidator(wxFILTER_DIGITS));
  field->SetName(name);
  field->SetMaxLength(6);
  field->Bind(wxEVT_TEXT, [field, r, draft](wxCommandEvent&) {
    const std::optional<int64_t> value = ValueOfNumberText(*r, field->GetValue().utf8_string());
    if (value) SetRowValue(*r, *value, draft);
  });
  // Out-of-range digits show their clamped value once the field is left.
  field->Bind(wxEVT_KILL_FOCUS, [field, r, draft](wxFocusEvent& event) {
    event.Skip();
    if (ValueOfNumberText(*r, field->GetValue().utf8_string())) {
      field->ChangeValue(Utf8(NumberText(*r, RowValue(*r, *draft))));
    }
  });
  c.bound->digits = field;
  Add(c, field);
  auto* unit = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxSize(90, -1));
  unit->SetName(name + "/unit");
  if (row.unit_key.empty()) {
    unit->Append(PreferencesText(row.unit));
    unit->SetSelection(0);
  } else {
    unit->Append(PreferencesText("Pixels"));
    unit->Append(PreferencesText("Percent"));
    const SettingField* unit_field = FindSettingField(PreferencesPageKey(row.page), row.unit_key);
    SelectOrNothing(unit, SettingInt(*draft, *unit_field));
    unit->Bind(wxEVT_CHOICE, [unit, unit_field, draft](wxCommandEvent&) {
      if (unit->GetSelection() != wxNOT_FOUND) {
        SetSettingInt(draft, *unit_field, unit->GetSelection());
      }
    });
  }
  Add(c, unit);
}

void BuildSliderRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  const int64_t value = RowValue(row, *draft);
  const int low = SliderPosition(row, row.min);
  const int high = SliderPosition(row, row.max);
  auto* slider = new wxSlider(parent, wxID_ANY, SliderPosition(row, value), low, high,
                              wxDefaultPosition, wxSize(170, -1));
  slider->SetName(name + "/slider");
  Add(c, slider);
  if (row.scale == RowScale::kHundredths) {
    auto* number =
        new wxSpinCtrlDouble(parent, wxID_ANY, Utf8(NumberText(row, value)), wxDefaultPosition,
                             wxSize(130, -1), wxSP_ARROW_KEYS, row.min / 100.0, row.max / 100.0,
                             static_cast<double>(value) / 100.0, 0.01);
    number->SetDigits(2);
    number->SetName(name);
    auto from_text = [number, slider, r, draft](const std::string& text) {
      const std::optional<int64_t> typed = ValueOfNumberText(*r, text);
      if (!typed) return;
      SetRowValue(*r, *typed, draft);
      slider->SetValue(SliderPosition(*r, *typed));
    };
    number->Bind(wxEVT_TEXT, [from_text](wxCommandEvent& event) {
      from_text(event.GetString().utf8_string());
    });
    number->Bind(wxEVT_SPINCTRLDOUBLE, [number, from_text](wxSpinDoubleEvent&) {
      from_text(number->GetTextValue().utf8_string());
    });
    slider->Bind(wxEVT_SLIDER, [number, slider, r, draft](wxCommandEvent&) {
      const int64_t moved = ValueOfSliderPosition(*r, slider->GetValue());
      SetRowValue(*r, moved, draft);
      number->SetValue(static_cast<double>(moved) / 100.0);
    });
    Add(c, number);
  } else {
    auto* number =
        new wxSpinCtrl(parent, wxID_ANY, Utf8(NumberText(row, value)), wxDefaultPosition,
                       wxSize(130, -1), wxSP_ARROW_KEYS, row.min, row.max, static_cast<int>(value));
    number->SetName(name);
    auto from_text = [slider, r, draft](const std::string& text) {
      const std::optional<int64_t> typed = ValueOfNumberText(*r, text);
      if (!typed) return;
      SetRowValue(*r, *typed, draft);
      slider->SetValue(SliderPosition(*r, *typed));
    };
    number->Bind(wxEVT_TEXT, [from_text](wxCommandEvent& event) {
      from_text(event.GetString().utf8_string());
    });
    number->Bind(wxEVT_SPINCTRL, [number, from_text](wxSpinEvent&) {
      from_text(std::to_string(number->GetValue()));
    });
    slider->Bind(wxEVT_SLIDER, [number, slider, r, draft](wxCommandEvent&) {
      const int64_t moved = ValueOfSliderPosition(*r, slider->GetValue());
      SetRowValue(*r, moved, draft);
      number->SetValue(static_cast<int>(moved));
    });
    Add(c, number);
  }
}

void BuildColourButtonRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  const std::string hex = RowText(row, *draft);
  auto* button = new wxBitmapButton(parent, wxID_ANY, SwatchBitmap(ColourOfHex(hex), 34, 12));
  button->SetName(name + "/pick");
  auto* field = new wxTextCtrl(parent, wxID_ANY, Utf8(ColourToHex(ColourOfHex(hex))),
                               wxDefaultPosition, wxSize(120, -1), wxTE_READONLY);
  field->SetName(name);
  button->Bind(wxEVT_BUTTON, [button, field, r, draft](wxCommandEvent&) {
    const uint32_t current = ColourOfHex(field->GetValue().utf8_string());
    const std::optional<uint32_t> chosen = g_preferences_prompts.pick_colour(current);
    if (!chosen || (*chosen & 0xFFFFFFu) == current) return;
    const std::string picked = ColourToHex(*chosen);
    SetRowText(*r, picked, draft);
    field->ChangeValue(Utf8(picked));
    button->SetBitmap(SwatchBitmap(ColourOfHex(picked), 34, 12));
  });
  Add(c, button);
  Add(c, field);
}

void BuildColourListRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  auto* list = new wxBitmapComboBox(parent, wxID_ANY, "", wxDefaultPosition,
                                    wxSize(kControlWidth - 30, -1), 0, nullptr, wxCB_READONLY);
  list->SetName(name);
  const SettingField* list_field = FindSettingField(PreferencesPageKey(row.page), row.list_key);
  auto items = std::make_shared<std::vector<ColourItem>>();
  auto fill = [list, items, list_field, r, draft] {
    *items = FillColourList(SettingText(*draft, *list_field));
    list->Clear();
    for (const ColourItem& item : *items) {
      list->Append(Utf8(item.name), SwatchBitmap(item.colour, 16, 16));
    }
    const int selection = ColourListSelection(*items, RowText(*r, *draft));
    if (selection >= 0) list->SetSelection(selection);
  };
  fill();
  list->Bind(wxEVT_COMBOBOX, [list, items, r, draft](wxCommandEvent&) {
    const int selection = list->GetSelection();
    if (selection < 0 || static_cast<size_t>(selection) >= items->size()) return;
    SetRowText(*r, ColourToHex((*items)[static_cast<size_t>(selection)].colour), draft);
  });
  wxButton* pick = PickButton(parent, row);
  pick->Bind(wxEVT_BUTTON, [list, items, fill, list_field, r, draft](wxCommandEvent&) {
    const int selection = list->GetSelection();
    const uint32_t current = selection >= 0 && static_cast<size_t>(selection) < items->size()
                                 ? (*items)[static_cast<size_t>(selection)].colour
                                 : 0;
    const std::optional<uint32_t> chosen = g_preferences_prompts.pick_colour(current);
    if (!chosen) return;
    // The list of offered colours keeps the addition even when the
    // dialog is cancelled.
    std::string offered = SettingText(*draft, *list_field);
    if (AddCustomColour(&offered, *chosen)) {
      SetSettingFromText(draft, *list_field, offered);
      std::string live = SettingText(g_settings, *list_field);
      AddCustomColour(&live, *chosen);
      SetSettingFromText(&g_settings, *list_field, live);
    }
    SetRowText(*r, ColourToHex(*chosen), draft);
    fill();
  });
  Add(c, list);
  Add(c, pick);
}

void BuildTextRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  auto* field = new wxTextCtrl(parent, wxID_ANY, Utf8(RowText(row, *draft)), wxDefaultPosition,
                               wxSize(row.kind == RowKind::kText ? kControlWidth : 210, -1));
  field->SetName(name);
  field->SetMaxLength(static_cast<unsigned long>(kMaxTextFieldBytes));
  field->Bind(wxEVT_TEXT, [field, r, draft](wxCommandEvent&) {
    SetRowText(*r, field->GetValue().utf8_string(), draft);
  });
  Add(c, field);
  if (row.kind == RowKind::kImagePath) {
    wxButton* pick = PickButton(parent, row);
    pick->Bind(wxEVT_BUTTON, [field](wxCommandEvent&) {
      const std::optional<std::string> chosen =
          g_preferences_prompts.pick_image(CleanTextField(field->GetValue().utf8_string()));
      if (chosen) field->SetValue(Utf8(*chosen));
    });
    Add(c, pick);
  }
}

void BuildFontListRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  PreferencesDialog* dialog = c.dialog;
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxSize(210, -1));
  list->SetName(name);
  const SettingField* list_field = FindSettingField(PreferencesPageKey(row.page), row.list_key);
  auto fill = [list, list_field, r, draft] {
    list->Clear();
    const std::string current = RowText(*r, *draft);
    for (const std::string& font : FillFontList(SettingText(*draft, *list_field), current)) {
      list->Append(Utf8(font));
      if (font == current) list->SetSelection(static_cast<int>(list->GetCount()) - 1);
    }
  };
  fill();
  list->Bind(wxEVT_CHOICE, [list, r, draft](wxCommandEvent&) {
    if (list->GetSelection() != wxNOT_FOUND) {
      SetRowText(*r, list->GetStringSelection().utf8_string(), draft);
    }
  });
  wxButton* pick = PickButton(parent, row);
  pick->Bind(wxEVT_BUTTON, [dialog, fill, list_field, r, draft](wxCommandEvent&) {
    const std::optional<FontChoice> chosen =
        g_preferences_prompts.pick_font(RowText(*r, *draft), draft->watermark.font_size);
    if (!chosen) return;
    const std::string font = CleanFontName(chosen->name);
    if (font.empty() || !platform::FontFamilyAvailable(font)) {
      MainPrompter().warn(FillPlaceholders(GetText("Msg", "Invalid watermark font"), font));
      return;
    }
    std::string offered = SettingText(*draft, *list_field);
    if (AddFontName(&offered, font)) {
      SetSettingFromText(draft, *list_field, offered);
      std::string live = SettingText(g_settings, *list_field);
      AddFontName(&live, font);
      SetSettingFromText(&g_settings, *list_field, live);
    }
    SetRowText(*r, font, draft);
    fill();
    // The size and style the picker chose go to their rows.
    for (BoundRow& other : dialog->rows) {
      if (other.row->key == "Font Size" && other.digits != nullptr && chosen->points > 0) {
        other.digits->SetValue(std::to_string(chosen->points));
      }
      if (other.row->key == "Font Style" && !other.controls.empty()) {
        auto* style = static_cast<wxChoice*>(other.controls[0]);
        style->SetSelection(std::clamp(chosen->style, 0, 3));
        SetRowValue(*other.row, style->GetSelection(), draft);
      }
    }
  });
  Add(c, list);
  Add(c, pick);
}

void BuildDateRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  // The setting counts UTC seconds; the pickers show and take local time.
  const DateFields fields =
      TimestampFields(ToInt32(platform::UtcToLocalSeconds(RowValue(row, *draft))));
  const wxDateTime when(static_cast<wxDateTime::wxDateTime_t>(fields.day),
                        static_cast<wxDateTime::Month>(fields.month - 1), fields.year,
                        static_cast<wxDateTime::wxDateTime_t>(fields.hour),
                        static_cast<wxDateTime::wxDateTime_t>(fields.minute));
  auto* date = new wxDatePickerCtrl(parent, wxID_ANY, when, wxDefaultPosition, wxDefaultSize,
                                    wxDP_DROPDOWN | wxDP_SHOWCENTURY);
  date->SetRange(wxDateTime(1, wxDateTime::Jan, 1970), wxDateTime(18, wxDateTime::Jan, 2038));
  date->SetName(name);
  auto* time = new wxTimePickerCtrl(parent, wxID_ANY, when);
  time->SetName(name + "/time");
  auto store = [date, time, r, draft] {
    const wxDateTime day = date->GetValue();
    const wxDateTime clock = time->GetValue();
    if (!day.IsValid() || !clock.IsValid()) return;
    DateFields picked;
    picked.year = day.GetYear();
    picked.month = static_cast<int>(day.GetMonth()) + 1;
    picked.day = day.GetDay();
    picked.hour = clock.GetHour();
    picked.minute = clock.GetMinute();
    SetRowValue(*r, ToInt32(platform::LocalSecondsToUtc(TimestampOfFields(picked))), draft);
  };
  date->Bind(wxEVT_DATE_CHANGED, [store](wxDateEvent&) { store(); });
  time->Bind(wxEVT_TIME_CHANGED, [store](wxDateEvent&) { store(); });
  Add(c, date);
  Add(c, time);
}

void BuildDepthListRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  const std::string extension(row.area);
  const DepthList depths = FillDepthList(extension, static_cast<int>(RowValue(row, *draft)));
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxSize(kControlWidth, -1));
  list->SetName(name);
  for (const std::string& item : depths.items) {
    list->Append(item == "Auto" ? PreferencesText("Auto") : Utf8(item));
  }
  list->SetSelection(depths.selection);
  list->Bind(wxEVT_CHOICE, [list, extension, r, draft](wxCommandEvent&) {
    SetRowValue(*r, DepthOfChoice(extension, list->GetSelection()), draft);
  });
  Add(c, list);
}

void BuildFormatListRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::function<void()>& changed = c.changed;
  const std::string& name = c.name;
  const auto& formats = row.kind == RowKind::kInputFormat ? kMainInputFormats : kMainOutputFormats;
  auto* list = new wxBitmapComboBox(parent, wxID_ANY, "", wxDefaultPosition,
                                    wxSize(kControlWidth, -1), 0, nullptr, wxCB_READONLY);
  list->SetName(name);
  const std::string current = RowText(row, *draft);
  for (intptr_t i = 0; i < 2; ++i) {
    if (formats[i][0] == '\0') continue;
    list->Append(Utf8(UpperAscii(formats[i])), NewIcon(), reinterpret_cast<void*>(i));
    if (current == formats[i]) list->SetSelection(static_cast<int>(list->GetCount()) - 1);
  }
  if (list->GetSelection() == wxNOT_FOUND && list->GetCount() > 0) list->SetSelection(0);
  list->Bind(wxEVT_COMBOBOX, [list, &formats, r, draft, changed](wxCommandEvent&) {
    const int selection = list->GetSelection();
    if (selection == wxNOT_FOUND) return;
    const auto index =
        reinterpret_cast<intptr_t>(list->GetClientData(static_cast<unsigned>(selection)));
    SetRowText(*r, formats[index == 1 ? 1 : 0], draft);
    changed();
  });
  Add(c, list);
}

void BuildThemeRow(const RowContext& c) {
  wxWindow* parent = c.parent;
  const PreferencesRow& row = *c.row;
  const PreferencesRow* r = c.row;
  Settings* draft = c.draft;
  const std::string& name = c.name;
  auto items = std::make_shared<std::vector<ThemeItem>>(FillThemeList(g_themes));
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxSize(kControlWidth, -1));
  list->SetName(name);
  for (const ThemeItem& item : *items) list->Append(Utf8(item.text));
  const int selection = ThemeListSelection(*items, RowText(row, *draft));
  list->SetSelection(selection);
  // What the list shows is what OK stores; "None" stores nothing.
  if (!(*items)[static_cast<size_t>(selection)].id.empty()) {
    SetRowText(row, (*items)[static_cast<size_t>(selection)].id, draft);
  }
  list->Bind(wxEVT_CHOICE, [list, items, r, draft](wxCommandEvent&) {
    const int chosen = list->GetSelection();
    if (chosen < 0 || static_cast<size_t>(chosen) >= items->size()) return;
    const std::string& id = (*items)[static_cast<size_t>(chosen)].id;
    if (!id.empty()) SetRowText(*r, id, draft);
  });
  Add(c, list);
}

}  // namespace

wxString PreferencesText(std::string_view key) { return Utf8(GetText("Preferences", key)); }

void BuildPreferencesRow(PreferencesDialog* dialog, const PreferencesRow& row, wxWindow* parent,
                         wxFlexGridSizer* grid, const std::function<void()>& changed) {
  BoundRow bound;
  bound.row = &row;
  bound.label = new wxStaticText(parent, wxID_ANY, PreferencesText(row.caption));
  bound.label->SetMinSize(wxSize(dialog->label_width, -1));
  auto* box = new wxBoxSizer(wxHORIZONTAL);
  const RowContext c{dialog, &dialog->draft, &row, parent, &bound, box, changed, Name(row)};
  switch (row.kind) {
    case RowKind::kLanguage:
      BuildLanguageRow(c);
      break;
    case RowKind::kList:
      BuildListRow(c);
      break;
    case RowKind::kCheck:
      BuildCheckRow(c);
      break;
    case RowKind::kNumber:
      BuildNumberRow(c);
      break;
    case RowKind::kSlider:
      BuildSliderRow(c);
      break;
    case RowKind::kColourButton:
      BuildColourButtonRow(c);
      break;
    case RowKind::kColourList:
      BuildColourListRow(c);
      break;
    case RowKind::kText:
    case RowKind::kImagePath:
      BuildTextRow(c);
      break;
    case RowKind::kFontList:
      BuildFontListRow(c);
      break;
    case RowKind::kDate:
      BuildDateRow(c);
      break;
    case RowKind::kDepthList:
      BuildDepthListRow(c);
      break;
    case RowKind::kInputFormat:
    case RowKind::kOutputFormat:
      BuildFormatListRow(c);
      break;
    case RowKind::kTheme:
      BuildThemeRow(c);
      break;
  }
  grid->Add(bound.label, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 10);
  grid->Add(box, 0, wxALIGN_CENTER_VERTICAL | wxEXPAND);
  dialog->rows.push_back(std::move(bound));
}

}  // namespace pic2jpg
