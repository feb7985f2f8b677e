#include "app/InstalledFiles.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

std::optional<std::filesystem::path> ProgramFolder() {
  // The name is cut short, without saying so, when the buffer is too small: grow it until it fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::nullopt;
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

bool EnterUserDataFolder() {
  // %APPDATA%, the roaming application data of the user, as Windows programs keep their files.
  const wchar_t* appData = _wgetenv(L"APPDATA");
  const std::filesystem::path root = appData != nullptr ? appData : L"";
  if (root.empty() || !root.is_absolute()) {
    std::fprintf(stderr,
                 "orvanta: APPDATA is not set to a folder; keeping the files in the working "
                 "directory\n");
    return false;
  }
  const std::filesystem::path folder = root / L"Orvanta";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error) std::filesystem::current_path(folder, error);
  if (error) {
    std::fprintf(stderr,
                 "orvanta: cannot use %s (%s); keeping the files in the working directory\n",
                 folder.string().c_str(), error.message().c_str());
    return false;
  }
  return true;
}
