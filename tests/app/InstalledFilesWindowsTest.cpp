// Started from the Start menu ("datafolder"), the tool keeps its files in %APPDATA%\Orvanta, made
// on first use, whatever letters the user's name has.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "app/AppDirectory.h"
#include "app/Globals.h"
#include "app/InstalledFiles.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

TEST(InstalledFilesWindows, TheDataFolderIsOrvantaInAppDataAndHoldsTheToolsFiles) {
  const ScratchDirectory scratch("appdata");
  const fs::path previous = fs::current_path();
  const std::wstring saved = _wgetenv(L"APPDATA") != nullptr ? _wgetenv(L"APPDATA") : L"";
  std::ofstream(scratch.Path() / "file") << "not a folder";
  const struct {
    fs::path appData;  // empty: unset
    bool entered;
  } cases[] = {
      {scratch.Path() / "Roaming", true},
      {scratch.Path() / "Roaming", true},  // made, then there
      {scratch.Path() / u8"Zoë 東京", true},
      {scratch.Path() / "file", false},
      {"Roaming", false},
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.appData);
    fs::current_path(scratch.Path());
    _wputenv_s(L"APPDATA", c.appData.c_str());
    EXPECT_EQ(EnterUserDataFolder(), c.entered);
    const fs::path folder = c.entered ? c.appData / "Orvanta" : scratch.Path();
    EXPECT_EQ(fs::current_path(), folder);
    DetermineAppDirectory();  // the application directory keeps its files there
    std::ofstream(folder / kConnSettingsFile) << "278";
    EXPECT_TRUE(fs::is_regular_file(AppFile(kConnSettingsFile).value_or(fs::path())));
  }
  _wputenv_s(L"APPDATA", saved.c_str());
  fs::current_path(previous);
  lpPathBuffer.clear();
}

}  // namespace
