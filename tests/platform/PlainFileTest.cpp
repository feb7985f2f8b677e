// Whole-file writes as the command line makes them: like the window's saves, through a symbolic
// link, keeping the file's permissions, and in place where the folder takes no new file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "platform/PlainFile.h"
#include "tests/support/Files.h"
#include "tests/support/ReadOnlyFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, FollowsLinksKeepsPermissionsAndWritesInPlaceWhereItMust) {
  const struct {
    const char* name;
    std::function<void(const fs::path& folder)> setUp;
    const char* written;  // the name the text is written under
    const char* lands;    // where it ends up; nullptr: refused, the old text kept
    fs::perms mode;
  } cases[] = {
      {"a new file", [](const fs::path&) {}, "out.osf", "out.osf",
       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
           fs::perms::others_read},
      {"a private file",
       [](const fs::path& d) {
         fs::permissions(d / "out.osf", fs::perms::owner_read | fs::perms::owner_write);
       },
       "out.osf", "out.osf", fs::perms::owner_read | fs::perms::owner_write},
      {"a temporary file a killed run of this process number left",
       [](const fs::path& d) {
         WriteText(d / ("out.osf.tmp-" + std::to_string(::getpid())), "stale");
       },
       "out.osf", "out.osf",
       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
           fs::perms::others_read},
      {"a link", [](const fs::path& d) { fs::create_symlink("out.osf", d / "link.osf"); },
       "link.osf", "out.osf",
       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
           fs::perms::others_read},
  };
  for (const auto& c : cases) {
    const ScratchDirectory dir("write-whole");
    WriteText(dir.Path() / "out.osf", "old");
    ::umask(022);
    c.setUp(dir.Path());
    std::string why;
    EXPECT_TRUE(WriteFileAtomically((dir.Path() / c.written).string(), "new\r\n", why)) << why;
    EXPECT_EQ(ReadText(dir.Path() / c.lands), "new\r\n") << c.name;
    EXPECT_EQ(fs::status(dir.Path() / c.lands).permissions(), c.mode) << c.name;
    EXPECT_EQ(fs::is_symlink(dir.Path() / c.written), std::string(c.written) == "link.osf")
        << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()),
              std::string(c.written) == "link.osf" ? 2 : 1)
        << c.name << ": nothing left beside it";
  }
}

TEST(WriteFileAtomically, AFolderThatTakesNoNewFileStillTakesItsFilesText) {
  const ScratchDirectory dir("write-whole");
  WriteText(dir.Path() / "out.osf", "old");
  const ReadOnlyFolder readOnly(dir.Path());
  if (!readOnly.Holds()) GTEST_SKIP() << "this file system ignores permissions";
  std::string why;
  EXPECT_TRUE(WriteFileAtomically((dir.Path() / "out.osf").string(), "new", why)) << why;
  EXPECT_EQ(ReadText(dir.Path() / "out.osf"), "new");
  EXPECT_FALSE(WriteFileAtomically((dir.Path() / "other.osf").string(), "new", why));
  EXPECT_EQ(why, "the file cannot be written: Permission denied");
}

// A named pipe (as a device or a terminal) takes the text as it comes and stays what it is; a
// folder is refused before anything is made beside it.
TEST(WriteFileAtomically, WritesIntoWhatIsNoRegularFileAndRefusesAFolder) {
  const ScratchDirectory dir("write-whole");
  const fs::path pipe = dir.Path() / "pipe.osf";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  std::string why;
  EXPECT_TRUE(WriteFileAtomically(pipe.string(), "new\r\n", why)) << why;
  char got[16] = {};
  EXPECT_EQ(::read(reader, got, sizeof got), 5);
  ::close(reader);
  EXPECT_TRUE(fs::is_fifo(pipe));
  fs::create_directory(dir.Path() / "folder.osf");
  EXPECT_FALSE(WriteFileAtomically((dir.Path() / "folder.osf").string(), "new", why));
  EXPECT_EQ(why, "the file cannot be written: Is a directory");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2)
      << "nothing left beside them";
}

}  // namespace
