#include "platform/ShellOpen.h"

namespace {

void OpenNothing(const std::string&) {}

}  // namespace

void ShellOpen(const std::string& target) {
  ShellOpenSeam().Get()(target);
}

Replaceable<ShellOpenHandler>& ShellOpenSeam() {
  static Replaceable<ShellOpenHandler> seam{OpenNothing};
  return seam;
}
