// Files written piece by piece: the name appears only with the whole file,
// an earlier file of that name survives until then, and nothing temporary
// is left behind either way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using test::TempDir;

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(FileWriterTest, TheNameShowsTheWholeFileOnlyAfterFinishing) {
  enum class End { kFinish, kAbandon };
  struct Case {
    const char* name;
    bool earlier_file;
    End end;
    std::string expected;  // the file's contents afterwards; "-" for no file
  };
  const Case kCases[] = {
      {"new file", false, End::kFinish, "alpha-beta-gamma"},
      {"replaces an earlier file", true, End::kFinish, "alpha-beta-gamma"},
      {"abandoned, no earlier file", false, End::kAbandon, "-"},
      {"abandoned, the earlier file stays", true, End::kAbandon, "earlier"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir temp;
    const std::string path = temp.File("out.tga");
    if (c.earlier_file) {
      ASSERT_TRUE(test::WriteText(path, "earlier"));
    }
    fs::FileWriter writer;
    ASSERT_TRUE(fs::StartFile(path, &writer));
    for (const char* part : {"alpha", "-beta", "-gamma"}) {
      ASSERT_TRUE(fs::WritePart(&writer, part, std::char_traits<char>::length(part)));
      // Until the end, the name holds the earlier file or nothing.
      EXPECT_EQ(fs::Exists(path), c.earlier_file);
    }
    if (c.end == End::kFinish) {
      EXPECT_TRUE(fs::FinishFile(&writer));
    } else {
      fs::AbandonFile(&writer);
    }
    if (c.expected == "-") {
      EXPECT_FALSE(fs::Exists(path));
      EXPECT_TRUE(NamesIn(temp.path()).empty());
    } else {
      EXPECT_EQ(test::ReadText(path), c.expected);
      EXPECT_EQ(NamesIn(temp.path()), std::vector<std::string>{"out.tga"});
    }
  }
}

TEST(FileWriterTest, AFolderThatIsNotThereRefusesTheStart) {
  TempDir temp;
  fs::FileWriter writer;
  EXPECT_FALSE(fs::StartFile(temp.File("missing/out.tga"), &writer));
  EXPECT_FALSE(fs::WritePart(&writer, "x", 1));
  EXPECT_FALSE(fs::FinishFile(&writer));
  fs::AbandonFile(&writer);  // harmless on a writer that never started
}

TEST(FileWriterTest, BelowAFolderNoLinkIsFollowedAndNothingIsLeftOfAFailure) {
  struct Case {
    const char* name;
    std::string relative;
    bool written;
  };
  const std::string long_name(300, 'x');  // longer than a name may be
  const Case kCases[] = {
      {"new folders on the way", "a/./b//out.jpg", true},
      {"a link as a folder", "link/out.jpg", false},
      {"a link deeper down", "real/link/new/out.jpg", false},
      {"a link as the name", "real/named.jpg", false},
      {"up and out", "real/../../out.jpg", false},
      {"fails after making folders", "new/newer/" + long_name, false},
      {"a file in the way", "real/file/out.jpg", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir out;
    TempDir outside;
    ASSERT_TRUE(test::WriteText(outside.File("kept"), "kept"));
    ASSERT_TRUE(fs::MakeFolder(out.File("real")));
    ASSERT_TRUE(test::WriteText(out.File("real/file"), "file"));
    ASSERT_EQ(symlink(outside.path().c_str(), out.File("link").c_str()), 0);
    ASSERT_EQ(symlink(outside.path().c_str(), out.File("real/link").c_str()), 0);
    ASSERT_EQ(symlink(outside.File("kept").c_str(), out.File("real/named.jpg").c_str()), 0);
    const auto before = NamesIn(out.path());

    fs::FileWriter writer;
    bool ok = fs::StartFileBelow(out.path(), c.relative, &writer) &&
              fs::WritePart(&writer, "new", 3) && fs::FinishFile(&writer);
    if (!ok) fs::AbandonFile(&writer);
    EXPECT_EQ(ok, c.written);
    EXPECT_EQ(ok, writer.error == 0);
    if (ok) {
      EXPECT_EQ(test::ReadText(out.File(c.relative)), "new");
    } else {
      EXPECT_EQ(NamesIn(out.path()), before);  // folders made for it are gone
    }
    EXPECT_EQ(NamesIn(outside.path()), std::vector<std::string>{"kept"});
    EXPECT_EQ(test::ReadText(outside.File("kept")), "kept");
  }
}

TEST(FileWriterTest, TheBaseFolderMayBeALink) {
  TempDir out;
  TempDir links;
  ASSERT_EQ(symlink(out.path().c_str(), links.File("out").c_str()), 0);
  fs::FileWriter writer;
  ASSERT_TRUE(fs::StartFileBelow(links.File("out"), "sub/out.jpg", &writer));
  ASSERT_TRUE(fs::WritePart(&writer, "new", 3));
  ASSERT_TRUE(fs::FinishFile(&writer));
  EXPECT_EQ(test::ReadText(out.File("sub/out.jpg")), "new");
}

TEST(MappedFileTest, ChangesToAChangeableViewNeverReachTheFile) {
  TempDir temp;
  const std::string path = temp.File("data.bin");
  ASSERT_TRUE(test::WriteText(path, "0123456789"));
  fs::ChangeableFile view;
  ASSERT_TRUE(fs::MapFileForChanges(path, &view, 1 << 20));
  ASSERT_EQ(view.size, 10u);
  view.data[0] = 'X';
  ASSERT_TRUE(fs::RemoveFile(path));  // the view outlives the name
  EXPECT_EQ(std::string(reinterpret_cast<char*>(view.data), view.size), "X123456789");
  fs::UnmapFile(&view);
  EXPECT_EQ(view.data, nullptr);

  ASSERT_TRUE(test::WriteText(path, "0123456789"));
  ASSERT_TRUE(fs::MapFileForChanges(path, &view, 1 << 20));
  view.data[9] = 'Y';
  fs::UnmapFile(&view);
  EXPECT_EQ(test::ReadText(path), "0123456789");

  EXPECT_FALSE(fs::MapFileForChanges(path, &view, 5));  // larger than allowed
  EXPECT_FALSE(fs::MapFileForChanges(temp.File("missing"), &view, 1 << 20));
  EXPECT_FALSE(fs::MapFileForChanges(temp.path(), &view, 1 << 20));  // a folder
  EXPECT_EQ(view.data, nullptr);
}

TEST(ReadFileTest, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
  TempDir temp;
  const std::string pipe = temp.File("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string contents;
  EXPECT_FALSE(fs::ReadFile(pipe, &contents));
  fs::MappedFile mapped;
  EXPECT_FALSE(fs::MapFile(pipe, &mapped, 1 << 20));
}

// Small files are read, larger ones mapped: either way the same bytes, and
// handing back what was read already changes none of them.
TEST(FileWriterTest, ReadOnlyViewsHoldTheFileOnEitherSideOfTheCopyLimit) {
  TempDir temp;
  const auto limit = static_cast<size_t>(fs::kCopiedFileBytes);
  for (const size_t size : {size_t{1}, limit - 1, limit, limit + 1, 4 * limit}) {
    SCOPED_TRACE(size);
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
    const std::string path = temp.File("view");
    ASSERT_TRUE(test::WriteText(path, bytes));
    fs::MappedFile view;
    ASSERT_TRUE(fs::MapFile(path, &view, int64_t{1} << 30));
    fs::ReleaseMappedPrefix(view, size);
    ASSERT_EQ(view.size, size);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data), view.size), bytes);
    fs::UnmapFile(&view);
    EXPECT_EQ(view.data, nullptr);
    EXPECT_FALSE(fs::MapFile(path, &view, static_cast<int64_t>(size) - 1));  // over the limit
  }
}

// The folder reused for each of many files: emptied, kept, and a link in it
// goes without what it points to.
TEST(FileWriterTest, EmptyingAFolderKeepsItAndWhatItsLinksPointTo) {
  TempDir dir;
  const std::string work = dir.File("work/");
  const std::string outside = dir.File("outside/");
  ASSERT_TRUE(fs::MakeFolder(work) && fs::MakeFolder(outside) && fs::MakeFolder(work + "sub"));
  ASSERT_TRUE(test::WriteText(work + "picture.tga", "x") && test::WriteText(work + "sub/y", "y") &&
              test::WriteText(outside + "keep", "k"));
  ASSERT_EQ(symlink(outside.c_str(), (work + "link").c_str()), 0);
  EXPECT_TRUE(fs::EmptyFolder(work));
  EXPECT_TRUE(NamesIn(work).empty());
  EXPECT_EQ(test::ReadText(outside + "keep"), "k");
}

}  // namespace
}  // namespace pic2jpg
