#include "platform/FileDialog.h"

#include <utility>

namespace {

std::optional<std::string> Cancelled(const FileDialogRequest&) {
  return std::nullopt;
}

FileDialogHandler& Handler() {
  static FileDialogHandler handler = Cancelled;
  return handler;
}

}  // namespace

std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) {
  return Handler()(request);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
  FileDialogHandler previous = std::move(Handler());
  Handler() = handler ? std::move(handler) : FileDialogHandler(Cancelled);
  return previous;
}
