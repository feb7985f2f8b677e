// The main dialog's shell side: the working directory and its connection settings at start, pop-up
// help, the help key, the about entry and "Connection...".
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/Globals.h"
#include "app/HelpWindow.h"
#include "link/Communication.h"
#include "platform/HelpFile.h"
#include "tests/support/Recorders.h"
#include "tests/support/ShellDoubles.h"
#include "ui/OrvantaAppDlg.h"

namespace {

using Popups = std::vector<std::pair<int, std::string>>;

const std::string kTopic34 =
    "Update Firmware: writes a new firmware file (.ofw) into the board and then writes the "
    "settings "
    "shown back to it. Do not switch the board off or unplug the cable while it runs.";

// Runs `action`; records the caption of each modal dialog it opens and closes it with `close`.
std::vector<QString> Modals(const std::function<void()>& action, void (QDialog::*close)()) {
  std::vector<QString> captions;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      captions.push_back(dialog->windowTitle());
      (dialog->*close)();
    }
  });
  watcher.start(5);
  action();
  return captions;
}

class MainDialogShellTest : public ::testing::Test {
 protected:
  void TearDown() override {
    dlg.reset();
    ResetGlobals();
  }
  // The main dialog initialised in the current working directory, as a programming start.
  void Start() {
    ResetGlobals();
    bProgramInit = 1;
    dlg = std::make_unique<COrvantaAppDlg>();
    dlg->OnInitDialog();
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
  }
  void RightClickOn(int id) { RightClick(dlg.get(), dlg->GetDlgItem(id)); }

  ShellOpenRecorder shell;
  PopupHelpRecorder help;
  std::unique_ptr<COrvantaAppDlg> dlg;
};

// Right click on "Update Firmware": topic 34 from the committed help file, in a working directory
// of any length, which also holds the connection settings and is where F1 looks.
TEST_F(MainDialogShellTest, RightClickOnUpdateFirmwareShowsTopic34) {
  // Windows keeps a working directory below 260 characters: the short one only, there.
  for (const std::string& leaf : {std::string("short"),
#ifndef _WIN32
                                  std::string(150, 'l') + "/" + std::string(150, 'm')
#endif
       }) {
    ScratchAppDirectory scratch(leaf);
    scratch.Write(kConnSettingsFile, "278");
    scratch.CopyHelpFile();
    Start();
    EXPECT_EQ(base, 0x278u) << leaf.size();
    RightClickOn(IDC_UPDATE_FIRMWARE);
    EXPECT_EQ(help.menus, std::vector<int>{IDC_UPDATE_FIRMWARE});
    EXPECT_EQ(help.popups, (Popups{{IDC_UPDATE_FIRMWARE, kTopic34}}));
    // Read once: a later change of the working directory changes nothing.
    std::filesystem::current_path(scratch.Root());
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    QTest::keyClick(dlg->GetDlgItem(IDC_DOWNLOAD), Qt::Key_F1);
    EXPECT_NE(HelpWindow::Current(), nullptr) << "the help file of the application directory";
    EXPECT_TRUE(shell.opened.empty());
    dlg.reset();
    help.menus.clear();
    help.popups.clear();
    shell.opened.clear();
  }
}

TEST_F(MainDialogShellTest, EveryKindOfControlShowsItsTopic) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  Start();
  const std::string topics = ReadText(kHelpSources / "OrvantaDialog.txt");
  const std::pair<int, int> kinds[] = {{IDC_OM_TEST, 2},        {IDC_FIRING_MODE_COMBO, 3},
                                       {IDC_DWELL_EDIT, 6},     {IDC_DWELL_SPIN, 6},
                                       {IDC_LCD_MENU_TREE, 37}, {IDC_CONNECTION, 33}};
  for (const auto& [id, topic] : kinds) {
    help.popups.clear();
    RightClickOn(id);
    EXPECT_EQ(help.popups, (Popups{{id, *FindPopupTopic(topics, topic)}})) << id;
  }
}

TEST_F(MainDialogShellTest, NothingForTheBackgroundStaticsDisabledOrUnlistedControlsOrNoHelp) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  Start();
  const QPoint corner(1, 1);
  ASSERT_EQ(dlg->childAt(corner), nullptr);
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"background",
       [&] {
         QContextMenuEvent event(QContextMenuEvent::Mouse, corner, dlg->mapToGlobal(corner));
         QCoreApplication::sendEvent(dlg.get(), &event);
       }},
      {"static text", [&] { RightClick(dlg.get(), dlg->findChild<QLabel*>()); }},
      {"a control without a topic",
       [&] {
         QPushButton extra(QStringLiteral("Extra"), dlg.get());
         SetControlId(&extra, 4242);
         extra.setGeometry(0, 0, 40, 20);
         extra.show();
         RightClick(dlg.get(), &extra);
       }},
      {"disabled", [&] { RightClickOn(IDC_AEDELAY_SPIN); }},
      {"no help file",
       [&] {
         std::filesystem::remove(scratch.Dir() / kHelpFile);
         RightClickOn(IDC_UPDATE_FIRMWARE);
       }},
  };
  for (const auto& [what, action] : cases) {
    action();
    EXPECT_TRUE(help.menus.empty()) << what;
  }
  scratch.CopyHelpFile();
  help.chooseEntry = false;
  RightClickOn(IDC_UPDATE_FIRMWARE);
  EXPECT_EQ(help.menus, std::vector<int>{IDC_UPDATE_FIRMWARE});
  EXPECT_TRUE(help.popups.empty()) << "the menu was dismissed";
}

TEST_F(MainDialogShellTest, BannerIsTheAboutEntryForMouseKeyboardAndScreenReaders) {
  ScratchAppDirectory scratch;
  Start();
  auto* entry = dlg->GetDlgItemAs<QPushButton>(IDC_BANNER);
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->focusPolicy() & Qt::TabFocus);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(entry);
  EXPECT_EQ(accessible->text(QAccessible::Name), "About Orvanta...");
  EXPECT_EQ(accessible->role(), QAccessible::Button);
  const std::function<void()> ways[] = {
      [&] { QTest::mouseClick(entry, Qt::LeftButton); },
      [&] { QTest::keyClick(entry, Qt::Key_Space); },
      [&] {
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(400);  // the press is animated
      },
      [&] { dlg->OnSysCommand(0x0013, 0); },  // the low four bits do not count
  };
  for (const auto& way : ways) {
    EXPECT_EQ(Modals(way, &QDialog::accept),
              std::vector<QString>{"About Orvanta Interface Application..."});
  }
  EXPECT_TRUE(Modals([&] { dlg->OnSysCommand(0xF060, 0); }, &QDialog::accept).empty());
}

TEST_F(MainDialogShellTest, ConnectionButtonOpensTheConnectionSettings) {
  ScratchAppDirectory scratch;
  Start();
  scratch.Write(kConnSettingsFile, "3BC");
  const auto click = [&] {
    QTest::mouseClick(dlg->GetDlgItemAs<QPushButton>(IDC_CONNECTION), Qt::LeftButton);
  };
  EXPECT_EQ(Modals(click, &QDialog::reject), std::vector<QString>{"Connection Settings"});
  EXPECT_EQ(base, 0x3BCu) << "the dialog reads the file as it opens";
}

}  // namespace
