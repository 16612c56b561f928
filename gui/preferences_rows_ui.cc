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
#include "gui/text_sizes_ui.h"
#include "gui/theme_colours.h"
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
  FrameSwatch(&pixels, width, height);
  // wxImage takes ownership of malloc'ed data; give it a copy it can free.
  auto* data = static_cast<unsigned char*>(malloc(pixels.size()));
  std::copy(pixels.begin(), pixels.end(), data);
  return wxBitmap(wxImage(width, height, data));
}

std::string Name(const PreferencesRow& row) {
  return std::string(PreferencesPageKey(row.page)) + "/" + std::string(row.key);
}

// The least width of a row's main control, in characters; the control
// stretches to the common right edge of the page's rows.
constexpr int kControlChars = 24;

// The size of a row's main control, `narrower` characters less where a
// button follows it.
wxSize MainControlSize(wxWindow* parent, int narrower = 0) {
  return wxSize(CharsWide(parent, kControlChars - narrower), -1);
}

wxBitmap NewIcon() {
  auto found = g_icon_image_map.find("New");
  return ImageBitmap(found == g_icon_image_map.end() ? -1 : found->second, 16);
}

wxChoice* ListControl(wxWindow* parent, const PreferencesRow& row) {
  auto* list = new wxChoice(parent, wxID_ANY, wxDefaultPosition, MainControlSize(parent));
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
  // Square, as high as the field beside it (GiveTextRoomInFields).
  button->SetMinSize(
      wxSize(std::max(button->GetBestSize().GetWidth(), RoomyFieldHeight(button)), -1));
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
  std::function<void()> changed;
  std::string name;
};

// Puts a control on the row's line; the main control of a row stretches
// (proportion 1), so that the rows' right edges line up.
void Add(const RowContext& c, wxWindow* control, int proportion = 0) {
  c.box->Add(control, proportion, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  c.bound->controls.push_back(control);
}

void BuildLanguageRow(const RowContext& c) {
  auto* list = new wxChoice(c.parent, wxID_ANY, wxDefaultPosition, MainControlSize(c.parent));
  list->Append("English");
  list->SetSelection(0);
  list->SetName("General/Language");
  Add(c, list, 1);
}

void BuildListRow(const RowContext& c) {
  wxChoice* list = ListControl(c.parent, *c.row);
  list->SetName(c.name);
  if (c.row->key.empty()) {
    list->SetSelection(0);  // shown only, nothing to store
  } else {
    SelectOrNothing(list, RowValue(*c.row, *c.draft));
  }
  list->Bind(wxEVT_CHOICE, [list, c](wxCommandEvent&) {
    if (list->GetSelection() == wxNOT_FOUND) return;
    SetRowValue(*c.row, list->GetSelection(), c.draft);
    c.changed();
  });
  Add(c, list, 1);
}

void BuildCheckRow(const RowContext& c) {
  auto* check = new wxCheckBox(c.parent, wxID_ANY, "");
  check->SetName(c.name);
  check->SetValue(RowValue(*c.row, *c.draft) != 0);
  check->Bind(wxEVT_CHECKBOX, [check, c](wxCommandEvent&) {
    SetRowValue(*c.row, check->GetValue() ? 1 : 0, c.draft);
    c.changed();
  });
  Add(c, check);
}

void BuildNumberRow(const RowContext& c) {
  auto* field = new wxTextCtrl(
      c.parent, wxID_ANY, Utf8(NumberText(*c.row, RowValue(*c.row, *c.draft))), wxDefaultPosition,
      wxSize(CharsWide(c.parent, 10), -1), 0, wxTextValidator(wxFILTER_DIGITS));
  field->SetName(c.name);
  field->SetMaxLength(6);
  field->Bind(wxEVT_TEXT, [field, c](wxCommandEvent&) {
    const std::optional<int64_t> value = ValueOfNumberText(*c.row, field->GetValue().utf8_string());
    if (value) SetRowValue(*c.row, *value, c.draft);
  });
  // Out-of-range digits show their clamped value once the field is left.
  field->Bind(wxEVT_KILL_FOCUS, [field, c](wxFocusEvent& event) {
    event.Skip();
    if (ValueOfNumberText(*c.row, field->GetValue().utf8_string())) {
      field->ChangeValue(Utf8(NumberText(*c.row, RowValue(*c.row, *c.draft))));
    }
  });
  c.bound->digits = field;
  Add(c, field, 1);
  auto* unit = new wxChoice(c.parent, wxID_ANY);
  unit->SetName(c.name + "/unit");
  if (c.row->unit_key.empty()) {
    unit->Append(PreferencesText(c.row->unit));
    unit->SetSelection(0);
  } else {
    unit->Append(PreferencesText("Pixels"));
    unit->Append(PreferencesText("Percent"));
    const SettingField* unit_field =
        FindSettingField(PreferencesPageKey(c.row->page), c.row->unit_key);
    SelectOrNothing(unit, SettingInt(*c.draft, *unit_field));
    unit->Bind(wxEVT_CHOICE, [unit, unit_field, c](wxCommandEvent&) {
      if (unit->GetSelection() != wxNOT_FOUND) {
        SetSettingInt(c.draft, *unit_field, unit->GetSelection());
      }
    });
  }
  Add(c, unit);
}

// Keeps a slider and its number box together: typing or spinning moves the
// slider, moving the slider sets the number; both write the draft.
template <typename Spin, typename SpinEvent>
void CoupleSlider(const RowContext& c, wxSlider* slider, Spin* number,
                  const wxEventTypeTag<SpinEvent>& spun, std::string (*spun_text)(Spin*),
                  void (*show)(Spin*, int64_t)) {
  number->SetName(c.name);
  auto from_text = [slider, c](const std::string& text) {
    const std::optional<int64_t> typed = ValueOfNumberText(*c.row, text);
    if (!typed) return;
    SetRowValue(*c.row, *typed, c.draft);
    slider->SetValue(SliderPosition(*c.row, *typed));
  };
  number->Bind(wxEVT_TEXT,
               [from_text](wxCommandEvent& event) { from_text(event.GetString().utf8_string()); });
  number->Bind(spun, [number, from_text, spun_text](SpinEvent&) { from_text(spun_text(number)); });
  slider->Bind(wxEVT_SLIDER, [number, slider, c, show](wxCommandEvent&) {
    const int64_t moved = ValueOfSliderPosition(*c.row, slider->GetValue());
    SetRowValue(*c.row, moved, c.draft);
    show(number, moved);
  });
  Add(c, number);
}

void BuildSliderRow(const RowContext& c) {
  const int64_t value = RowValue(*c.row, *c.draft);
  const int low = SliderPosition(*c.row, c.row->min);
  const int high = SliderPosition(*c.row, c.row->max);
  auto* slider = new wxSlider(c.parent, wxID_ANY, SliderPosition(*c.row, value), low, high,
                              wxDefaultPosition, wxSize(CharsWide(c.parent, 12), -1));
  slider->SetName(c.name + "/slider");
  Add(c, slider, 1);
  if (c.row->scale == RowScale::kHundredths) {
    auto* number =
        new wxSpinCtrlDouble(c.parent, wxID_ANY, Utf8(NumberText(*c.row, value)), wxDefaultPosition,
                             wxDefaultSize, wxSP_ARROW_KEYS, c.row->min / 100.0, c.row->max / 100.0,
                             static_cast<double>(value) / 100.0, 0.01);
    number->SetDigits(2);
    CoupleSlider(
        c, slider, number, wxEVT_SPINCTRLDOUBLE,
        +[](wxSpinCtrlDouble* n) { return n->GetTextValue().utf8_string(); },
        +[](wxSpinCtrlDouble* n, int64_t v) { n->SetValue(static_cast<double>(v) / 100.0); });
  } else {
    auto* number = new wxSpinCtrl(c.parent, wxID_ANY, Utf8(NumberText(*c.row, value)),
                                  wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, c.row->min,
                                  c.row->max, static_cast<int>(value));
    CoupleSlider(
        c, slider, number, wxEVT_SPINCTRL,
        +[](wxSpinCtrl* n) { return std::to_string(n->GetValue()); },
        +[](wxSpinCtrl* n, int64_t v) { n->SetValue(static_cast<int>(v)); });
  }
}

void BuildColourButtonRow(const RowContext& c) {
  const std::string hex = RowText(*c.row, *c.draft);
  auto* button = new wxBitmapButton(c.parent, wxID_ANY, SwatchBitmap(ColourOfHex(hex), 34, 12));
  button->SetName(c.name + "/pick");
  auto* field =
      new wxTextCtrl(c.parent, wxID_ANY, Utf8(ColourToHex(ColourOfHex(hex))), wxDefaultPosition,
                     wxSize(CharsWide(c.parent, 9), -1), wxTE_READONLY);
  field->SetName(c.name);
  button->Bind(wxEVT_BUTTON, [button, field, c](wxCommandEvent&) {
    const uint32_t current = ColourOfHex(field->GetValue().utf8_string());
    const std::optional<uint32_t> chosen = g_preferences_prompts.pick_colour(current);
    if (!chosen || (*chosen & 0xFFFFFFu) == current) return;
    const std::string picked = ColourToHex(*chosen);
    SetRowText(*c.row, picked, c.draft);
    field->ChangeValue(Utf8(picked));
    button->SetBitmap(SwatchBitmap(ColourOfHex(picked), 34, 12));
  });
  Add(c, button);
  Add(c, field);
}

void BuildColourListRow(const RowContext& c) {
  auto* list = new wxBitmapComboBox(c.parent, wxID_ANY, "", wxDefaultPosition,
                                    MainControlSize(c.parent, 4), 0, nullptr, wxCB_READONLY);
  list->SetName(c.name);
  const SettingField* list_field =
      FindSettingField(PreferencesPageKey(c.row->page), c.row->list_key);
  auto items = std::make_shared<std::vector<ColourItem>>();
  auto fill = [list, items, list_field, c] {
    *items = FillColourList(SettingText(*c.draft, *list_field));
    list->Clear();
    for (const ColourItem& item : *items) {
      list->Append(Utf8(item.name), SwatchBitmap(item.colour, 16, 16));
    }
    const int selection = ColourListSelection(*items, RowText(*c.row, *c.draft));
    if (selection >= 0) list->SetSelection(selection);
  };
  fill();
  list->Bind(wxEVT_COMBOBOX, [list, items, c](wxCommandEvent&) {
    const int selection = list->GetSelection();
    if (selection < 0 || static_cast<size_t>(selection) >= items->size()) return;
    SetRowText(*c.row, ColourToHex((*items)[static_cast<size_t>(selection)].colour), c.draft);
  });
  wxButton* pick = PickButton(c.parent, *c.row);
  pick->Bind(wxEVT_BUTTON, [list, items, fill, list_field, c](wxCommandEvent&) {
    const int selection = list->GetSelection();
    const uint32_t current = selection >= 0 && static_cast<size_t>(selection) < items->size()
                                 ? (*items)[static_cast<size_t>(selection)].colour
                                 : 0;
    const std::optional<uint32_t> chosen = g_preferences_prompts.pick_colour(current);
    if (!chosen) return;
    // The list of offered colours keeps the addition even when the
    // dialog is cancelled.
    std::string offered = SettingText(*c.draft, *list_field);
    if (AddCustomColour(&offered, *chosen)) {
      SetSettingFromText(c.draft, *list_field, offered);
      std::string live = SettingText(g_settings, *list_field);
      AddCustomColour(&live, *chosen);
      SetSettingFromText(&g_settings, *list_field, live);
    }
    SetRowText(*c.row, ColourToHex(*chosen), c.draft);
    fill();
  });
  Add(c, list, 1);
  Add(c, pick);
}

void BuildTextRow(const RowContext& c) {
  auto* field = new wxTextCtrl(c.parent, wxID_ANY, Utf8(RowText(*c.row, *c.draft)),
                               wxDefaultPosition, MainControlSize(c.parent, 4));
  field->SetName(c.name);
  field->SetMaxLength(static_cast<unsigned long>(kMaxTextFieldBytes));
  field->Bind(wxEVT_TEXT, [field, c](wxCommandEvent&) {
    SetRowText(*c.row, field->GetValue().utf8_string(), c.draft);
  });
  Add(c, field, 1);
  if (c.row->kind == RowKind::kImagePath) {
    wxButton* pick = PickButton(c.parent, *c.row);
    pick->Bind(wxEVT_BUTTON, [field](wxCommandEvent&) {
      const std::optional<std::string> chosen =
          g_preferences_prompts.pick_image(CleanTextField(field->GetValue().utf8_string()));
      if (chosen) field->SetValue(Utf8(*chosen));
    });
    Add(c, pick);
  }
}

void BuildFontListRow(const RowContext& c) {
  auto* list = new wxChoice(c.parent, wxID_ANY, wxDefaultPosition, MainControlSize(c.parent, 4));
  list->SetName(c.name);
  const SettingField* list_field =
      FindSettingField(PreferencesPageKey(c.row->page), c.row->list_key);
  auto fill = [list, list_field, c] {
    list->Clear();
    const std::string current = RowText(*c.row, *c.draft);
    for (const std::string& font : FillFontList(SettingText(*c.draft, *list_field), current)) {
      list->Append(Utf8(font));
      if (font == current) list->SetSelection(static_cast<int>(list->GetCount()) - 1);
    }
  };
  fill();
  list->Bind(wxEVT_CHOICE, [list, c](wxCommandEvent&) {
    if (list->GetSelection() != wxNOT_FOUND) {
      SetRowText(*c.row, list->GetStringSelection().utf8_string(), c.draft);
    }
  });
  wxButton* pick = PickButton(c.parent, *c.row);
  pick->Bind(wxEVT_BUTTON, [c, fill, list_field](wxCommandEvent&) {
    const std::optional<FontChoice> chosen =
        g_preferences_prompts.pick_font(RowText(*c.row, *c.draft), c.draft->watermark.font_size);
    if (!chosen) return;
    const std::string font = CleanFontName(chosen->name);
    if (font.empty() || !platform::FontFamilyAvailable(font)) {
      MainPrompter().warn(FillPlaceholders(GetText("Msg", "Invalid watermark font"), font));
      return;
    }
    std::string offered = SettingText(*c.draft, *list_field);
    if (AddFontName(&offered, font)) {
      SetSettingFromText(c.draft, *list_field, offered);
      std::string live = SettingText(g_settings, *list_field);
      AddFontName(&live, font);
      SetSettingFromText(&g_settings, *list_field, live);
    }
    SetRowText(*c.row, font, c.draft);
    fill();
    // The size and style the picker chose go to their rows.
    for (BoundRow& other : c.dialog->rows) {
      if (other.row->key == "Font Size" && other.digits != nullptr && chosen->points > 0) {
        other.digits->SetValue(std::to_string(chosen->points));
      }
      if (other.row->key == "Font Style" && !other.controls.empty()) {
        auto* style = static_cast<wxChoice*>(other.controls[0]);
        style->SetSelection(std::clamp(chosen->style, 0, 3));
        SetRowValue(*other.row, style->GetSelection(), c.draft);
      }
    }
  });
  Add(c, list, 1);
  Add(c, pick);
}

void BuildDateRow(const RowContext& c) {
  // The setting counts UTC seconds; the pickers show and take local time.
  const DateFields fields =
      TimestampFields(ToInt32(platform::UtcToLocalSeconds(RowValue(*c.row, *c.draft))));
  const wxDateTime when(static_cast<wxDateTime::wxDateTime_t>(fields.day),
                        static_cast<wxDateTime::Month>(fields.month - 1), fields.year,
                        static_cast<wxDateTime::wxDateTime_t>(fields.hour),
                        static_cast<wxDateTime::wxDateTime_t>(fields.minute));
  auto* date = new wxDatePickerCtrl(c.parent, wxID_ANY, when, wxDefaultPosition, wxDefaultSize,
                                    wxDP_DROPDOWN | wxDP_SHOWCENTURY);
  date->SetRange(wxDateTime(1, wxDateTime::Jan, 1970), wxDateTime(18, wxDateTime::Jan, 2038));
  date->SetName(c.name);
  auto* time = new wxTimePickerCtrl(c.parent, wxID_ANY, when);
  time->SetName(c.name + "/time");
  auto store = [date, time, c] {
    const wxDateTime day = date->GetValue();
    const wxDateTime clock = time->GetValue();
    if (!day.IsValid() || !clock.IsValid()) return;
    DateFields picked;
    picked.year = day.GetYear();
    picked.month = static_cast<int>(day.GetMonth()) + 1;
    picked.day = day.GetDay();
    picked.hour = clock.GetHour();
    picked.minute = clock.GetMinute();
    SetRowValue(*c.row, ToInt32(platform::LocalSecondsToUtc(TimestampOfFields(picked))), c.draft);
  };
  date->Bind(wxEVT_DATE_CHANGED, [store](wxDateEvent&) { store(); });
  time->Bind(wxEVT_TIME_CHANGED, [store](wxDateEvent&) { store(); });
  Add(c, date);
  Add(c, time);
}

void BuildDepthListRow(const RowContext& c) {
  const std::string extension(c.row->area);
  const DepthList depths = FillDepthList(extension, static_cast<int>(RowValue(*c.row, *c.draft)));
  auto* list = new wxChoice(c.parent, wxID_ANY, wxDefaultPosition, MainControlSize(c.parent));
  list->SetName(c.name);
  for (const std::string& item : depths.items) {
    list->Append(item == "Auto" ? PreferencesText("Auto") : Utf8(item));
  }
  list->SetSelection(depths.selection);
  list->Bind(wxEVT_CHOICE, [list, extension, c](wxCommandEvent&) {
    SetRowValue(*c.row, DepthOfChoice(extension, list->GetSelection()), c.draft);
  });
  Add(c, list, 1);
}

void BuildFormatListRow(const RowContext& c) {
  const auto& formats =
      c.row->kind == RowKind::kInputFormat ? kMainInputFormats : kMainOutputFormats;
  auto* list = new wxBitmapComboBox(c.parent, wxID_ANY, "", wxDefaultPosition,
                                    MainControlSize(c.parent), 0, nullptr, wxCB_READONLY);
  list->SetName(c.name);
  const std::string current = RowText(*c.row, *c.draft);
  for (intptr_t i = 0; i < 2; ++i) {
    if (formats[i][0] == '\0') continue;
    list->Append(Utf8(UpperAscii(formats[i])), NewIcon(), reinterpret_cast<void*>(i));
    if (current == formats[i]) list->SetSelection(static_cast<int>(list->GetCount()) - 1);
  }
  if (list->GetSelection() == wxNOT_FOUND && list->GetCount() > 0) list->SetSelection(0);
  list->Bind(wxEVT_COMBOBOX, [list, &formats, c](wxCommandEvent&) {
    const int selection = list->GetSelection();
    if (selection == wxNOT_FOUND) return;
    const auto index =
        reinterpret_cast<intptr_t>(list->GetClientData(static_cast<unsigned>(selection)));
    SetRowText(*c.row, formats[index == 1 ? 1 : 0], c.draft);
    c.changed();
  });
  Add(c, list, 1);
}

void BuildThemeRow(const RowContext& c) {
  auto items = std::make_shared<std::vector<ThemeItem>>(FillThemeList(g_themes));
  auto* list = new wxChoice(c.parent, wxID_ANY, wxDefaultPosition, MainControlSize(c.parent));
  list->SetName(c.name);
  for (const ThemeItem& item : *items) list->Append(Utf8(item.text));
  const int selection = ThemeListSelection(*items, RowText(*c.row, *c.draft));
  list->SetSelection(selection);
  // What the list shows is what OK stores; "None" stores nothing.
  if (!(*items)[static_cast<size_t>(selection)].id.empty()) {
    SetRowText(*c.row, (*items)[static_cast<size_t>(selection)].id, c.draft);
  }
  list->Bind(wxEVT_CHOICE, [list, items, c](wxCommandEvent&) {
    const int chosen = list->GetSelection();
    if (chosen < 0 || static_cast<size_t>(chosen) >= items->size()) return;
    const std::string& id = (*items)[static_cast<size_t>(chosen)].id;
    if (!id.empty()) SetRowText(*c.row, id, c.draft);
  });
  Add(c, list, 1);
}

// The builder of each kind of row.
struct KindBuilder {
  RowKind kind;
  void (*build)(const RowContext&);
};
constexpr KindBuilder kBuilders[] = {{RowKind::kLanguage, BuildLanguageRow},
                                     {RowKind::kList, BuildListRow},
                                     {RowKind::kCheck, BuildCheckRow},
                                     {RowKind::kNumber, BuildNumberRow},
                                     {RowKind::kSlider, BuildSliderRow},
                                     {RowKind::kColourButton, BuildColourButtonRow},
                                     {RowKind::kColourList, BuildColourListRow},
                                     {RowKind::kText, BuildTextRow},
                                     {RowKind::kImagePath, BuildTextRow},
                                     {RowKind::kFontList, BuildFontListRow},
                                     {RowKind::kDate, BuildDateRow},
                                     {RowKind::kDepthList, BuildDepthListRow},
                                     {RowKind::kInputFormat, BuildFormatListRow},
                                     {RowKind::kOutputFormat, BuildFormatListRow},
                                     {RowKind::kTheme, BuildThemeRow}};

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
  for (const KindBuilder& builder : kBuilders) {
    if (builder.kind == row.kind) builder.build(c);
  }
  grid->Add(bound.label, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 10);
  grid->Add(box, 0, wxALIGN_CENTER_VERTICAL | wxEXPAND);
  dialog->rows.push_back(std::move(bound));
}

}  // namespace pic2jpg
