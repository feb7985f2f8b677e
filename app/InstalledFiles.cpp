#include "app/InstalledFiles.h"

#include <cstdio>
#include <cstdlib>

#include "app/AppDirectory.h"
#include "app/Globals.h"

#ifndef ORVANTA_DATA_DIR
#define ORVANTA_DATA_DIR "/usr/share/orvanta"
#endif

namespace {

bool HoldsFile(const std::filesystem::path& file) {
  std::error_code error;
  return std::filesystem::is_regular_file(file, error);
}

}  // namespace

std::filesystem::path InstalledDataDir() {
  return InstalledDataDirSeam().Get();
}

Replaceable<std::filesystem::path>& InstalledDataDirSeam() {
  static Replaceable<std::filesystem::path> seam{ORVANTA_DATA_DIR};
  return seam;
}

std::optional<std::filesystem::path> FindDocumentIn(
    std::string_view name, const std::optional<std::filesystem::path>& appDir,
    const std::filesystem::path& dataDir) {
  if (!appDir) return std::nullopt;
  const std::filesystem::path own = *appDir / name;
  if (HoldsFile(own)) return own;
  const std::filesystem::path installed = dataDir / name;
  if (!dataDir.empty() && HoldsFile(installed)) return installed;
  return own;
}

std::optional<std::filesystem::path> FindDocument(std::string_view name) {
  const std::optional<std::filesystem::path> appDir =
      HaveAppDirectory() ? std::optional<std::filesystem::path>(lpPathBuffer) : std::nullopt;
  return FindDocumentIn(name, appDir, InstalledDataDir());
}

std::optional<std::filesystem::path> UserDataFolder(const char* xdgDataHome, const char* home) {
  // Relative values are invalid for XDG variables and are ignored.
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
    return std::filesystem::path(xdgDataHome) / "orvanta";
  }
  if (home != nullptr && home[0] == '/') {
    return std::filesystem::path(home) / ".local/share/orvanta";
  }
  return std::nullopt;
}

bool EnterUserDataFolder() {
  const std::optional<std::filesystem::path> folder =
      UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (!folder) {
    std::fprintf(stderr,
                 "orvanta: neither XDG_DATA_HOME nor HOME is set; keeping the files in the "
                 "working directory\n");
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(*folder, error);
  if (!error) std::filesystem::current_path(*folder, error);
  if (error) {
    std::fprintf(stderr,
                 "orvanta: cannot use %s (%s); keeping the files in the working directory\n",
                 folder->c_str(), error.message().c_str());
    return false;
  }
  return true;
}
