// The file-open and file-save dialogs as a seam: the GUI installs the Qt dialogs at start-up,
// tests install a scripted answer. Plain C++ so that any layer may ask for a file name.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Replaceable.h"

struct FileDialogRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string filter;         // one entry, as Qt writes it: "Orvanta Firmware Files (*.ofw)"
  std::string defaultSuffix;  // without the dot: "ofw"
  std::string initialName;    // proposed file name; empty for none
};

using FileDialogHandler = std::function<std::optional<std::string>(const FileDialogRequest&)>;

// Shows the dialog; the full path the user confirmed, or nothing when the dialog was cancelled.
std::optional<std::string> ShowFileDialog(const FileDialogRequest& request);

// The handler in use; the default answers as a cancelled dialog (there is no window to ask in).
Replaceable<FileDialogHandler>& FileDialogSeam();
using FileDialogOverride = Replaceable<FileDialogHandler>::Override;
