#include "platform/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr const char* kNotRegular = "it is not a regular file";

// Why a file of this kind is not read; empty for a regular file.
std::string KindReason(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return {};
  if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  return kNotRegular;
}

PlainFile Refuse(std::string* why, const std::string& reason) {
  if (why != nullptr) *why = reason;
  return nullptr;
}

}  // namespace

PlainFile OpenPlainFile(const std::string& path, std::string* why) {
  // Looked at before it is opened: opening some devices already does something.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Refuse(why, std::strerror(errno));
  if (const std::string reason = KindReason(info); !reason.empty()) return Refuse(why, reason);
  // Without waiting, should a named pipe have taken the file's place in between; the file
  // opened is then checked again.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Refuse(why, std::strerror(errno));
  std::string reason;
  if (::fstat(fd, &info) != 0) {
    reason = std::strerror(errno);
  } else {
    reason = KindReason(info);
  }
  if (reason.empty() && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    reason = std::strerror(errno);
  }
  std::FILE* file = reason.empty() ? ::fdopen(fd, "r") : nullptr;
  if (file == nullptr) {
    if (reason.empty()) reason = std::strerror(errno);
    ::close(fd);
    return Refuse(why, reason);
  }
  return PlainFile(file);
}

namespace {

// All of `text` to `fd`, flushed to the disk when `durable`, and closed; 0 or the reason it could
// not be.
int WriteAllAndClose(int fd, const std::string& text, bool durable = true) {
  std::size_t done = 0;
  int failure = 0;
  while (done < text.size() && failure == 0) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) failure = errno;
    if (n == 0) failure = EIO;  // nothing written and no reason given: never spin on it
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (durable && failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  return failure;
}

bool CannotWrite(std::string& why, int error) {
  why = std::string("the file cannot be written: ") + std::strerror(error);
  return false;
}

// A pipe, a terminal or a device takes the text as it comes: renamed over, it would be gone for
// every program that uses it. A folder takes no text.
bool WriteIntoNonRegular(const std::string& path, const struct stat& info, const std::string& text,
                         std::string& why) {
  if (S_ISDIR(info.st_mode)) return CannotWrite(why, EISDIR);
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return CannotWrite(why, errno);
  const int failure = WriteAllAndClose(fd, text, false);
  return failure == 0 || CannotWrite(why, failure);
}

}  // namespace

bool FolderTakesNewFiles(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why) {
  // Links followed all the way, as opening does (/dev/stdout leads to a pipe that has no name).
  if (struct stat named{}; ::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
    return WriteIntoNonRegular(path, named, text, why);
  }
  // Through a symbolic link to the file it names, keeping that file's permissions, as the
  // window's saves do.
  std::error_code error;
  std::string target = path;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
    target = std::filesystem::weakly_canonical(path, error).string();
    if (error) return CannotWrite(why, error.value());
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  const std::string temporary = target + ".tmp-" + std::to_string(::getpid());
  const auto openNew = [&temporary] {
    return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  };
  int fd = openNew();
  // Left by a run with this process number that was killed: none of ours is writing it now.
  if (fd < 0 && errno == EEXIST && ::unlink(temporary.c_str()) == 0) fd = openNew();
  if (fd < 0) {
    const int refused = errno;
    // A folder that takes no new file: the file itself is written in place, as a plain write
    // would (the window's saves do the same).
    if (!exists || (refused != EACCES && refused != EPERM && refused != EROFS)) {
      return CannotWrite(why, refused);
    }
    const int direct = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (direct < 0) return CannotWrite(why, errno);
    const int failure = WriteAllAndClose(direct, text);
    return failure == 0 || CannotWrite(why, failure);
  }
  int failure = exists && ::fchmod(fd, old.st_mode & 07777) != 0 ? errno : 0;
  if (failure != 0) {
    ::close(fd);
  } else {
    failure = WriteAllAndClose(fd, text);
  }
  if (failure == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    return CannotWrite(why, failure);
  }
  return true;
}
