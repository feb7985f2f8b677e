#include "app/InstalledFiles.h"

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
    const std::optional<std::filesystem::path>& programDir, const std::filesystem::path& dataDir) {
  if (!appDir) return std::nullopt;
  const std::filesystem::path own = *appDir / name;
  if (HoldsFile(own)) return own;
  if (programDir && HoldsFile(*programDir / name)) return *programDir / name;
  const std::filesystem::path installed = dataDir / name;
  if (!dataDir.empty() && HoldsFile(installed)) return installed;
  return own;
}

std::optional<std::filesystem::path> FindDocument(std::string_view name) {
  const std::optional<std::filesystem::path> appDir =
      HaveAppDirectory() ? std::optional(PathFromName(lpPathBuffer)) : std::nullopt;
  return FindDocumentIn(name, appDir, ProgramFolder(), InstalledDataDir());
}
