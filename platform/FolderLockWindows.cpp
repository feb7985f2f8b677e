#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/FolderLock.h"

// Windows has no lock on a folder itself; a named mutex named after the folder's identity (its
// volume and file index, so that every name of it counts) serves as one: it lasts while a handle
// to it is open, in any process of the session, and goes with the process. Windows keeps kernel
// handles within 32 bits, so the int holds it.
FolderLock::FolderLock(const std::filesystem::path& folder) {
  const HANDLE opened =
      CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(opened, &info) != 0;
  CloseHandle(opened);
  if (!known) return;
  const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  const std::wstring name = L"Local\\orvanta-folder-" + std::to_wstring(info.dwVolumeSerialNumber) +
                            L"-" + std::to_wstring(index);
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    heldElsewhere_ = true;
    CloseHandle(mutex);
    return;
  }
  handle_ = HandleToLong(mutex);
}

FolderLock::~FolderLock() {
  if (handle_ != -1) CloseHandle(LongToHandle(handle_));
}
