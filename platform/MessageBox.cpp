#include "platform/MessageBox.h"

#include <cstdio>

namespace {

void PrintToStderr(const MessageBoxRequest& request) {
  std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
  if (!request.informative.empty()) std::fprintf(stderr, "%s\n", request.informative.c_str());
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                    const std::string& informative) {
  MessageBoxSeam().Get()(MessageBoxRequest{text, title, icon, informative});
}

Replaceable<MessageBoxHandler>& MessageBoxSeam() {
  static Replaceable<MessageBoxHandler> seam{PrintToStderr};
  return seam;
}
