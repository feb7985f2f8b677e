// Doubles for the application shell's tests: a recorder of shell opens, a scripted answer to the
// "What's This?" menu with a recorder of the pop-ups, and a scratch working directory that the
// tool takes as its application directory.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/AppDirectory.h"
#include "platform/Controls.h"
#include "platform/PopupHelp.h"
#include "platform/ShellOpen.h"
#include "tests/support/Recorders.h"

class ShellOpenRecorder {
 public:
  ShellOpenRecorder()
      : previous_(SetShellOpenHandler([this](const std::string& t) { opened.push_back(t); })) {}
  ~ShellOpenRecorder() { SetShellOpenHandler(previous_); }
  std::vector<std::string> opened;

 private:
  ShellOpenHandler previous_;
};

class PopupHelpRecorder {
 public:
  struct Popup {
    int controlId;
    QString text;
  };
  PopupHelpRecorder()
      : previousMenu_(SetWhatsThisMenuHandler([this](QWidget* control, QPoint) {
          menus.push_back(ControlId(control));
          return chooseEntry;
        })),
        previousPopup_(SetWhatsThisPopupHandler([this](QPoint, const QString& text, QWidget* c) {
          popups.push_back({ControlId(c), text});
        })) {}
  ~PopupHelpRecorder() {
    SetWhatsThisMenuHandler(previousMenu_);
    SetWhatsThisPopupHandler(previousPopup_);
  }
  bool chooseEntry = true;
  std::vector<int> menus;  // the control each "What's This?" menu was offered for
  std::vector<Popup> popups;

 private:
  WhatsThisMenuHandler previousMenu_;
  WhatsThisPopupHandler previousPopup_;
};

// A right click as it reaches `dialog` on `control`: sent to the control, whose parents get it
// when it does not take it; a disabled control passes it straight to the dialog.
inline void RightClick(QWidget* dialog, QWidget* control) {
  const QPoint local = control->rect().center();
  QWidget* target = control->isEnabled() ? control : dialog;
  const QPoint pos = control->isEnabled() ? local : control->mapTo(dialog, local);
  QContextMenuEvent event(QContextMenuEvent::Mouse, pos, control->mapToGlobal(local));
  QCoreApplication::sendEvent(target, &event);
}

inline const std::filesystem::path& HelpSourceDir() {
  static const std::filesystem::path dir = std::filesystem::path(ORVANTA_SOURCE_DIR) / "res/help";
  return dir;
}

inline std::string ReadFileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A fresh directory that is the working directory, and the application directory, for a test.
class ScratchAppDirectory {
 public:
  explicit ScratchAppDirectory(const std::string& leaf = "app")
      : previous_(std::filesystem::current_path()),
        root_(std::filesystem::temp_directory_path() /
              ("orvanta-shell-" + std::to_string(::getpid()))),
        dir_(root_ / leaf) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    DetermineAppDirectory();
  }
  ~ScratchAppDirectory() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(root_);
  }
  const std::filesystem::path& Dir() const { return dir_; }
  const std::filesystem::path& Root() const { return root_; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const { return ReadFileText(dir_ / name); }
  void CopyHelpFile() const {
    std::filesystem::copy_file(HelpSourceDir() / kHelpFile, dir_ / kHelpFile);
  }

 private:
  std::filesystem::path previous_, root_, dir_;
};
