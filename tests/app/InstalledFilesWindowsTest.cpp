// Started from the Start menu ("datafolder"), the tool keeps its files in %APPDATA%\Orvanta.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "app/InstalledFiles.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

TEST(InstalledFilesWindows, TheDataFolderIsOrvantaInAppDataMadeOnFirstUse) {
  const ScratchDirectory scratch("appdata");
  const fs::path previous = fs::current_path();
  const wchar_t* old = _wgetenv(L"APPDATA");
  const std::wstring saved = old != nullptr ? old : L"";
  std::ofstream(scratch.Path() / "file") << "not a folder";
  const struct {
    const char* name;
    std::wstring appData;
    bool entered;
  } cases[] = {
      {"made on first use", (scratch.Path() / "Roaming").wstring(), true},
      {"there already", (scratch.Path() / "Roaming").wstring(), true},
      {"a file in the way", (scratch.Path() / "file").wstring(), false},
      {"not a full path", L"Roaming", false},
      {"unset", L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::current_path(scratch.Path());
    _wputenv_s(L"APPDATA", c.appData.c_str());  // an empty value removes it
    EXPECT_EQ(EnterUserDataFolder(), c.entered);
    EXPECT_EQ(fs::current_path(), c.entered ? fs::path(c.appData) / "Orvanta" : scratch.Path());
  }
  _wputenv_s(L"APPDATA", saved.c_str());
  fs::current_path(previous);
}

}  // namespace
