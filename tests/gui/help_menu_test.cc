// The Help and Converter menus on the virtual display: About, Find a File
// Converter, the manual, the update check against a local server. Addresses
// are recorded instead of opened; questions are answered by the test.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/hyperlink.h>
// (after wx/hyperlink.h, which it builds on)
#include <wx/generic/hyperlink.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/dialog_links.h"
#include "gui/image_maps.h"
#include "gui/main_window_ui.h"
#include "gui/open_url_ui.h"
#include "gui/theme_colours.h"
#include "gui/themes.h"
#include "gui/update_check_ui.h"
#include "net/update_check.h"
#include "platform/file_system.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/desktop_start.h"
#include "support/local_http_server.h"
#include "support/test_support.h"
#include "support/text_cases.h"
#include "text/identity.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

// Runs the event loop until `done` holds or `max_ms` passed; returns how
// many 10-ms ticks the loop handled meanwhile.
int RunLoopUntil(const std::function<bool()>& done, int max_ms) {
  wxGUIEventLoop loop;
  int ticks = 0;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    ++ticks;
    if (done() || ticks * 10 > max_ms) loop.Exit();
  });
  timer.Start(10);
  loop.Run();
  timer.Stop();
  return ticks;
}

void SendKey(wxWindow* window, int key) {
  wxKeyEvent event(wxEVT_CHAR_HOOK);
  event.m_keyCode = key;
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

template <typename T>
T* Find(const char* name, wxWindow* parent = nullptr) {
  return dynamic_cast<T*>(wxWindow::FindWindowByName(name, parent));
}

// The top-level window of that name that is shown and not on its way out
// (closed windows go at the next idle time); nullptr when there is none.
template <typename T = wxWindow>
T* OpenWindow(const char* name) {
  for (wxWindow* window : wxTopLevelWindows) {
    if (window->GetName() == name && window->IsShown() && !window->IsBeingDeleted()) {
      return dynamic_cast<T*>(window);
    }
  }
  return nullptr;
}
bool IsOpen(const char* name) { return OpenWindow(name) != nullptr; }

class HelpMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartDesktop(dir_);
    g_settings.general.update_range = 5;
    window_ = &BuildMainWindow();
    Prompter& prompter = window_->model.prompter;
    prompter.open_url = [this](const std::string& target, std::function<void()>) {
      opened_.push_back(target);
      return open_works_;
    };
    prompter.ask = [this](const std::string& title, const std::string&) {
      if (title == GetText("Msg", "Check for Updates")) {
        ++asked_check_;
        return true;
      }
      ++asked_download_;
      return download_;
    };
    prompter.inform = [this](const std::string& title, const std::string& text) {
      shown_.push_back(title + ": " + text);
    };
    prompter.show_error = [this](const std::string& text) { shown_.push_back("Error: " + text); };
    prompter.warn = [this](const std::string& text) { warnings_.push_back(text); };
    ShowMainWindow(*window_);
    wxTheApp->ProcessPendingEvents();
  }
  void TearDown() override {
    RunLoopUntil([] { return !UpdateCheckRunning(); }, 15000);
    if (MainWindow* open = FindMainWindow()) open->frame->Destroy();
    wxTheApp->ProcessPendingEvents();
  }
  MainWindow* window_ = nullptr;
  test::TempDir dir_;
  std::vector<std::string> warnings_;
  std::vector<std::string> opened_;
  std::vector<std::string> shown_;
  bool open_works_ = true;
  bool download_ = true;
  int asked_check_ = 0;
  int asked_download_ = 0;
};

TEST(ExtensionCleaningTest, LowerCaseFirstTwelveLettersAndDigits) {
  const test::TextCase<std::string> cases[] = {
      {" .JPG ", "jpg"},
      {"Png", "png"},
      {"j.p.g", "jpg"},
      {"abcdefghij-klmnopqrst", "abcdefghijk"},  // 12 characters, then cleaned
      {"????", ""},
      {"", ""},
      {"\xC3\xA9\xC3\xA9"
       "abcdefghijkl",
       "abcdefghij"},  // é counts as one character
      {"MP4", "mp4"},
  };
  test::ExpectEachText(CleanExtension, cases);
}

TEST_F(HelpMenuTest, ConverterSearchOpensThePairsPage) {
  struct Case {
    std::string from;
    std::string to;
    std::string url;  // "" when the warning is expected
  };
  const Case cases[] = {
      {" .JPG ", "Png", std::string(kVendorWebAddress) + "find/jpg-png/"},
      {"j.p.g", "TIFF image", std::string(kVendorWebAddress) + "find/jpg-tiffimage/"},
      {"????", "png", ""},
      {"jpg", "", ""},
  };
  for (const Case& c : cases) {
    warnings_.clear();
    opened_.clear();
    RunCommand(*window_, kCommandCustomConverter);
    auto* dialog = OpenWindow<wxDialog>("converter");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window_->frame->IsEnabled());
    Find<wxTextCtrl>("from", dialog)->SetValue(wxString::FromUTF8(c.from));
    Find<wxTextCtrl>("to", dialog)->SetValue(wxString::FromUTF8(c.to));
    SendKey(dialog, WXK_RETURN);
    wxTheApp->ProcessPendingEvents();
    if (c.url.empty()) {
      ASSERT_EQ(warnings_.size(), 1u) << c.from;
      EXPECT_EQ(warnings_[0], "Please, fill all required fields and try again!");
      EXPECT_TRUE(opened_.empty());
      ASSERT_TRUE(IsOpen("converter")) << "closed after the warning";
      SendKey(dialog, WXK_ESCAPE);
      wxTheApp->ProcessPendingEvents();
    } else {
      EXPECT_TRUE(warnings_.empty()) << c.from;
      EXPECT_EQ(opened_, std::vector<std::string>{c.url});
    }
    EXPECT_FALSE(IsOpen("converter")) << c.from;
    EXPECT_TRUE(window_->frame->IsEnabled());
  }
  EXPECT_EQ(g_run_state.converter_from, "jpg");
}

TEST_F(HelpMenuTest, AboutOpensItsLinksAndClosesOnReturn) {
  RunCommand(*window_, kCommandAbout);
  auto* dialog = OpenWindow<wxDialog>("about");
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(window_->frame->IsEnabled());
  for (const char* name : {"web", "mail"}) {
    auto* link = Find<wxGenericHyperlinkCtrl>(name, dialog);
    ASSERT_NE(link, nullptr);
    // Readable on the theme's background, whatever the theme.
    const wxColour colour = link->GetNormalColour();
    EXPECT_GE(ContrastRatio(Rgb{colour.Red(), colour.Green(), colour.Blue()}, ThemeBackground()),
              4.5);
    wxHyperlinkEvent click(link, link->GetId(), link->GetURL());
    link->GetEventHandler()->ProcessEvent(click);
  }
  EXPECT_EQ(opened_, (std::vector<std::string>{kVendorWebAddress,
                                               std::string("mailto:") + kSupportAddress}));
  // Laid out by sizers: every control gets at least the size it asks for.
  std::function<void(wxWindow*)> check = [&](wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) {
      const wxSize best = child->GetBestSize();
      EXPECT_GE(child->GetSize().GetWidth(), best.GetWidth()) << child->GetName();
      EXPECT_GE(child->GetSize().GetHeight(), best.GetHeight()) << child->GetName();
      check(child);
    }
  };
  check(dialog);
  EXPECT_GE(dialog->GetClientSize().GetWidth(), 360);
  SendKey(dialog, WXK_RETURN);
  wxTheApp->ProcessPendingEvents();
  EXPECT_FALSE(IsOpen("about"));
  EXPECT_TRUE(window_->frame->IsEnabled());
}

// F1 hands over an absolute path that exists, in the build folder and in an
// installed prefix; a failure to open shows in the status bar.
TEST_F(HelpMenuTest, TheManualIsThere) {
  g_run_state.program_folder = fs::FolderOf(PIC2JPG_EXE);
  if (g_run_state.program_folder.back() != '/') g_run_state.program_folder += '/';
  RunCommand(*window_, kCommandManual);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0].front(), '/');
  EXPECT_TRUE(fs::IsRegularFile(opened_[0])) << opened_[0];

  ASSERT_TRUE(fs::MakeFolders(dir_.File("share/doc/pic2jpg/manual")));
  ASSERT_TRUE(test::WriteText(dir_.File("share/doc/pic2jpg/manual/index.html"), "<html>"));
  ASSERT_TRUE(fs::MakeFolders(dir_.File("bin")));
  g_run_state.program_folder = dir_.File("bin/");
  EXPECT_EQ(ManualPath(), fs::AbsolutePath(dir_.File("share/doc/pic2jpg/manual/index.html")));

  open_works_ = false;
  RunCommand(*window_, kCommandVisitHomepage);
  EXPECT_EQ(StatusText(*window_), "Could not open " + HomepageUrl());
}

// The check runs off the window's thread: the loop keeps turning while a
// slow server is awaited, a second request meanwhile does nothing, and the
// outcome is shown when it comes.
TEST_F(HelpMenuTest, UpdateCheckOutcomesWithoutFreezing) {
  struct Case {
    std::vector<test::ScriptedAnswer> answers;
    std::string shown;  // "" for the download question
  };
  const std::string problems = "Error: Internet connection problems!";
  const std::string current =
      "No Update: There is no update of Morvane PIC to JPG yet. You're using the most recent "
      "version.";
  const Case cases[] = {
      {{{{test::HttpAnswer(200, "271")}, 400}}, ""},
      {{{{test::HttpAnswer(200, "270")}}}, current},
      {{{{test::HttpAnswer(404, "271")}}}, problems},
      {{{{test::HttpAnswer(200, "271")}, 5000}}, problems},  // silent past the limit
  };
  g_update_timeout_ms = 1500;
  for (const Case& c : cases) {
    shown_.clear();
    opened_.clear();
    asked_download_ = 0;
    test::LocalHttpServer server;
    ASSERT_TRUE(test::StartLocalServer(&server, c.answers));
    setenv("PIC2JPG_UPDATE_URL", server.Url().c_str(), 1);
    RunCommand(*window_, kCommandCheckForNewVersion);
    EXPECT_TRUE(UpdateCheckRunning());
    RunCommand(*window_, kCommandCheckForNewVersion);  // ignored while one runs
    const int ticks = RunLoopUntil([] { return !UpdateCheckRunning(); }, 10000);
    EXPECT_FALSE(UpdateCheckRunning());
    EXPECT_LE(server.Requests().size(), 1u);
    if (c.shown.empty()) {
      EXPECT_GE(ticks, 5) << "the loop stood still while the answer was awaited";
      EXPECT_EQ(asked_download_, 1);
      EXPECT_EQ(opened_, std::vector<std::string>{DownloadPageUrl()});
      EXPECT_TRUE(shown_.empty());
    } else {
      EXPECT_EQ(asked_download_, 0);
      EXPECT_EQ(shown_, std::vector<std::string>{c.shown});
    }
  }
  // A refused connection; No to the download question opens nothing.
  setenv("PIC2JPG_UPDATE_URL",
         ("http://127.0.0.1:" + std::to_string(test::RefusingPort()) + "/").c_str(), 1);
  shown_.clear();
  CheckForUpdate();
  RunLoopUntil([] { return !UpdateCheckRunning(); }, 10000);
  EXPECT_EQ(shown_, std::vector<std::string>{problems});
  unsetenv("PIC2JPG_UPDATE_URL");
  g_update_timeout_ms = kUpdateTimeoutMs;
}

// Asked at most once per interval, and the date moves whatever the answer.
TEST_F(HelpMenuTest, TheScheduleAsksOncePerInterval) {
  test::LocalHttpServer server;
  ASSERT_TRUE(test::StartLocalServer(&server, {{{test::HttpAnswer(200, "270")}}}));
  setenv("PIC2JPG_UPDATE_URL", server.Url().c_str(), 1);
  g_settings.general.update_range = 0;
  g_settings.general.update_date = 0;
  ScheduledUpdateCheck();
  EXPECT_GT(g_settings.general.update_date, 0);
  RunLoopUntil([this] { return asked_check_ > 0 && !UpdateCheckRunning(); }, 10000);
  EXPECT_EQ(asked_check_, 1);
  EXPECT_EQ(server.Requests().size(), 1u);
  ScheduledUpdateCheck();
  RunLoopUntil([] { return false; }, 100);
  EXPECT_EQ(asked_check_, 1);
  g_settings.general.update_range = 5;
  g_settings.general.update_date = 0;
  ScheduledUpdateCheck();
  RunLoopUntil([] { return false; }, 100);
  EXPECT_EQ(asked_check_, 1);
  unsetenv("PIC2JPG_UPDATE_URL");
}

}  // namespace
}  // namespace pic2jpg
