#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FolderLock.h"

FolderLock::FolderLock(const std::filesystem::path& folder) {
  // A lock on the folder itself leaves no lock file behind; programs started do not inherit it.
  handle_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle_ < 0) return;
  if (::flock(handle_, LOCK_EX | LOCK_NB) == 0) return;
  heldElsewhere_ = errno == EWOULDBLOCK;
  ::close(handle_);
  handle_ = -1;
}

FolderLock::~FolderLock() {
  if (handle_ >= 0) ::close(handle_);
}
