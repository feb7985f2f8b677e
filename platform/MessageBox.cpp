#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {

void PrintToStderr(const MessageBoxRequest& request) {
  std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
  if (!request.informative.empty()) std::fprintf(stderr, "%s\n", request.informative.c_str());
}

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler = PrintToStderr;
  return handler;
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                    const std::string& informative) {
  Handler()(MessageBoxRequest{text, title, icon, informative});
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(Handler());
  Handler() = handler ? std::move(handler) : MessageBoxHandler(PrintToStderr);
  return previous;
}
