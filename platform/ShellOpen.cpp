#include "platform/ShellOpen.h"

#include <utility>

namespace {

void OpenNothing(const std::string&) {}

ShellOpenHandler& Handler() {
  static ShellOpenHandler handler = OpenNothing;
  return handler;
}

}  // namespace

void ShellOpen(const std::string& target) {
  Handler()(target);
}

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler) {
  ShellOpenHandler previous = std::move(Handler());
  Handler() = handler ? std::move(handler) : ShellOpenHandler(OpenNothing);
  return previous;
}
