// The real main window, driven in-process on the virtual display through its
// commands; message boxes are answered by the test.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/handover_ui.h"
#include "gui/image_maps.h"
#include "gui/main_window_ui.h"
#include "gui/themes.h"
#include "platform/file_system.h"
#include "runlist/handover.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    wxApp::SetInstance(new wxApp);
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display";
    wxInitAllImageHandlers();
  }
  void TearDown() override { wxEntryCleanup(); }
};
::testing::Environment* const kWx = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

// Handles the window's events until `done` holds; false when `max_ms`
// passed first.
bool RunLoopUntil(const std::function<bool()>& done, int max_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    wxTheApp->ProcessPendingEvents();
    wxMilliSleep(5);
  }
  return true;
}

struct DialogSeen {
  std::string title;
  std::string status;
};

// Runs `command` while a timer watches the progress dialog: `on_running` is
// called once while the run is under way, and the dialog's result is read
// and OK pressed once OK is enabled.
DialogSeen RunWithDialog(MainWindow& window, int command,
                         const std::function<void(wxDialog*)>& on_running = {},
                         std::chrono::milliseconds* longest_pause = nullptr) {
  DialogSeen seen;
  bool running_seen = false;
  std::chrono::steady_clock::time_point last_tick;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    auto* dialog = dynamic_cast<wxDialog*>(wxWindow::FindWindowByName("progress"));
    if (dialog == nullptr) return;
    const auto now = std::chrono::steady_clock::now();
    if (longest_pause != nullptr && last_tick != std::chrono::steady_clock::time_point{}) {
      *longest_pause = std::max(
          *longest_pause, std::chrono::duration_cast<std::chrono::milliseconds>(now - last_tick));
    }
    last_tick = now;
    auto* ok = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_OK));
    if (!ok->IsEnabled()) {
      if (!running_seen && on_running) on_running(dialog);
      running_seen = true;
      return;
    }
    seen.title = dialog->GetTitle().utf8_string();
    seen.status =
        dynamic_cast<wxStaticText*>(dialog->FindWindowByName("status"))->GetLabel().utf8_string();
    wxCommandEvent press(wxEVT_BUTTON, wxID_OK);
    press.SetEventObject(ok);
    ok->GetEventHandler()->ProcessEvent(press);
  });
  timer.Start(5);
  RunCommand(window, command);
  timer.Stop();
  return seen;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    FillImageMaps();
    LoadTextCatalogue("");
    ResetRunStateForTest();
    g_preferences_path = dir_.File("config.ini");
    ApplyDefaultSettings(false);
    LoadBuiltInImages();
    picture_ = dir_.File("photo.pict");
    ASSERT_TRUE(test::CopyFile(test::DataFile("sample.pict"), picture_));
    window_ = &BuildMainWindow();
    window_->model.prompter.warn = [this](const std::string& text) { warnings_.push_back(text); };
    ShowMainWindow(*window_);
  }
  void TearDown() override {
    if (MainWindow* open = FindMainWindow()) open->frame->Destroy();
    wxTheApp->ProcessPendingEvents();
  }
  static void ResetRunStateForTest() { g_run_state = RunState{}; }
  MainWindow* window_ = nullptr;
  test::TempDir dir_;
  std::string picture_;
  std::vector<std::string> warnings_;
};

// The "Done when" path: a file taken as if dropped, F5's command, the JPEG
// and the result texts; the output folder is proposed from the input.
TEST_F(MainWindowTest, ConvertsADroppedFile) {
  ASSERT_TRUE(AddInputFileToWindow(*window_, picture_));
  EXPECT_EQ(window_->input->GetValue().utf8_string(), picture_);
  EXPECT_EQ(window_->folders->GetValue().utf8_string(), dir_.path());
  DialogSeen seen = RunWithDialog(*window_, kCommandConvert);
  EXPECT_TRUE(warnings_.empty());
  // The title, the line and the status bar agree.
  EXPECT_EQ(seen.title, "Conversion complete: 1 of 1 converted");
  EXPECT_EQ(seen.status, "1 of 1 converted");
  EXPECT_EQ(StatusText(*window_), seen.title);
  EXPECT_GT(fs::FileSize(dir_.File("photo.jpg")), 0);
  EXPECT_TRUE(window_->frame->IsEnabled());

  // A rejected file leaves the field as it was.
  ASSERT_TRUE(test::WriteText(dir_.File("notes.txt"), "x"));
  EXPECT_FALSE(AddInputFileToWindow(*window_, dir_.File("notes.txt")));
  EXPECT_EQ(window_->input->GetValue().utf8_string(), picture_);
}

// The close box, Escape and Stop during a run ask; Yes ends the run after the
// file in progress, No lets it go on. Neither leaves the dialog stuck.
TEST_F(MainWindowTest, TheStopQuestionDecidesAndNeverSticks) {
  ASSERT_TRUE(AddInputFileToWindow(*window_, picture_));
  auto escape = [](wxDialog* dialog) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    key.SetEventObject(dialog);
    dialog->GetEventHandler()->ProcessEvent(key);
  };
  auto stop = [](wxDialog* dialog) {
    wxWindow* button = dialog->FindWindow("stop");
    ASSERT_NE(button, nullptr);
    wxCommandEvent press(wxEVT_BUTTON, button->GetId());
    press.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(press);
  };
  struct Case {
    bool yes;
    std::function<void(wxDialog*)> ask;
  };
  const Case cases[] = {{true, [](wxDialog* dialog) { dialog->Close(); }},
                        {false, [](wxDialog* dialog) { dialog->Close(); }},
                        {true, escape},
                        {false, escape},
                        {true, stop}};
  for (const Case& c : cases) {
    int asked = 0;
    window_->model.prompter.ask_yes_no = [&](const std::string&) {
      ++asked;
      return c.yes;
    };
    // Held from the start, the worker waits before its file until the
    // question is answered, so the answer always comes before the run ends.
    HoldRun(window_->model.run.get());
    DialogSeen seen = RunWithDialog(*window_, kCommandConvert, c.ask);
    EXPECT_EQ(asked, 1);
    if (c.yes) {
      EXPECT_EQ(seen.title.rfind("Conversion stopped: ", 0), 0u) << seen.title;
      EXPECT_EQ(StatusText(*window_), seen.title);
    } else {
      EXPECT_EQ(seen.title, "Conversion complete: 1 of 1 converted");
    }
  }
}

// Two files and a folder dropped at once: the folder is walked off the
// user-interface thread, its tree is rebuilt below the output folder, the
// count covers every file, and what is no picture is listed with its reason.
// A container in the folder (MacBinary) gives its resource as one more file.
TEST_F(MainWindowTest, ADropOfFilesAndAFolderConvertsThemAll) {
  const std::string second = dir_.File("second.pct");
  ASSERT_TRUE(test::CopyFile(picture_, second));
  ASSERT_TRUE(fs::MakeFolders(dir_.File("album/deep")));
  ASSERT_TRUE(test::CopyFile(picture_, dir_.File("album/a.pict")));
  ASSERT_TRUE(test::CopyFile(picture_, dir_.File("album/deep/b.pic")));
  ASSERT_TRUE(test::WriteText(dir_.File("album/notes.txt"), "x"));
  ASSERT_TRUE(test::WriteText(dir_.File("album/deep/empty.pict"), ""));
  ASSERT_TRUE(test::CopyFile(test::DataFile("containers/mactip__Iomega_Tester.rsrc.bin"),
                             dir_.File("album/deep/Tester.bin")));
  test::TempDir out;
  window_->folders->Append(wxString::FromUTF8(out.path()));
  window_->folders->SetSelection(static_cast<int>(window_->folders->GetCount()) - 1);

  CollectInputsInBackground(*window_, {picture_, second, dir_.File("album")});
  RunLoopUntil([&] { return window_->model.inputs.files.size() >= 5; }, 20000);
  ASSERT_EQ(window_->model.inputs.files.size(), 5u);
  EXPECT_EQ(window_->input->GetValue().utf8_string(), "5 files: photo.pict and 4 more");
  EXPECT_FALSE(window_->input->IsEditable());
  DialogSeen seen = RunWithDialog(*window_, kCommandConvert);
  EXPECT_EQ(seen.status, "5 of 5 converted");
  for (const char* name :
       {"photo.jpg", "second.jpg", "a.jpg", "deep/b.jpg", "deep/Tester-128.jpg"}) {
    EXPECT_GT(fs::FileSize(out.File(name)), 0) << name;
  }
  ASSERT_EQ(window_->model.last_failures.size(), 1u);  // the empty picture; notes.txt is no picture
  EXPECT_NE(window_->model.last_failures[0].find("empty.pict: the file is empty"),
            std::string::npos);

  // Ctrl+N starts anew with an empty list and no output folder.
  RunCommand(*window_, kCommandNew);
  EXPECT_TRUE(window_->model.inputs.files.empty());
  EXPECT_EQ(window_->input->GetValue().utf8_string(), "");
  EXPECT_TRUE(window_->input->IsEditable());
  EXPECT_EQ(window_->folders->GetValue().utf8_string(), "");
}

// Ctrl+N while a large folder is walked: the walk's files belong to the
// session that ended and are dropped, so the list stays empty (and, under
// ThreadSanitizer, the walk and the window share nothing unguarded).
TEST_F(MainWindowTest, NewSessionDuringAWalkLeavesAnEmptyList) {
  const std::string big = dir_.File("big");
  ASSERT_TRUE(fs::MakeFolders(big));
  for (int i = 0; i < 20000; ++i) {
    ASSERT_TRUE(test::WriteText(big + "/p" + std::to_string(i) + ".pict", "x"));
  }
  CollectInputsInBackground(*window_, {big});
  RunCommand(*window_, kCommandNew);
  const std::string importing = GetText("General", "Importing");
  ASSERT_TRUE(RunLoopUntil([&] { return StatusText(*window_) != importing; }, 60000));
  EXPECT_TRUE(window_->model.inputs.files.empty());
  EXPECT_EQ(window_->input->GetValue().utf8_string(), "");

  // The next walk is taken.
  CollectInputsInBackground(*window_, {picture_});
  ASSERT_TRUE(RunLoopUntil([&] { return !window_->model.inputs.files.empty(); }, 60000));
  EXPECT_EQ(window_->input->GetValue().utf8_string(), picture_);
}

TEST_F(MainWindowTest, WarningsOfTheWindowFields) {
  struct Case {
    std::string input;
    std::string folder;
    std::string warning;
  };
  const Case cases[] = {
      {"", dir_.path(), GetText("Msg", "Empty input files")},
      {picture_, "", GetText("Msg", "Empty output folder")},
  };
  for (const Case& c : cases) {
    warnings_.clear();
    window_->input->SetValue(wxString::FromUTF8(c.input));
    window_->folders->Clear();
    if (!c.folder.empty()) {
      window_->folders->Append(wxString::FromUTF8(c.folder));
      window_->folders->SetSelection(0);
    }
    RunCommand(*window_, kCommandConvert);
    ASSERT_EQ(warnings_.size(), 1u) << c.input;
    EXPECT_EQ(warnings_[0], c.warning);
    EXPECT_EQ(StatusText(*window_), "Conversion stopped");
  }
}

// Exit writes the geometry and the settings; with the history switched off
// the folder list is not kept.
TEST_F(MainWindowTest, ExitWritesThePreferences) {
  ASSERT_TRUE(AddInputFileToWindow(*window_, picture_));
  window_->frame->SetSize(700, -1);
  wxTheApp->ProcessPendingEvents();
  g_settings.advanced.out_folders_history = 0;
  RunCommand(*window_, kCommandExit);
  ASSERT_TRUE(window_->model.quit_requested);
  const std::string saved = test::ReadText(g_preferences_path);
  EXPECT_NE(saved.find("Width = " + std::to_string(g_settings.window.width)), std::string::npos);
  EXPECT_EQ(g_settings.window.width, 700);

  LoadSettings();
  EXPECT_EQ(g_settings.file.recent_out_folders, "");
}

// A second start hands over a tree as large as /usr: it is walked off the
// window's thread, so every round of the window's events ends within
// 200 ms while it is, and Alt+X still ends the window at once.
TEST_F(MainWindowTest, AHandedOverTreeLeavesTheWindowAnswering) {
  test::TempDir runtime;
  ASSERT_EQ(chmod(runtime.path().c_str(), 0700), 0);
  setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  std::string error;
  ASSERT_TRUE(StartHandoverService("Answering 1.0", &error)) << error;
  TakeHandoversIntoWindow();
  std::atomic<bool> answered{false};
  HandoverResult result;
  std::thread start([&] {
    result = HandOverToWindow("Answering 1.0", {"/usr"}, kHandoverWaitMs);
    answered = true;
  });
  using Clock = std::chrono::steady_clock;
  std::chrono::milliseconds longest{0};
  Clock::time_point answered_at;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
  // The window's events for a second after the start was answered: the walk
  // goes on meanwhile.
  while (Clock::now() < deadline &&
         (!answered || Clock::now() - answered_at < std::chrono::seconds(1))) {
    if (answered && answered_at == Clock::time_point{}) answered_at = Clock::now();
    const Clock::time_point round = Clock::now();
    wxTheApp->ProcessPendingEvents();
    longest = std::max(longest,
                       std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - round));
    std::this_thread::yield();
  }
  start.join();
  EXPECT_EQ(result.outcome, HandoverOutcome::kDelivered) << result.reason;
  EXPECT_LT(longest.count(), 200);
  const Clock::time_point exit = Clock::now();
  RunCommand(*window_, kCommandExit);
  EndHandoverService();
  EXPECT_LT(Clock::now() - exit, std::chrono::seconds(3));
  unsetenv("XDG_RUNTIME_DIR");
}

// A watermark picture of 20000 x 20000 is loaded by the run while the
// progress dialog is up, not before it on the window's thread; it is over
// the reader's limits and is the run's one failure.
TEST_F(MainWindowTest, AHugeWatermarkPictureLeavesTheWindowAnswering) {
  const std::string mark = dir_.File("mark.png");
  FIBITMAP* huge = FreeImage_Allocate(20000, 20000, 1);
  ASSERT_NE(huge, nullptr);
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, huge, mark.c_str(), PNG_Z_BEST_SPEED));
  FreeImage_Unload(huge);
  ASSERT_TRUE(AddInputFileToWindow(*window_, picture_));
  g_settings.watermark.kind = WatermarkKind::kImage;
  g_settings.watermark.image = mark;
  std::chrono::milliseconds longest{0};
  const DialogSeen seen = RunWithDialog(*window_, kCommandConvert, {}, &longest);
  EXPECT_TRUE(warnings_.empty());
  EXPECT_LT(longest.count(), 200);
  EXPECT_FALSE(fs::Exists(dir_.File("photo.jpg")));
  ASSERT_EQ(window_->model.last_failures.size(), 1u);
  // The failure list names the file by its name; the full path is its tooltip.
  EXPECT_EQ(window_->model.last_failures[0].rfind("mark.png: ", 0), 0u)
      << window_->model.last_failures[0];
}

}  // namespace
}  // namespace pic2jpg
