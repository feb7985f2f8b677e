#include "sim/BoardStoreFiles.h"

#include <windows.h>

#include <cerrno>

namespace {

// The errno value the board store reports for a Windows error.
int ErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

}  // namespace

// Without MOVEFILE_REPLACE_EXISTING, Windows refuses a name that is taken, in the same step.
bool MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  errno = ErrnoFor(GetLastError());
  return false;
}

int WriteDurably(const std::filesystem::path& file, const std::string& text) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ErrnoFor(GetLastError());
  DWORD written = 0;
  int result = 0;
  // A board image is some 29 KB: one write, then flushed to the disk before it is renamed.
  if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    result = ErrnoFor(GetLastError());
  } else if (written != text.size()) {
    result = EIO;
  } else if (!FlushFileBuffers(handle)) {
    result = ErrnoFor(GetLastError());
  }
  CloseHandle(handle);
  return result;
}
