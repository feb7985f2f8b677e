// The real message box: a modal QMessageBox with one OK button over the active window.
#pragma once

#include "platform/MessageBox.h"

void ShowQtMessageBox(const MessageBoxRequest& request);
