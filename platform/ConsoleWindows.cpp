#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/Console.h"
#include "platform/WideTextWindows.h"

namespace {

HANDLE HandleOf(int stream) {
  return GetStdHandle(stream == kStandardOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

}  // namespace

void KeepStandardStreamsBinary() {
  _setmode(kStandardOutput, _O_BINARY);
  _setmode(kStandardError, _O_BINARY);
}

// A console only: the C runtime's isatty says yes to any character device, NUL included.
bool IsTerminal(int stream) {
  DWORD mode = 0;
  return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

int TerminalColumns(int stream) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(HandleOf(stream), &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

// The same file is the same volume and file index, under whatever name.
bool IsStandardOutputFile(const std::string& path) {
  const HANDLE out = HandleOf(kStandardOutput);
  BY_HANDLE_FILE_INFORMATION outInfo{};
  if (GetFileType(out) != FILE_TYPE_DISK || !GetFileInformationByHandle(out, &outInfo)) {
    return false;
  }
  const HANDLE named =
      CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION namedInfo{};
  const bool same = GetFileInformationByHandle(named, &namedInfo) &&
                    namedInfo.dwVolumeSerialNumber == outInfo.dwVolumeSerialNumber &&
                    namedInfo.nFileIndexHigh == outInfo.nFileIndexHigh &&
                    namedInfo.nFileIndexLow == outInfo.nFileIndexLow;
  CloseHandle(named);
  return same;
}
