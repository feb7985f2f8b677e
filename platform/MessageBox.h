// Modal message boxes with one OK button, as a seam: the GUI installs a Qt handler at start-up,
// tests install a recorder. Plain C++ so that the board link (pin test) can use it.
#pragma once

#include <functional>
#include <string>

#include "platform/Replaceable.h"

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

// The application's name, the title of its own message boxes.
inline constexpr const char* kAppName = "Orvanta Interface Application";

using MessageBoxHandler = std::function<void(const MessageBoxRequest&)>;

// Shows the box and returns when the user has dismissed it.
void ShowMessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                    const std::string& informative = {});

// The handler in use; the default prints the message on standard error.
Replaceable<MessageBoxHandler>& MessageBoxSeam();
using MessageBoxOverride = Replaceable<MessageBoxHandler>::Override;
