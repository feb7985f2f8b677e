#include "sim/BoardStoreFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

namespace fs = std::filesystem;

// Renames `from` to `to` unless something, even a dangling link, is already called `to`; errno
// says why not. Where the file system cannot refuse atomically, it looks first.
bool MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  std::error_code error;
  const fs::file_type type = fs::symlink_status(to, error).type();
  if (type != fs::file_type::not_found) {
    // A name that cannot be looked at is no more free than a taken one, but says something else.
    errno = type == fs::file_type::none && error ? error.value() : EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Writes `text` to a new file and flushes it to the disk, so that a rename over the old file never
// leaves an empty one behind after a power cut. Returns 0 or the error.
int WriteDurably(const fs::path& file, const std::string& text) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  int result = 0;
  std::size_t done = 0;
  while (done < text.size() && result == 0) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written == 0) {
      result = EIO;  // no progress and no reason given
    } else if (errno != EINTR) {
      result = errno;
    }
  }
  if (result == 0 && ::fsync(fd) != 0) result = errno;
  ::close(fd);
  return result;
}
