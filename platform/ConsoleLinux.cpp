#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Console.h"

void KeepStandardStreamsBinary() {}

bool IsTerminal(int stream) {
  return ::isatty(stream) == 1;
}

int TerminalColumns(int stream) {
  struct winsize size {};
  if (::ioctl(stream, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

bool IsStandardOutputFile(const std::string& path) {
  struct stat named {};
  struct stat out {};
  if (::stat(path.c_str(), &named) != 0 || ::fstat(kStandardOutput, &out) != 0) return false;
  return named.st_dev == out.st_dev && named.st_ino == out.st_ino;
}
