#include "platform/MessageBox.h"

#include <cstdio>

namespace {

void PrintToStderr(const MessageBoxRequest& request) {
  std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon) {
  MessageBoxSeam().Get()(MessageBoxRequest{text, title, icon});
}

Replaceable<MessageBoxHandler>& MessageBoxSeam() {
  static Replaceable<MessageBoxHandler> seam{PrintToStderr};
  return seam;
}
