// The application directory: the working directory, however long, or none at all.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/AppDirectory.h"
#include "app/Globals.h"
#include "tests/support/Recorders.h"

namespace fs = std::filesystem;

namespace {

class AppDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    previous_ = fs::current_path();
    root_ = fs::temp_directory_path() / ("orvanta-appdir-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    // rm walks down step by step; removing a path too long to name in one call would fail.
    EXPECT_EQ(std::system(("rm -rf '" + root_.string() + "'").c_str()), 0);
    ResetGlobals();
  }
  fs::path previous_, root_;
};

TEST_F(AppDirectoryTest, TakesTheWholeWorkingDirectoryHoweverLong) {
  // Past 256 characters, and past the 4096 the kernel's own lookup manages.
  for (const std::size_t length : {300u, 5000u}) {
    fs::path deep = root_ / std::to_string(length);
    fs::current_path(root_);
    fs::create_directory(deep.filename());
    fs::current_path(deep.filename());
    // One step at a time: a single system call cannot name so long a path.
    const std::string part(200, 'd');
    while (deep.string().size() < length) {
      deep /= part;
      fs::create_directory(part);
      fs::current_path(part);
    }
    DetermineAppDirectory();
    EXPECT_TRUE(HaveAppDirectory()) << length;
    EXPECT_EQ(lpPathBuffer, deep.string()) << length;
    EXPECT_EQ(AppFile(kConnSettingsFile), deep / "ConnSettings.dat") << length;
  }
}

TEST_F(AppDirectoryTest, NoneWhenTheWorkingDirectoryIsGone) {
  const fs::path gone = root_ / "gone";
  fs::create_directory(gone);
  fs::current_path(gone);
  fs::remove(gone);
  DetermineAppDirectory();
  EXPECT_FALSE(HaveAppDirectory());
  EXPECT_EQ(AppFile(kHelpFile), std::nullopt);
  fs::current_path(root_);
  DetermineAppDirectory();
  EXPECT_EQ(AppFile(kManualFile), root_ / "Orvanta Manual.pdf");
}

}  // namespace
