// Where an installed tool finds its documents and keeps its files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "app/InstalledFiles.h"

namespace fs = std::filesystem;

namespace {

class ScratchRoot {
 public:
  ScratchRoot()
      : root_(fs::temp_directory_path() /
              ("orvanta-installed-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~ScratchRoot() { fs::remove_all(root_); }
  const fs::path& operator*() const { return root_; }

 private:
  fs::path root_;
};

TEST(InstalledFiles, DocumentsComeFromTheApplicationDirectoryThenTheProgramsThenTheDataFolder) {
  const ScratchRoot root;
  const fs::path app = *root / "app", program = *root / "program", data = *root / "data";
  const struct {
    const char* name;
    bool inApp, inProgram, inData, appIsFolder;
    std::optional<fs::path> expected;
  } cases[] = {
      {"in all three", true, true, true, false, app / "doc"},
      {"installed only", false, false, true, false, data / "doc"},
      {"own copy only", true, false, false, false, app / "doc"},
      {"beside the program and installed", false, true, true, false, program / "doc"},
      {"beside the program only", false, true, false, false, program / "doc"},
      {"nowhere: the application directory's, not found there", false, false, false, false,
       app / "doc"},
      {"a folder of that name does not count", false, false, true, true, data / "doc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const fs::path& folder : {app, program, data}) {
      fs::remove_all(folder);
      fs::create_directories(folder);
    }
    if (c.inApp) std::ofstream(app / "doc") << "own";
    if (c.inProgram) std::ofstream(program / "doc") << "beside the program";
    if (c.inData) std::ofstream(data / "doc") << "installed";
    if (c.appIsFolder) fs::create_directory(app / "doc");
    EXPECT_EQ(FindDocumentIn("doc", app, program, data), c.expected);
  }
  EXPECT_EQ(FindDocumentIn("doc", std::nullopt, program, data), std::nullopt)
      << "no application directory";
}

TEST(InstalledFiles, TheProgramFolderHoldsThisTestProgram) {
  const std::optional<fs::path> folder = ProgramFolder();
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->is_absolute()) << *folder;
  EXPECT_TRUE(fs::is_regular_file(*folder / "core_tests") ||
              fs::is_regular_file(*folder / "core_tests.exe"))
      << *folder;
}

// The XDG folders are Linux's; Windows keeps the files in %APPDATA% (InstalledFilesWindowsTest).
#ifdef __linux__

TEST(InstalledFiles, UserDataFolderFollowsXdgDataHomeElseHome) {
  const struct {
    const char* xdg;
    const char* home;
    std::optional<fs::path> expected;
  } cases[] = {
      {"/data/me", "/home/me", fs::path("/data/me/orvanta")},
      {nullptr, "/home/me", fs::path("/home/me/.local/share/orvanta")},
      {"", "/home/me", fs::path("/home/me/.local/share/orvanta")},
      {"relative/data", "/home/me", fs::path("/home/me/.local/share/orvanta")},
      {"/data/me", nullptr, fs::path("/data/me/orvanta")},
      {nullptr, nullptr, std::nullopt},
      {nullptr, "", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UserDataFolder(c.xdg, c.home), c.expected)
        << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
  }
}

// Made on first use and entered; a folder that cannot be made leaves the working directory alone.
TEST(InstalledFiles, EnteringTheDataFolderMakesItOrKeepsTheWorkingDirectory) {
  const ScratchRoot root;
  const fs::path previous = fs::current_path();
  const char* oldXdg = std::getenv("XDG_DATA_HOME");
  const std::string savedXdg = oldXdg != nullptr ? oldXdg : "";
  fs::current_path(*root);

  setenv("XDG_DATA_HOME", (*root / "share").c_str(), 1);
  EXPECT_TRUE(EnterUserDataFolder());
  EXPECT_EQ(fs::current_path(), *root / "share/orvanta");

  fs::current_path(*root);
  std::ofstream(*root / "file") << "not a folder";
  setenv("XDG_DATA_HOME", (*root / "file").c_str(), 1);
  EXPECT_FALSE(EnterUserDataFolder());
  EXPECT_EQ(fs::current_path(), *root);

  fs::current_path(previous);
  if (oldXdg != nullptr) {
    setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}
#endif

}  // namespace
