// Every screen's controls, as laid out at the text size the display gives
// (ctest runs this at 1.0 and, with GDK_DPI_SCALE=1.5, at 1.5): no two
// shown siblings overlap, and no label is narrower than its text.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/scrolbar.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/image_maps.h"
#include "gui/main_window_ui.h"
#include "gui/preferences_ui.h"
#include "gui/themes.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

std::string NameOf(const wxWindow* window) {
  return window->GetName().utf8_string() + " (" +
         wxString(window->GetClassInfo()->GetClassName()).utf8_string() + ")";
}

// The widest line of a label in the control's font.
int TextWidth(wxWindow* control, const wxString& text) {
  wxClientDC dc(control);
  dc.SetFont(control->GetFont());
  int widest = 0;
  for (const wxString& line : wxSplit(wxStripMenuCodes(text), '\n', '\0')) {
    widest = std::max(widest, dc.GetTextExtent(line).GetWidth());
  }
  return widest;
}

// Problems below `parent`, each as a line naming the windows.
void CheckBelow(wxWindow* parent, const std::string& screen, std::vector<std::string>* problems) {
  std::vector<wxWindow*> shown;
  for (wxWindow* child : parent->GetChildren()) {
    // A frame's tool and status bars lie outside its client area, where the
    // other children are placed.
    const bool frame_bar =
        child->IsKindOf(wxCLASSINFO(wxToolBar)) || child->IsKindOf(wxCLASSINFO(wxStatusBar));
    if (!child->IsShown() || child->IsTopLevel() || frame_bar ||
        child->IsKindOf(wxCLASSINFO(wxScrollBar))) {
      continue;
    }
    shown.push_back(child);
    CheckBelow(child, screen, problems);
    const bool labelled = child->IsKindOf(wxCLASSINFO(wxStaticText)) ||
                          child->IsKindOf(wxCLASSINFO(wxCheckBox)) ||
                          child->IsKindOf(wxCLASSINFO(wxButton));
    const bool ellipsized = child->HasFlag(wxST_ELLIPSIZE_MIDDLE) ||
                            child->HasFlag(wxST_ELLIPSIZE_END) ||
                            child->HasFlag(wxST_ELLIPSIZE_START);
    if (labelled && child->IsKindOf(wxCLASSINFO(wxStaticText)) && ellipsized) continue;
    if (labelled && !child->GetLabel().empty() &&
        child->GetSize().GetWidth() < TextWidth(child, child->GetLabel())) {
      problems->push_back(screen + ": " + NameOf(child) + " \"" + child->GetLabel().utf8_string() +
                          "\" is cut");
    }
    // A drop-down narrower than its longest item shows it cut.
    if (child->IsKindOf(wxCLASSINFO(wxChoice)) &&
        child->GetSize().GetWidth() < child->GetBestSize().GetWidth()) {
      problems->push_back(screen + ": " + NameOf(child) + " is narrower than its items");
    }
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const wxRect a = shown[i]->GetRect();
      const wxRect b = shown[j]->GetRect();
      if (a.Intersects(b) && a.Intersect(b).GetWidth() > 0 && a.Intersect(b).GetHeight() > 0) {
        problems->push_back(screen + ": " + NameOf(shown[i]) + " overlaps " + NameOf(shown[j]));
      }
    }
  }
}

void ExpectTidy(wxWindow* top, const std::string& screen) {
  std::vector<std::string> problems;
  CheckBelow(top, screen, &problems);
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    FillImageMaps();
    LoadTextCatalogue("");
    g_run_state = RunState{};
    g_preferences_path = dir_.File("config.ini");
    ApplyDefaultSettings(false);
    LoadBuiltInImages();
    g_themes = {{"chalk", "Chalk"}, {"handdrawn", "Hand-drawn"}};
    window_ = &BuildMainWindow();
    ShowMainWindow(*window_);
  }
  void TearDown() override {
    if (PreferencesDialogWindow() != nullptr) PreferencesDialogWindow()->Close();
    if (MainWindow* open = FindMainWindow()) open->frame->Destroy();
    wxTheApp->ProcessPendingEvents();
  }
  test::TempDir dir_;
  MainWindow* window_ = nullptr;
};

TEST_F(LayoutTest, MainWindowAndAbout) {
  ExpectTidy(window_->frame, "main window");
  RunCommand(*window_, kCommandAbout);
  auto* about = dynamic_cast<wxDialog*>(wxWindow::FindWindowByName("about"));
  ASSERT_NE(about, nullptr);
  ExpectTidy(about, "About");
  about->Close();
  wxTheApp->ProcessPendingEvents();
}

TEST_F(LayoutTest, EveryPreferencesPage) {
  RunCommand(*window_, kCommandPreferences);
  wxDialog* dialog = PreferencesDialogWindow();
  ASSERT_NE(dialog, nullptr);
  auto* pages = dynamic_cast<wxListBox*>(dialog->FindWindow("pages"));
  ASSERT_NE(pages, nullptr);
  for (unsigned page = 0; page < pages->GetCount(); ++page) {
    pages->SetSelection(static_cast<int>(page));
    wxCommandEvent select(wxEVT_LISTBOX, pages->GetId());
    select.SetEventObject(pages);
    select.SetInt(static_cast<int>(page));
    pages->GetEventHandler()->ProcessEvent(select);
    dialog->Layout();
    ExpectTidy(dialog, "preferences " + pages->GetString(page).utf8_string());
  }
}

}  // namespace
}  // namespace pic2jpg
