#include "platform/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

std::optional<std::string> ReadPlainFile(const std::string& path, std::size_t limit) {
  const PlainFile file = OpenPlainFile(path);
  if (!file) return std::nullopt;
  std::string bytes(limit, '\0');
  bytes.resize(std::fread(bytes.data(), 1, limit, file.get()));
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}
