#include "app/AppDirectory.h"

#include "app/Globals.h"

std::optional<std::filesystem::path> ReadWorkingDirectory() {
  // The library grows its buffer as needed, so there is no length limit of our own here.
  std::error_code error;
  std::filesystem::path directory = std::filesystem::current_path(error);
  if (error || directory.empty()) return std::nullopt;
  return directory;
}

void DetermineAppDirectory() {
  const std::optional<std::filesystem::path> directory = ReadWorkingDirectory();
  lpPathBuffer = directory ? directory->string() : std::string();
}

std::filesystem::path PathFromName(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

bool HaveAppDirectory() {
  return !lpPathBuffer.empty();
}

std::optional<std::filesystem::path> AppFile(std::string_view name) {
  if (!HaveAppDirectory()) return std::nullopt;
  return PathFromName(lpPathBuffer) / name;
}
