#include "platform/FileDialog.h"

namespace {

std::optional<std::string> Cancelled(const FileDialogRequest&) {
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) {
  return FileDialogSeam().Get()(request);
}

Replaceable<FileDialogHandler>& FileDialogSeam() {
  static Replaceable<FileDialogHandler> seam{Cancelled};
  return seam;
}
