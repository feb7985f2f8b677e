// The one place that chooses the real implementations behind the seams: the cables (app/
// CableSetup.h, the simulated board kept in the application directory with "simulate"), the
// message boxes, file dialogs, shell open and pop-up help. Each is an override that puts back
// what was there before when the set-up goes.
#pragma once

#include <memory>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PopupHelp.h"
#include "platform/ShellOpen.h"

class CableSetup;

class PlatformSetup {
 public:
  PlatformSetup();
  ~PlatformSetup();
  PlatformSetup(const PlatformSetup&) = delete;
  PlatformSetup& operator=(const PlatformSetup&) = delete;

 private:
  MessageBoxOverride messageBox_;
  FileDialogOverride fileDialog_;
  ShellOpenOverride shellOpen_;
  WhatsThisMenuOverride whatsThisMenu_;
  WhatsThisPopupOverride whatsThisPopup_;
  std::unique_ptr<CableSetup> cables_;
};
