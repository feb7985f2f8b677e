#include "app/PlatformSetup.h"

#include <filesystem>
#include <iostream>

#include "app/AppDirectory.h"
#include "app/CableSetup.h"
#include "app/Globals.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"
#include "platform/QtShellOpen.h"

namespace {

// The same directory the main dialog takes as the application directory a moment later.
std::optional<std::filesystem::path> SimulatedBoardFolder() {
  return bSimulate == 1 ? ReadWorkingDirectory() : std::nullopt;
}

}  // namespace

PlatformSetup::PlatformSetup()
    : messageBox_(MessageBoxSeam().Replace(ShowQtMessageBox)),
      fileDialog_(FileDialogSeam().Replace(ShowQtFileDialog)),
      shellOpen_(ShellOpenSeam().Replace(QtShellOpen)),
      whatsThisMenu_(WhatsThisMenuSeam().Replace(QtWhatsThisMenu)),
      whatsThisPopup_(WhatsThisPopupSeam().Replace(QtWhatsThisPopup)),
      cables_(std::make_unique<CableSetup>(SimulatedBoardFolder(), std::cerr, "orvanta")) {}

PlatformSetup::~PlatformSetup() = default;
