// Doubles for the application shell's tests: a recorder of shell opens, a scripted "What's This?"
// menu with a recorder of the pop-ups, and a right click; the scratch application directory is in
// Files.h.
#pragma once

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QWidget>
#include <filesystem>

#include "app/AppDirectory.h"
#include "platform/Controls.h"
#include "platform/PopupHelp.h"
#include "platform/ShellOpen.h"
#include "tests/support/Files.h"

struct ShellOpenRecorder {
  std::vector<std::string> opened;
  ShellOpenOverride inUse{ShellOpenSeam(), [this](auto& t) { opened.push_back(t); }};
};

// Records the control each menu was offered for and each pop-up's control and text.
struct PopupHelpRecorder {
  bool chooseEntry = true;
  std::vector<int> menus;
  std::vector<std::pair<int, std::string>> popups;
  WhatsThisMenuOverride menuInUse{WhatsThisMenuSeam(), [this](QWidget* control, QPoint) {
                                    menus.push_back(ControlId(control));
                                    return chooseEntry;
                                  }};
  WhatsThisPopupOverride popupInUse{WhatsThisPopupSeam(),
                                    [this](QPoint, const QString& text, QWidget* c) {
                                      popups.emplace_back(ControlId(c), text.toStdString());
                                    }};
};

// A right click as it reaches `dialog`: sent to the control, whose parents get it when it does not
// take it; a disabled control never gets it, so it goes to the dialog.
inline void RightClick(QWidget* dialog, QWidget* control) {
  const QPoint local = control->rect().center();
  QWidget* target = control->isEnabled() ? control : dialog;
  QContextMenuEvent event(QContextMenuEvent::Mouse, control->mapTo(target, local),
                          control->mapToGlobal(local));
  QCoreApplication::sendEvent(target, &event);
}

inline const std::filesystem::path kHelpSources =
    std::filesystem::path(ORVANTA_SOURCE_DIR) / "res/help";
