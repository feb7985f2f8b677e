// The real file dialogs: Qt's own (non-native) dialog, modal over the active window, so that it
// looks the same on every desktop.
#pragma once

#include "platform/FileDialog.h"

std::optional<std::string> ShowQtFileDialog(const FileDialogRequest& request);
