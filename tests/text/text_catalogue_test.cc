#include "text/text_catalogue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace pic2jpg {
namespace {

class TextCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override { LoadTextCatalogue(""); }

  static const TextGroup* Group(const std::string& upper_name) {
    for (size_t g = 1; g < g_text_catalogue.groups.size(); ++g) {
      if (g_text_catalogue.groups[g].name == upper_name) return &g_text_catalogue.groups[g];
    }
    return nullptr;
  }
};

// The groups are blocks that follow one another without gaps or overlaps,
// none empty, with distinct names, and together they hold every key once.
TEST_F(TextCatalogueTest, GroupsAreContiguousDistinctBlocksCoveringEveryKey) {
  ASSERT_GT(g_text_catalogue.groups.size(), 1u);
  std::set<std::string> names;
  int previous_last = 0;
  for (size_t g = 1; g < g_text_catalogue.groups.size(); ++g) {
    const TextGroup& group = g_text_catalogue.groups[g];
    EXPECT_TRUE(names.insert(group.name).second) << group.name;
    EXPECT_EQ(group.first, previous_last + 1) << group.name;
    EXPECT_GE(group.last, group.first) << group.name;
    previous_last = group.last;
  }
  EXPECT_EQ(static_cast<size_t>(previous_last) + 1, g_text_catalogue.keys.size());
}

TEST_F(TextCatalogueTest, KeysAreUpperCaseSortedAndIndexedByFirstLetter) {
  for (size_t g = 1; g < g_text_catalogue.groups.size(); ++g) {
    const TextGroup& group = g_text_catalogue.groups[g];
    for (int j = group.first; j <= group.last; ++j) {
      const std::string& key = g_text_catalogue.keys[j];
      ASSERT_FALSE(key.empty());
      for (char c : key) EXPECT_FALSE(c >= 'a' && c <= 'z') << key;
      if (j > group.first) {
        EXPECT_LE(g_text_catalogue.keys[j - 1], key) << group.name;
      }
      // The first-letter slot points at the first key with that letter.
      int slot = group.first_letter[static_cast<unsigned char>(key[0])];
      EXPECT_LE(slot, j);
      EXPECT_EQ(g_text_catalogue.keys[slot][0], key[0]);
      if (slot > group.first) {
        EXPECT_NE(g_text_catalogue.keys[slot - 1][0], key[0]);
      }
    }
    // Letters no key begins with have no slot.
    for (int c = 0; c < 256; ++c) {
      int slot = group.first_letter[c];
      if (slot != 0) {
        EXPECT_EQ(static_cast<unsigned char>(g_text_catalogue.keys[slot][0]), c);
      }
    }
  }
}

TEST_F(TextCatalogueTest, FindsTextsOfEveryGroupInAnyLetterCase) {
  struct Case {
    const char* group;
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {"Menu", "File", "File"},
      {"Menu", "Select Input File", "Add Input File..."},
      {"Menu", "Custom Converter", "Find a File Converter..."},
      {"Menu", "About", "About..."},
      {"General", "Preparing", "Preparing..."},
      {"General", "Importing", "Importing..."},
      {"General", "Converting", "Converting..."},
      {"Msg", "Import complete", "Import complete, new files added: %s1%"},
      {"Msg", "Empty input files",
       "No input file(s) found. Please, add valid file(s) and try again!"},
      {"Msg", "Conversion is not complete", "Conversion stopped"},
      {"Msg", "Conversion complete", "Conversion complete"},
      {"Msg", "Files converted", "Files converted: %s1% of %s2%"},
      {"Msg", "Progress", "(%s1%/%s2%)"},
      {"Msg", "Invalid output folder",
       "The following output folder is invalid or doesn't exist:\n%s1%\n\nPlease, correct the "
       "output path and try again!"},
      {"Dialog", "Convert Progress", "Converting"},
      {"Dialog", "OK", "OK"},
      {"About", "Website", "Web:"},
      {"Custom-Converter", "From", "From:"},
      {"Uninstall", "Uninstall Text", "Full Uninstall - Visit Uninstall Center"},
      // Letter case is ignored on both sides.
      {"MSG", "conversion COMPLETE", "Conversion complete"},
      {"preferences", "Check For Updates", "Check for Updates:"},
      {"custom-converter", "TITLE", "Find a File Converter"},
      // The same key in different groups.
      {"Menu", "Select Output Folder", "Select Output Folder..."},
      {"Dialog", "Select Output Folder", "Select Output Folder"},
      {"About", "Title", "About..."},
      {"Uninstall", "Title", "Uninstall"},
      // A key that is a prefix of longer keys finds its own entry.
      {"Preferences", "Image", "Image:"},
      {"Preferences", "Image Width", "Image Width:"},
      {"Preferences", "Medium", "Medium"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetText(c.group, c.key), c.text) << c.group << "/" << c.key;
  }
}

TEST_F(TextCatalogueTest, UnknownGroupsAndKeysGiveTheErrorText) {
  const std::pair<const char*, const char*> cases[] = {
      {"Nowhere", "File"},       // unknown group
      {"Menu", ""},              // empty key
      {"Menu", "Zebra"},         // no key begins with Z
      {"Menu", "Filed"},         // longer than an existing key
      {"Menu", "Fil"},           // prefix of an existing key
      {"Msg", "Conversion"},     // between keys
      {"", "File"},              // empty group
      {"Menu", "\xC3\xA4pfel"},  // first byte above 127
      {"Preferences", "Zz"},     // after the last key
  };
  for (const auto& [group, key] : cases) {
    EXPECT_EQ(GetText(group, key), kNoStringError) << group << "/" << key;
  }
}

// Lookups write nothing: threads taking turns between groups all get their
// own texts (the sanitizer build with threads checks the same).
TEST_F(TextCatalogueTest, LookupsFromManyThreadsAgree) {
  const std::pair<const char*, const char*> lookups[] = {
      {"Msg", "Error"}, {"General", "Ready"}, {"Msg", "Warning"}, {"Unknown", "Error"}};
  std::vector<std::string> expected;
  for (const auto& [group, key] : lookups) expected.push_back(GetText(group, key));
  std::atomic_int mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        const size_t n = static_cast<size_t>(i + t) % std::size(lookups);
        if (GetText(lookups[n].first, lookups[n].second) != expected[n]) ++mismatches;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(TextCatalogueTest, MediumOccursTwiceSideBySide) {
  const TextGroup* group = Group("PREFERENCES");
  ASSERT_NE(group, nullptr);
  std::vector<int> slots;
  for (int j = group->first; j <= group->last; ++j) {
    if (g_text_catalogue.keys[j] == "MEDIUM") slots.push_back(j);
  }
  ASSERT_EQ(slots.size(), 2u);
  EXPECT_EQ(slots[1], slots[0] + 1);
  EXPECT_EQ(g_text_catalogue.texts[slots[0]], "Medium");
  EXPECT_EQ(g_text_catalogue.texts[slots[1]], "Medium");
}

// Preferences labels whose text is the key and a colon, and list items whose
// text is the key itself.
constexpr const char* kWithColon[] = {"Language",
                                      "Input Format",
                                      "Header Size",
                                      "Load As",
                                      "Frame Loading",
                                      "Output Format",
                                      "Bits Per Pixel",
                                      "Compression",
                                      "Color Table",
                                      "Color Model",
                                      "Image Quality",
                                      "Chroma Subsampling",
                                      "Save As",
                                      "Interlaced",
                                      "Image Rotation",
                                      "Rotation Type",
                                      "Rotation Angle",
                                      "Background Color",
                                      "Image Resize",
                                      "Image Width",
                                      "Image Height",
                                      "Resize Type",
                                      "Resize Algorithm",
                                      "Image Brightness",
                                      "Image Contrast",
                                      "Image Threshold",
                                      "Threshold Level",
                                      "Left",
                                      "Right",
                                      "Top",
                                      "Bottom",
                                      "Left Color",
                                      "Right Color",
                                      "Top Color",
                                      "Bottom Color",
                                      "Text",
                                      "Image",
                                      "Font",
                                      "Font Size",
                                      "Font Leading",
                                      "Font Color",
                                      "Font Style",
                                      "Font Effect",
                                      "Antialiasing",
                                      "Text Alignment",
                                      "Text Padding",
                                      "Text Opacity",
                                      "Background Opacity",
                                      "Opacity",
                                      "Boundary",
                                      "Position",
                                      "X-Offset",
                                      "Y-Offset",
                                      "Size",
                                      "Scale",
                                      "Filename Mask",
                                      "File Timestamp",
                                      "Custom Timestamp",
                                      "Keep Subfolders",
                                      "Check for Updates"};
constexpr const char* kAsKey[] = {"None",
                                  "Auto",
                                  "General",
                                  "Every day",
                                  "Every week",
                                  "Every month",
                                  "Every 3 months",
                                  "Every 6 months",
                                  "Never",
                                  "Interface",
                                  "Small",
                                  "Medium",
                                  "Large",
                                  "Input",
                                  "Linear",
                                  "Adaptive Logarithmic",
                                  "DR Reduction",
                                  "Gradient Domain",
                                  "Output",
                                  "RLE",
                                  "ZIP",
                                  "PXR24",
                                  "B44",
                                  "LZW",
                                  "JPEG",
                                  "Exact",
                                  "RGB",
                                  "CMYK",
                                  "Low",
                                  "High",
                                  "Baseline Standard",
                                  "Baseline Simple",
                                  "Baseline Optimized",
                                  "Progressive",
                                  "Transform",
                                  "All Images",
                                  "Large Images",
                                  "Box",
                                  "Bilinear",
                                  "Bicubic",
                                  "Lanczos",
                                  "Adjustment",
                                  "Frame",
                                  "Watermark",
                                  "Color",
                                  "Black",
                                  "Silver",
                                  "Gray",
                                  "White",
                                  "Maroon",
                                  "Red",
                                  "Purple",
                                  "Fuchsia",
                                  "Green",
                                  "Lime",
                                  "Olive",
                                  "Yellow",
                                  "Navy",
                                  "Blue",
                                  "Teal",
                                  "Aqua",
                                  "Orange",
                                  "Brown",
                                  "Violet",
                                  "Regular",
                                  "Bold",
                                  "Italic",
                                  "Bold Italic",
                                  "Underline",
                                  "Top-Left",
                                  "Top-Center",
                                  "Top-Right",
                                  "Middle-Left",
                                  "Middle-Center",
                                  "Middle-Right",
                                  "Bottom-Left",
                                  "Bottom-Center",
                                  "Bottom-Right",
                                  "Fixed",
                                  "Advanced",
                                  "Current",
                                  "Original",
                                  "Custom"};
constexpr std::pair<const char*, const char*> kOthers[] = {
    {"Title", "Preferences..."},
    {"Save window position", "Save Window's Coords:"},
    {"UI Theme", "Theme:"},
    {"Bytes", "bytes"},
    {"RGB48HS", "RGB 48-bit (HS)"},
    {"BGRA", "BGR 32-bit"},
    {"All Frames", "All"},
    {"Tone Mapping", "HDR Tone Mapping:"},
    {"PIZ", "PIZ Wavelet"},
    {"DEFLATE", "Deflate (ZLib)"},
    {"Pixels", "pixels"},
    {"Keep Aspect Ratio", "Keep Proportions:"},
    {"Catmullrom", "Catmull-Rom Spline"},
    {"Image Gamma", "Gamma Correction:"},
    {"Frame Type", "Frame:"},
    {"Watermark Image", "Image"},
    {"Strikeout", "Strikethrough"},
    {"Align Center", "Center"},
    {"Bound Frame", "Frame"},
    {"Clean On Exit", "Clean on Exit"},
    {"Out Folders Number", "Output Folders Number:"}};

TEST_F(TextCatalogueTest, PreferencesTextsDerivedFromKeys) {
  for (const char* key : kWithColon) {
    EXPECT_EQ(GetText("Preferences", key), std::string(key) + ":") << key;
  }
  for (const char* key : kAsKey) EXPECT_EQ(GetText("Preferences", key), key) << key;

  for (const auto& [key, text] : kOthers) EXPECT_EQ(GetText("Preferences", key), text) << key;
}

TEST_F(TextCatalogueTest, OverrideFileReplacesTextsOfMatchingGroupsAndKeys) {
  test::TempDir dir;
  const std::string path = dir.File("texts.ini");
  ASSERT_TRUE(test::WriteText(path,
                              "\xEF\xBB\xBF[general]\n"
                              "PREPARING = Vorbereitung...\n"
                              "Unknown Key = ignored\n"
                              "[Msg]\n"
                              "Files converted = %s1% von %s2% umgewandelt\n"
                              "[Nowhere]\n"
                              "Ready = ignored\n"));
  LoadTextCatalogue(path);
  EXPECT_EQ(GetText("General", "Preparing"), "Vorbereitung...");
  EXPECT_EQ(GetText("Msg", "Files converted"), "%s1% von %s2% umgewandelt");
  // Keys missing from the file keep their built-in texts.
  EXPECT_EQ(GetText("General", "Ready"), "Ready");
  EXPECT_EQ(GetText("General", "Unknown Key"), kNoStringError);

  // Loading again without the file brings the built-in texts back.
  LoadTextCatalogue("");
  EXPECT_EQ(GetText("General", "Preparing"), "Preparing...");
}

TEST_F(TextCatalogueTest, UnreadableOverrideFilesAreIgnored) {
  test::TempDir dir;
  ASSERT_TRUE(test::WriteText(dir.File("binary.ini"), std::string("\0\x01\xFF[\n=\r\0", 8)));
  const std::string paths[] = {dir.File("missing.ini"), dir.path(), dir.File("binary.ini")};
  for (const std::string& path : paths) {
    LoadTextCatalogue(path);
    EXPECT_EQ(GetText("General", "Preparing"), "Preparing...") << path;
    EXPECT_EQ(GetText("Msg", "Conversion is not complete"), "Conversion stopped") << path;
  }
}

}  // namespace
}  // namespace pic2jpg
