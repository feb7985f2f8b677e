#include "platform/PlainFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

std::optional<std::string> ReadPlainFile(const std::string& path, std::size_t limit,
                                         std::string* why) {
  std::string reason;
  const PlainFile file = OpenPlainFile(path, &reason);
  if (!file) {
    if (why != nullptr) *why = "the file cannot be opened: " + reason;
    return std::nullopt;
  }
  // Read in pieces: the limit may be far more than the file holds.
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < limit) {
    const std::size_t n =
        std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes.size()), file.get());
    if (n == 0) break;
    bytes.append(chunk, n);
  }
  // A read error is reported as one, never taken for the end of the file.
  if (std::ferror(file.get())) {
    if (why != nullptr) *why = std::string("the file cannot be read: ") + std::strerror(errno);
    return std::nullopt;
  }
  return bytes;
}
