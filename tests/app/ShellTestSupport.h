// Doubles for the application shell's tests: a recorder of shell opens, a scripted "What's This?"
// menu with a recorder of the pop-ups, and a scratch working directory that the tool takes as its
// application directory.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AppDirectory.h"
#include "platform/Controls.h"
#include "platform/PopupHelp.h"
#include "platform/ShellOpen.h"

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

inline std::string ReadFileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline const std::filesystem::path kHelpSources =
    std::filesystem::path(ORVANTA_SOURCE_DIR) / "res/help";

// A fresh directory, made the working directory and the application directory.
class ScratchAppDirectory {
 public:
  explicit ScratchAppDirectory(const std::string& leaf = "app")
      : previous_(std::filesystem::current_path()),
        root_(std::filesystem::temp_directory_path() /
              ("orvanta-shell-" + std::to_string(getpid()))),
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
    std::filesystem::copy_file(kHelpSources / kHelpFile, dir_ / kHelpFile);
  }

 private:
  std::filesystem::path previous_, root_, dir_;
};
