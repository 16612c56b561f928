// Resource references: a container path and a resource id (and name) in one
// path, read back only when the container exists and the path is no file;
// the names they give outputs stay single, visible file names.
#include "text/resource_reference.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

TEST(ResourceReferenceTest, ReadsBackWhatItWritesAndNothingElse) {
  test::TempDir dir;
  const std::string container = dir.File("a#PICT 5.rsrc");  // a "#" of its own
  ASSERT_TRUE(test::WriteText(container, "x"));
  struct Case {
    int id;
    std::string name;
    std::string expected_name;
  };
  const Case cases[] = {
      {128, "", ""},           {-32768, "Title Screen", "Title Screen"},
      {7, "../../x", "....x"}, {9, "a\x01/b\x7F", "ab"},
      {10, "..", ""},          {kDataForkResourceId, "ignored", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string path = ResourceReferencePath(container, c.id, c.name);
    ResourceReference back;
    ASSERT_TRUE(SplitResourceReference(path, &back)) << path;
    EXPECT_EQ(back.container, container);
    EXPECT_EQ(back.id, c.id);
    EXPECT_EQ(back.name, c.expected_name);
    EXPECT_EQ(ContainerOfInput(path), container);
  }
  ResourceReference none;
  // No container, an id out of range, no id, and a real file of that name.
  for (const std::string& path : {dir.File("missing#PICT 1"), container + "#PICT 40000",
                                  container + "#PICT ", container + "#PICT 1x"}) {
    EXPECT_FALSE(SplitResourceReference(path, &none)) << path;
  }
  const std::string real = container + "#PICT 3";
  ASSERT_TRUE(test::WriteText(real, "a file, not a reference"));
  EXPECT_FALSE(SplitResourceReference(real, &none));
  EXPECT_EQ(ContainerOfInput(real), real);
}

TEST(ResourceReferenceTest, OutputNamesComeFromTheContainerAndTheResource) {
  struct Case {
    std::string container;
    int id;
    std::string name;
    std::string base;
  };
  const Case cases[] = {
      {"/x/Game.rsrc", 128, "", "Game-128"},
      {"/x/Game.rsrc", 128, "Title Screen", "Game-128-Title Screen"},
      {"/x/._Game", -5, "", "Game--5"},
      {"/x/.AppleDouble/Game.bin", 1, "", "Game-1"},
      {"/x/Picture.as", kDataForkResourceId, "", "Picture"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResourceOutputBase({c.container, c.id, c.name}), c.base);
  }
  // Long names are cut whole characters at a time.
  const std::string long_name = SafeResourceName(std::string(99, 'a') + "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(long_name, std::string(99, 'a'));
}

}  // namespace
}  // namespace pic2jpg
