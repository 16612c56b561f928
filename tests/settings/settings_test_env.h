// A private preferences folder for each test: XDG_CONFIG_HOME points into a
// fresh temporary folder, so no test reads or writes the user's own files.
#ifndef PIC2JPG_TESTS_SETTINGS_SETTINGS_TEST_ENV_H_
#define PIC2JPG_TESTS_SETTINGS_SETTINGS_TEST_ENV_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

namespace pic2jpg::test {

// True when `text` is well-formed UTF-8: every sequence decodes to a scalar
// value (no surrogate, nothing above U+10FFFF) in its shortest form.
inline bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80         ? 0
                : (lead >> 5) == 6  ? 1
                : (lead >> 4) == 14 ? 2
                : (lead >> 3) == 30 ? 3
                                    : -1;
    if (extra < 0 || i + extra >= text.size()) return false;
    uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    const uint32_t kShortest[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    const char* old = getenv("XDG_CONFIG_HOME");
    had_config_home_ = old != nullptr;
    if (had_config_home_) old_config_home_ = old;
    setenv("XDG_CONFIG_HOME", temp_.File("config").c_str(), 1);
    platform::SetPrimaryDesktopSize({1920, 1080});
    path_ = BuildPreferencesPath();
    ASSERT_EQ(path_, temp_.File("config/Morvane/quorvel/config.ini"));
  }
  void TearDown() override {
    if (had_config_home_) {
      setenv("XDG_CONFIG_HOME", old_config_home_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    g_settings = Settings{};
    g_preferences_path.clear();
  }

  // Writes the preferences file and loads it into g_settings.
  void LoadText(const std::string& text) {
    ASSERT_TRUE(WriteText(path_, text));
    LoadSettings();
  }

  TempDir temp_;
  std::string path_;
  bool had_config_home_ = false;
  std::string old_config_home_;
};

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_SETTINGS_SETTINGS_TEST_ENV_H_
