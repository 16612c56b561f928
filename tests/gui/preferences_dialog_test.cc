// The real preferences dialog over the real main window on the virtual
// display, driven through its controls; the pickers and questions are
// answered by the test.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/bmpcbox.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/image_maps.h"
#include "gui/main_window_ui.h"
#include "gui/preferences_ui.h"
#include "gui/themes.h"
#include "platform/file_system.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/desktop_start.h"
#include "support/test_support.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxDialog* Dialog() { return PreferencesDialogWindow(); }

template <typename T>
T* Control(const std::string& name) {
  wxWindow* found = Dialog()->FindWindow(wxString::FromUTF8(name));
  EXPECT_NE(found, nullptr) << name;
  return dynamic_cast<T*>(found);
}

void Send(wxWindow* control, wxEventType type) {
  wxCommandEvent event(type, control->GetId());
  event.SetEventObject(control);
  event.SetInt(0);
  control->GetEventHandler()->ProcessEvent(event);
}

void Choose(const std::string& name, int index) {
  auto* list = Control<wxChoice>(name);
  list->SetSelection(index);
  Send(list, wxEVT_CHOICE);
}

void Tick(const std::string& name, bool on) {
  auto* check = Control<wxCheckBox>(name);
  check->SetValue(on);
  Send(check, wxEVT_CHECKBOX);
}

void Type(const std::string& name, const std::string& text) {
  Control<wxTextCtrl>(name)->SetValue(wxString::FromUTF8(text));  // sends the text event
}

// A number box of a slider pair, typed into.
void TypeNumber(const std::string& name, const std::string& text) {
  wxWindow* box = Control<wxWindow>(name);
  wxCommandEvent event(wxEVT_TEXT, box->GetId());
  event.SetEventObject(box);
  event.SetString(wxString::FromUTF8(text));
  box->GetEventHandler()->ProcessEvent(event);
}

void Press(wxWindow* button) { Send(button, wxEVT_BUTTON); }
void PressId(int id) { Press(Dialog()->FindWindow(id)); }

std::string Title() { return Control<wxStaticText>("title")->GetLabel().utf8_string(); }

void Settle() {
  // A loop of its own for a moment, so that GTK draws what changed.
  Dialog()->Refresh();
  wxGUIEventLoop loop;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&loop](wxTimerEvent&) { loop.Exit(); });
  timer.StartOnce(300);
  loop.Run();
}

class PreferencesDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartDesktop(dir_);
    g_themes = {{"chalk", "Chalk"}, {"handdrawn", "Hand-drawn"}};
    g_preferences_prompts.pick_colour = [this](uint32_t) { return picked_colour_; };
    g_preferences_prompts.pick_font = [](const std::string&, int) {
      return std::optional<FontChoice>(FontChoice{"DejaVu Serif", 20, 1});
    };
    g_preferences_prompts.pick_image = [this](const std::string&) {
      return std::optional<std::string>(dir_.File("mark.png"));
    };
    window_ = &BuildMainWindow();
    window_->model.prompter.warn = [this](const std::string& text) { warnings_.push_back(text); };
    window_->model.prompter.ask_destructive = [this](const std::string&, const std::string&) {
      return reset_answer_;
    };
    ShowMainWindow(*window_);
  }
  void TearDown() override {
    if (Dialog() != nullptr) Dialog()->Close();
    if (MainWindow* open = FindMainWindow()) open->frame->Destroy();
    wxTheApp->ProcessPendingEvents();
  }
  MainWindow* window_ = nullptr;
  test::TempDir dir_;
  std::vector<std::string> warnings_;
  bool reset_answer_ = true;
  std::optional<uint32_t> picked_colour_ = 0x0000FFu;  // red
};

// The output-format button opens the Output page, the next Preferences
// command General; every page can be shown.
TEST_F(PreferencesDialogTest, OpensOnItsStartPageAndShowsEveryPage) {
  RunCommand(*window_, kCommandOutputFormatOptions);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_EQ(Title(), "Output");
  EXPECT_FALSE(window_->frame->IsEnabled());
  PressId(wxID_CANCEL);
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_TRUE(window_->frame->IsEnabled());

  RunCommand(*window_, kCommandPreferences);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_EQ(Title(), "General");
  auto* pages = Control<wxListBox>("pages");
  const char* names[] = {"General",    "Interface", "Input",     "Output",  "Transform",
                         "Adjustment", "Frame",     "Watermark", "Advanced"};
  for (int page = 0; page < 9; ++page) {
    pages->SetSelection(page);
    Send(pages, wxEVT_LISTBOX);
    EXPECT_EQ(Title(), names[page]);
    EXPECT_TRUE(Control<wxWindow>(names[page])->IsShown());
    if (page == 6) Choose("Frame/Do Frame", 1);
    if (page == 7) Choose("Watermark/Do Watermark", 1);  // the widest area
    // The dialog opens wide enough that no page scrolls sideways.
    auto* panel = Control<wxScrolledWindow>(names[page]);
    EXPECT_LE(panel->GetSizer()->CalcMin().GetWidth(), panel->GetClientSize().GetWidth())
        << names[page];
  }
}

// One control of every kind, OK, and the file read back.
TEST_F(PreferencesDialogTest, EveryKindOfControlReachesThePreferencesFile) {
  ASSERT_TRUE(test::CopyFile(test::DataFile("sample.pict.png"), dir_.File("mark.png")));
  picked_colour_ = 0x563412u;
  RunCommand(*window_, kCommandPreferences);
  Choose("General/Update Range", 5);               // list
  Tick("Transform/Do Image Flip Vertical", true);  // check box
  Type("Frame/Solid Left", "12");                  // digits
  Choose("Transform/Image Width/unit", 1);         // unit list
  auto* quality = Control<wxSlider>("Output/JPG Quality/slider");
  quality->SetValue(40);  // slider of a pair
  Send(quality, wxEVT_SLIDER);
  EXPECT_EQ(Control<wxSpinCtrl>("Output/JPG Quality")->GetValue(), 40);
  TypeNumber("Adjustment/Image Gamma", "2.5");  // number box of a pair
  EXPECT_EQ(Control<wxSlider>("Adjustment/Image Gamma/slider")->GetValue(), 250);
  TypeNumber("Adjustment/Image Brightness", "-30");
  EXPECT_EQ(Control<wxSlider>("Adjustment/Image Brightness/slider")->GetValue(), 70);
  Press(Control<wxWindow>("Transform/Image Rotation Back Color/pick"));  // colour button
  EXPECT_EQ(Control<wxTextCtrl>("Transform/Image Rotation Back Color")->GetValue(), "123456");
  Press(Control<wxWindow>("Watermark/Font Color/pick"));  // colour list, a new colour
  Press(Control<wxWindow>("Watermark/Font/pick"));        // font picker
  Press(Control<wxWindow>("Watermark/Image/pick"));       // image picker
  Type("Watermark/Text", "  (c)\tme  ");                  // text
  Choose("Interface/UI Theme", 0);                        // theme list
  Choose("Output/JPG BPP", 1);                            // depth list
  Type("Advanced/Filename Mask", "out/%filename%.%ext%");
  PressId(wxID_OK);
  ASSERT_TRUE(warnings_.empty()) << warnings_[0];
  EXPECT_EQ(Dialog(), nullptr);

  const std::string saved = test::ReadText(g_preferences_path);
  EXPECT_NE(saved.find("JPG Quality = 40"), std::string::npos);
  ApplyDefaultSettings(true);
  LoadSettings();
  EXPECT_EQ(g_settings.general.update_range, 5);
  EXPECT_EQ(g_settings.transform.do_image_flip_vertical, 1);
  EXPECT_EQ(g_settings.frame.solid_left, 12);
  EXPECT_EQ(g_settings.transform.image_width_unit, 1);
  EXPECT_EQ(g_settings.output.jpg_quality, 40);
  EXPECT_EQ(g_settings.adjustment.image_gamma, 2.5f);
  EXPECT_EQ(g_settings.adjustment.image_brightness, -30);
  EXPECT_EQ(g_settings.adjustment.do_image_color_correction, 1);
  EXPECT_EQ(g_settings.transform.image_rotation_back_color, "123456");
  EXPECT_EQ(g_settings.watermark.font_colors, std::string(kDefaultColorList) + ",123456");
  EXPECT_EQ(g_settings.watermark.font_color, "123456");
  EXPECT_EQ(g_settings.watermark.fonts, "Arial,Tahoma,Verdana,DejaVu Serif");
  EXPECT_EQ(g_settings.watermark.font, "DejaVu Serif");
  EXPECT_EQ(g_settings.watermark.font_size, 20);
  EXPECT_EQ(g_settings.watermark.font_style, 1);
  EXPECT_EQ(g_settings.watermark.image, dir_.File("mark.png"));
  EXPECT_EQ(g_settings.watermark.text, "(c)me");
  EXPECT_EQ(g_settings.interface.ui_theme, "chalk");
  EXPECT_EQ(g_settings.output.jpg_bpp, AllowedDepthList("jpg")[0]);
  EXPECT_EQ(g_settings.advanced.filename_mask, "out/%filename%.%ext%");
}

// Five notches of the wheel over an unfocused drop-down scroll its page and
// leave its value alone; Return anywhere presses OK, the default button.
TEST_F(PreferencesDialogTest, TheWheelScrollsThePageAndNeverEdits) {
  RunCommand(*window_, kCommandPreferences);
  auto* pages = Control<wxListBox>("pages");
  pages->SetSelection(7);
  Send(pages, wxEVT_LISTBOX);
  Choose("Watermark/Do Watermark", 1);
  auto* alignment = Control<wxChoice>("Watermark/Text Alignment");
  ASSERT_NE(alignment, nullptr);
  const int before = alignment->GetSelection();
  pages->SetFocus();
  for (int notch = 0; notch < 5; ++notch) {
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.SetEventObject(alignment);
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    wheel.m_linesPerAction = 3;
    wheel.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    EXPECT_TRUE(alignment->GetEventHandler()->ProcessEvent(wheel));
  }
  EXPECT_EQ(alignment->GetSelection(), before);
  EXPECT_EQ(dynamic_cast<wxButton*>(Dialog()->GetDefaultItem()),
            dynamic_cast<wxButton*>(Dialog()->FindWindow(wxID_OK)));
}

// Cancel, Escape and the close box store nothing and write nothing; a colour
// added to a list stays offered.
TEST_F(PreferencesDialogTest, CancelEscapeAndTheCloseBoxChangeNothing) {
  const Settings before = g_settings;
  for (int way = 0; way < 3; ++way) {
    RunCommand(*window_, kCommandPreferences);
    TypeNumber("Output/JPG Quality", "40");
    EXPECT_FALSE(Control<wxWindow>("Transform/Image Width")->IsEnabled());
    Tick("Transform/Do Image Resize", true);
    EXPECT_TRUE(Control<wxWindow>("Transform/Image Width")->IsEnabled());
    Press(Control<wxWindow>("Watermark/Back Color/pick"));
    if (way == 0) PressId(wxID_CANCEL);
    if (way == 1) {
      wxKeyEvent escape(wxEVT_CHAR_HOOK);
      escape.m_keyCode = WXK_ESCAPE;
      escape.SetEventObject(Dialog());
      Dialog()->GetEventHandler()->ProcessEvent(escape);
    }
    if (way == 2) Dialog()->Close();
    EXPECT_EQ(Dialog(), nullptr) << way;
    EXPECT_TRUE(window_->frame->IsEnabled());
  }
  EXPECT_EQ(g_settings.output.jpg_quality, before.output.jpg_quality);
  EXPECT_EQ(g_settings.transform.do_image_resize, 0);
  EXPECT_EQ(g_settings.watermark.back_colors, before.watermark.back_colors);  // red is there
  EXPECT_LT(fs::FileSize(g_preferences_path), 0);
}

TEST_F(PreferencesDialogTest, DefaultsResetsOnlyAfterYes) {
  g_settings.output.jpg_quality = 40;
  g_settings.advanced.filename_mask = "%filename%-x.%ext%";
  RunCommand(*window_, kCommandPreferences);
  reset_answer_ = false;
  Press(Control<wxWindow>("defaults"));
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_EQ(g_settings.output.jpg_quality, 40);
  reset_answer_ = true;
  Press(Control<wxWindow>("defaults"));
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_EQ(g_settings.output.jpg_quality, 95);
  EXPECT_EQ(g_settings.advanced.filename_mask, "%filename%.%ext%");
  EXPECT_NE(test::ReadText(g_preferences_path).find("JPG Quality = 95"), std::string::npos);
}

// OK refuses with the program's messages and keeps the dialog open.
TEST_F(PreferencesDialogTest, OkRefusesEmptyFieldsAndBadValues) {
  RunCommand(*window_, kCommandPreferences);
  Choose("Frame/Do Frame", 1);
  Type("Frame/Solid Left", "");
  PressId(wxID_OK);
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_EQ(warnings_[0], GetText("Msg", "Empty extensions"));
  EXPECT_EQ(Title(), "Frame");
  Type("Frame/Solid Left", "5");
  Tick("Transform/Do Image Resize", true);
  PressId(wxID_OK);
  ASSERT_EQ(warnings_.size(), 2u);
  EXPECT_EQ(warnings_[1], GetText("Msg", "Invalid width"));
  EXPECT_EQ(Title(), "Transform");
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_LT(fs::FileSize(g_preferences_path), 0);
  EXPECT_EQ(g_settings.frame.do_frame, 0);
}

TEST_F(PreferencesDialogTest, IconSizeRebuildsOnlyTheToolbarThemeEverything) {
  RunCommand(*window_, kCommandPreferences);
  wxMenuBar* menus = window_->frame->GetMenuBar();
  Choose("Interface/UI Size", 0);
  PressId(wxID_OK);
  // A new toolbar (its address may be the old one's again) with the new size.
  EXPECT_EQ(window_->frame->GetMenuBar(), menus);
  EXPECT_EQ(window_->frame->GetToolBar()->GetToolBitmapSize(), wxSize(16, 16));

  RunCommand(*window_, kCommandPreferences);
  Choose("Interface/UI Theme", 0);  // chalk
  PressId(wxID_OK);
  EXPECT_NE(window_->frame->GetMenuBar(), menus);
}

TEST_F(PreferencesDialogTest, ThemeListWithNoThemeOffersNone) {
  g_themes.clear();
  RunCommand(*window_, kCommandPreferences);
  auto* themes = Control<wxChoice>("Interface/UI Theme");
  ASSERT_EQ(themes->GetCount(), 1u);
  EXPECT_EQ(themes->GetString(0), "None");
  PressId(wxID_OK);
  EXPECT_EQ(g_settings.interface.ui_theme, "handdrawn");
}

// The quality set in the dialog is the quality of the JPEG the window writes:
// the first luminance quantiser of a quality-40 file is 20 (2 at 95).
TEST_F(PreferencesDialogTest, AConversionUsesWhatTheDialogSet) {
  const std::string picture = dir_.File("photo.pict");
  ASSERT_TRUE(test::CopyFile(test::DataFile("sample.pict"), picture));
  RunCommand(*window_, kCommandOutputFormatOptions);
  TypeNumber("Output/JPG Quality", "40");
  PressId(wxID_OK);
  ASSERT_TRUE(AddInputFileToWindow(*window_, picture));
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
    auto* progress = dynamic_cast<wxDialog*>(wxWindow::FindWindowByName("progress"));
    if (progress == nullptr) return;
    auto* ok = dynamic_cast<wxButton*>(progress->FindWindow(wxID_OK));
    if (ok->IsEnabled()) Press(ok);
  });
  timer.Start(5);
  RunCommand(*window_, kCommandConvert);
  timer.Stop();
  const std::string jpeg = test::ReadText(dir_.File("photo.jpg"));
  const size_t table = jpeg.find("\xFF\xDB");
  ASSERT_NE(table, std::string::npos);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[table + 5]), 20);
}

}  // namespace
}  // namespace pic2jpg

namespace pic2jpg {
namespace {

// Tab from the page list goes through the shown page's controls and the
// buttons only: never onto a window the user cannot see take the focus.
TEST_F(PreferencesDialogTest, TabFromThePageListReachesOnlyControls) {
  RunCommand(*window_, kCommandPreferences);
  Control<wxListBox>("pages")->SetFocus();
  Settle();
  wxWindow* page = Dialog()->FindWindow("General");
  ASSERT_NE(page, nullptr);
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(std::system("xdotool key Tab"), 0);
    Settle();
    // A drop-down's own button has the focus where FindFocus finds nothing.
    wxWindow* focus = wxWindow::FindFocus();
    if (focus == nullptr) continue;
    const bool on_page = focus->GetParent() == page;
    const bool button = focus->IsKindOf(wxCLASSINFO(wxButton));
    EXPECT_TRUE(on_page || button) << "Tab " << i << " lands on " << focus->GetName();
  }
  PressId(wxID_CANCEL);
}

}  // namespace
}  // namespace pic2jpg
