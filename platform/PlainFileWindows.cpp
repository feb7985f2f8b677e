#include "platform/PlainFile.h"

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/WideTextWindows.h"

// File names are UTF-8 here, as the programs' manifest makes every narrow name on Windows; the
// files are opened by their UTF-16 names, so no name is beyond reach.

namespace {

constexpr const char* kNotRegular = "it is not a regular file";

// A Windows error in the C runtime's words, the words the Linux tool gives for the same cases.
std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
      return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return std::strerror(EACCES);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "it is in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::strerror(ENOSPC);
    default:
      return "Windows error " + std::to_string(error);
  }
}

PlainFile Refuse(std::string* why, const std::string& reason) {
  if (why != nullptr) *why = reason;
  return nullptr;
}

// A name Windows keeps for a device (NUL, CON, COM1, ...), which it turns into \\.\NAME, or one
// given so: looked at without opening it, since opening some devices already does something.
bool NamesADevice(const std::wstring& name) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  if (size == 0 || GetFullPathNameW(name.c_str(), size, full.data(), nullptr) == 0) return false;
  return full.starts_with(L"\\\\.\\");
}

// The C runtime's stream over `handle`, which it then owns; nothing when it cannot be made.
std::FILE* StreamOver(HANDLE handle, int flags, const char* mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace

PlainFile OpenPlainFile(const std::string& path, std::string* why) {
  const std::wstring name = Widen(path);
  if (NamesADevice(name)) return Refuse(why, kNotRegular);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Refuse(why, Reason(GetLastError()));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Refuse(why, std::strerror(EISDIR));
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Refuse(why, Reason(GetLastError()));
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return Refuse(why, kNotRegular);
  }
  // Bytes as they are: a text stream would drop the CR of every CR LF and stop at a Ctrl-Z.
  std::FILE* file = StreamOver(handle, _O_RDONLY | _O_BINARY, "rb");
  if (file == nullptr) return Refuse(why, std::strerror(errno));
  return PlainFile(file);
}

namespace {

// All of `text` to `handle`, flushed to the disk when `durable`, and closed; 0 or the reason it
// could not be.
DWORD WriteAllAndClose(HANDLE handle, const std::string& text, bool durable = true) {
  std::size_t done = 0;
  DWORD failure = 0;
  while (done < text.size() && failure == 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr)) {
      failure = GetLastError();
    } else if (written == 0) {
      failure = ERROR_WRITE_FAULT;  // nothing written and no reason given: never spin on it
    }
    done += written;
  }
  if (durable && failure == 0 && !FlushFileBuffers(handle)) failure = GetLastError();
  if (!CloseHandle(handle) && failure == 0) failure = GetLastError();
  return failure;
}

bool CannotWrite(std::string& why, DWORD error) {
  why = "the file cannot be written: " + Reason(error);
  return false;
}

// A device (NUL, CON, a port) takes the text as it comes: it is no file to replace.
bool WriteIntoDevice(const std::wstring& name, const std::string& text, std::string& why) {
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return CannotWrite(why, GetLastError());
  const DWORD failure = WriteAllAndClose(handle, text, false);
  return failure == 0 || CannotWrite(why, failure);
}

}  // namespace

// Windows tells nothing beforehand: a folder's read-only mark does not stop new files, and its
// runtime's access() refuses the search right that Linux asks for.
bool FolderTakesNewFiles(const std::string& folder) {
  const DWORD attributes = GetFileAttributesW(Widen(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return true;
  }
  errno = attributes == INVALID_FILE_ATTRIBUTES ? ENOENT : ENOTDIR;
  return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why) {
  const std::wstring target = Widen(path);
  if (NamesADevice(target)) return WriteIntoDevice(target, text, why);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    why = std::string("the file cannot be written: ") + std::strerror(EISDIR);
    return false;
  }
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  const std::wstring temporary = target + L".tmp-" + std::to_wstring(_getpid());
  const auto openNew = [&temporary] {
    return CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE handle = openNew();
  // Left by a run with this process number that was killed: none of ours is writing it now.
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS &&
      DeleteFileW(temporary.c_str())) {
    handle = openNew();
  }
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD refused = GetLastError();
    // A folder that takes no new file: the file itself is written in place, as a plain write
    // would (the window's saves do the same).
    if (!exists || refused != ERROR_ACCESS_DENIED) return CannotWrite(why, refused);
    const HANDLE direct = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (direct == INVALID_HANDLE_VALUE) return CannotWrite(why, GetLastError());
    const DWORD failure = WriteAllAndClose(direct, text);
    return failure == 0 || CannotWrite(why, failure);
  }
  DWORD failure = WriteAllAndClose(handle, text);
  if (failure == 0 && !MoveFileExW(temporary.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failure = GetLastError();
  }
  if (failure != 0) {
    DeleteFileW(temporary.c_str());
    return CannotWrite(why, failure);
  }
  return true;
}
