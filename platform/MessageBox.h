// Modal message boxes with one OK button, as a seam: the GUI installs a Qt handler at start-up,
// tests install a recorder. Plain C++ so that the board link (pin test) can use it.
#pragma once

#include <functional>
#include <string>

enum class MsgIcon {
  None,
  Warning,  // also the exclamation icon: the platform draws both the same
  Stop,
};

struct MessageBoxRequest {
  std::string text;
  std::string title;
  MsgIcon icon = MsgIcon::None;
  // Shown below the text in smaller type: why it happened, when the tool knows more than the
  // fixed text says. Empty for most boxes.
  std::string informative;
};

using MessageBoxHandler = std::function<void(const MessageBoxRequest&)>;

// Shows the box and returns when the user has dismissed it.
void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                    const std::string& informative = {});

// Installs `handler` and returns the previous one; an empty handler restores the default, which
// prints the message on standard error.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
