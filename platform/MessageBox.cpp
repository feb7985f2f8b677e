#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {

void PrintToStderr(const MessageBoxRequest& request) {
  std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
}

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler = PrintToStderr;
  return handler;
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon) {
  Handler()(MessageBoxRequest{text, title, icon});
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(Handler());
  Handler() = handler ? std::move(handler) : MessageBoxHandler(PrintToStderr);
  return previous;
}
