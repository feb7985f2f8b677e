// The application directory: the working directory, however long, or none when it cannot be read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "app/AppDirectory.h"
#include "app/Globals.h"

namespace fs = std::filesystem;

// Not on Windows: a working directory there stays below 260 characters, a folder in use cannot be
// removed, and there is no rm.
#ifndef _WIN32
TEST(AppDirectory, WholeWorkingDirectoryHoweverLongOrNoneWhenItIsGone) {
  const fs::path previous = fs::current_path();
  const fs::path root = fs::temp_directory_path() / ("orvanta-appdir-" + std::to_string(getpid()));
  fs::create_directories(root / "gone");
  // Past 256 characters, and past the 4096 that one system call can name: built step by step.
  fs::current_path(root);
  fs::path deep = root;
  while (deep.string().size() < 5000) {
    deep /= std::string(200, 'd');
    fs::create_directory(deep.filename());
    fs::current_path(deep.filename());
    if (deep.string().size() < 300) continue;
    DetermineAppDirectory();
    EXPECT_EQ(lpPathBuffer, deep.string());
    EXPECT_EQ(AppFile(kConnSettingsFile), deep / "ConnSettings.dat");
  }
  fs::current_path(root / "gone");
  fs::remove(root / "gone");
  DetermineAppDirectory();
  EXPECT_FALSE(HaveAppDirectory());
  EXPECT_EQ(AppFile(kHelpFile), std::nullopt);
  fs::current_path(previous);
  lpPathBuffer.clear();
  // rm walks down step by step; one call naming the deepest path would fail.
  EXPECT_EQ(std::system(("rm -rf '" + root.string() + "'").c_str()), 0);
}
#endif
