#include "app/InstalledFiles.h"

#include <cstdio>
#include <cstdlib>

std::optional<std::filesystem::path> ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || program.empty()) return std::nullopt;
  return program.parent_path();
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
