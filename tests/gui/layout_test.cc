// Every screen of the desktop program, as laid out at the text size the
// display gives (ctest runs this at 1.0, 1.5 and 2): no two shown siblings
// overlap, no label or drop-down is narrower than its text, and no field is
// lower than its line of text. With PIC2JPG_SCREENSHOTS naming a folder, each
// screen is also saved there as a PNG picture (docs/screenshots/take.sh runs
// this walk on every theme).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/listbox.h>
#include <wx/scrolbar.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/desktop.h"
#include "gui/image_maps.h"
#include "gui/main_window_ui.h"
#include "gui/preferences_ui.h"
#include "gui/themes.h"
#include "gui/update_check_ui.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/desktop_start.h"
#include "support/local_http_server.h"
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
    // A field, drop-down or text button lower than its line of text shows
    // the text touching its borders, or cut.
    const bool one_line =
        (child->IsKindOf(wxCLASSINFO(wxTextCtrl)) && !child->HasFlag(wxTE_MULTILINE)) ||
        child->IsKindOf(wxCLASSINFO(wxChoice)) || child->IsKindOf(wxCLASSINFO(wxComboBox)) ||
        child->IsKindOf(wxCLASSINFO(wxSpinCtrl)) ||
        (child->IsKindOf(wxCLASSINFO(wxButton)) && !child->GetLabel().empty());
    if (one_line && child->GetSize().GetHeight() < child->GetCharHeight() + 6) {
      problems->push_back(screen + ": " + NameOf(child) + " is too low for its text");
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

// Turns the window's event loop until `done` holds or `max_ms` have passed;
// false in the second case.
bool TurnUntil(const std::function<bool()>& done, int max_ms) {
  wxGUIEventLoop loop;
  int waited = 0;
  bool held = done();
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    waited += 20;
    held = done();
    if (held || waited > max_ms) loop.Exit();
  });
  if (!held) {
    timer.Start(20);
    loop.Run();
    timer.Stop();
  }
  return held;
}

// The folder the screens go to, or nullptr.
const char* ShotsFolder() { return std::getenv("PIC2JPG_SCREENSHOTS"); }

int Shell(const std::string& command) { return std::system(command.c_str()); }

// A moment for GTK to draw what changed, then the screen's rectangle through
// ImageMagick's import (GTK 3's screen device context would show the first
// picture it took again at every later capture).
void Shoot(wxWindow* top, const std::string& name) {
  if (ShotsFolder() == nullptr) return;
  top->Refresh();
  int turns = 0;
  TurnUntil([&turns] { return ++turns > 15; }, 1000);
  const wxRect rect = top->GetScreenRect();
  const std::string command = "import -silent -window root -crop " + std::to_string(rect.width) +
                              "x" + std::to_string(rect.height) + "+" + std::to_string(rect.x) +
                              "+" + std::to_string(rect.y) + " '" + ShotsFolder() + "/" + name +
                              ".png'";
  EXPECT_EQ(Shell(command), 0) << command;
}

void ExpectTidy(wxWindow* top, const std::string& screen) {
  std::vector<std::string> problems;
  CheckBelow(top, screen, &problems);
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  Shoot(top, screen);
}

wxDialog* FindDialog(const char* name) {
  return dynamic_cast<wxDialog*>(wxWindow::FindWindowByName(name));
}

void Press(wxWindow* button) {
  wxCommandEvent press(wxEVT_BUTTON, button->GetId());
  press.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(press);
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartDesktop(dir_);
    g_themes = {{"chalk", "Chalk"}, {"handdrawn", "Hand-drawn"}};
    window_ = &BuildMainWindow();
    // Where a screenshot mode puts it, so that shots do not hang off the
    // screen's edge.
    window_->frame->Move(40, 40);
    ShowMainWindow(*window_);
  }
  void TearDown() override {
    if (PreferencesDialogWindow() != nullptr) PreferencesDialogWindow()->Close();
    if (MainWindow* open = FindMainWindow()) open->frame->Destroy();
    wxTheApp->ProcessPendingEvents();
  }
  // Pictures named as a user's would be, in a folder of their own.
  std::vector<std::string> Pictures(int count) {
    const char* names[] = {"harbour-at-dawn", "cover-1994", "logo", "map of the old town",
                           "scan-0042",       "invitation", "menu", "postcard-back"};
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      paths.push_back(
          dir_.File(std::string(names[i % 8]) + (i < 8 ? "" : std::to_string(i)) + ".pict"));
      EXPECT_TRUE(test::CopyFile(test::DataFile("sample.pict"), paths.back()));
    }
    return paths;
  }
  test::TempDir dir_;
  MainWindow* window_ = nullptr;
};

TEST_F(LayoutTest, MainWindowEmptyWithOneFileAndWithMany) {
  ExpectTidy(window_->frame, "main-empty");
  const std::vector<std::string> pictures = Pictures(24);
  ASSERT_TRUE(AddInputFileToWindow(*window_, pictures[0]));
  ExpectTidy(window_->frame, "main-one-file");
  RunCommand(*window_, kCommandNew);
  ASSERT_TRUE(AddInputPathsToWindow(*window_, pictures));
  ExpectTidy(window_->frame, "main-many-files");
  // The summary is no path to edit; the list it sums up opens from it.
  EXPECT_FALSE(window_->input->IsEditable());
  bool listed = false;
  wxTimer watch;
  watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxDialog* list = FindDialog("input_list");
    if (list == nullptr || !list->IsShown()) return;
    watch.Stop();
    ExpectTidy(list, "main-many-files-list");
    listed = true;
    list->EndModal(wxID_CLOSE);
  });
  watch.Start(10);
  ShowInputList(*window_);
  EXPECT_TRUE(listed);
}

TEST_F(LayoutTest, AboutAndFindAFileConverter) {
  const struct {
    int command;
    const char* name;
  } dialogs[] = {{kCommandAbout, "about"}, {kCommandCustomConverter, "converter"}};
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.name);
    RunCommand(*window_, d.command);
    wxDialog* dialog = FindDialog(d.name);
    ASSERT_NE(dialog, nullptr);
    ExpectTidy(dialog, d.name);
    dialog->Close();
    wxTheApp->ProcessPendingEvents();
  }
}

TEST_F(LayoutTest, UninstallPage) {
  wxFrame* page = BuildUninstallPage();
  ExpectTidy(page, "uninstall");
  page->Destroy();
  wxTheApp->ProcessPendingEvents();
}

TEST_F(LayoutTest, EveryPreferencesPage) {
  RunCommand(*window_, kCommandPreferences);
  wxDialog* dialog = PreferencesDialogWindow();
  ASSERT_NE(dialog, nullptr);
  auto* pages = dynamic_cast<wxListBox*>(dialog->FindWindow("pages"));
  ASSERT_NE(pages, nullptr);
  // The frame's solid area and the watermark's text area shown: the pages
  // at their fullest.
  auto choose = [dialog](const char* name, int index) {
    auto* list = dynamic_cast<wxChoice*>(dialog->FindWindow(name));
    ASSERT_NE(list, nullptr) << name;
    list->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, list->GetId());
    event.SetEventObject(list);
    event.SetInt(index);
    list->GetEventHandler()->ProcessEvent(event);
  };
  choose("Frame/Do Frame", 1);
  choose("Watermark/Do Watermark", 1);
  for (unsigned page = 0; page < pages->GetCount(); ++page) {
    pages->SetSelection(static_cast<int>(page));
    wxCommandEvent select(wxEVT_LISTBOX, pages->GetId());
    select.SetEventObject(pages);
    select.SetInt(static_cast<int>(page));
    pages->GetEventHandler()->ProcessEvent(select);
    dialog->Layout();
    ExpectTidy(dialog, "preferences-" + pages->GetString(page).Lower().utf8_string());
  }
}

// A run held after its first files, then let go to its end, where two files
// failed and one was no picture at all.
TEST_F(LayoutTest, ProgressDuringARunAndAtItsEndWithFailures) {
  std::vector<std::string> inputs = Pictures(6);
  const std::string whole = test::ReadText(test::DataFile("sample.pict"));
  inputs.push_back(dir_.File("scan-0043 (cut short).pict"));
  ASSERT_TRUE(test::WriteText(inputs.back(), whole.substr(0, whole.size() / 2)));
  inputs.push_back(dir_.File("notes from the trip.pict"));
  ASSERT_TRUE(test::WriteText(inputs.back(), std::string(600, 'x')));
  ASSERT_TRUE(AddInputPathsToWindow(*window_, inputs));
  RunController* run = window_->model.run.get();
  HoldRun(run);
  bool seen_running = false;
  bool seen_end = false;
  wxTimer watch;
  watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxDialog* progress = FindDialog("progress");
    if (progress == nullptr || seen_end) return;
    auto* status = dynamic_cast<wxStaticText*>(progress->FindWindow("status"));
    if (!seen_running) {
      // Let the worker take two files, then hold it before its next.
      if (ReadProgress(run).processed < 2) {
        ResumeRun(run);
        return;
      }
      HoldRun(run);
      if (status->GetLabel().empty()) return;  // the dialog has yet to show it
      watch.Stop();
      seen_running = true;
      ExpectTidy(progress, "progress-running");
      ResumeRun(run);
      watch.Start(10);
      return;
    }
    if (!progress->FindWindow(wxID_OK)->IsEnabled()) return;
    watch.Stop();
    seen_end = true;
    ExpectTidy(progress, "progress-failures");
    Press(progress->FindWindow(wxID_OK));
  });
  watch.Start(10);
  RunCommand(*window_, kCommandConvert);
  watch.Stop();
  EXPECT_TRUE(seen_running);
  EXPECT_TRUE(seen_end);
}

// The three answers of Help, Check For a New Version, as the message boxes
// GTK draws; only pictures, so only with a folder to put them in.
TEST_F(LayoutTest, UpdateAnswers) {
  if (ShotsFolder() == nullptr) GTEST_SKIP() << "PIC2JPG_SCREENSHOTS names no folder";
  struct Answer {
    int status;
    const char* version;
    const char* name;
    std::string title;  // of the box that shows it
  };
  const Answer answers[] = {{200, "271", "update-new-version", GetText("Msg", "New Update")},
                            {200, "270", "update-none", GetText("Msg", "No Update")},
                            {404, "271", "update-failed", GetText("Msg", "Error")}};
  // Each answer is over once its box has returned.
  bool answered = false;
  Prompter& prompter = window_->model.prompter;
  const Prompter boxes = prompter;
  prompter.ask = [&](const std::string& title, const std::string& text) {
    const bool yes = boxes.ask(title, text);
    answered = true;
    return yes;
  };
  prompter.inform = [&](const std::string& title, const std::string& text) {
    boxes.inform(title, text);
    answered = true;
  };
  prompter.show_error = [&](const std::string& text) {
    boxes.show_error(text);
    answered = true;
  };
  for (const Answer& answer : answers) {
    answered = false;
    test::LocalHttpServer server;
    ASSERT_TRUE(
        test::StartLocalServer(&server, {{{test::HttpAnswer(answer.status, answer.version)}}}));
    setenv("PIC2JPG_UPDATE_URL", server.Url().c_str(), 1);
    // The box is GTK's own: found by its title, shot and answered with
    // Escape (No to the download) through the X server.
    const std::string find = "xdotool search --onlyvisible --name '^" + answer.title + "$'";
    bool shot = false;
    wxTimer watch;
    watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      FILE* found = popen(find.c_str(), "r");
      char id[32] = {0};
      const bool there = found != nullptr && std::fgets(id, sizeof id, found) != nullptr;
      if (found != nullptr) pclose(found);
      if (!there) return;
      watch.Stop();
      const std::string window = std::to_string(std::atol(id));
      int turns = 0;
      TurnUntil([&turns] { return ++turns > 15; }, 1000);
      EXPECT_EQ(Shell("import -silent -window " + window + " '" + ShotsFolder() + "/" +
                      answer.name + ".png'"),
                0);
      EXPECT_EQ(Shell("xdotool windowfocus --sync " + window + " key Escape"), 0);
      shot = true;
    });
    watch.Start(50);
    RunCommand(*window_, kCommandCheckForNewVersion);
    EXPECT_TRUE(TurnUntil([&answered] { return answered; }, 20000)) << answer.name;
    watch.Stop();
    EXPECT_TRUE(shot) << answer.name;
    unsetenv("PIC2JPG_UPDATE_URL");
  }
}

}  // namespace
}  // namespace pic2jpg
