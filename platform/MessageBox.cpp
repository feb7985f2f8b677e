#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {

void PrintToStderr(const MessageBoxRequest& request) {
  std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
  if (!request.informative.empty()) std::fprintf(stderr, "  %s\n", request.informative.c_str());
}

InformativeSource& WarningSource() {
  static InformativeSource source;
  return source;
}

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler = PrintToStderr;
  return handler;
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon) {
  MessageBoxRequest request{text, title, icon, {}};
  if (icon == MsgIcon::Warning && WarningSource()) request.informative = WarningSource()();
  Handler()(request);
}

InformativeSource SetWarningInformativeSource(InformativeSource source) {
  InformativeSource previous = std::move(WarningSource());
  WarningSource() = std::move(source);
  return previous;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(Handler());
  Handler() = handler ? std::move(handler) : MessageBoxHandler(PrintToStderr);
  return previous;
}
