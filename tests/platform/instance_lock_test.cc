// The single-instance lock without a runtime folder: a private folder in the
// user's cache folder, whatever others put in the temporary folder, no link followed, a held lock
// reported as busy and any other failure as what it is.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TMPDIR", temp_.path().c_str(), 1);
    setenv("XDG_CACHE_HOME", cache_.path().c_str(), 1);
    unsetenv("XDG_RUNTIME_DIR");
  }
  void TearDown() override {
    unsetenv("TMPDIR");
    unsetenv("XDG_CACHE_HOME");
  }
  std::string OwnFolder() const { return cache_.path() + "pic2jpg"; }
  test::TempDir cache_;
  test::TempDir temp_;
  test::TempDir elsewhere_;
};

TEST_F(InstanceLockTest, FallbackFolderIsPrivateAndASecondTakerIsTurnedAway) {
  // Another user's folder where a shared temporary folder would have had ours.
  const std::string planted = temp_.path() + "pic2jpg-" + std::to_string(geteuid());
  ASSERT_EQ(mkdir(planted.c_str(), 0777), 0);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(planted.c_str(), 65534, 65534), 0);
  }
  platform::InstanceLock first = platform::AcquireInstanceLock("Title 1.0");
  ASSERT_GE(first.handle, 0) << first.error;
  struct stat st;
  ASSERT_EQ(lstat(OwnFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  platform::InstanceLock second = platform::AcquireInstanceLock("Title 1.0");
  EXPECT_LT(second.handle, 0);
  EXPECT_TRUE(second.busy);
  EXPECT_EQ(second.error, "");
  platform::ReleaseInstanceLock(first.handle);
  platform::InstanceLock third = platform::AcquireInstanceLock("Title 1.0");
  EXPECT_GE(third.handle, 0);
  platform::ReleaseInstanceLock(third.handle);
}

// Whatever another user planted, the lock fails with its reason (not a false
// "another copy is running") and nothing is created where the plant points.
TEST_F(InstanceLockTest, PlantedLinksAndOpenFoldersAreRefused) {
  const std::string target = elsewhere_.File("created-by-us");
  struct Case {
    const char* name;
    void (*plant)(const std::string& own, const std::string& target);
  };
  const Case cases[] = {
      {"folder is a link",
       [](const std::string& own, const std::string& to) {
         ASSERT_EQ(symlink(fs::FolderOf(to).c_str(), own.c_str()), 0);
       }},
      {"lock file is a link",
       [](const std::string& own, const std::string& to) {
         ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
         ASSERT_EQ(symlink(to.c_str(), (own + "/Title_1.0.lock").c_str()), 0);
       }},
      {"folder open to others",
       [](const std::string& own, const std::string&) {
         ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
         ASSERT_EQ(chmod(own.c_str(), 0777), 0);
       }},
      {"folder of another user",
       [](const std::string& own, const std::string&) {
         ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
         ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.name) == "folder of another user" && geteuid() != 0) continue;
    fs::RemoveTree(OwnFolder());
    c.plant(OwnFolder(), target);
    platform::InstanceLock lock = platform::AcquireInstanceLock("Title 1.0");
    EXPECT_LT(lock.handle, 0);
    EXPECT_FALSE(lock.busy);
    EXPECT_FALSE(lock.error.empty());
    EXPECT_FALSE(fs::Exists(target));
    platform::ReleaseInstanceLock(lock.handle);
  }
  fs::RemoveTree(OwnFolder());
}

TEST_F(InstanceLockTest, ARuntimeFolderOthersCanWriteIsNotUsed) {
  const std::string runtime = elsewhere_.File("runtime");
  ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  std::string error;
  EXPECT_EQ(platform::LockFolder(&error), runtime + "/");
  ASSERT_EQ(chmod(runtime.c_str(), 0777), 0);
  EXPECT_EQ(platform::LockFolder(&error), OwnFolder() + "/");
}

}  // namespace
}  // namespace pic2jpg
