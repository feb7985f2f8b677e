// The main dialog's application-shell side: the start-up read of the connection settings from the
// working directory, pop-up help, the help key, the about entry and "Connection...".
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <set>

#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/HelpFile.h"
#include "tests/app/ShellTestSupport.h"
#include "ui/OrvantaAppDlg.h"

namespace {

constexpr const char* kTopic34 =
    "Update Firmware: writes a new firmware file (.ofw) into the board and then writes the "
    "settings "
    "shown back to it. Do not switch the board off or unplug the cable while it runs.";

// Runs `action`; every modal dialog it opens is recorded by its caption and closed by `close`.
std::vector<QString> CaptionsOfModals(const std::function<void()>& action,
                                      const std::function<void(QDialog*)>& close) {
  std::vector<QString> captions;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      captions.push_back(dialog->windowTitle());
      close(dialog);
    }
  });
  watcher.start(5);
  action();
  return captions;
}

class MainDialogShellTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override {
    dlg.reset();
    ResetGlobals();
  }
  // Initialises the main dialog in `scratch`, as a programming start does (no download).
  void Start(const ScratchAppDirectory& scratch) {
    (void)scratch;
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

TEST_F(MainDialogShellTest, StartsWithTheWorkingDirectoryAndItsConnectionSettings) {
  // A short directory, and one far past 256 characters.
  for (const std::string& leaf :
       {std::string("short"), std::string(150, 'l') + "/" + std::string(150, 'm')}) {
    ScratchAppDirectory scratch(leaf);
    lpPathBuffer.clear();
    scratch.Write(kConnSettingsFile, "278");
    scratch.CopyHelpFile();
    base = 0x378;
    Start(scratch);
    EXPECT_EQ(lpPathBuffer, scratch.Dir().string());
    EXPECT_EQ(base, 0x278u) << leaf.size();
    help.popups.clear();
    RightClickOn(IDC_UPDATE_FIRMWARE);
    ASSERT_EQ(help.popups.size(), 1u) << leaf.size();
    EXPECT_EQ(help.popups[0].text, kTopic34);
    // The directory is read once: moving elsewhere later changes nothing.
    std::filesystem::current_path(scratch.Root());
    shell.opened.clear();
    dlg->OnHelpInfo();
    EXPECT_EQ(shell.opened, std::vector<std::string>{(scratch.Dir() / kHelpFile).string()});
    dlg.reset();
  }
}

TEST_F(MainDialogShellTest, RightClickOnUpdateFirmwareShowsTopic34) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  Start(scratch);
  RightClickOn(IDC_UPDATE_FIRMWARE);
  EXPECT_EQ(help.menus, std::vector<int>{IDC_UPDATE_FIRMWARE});
  ASSERT_EQ(help.popups.size(), 1u);
  EXPECT_EQ(help.popups[0].controlId, IDC_UPDATE_FIRMWARE);
  EXPECT_EQ(help.popups[0].text, kTopic34);
}

TEST_F(MainDialogShellTest, EveryControlOfTheTableAndNoOtherHasItsTopic) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  Start(scratch);
  dlg->UpdateAEDelayDelayValue();  // enables the after-eye delay box and its spin button
  const std::map<int, int> table = {
      {1042, 1},  {1043, 2},  {1029, 3},  {1030, 4},  {1002, 5},  {1037, 5},  {1001, 6},
      {1036, 6},  {1052, 7},  {1053, 8},  {1054, 9},  {1055, 10}, {1038, 11}, {1040, 13},
      {1041, 14}, {1046, 15}, {1047, 16}, {1050, 17}, {1051, 18}, {1031, 19}, {1004, 20},
      {1056, 20}, {1012, 21}, {1057, 21}, {1048, 22}, {1049, 23}, {1021, 25}, {1022, 26},
      {1023, 27}, {1024, 28}, {1009, 29}, {1044, 30}, {1008, 31}, {1007, 32}, {1010, 33},
      {1011, 34}, {1032, 36}, {1063, 37}};
  const std::string topics = ReadFileText(HelpSourceDir() / "OrvantaDialog.txt");
  std::map<int, std::string> expected, shown;
  for (const auto& [id, topic] : table) expected[id] = FindPopupTopic(topics, topic).value_or("?");
  std::set<int> ids;
  for (QWidget* control : dlg->findChildren<QWidget*>()) {
    if (ControlId(control) != 0) ids.insert(ControlId(control));
  }
  for (const int id : ids) {
    help.popups.clear();
    RightClickOn(id);
    for (const PopupHelpRecorder::Popup& popup : help.popups) {
      EXPECT_EQ(popup.controlId, id);
      shown[id] = popup.text.toStdString();
    }
    EXPECT_LE(help.popups.size(), 1u) << id;
  }
  for (const auto& [id, text] : expected) EXPECT_EQ(shown[id], text) << id;
  EXPECT_EQ(shown.size(), expected.size()) << "a control outside the table has a topic";
}

TEST_F(MainDialogShellTest, NothingForTheBackgroundStaticTextsDisabledControlsOrWithoutHelp) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  Start(scratch);
  QLabel* maker = nullptr;
  for (QLabel* label : dlg->findChildren<QLabel*>()) {
    if (label->text() == "Tarvelcorp") maker = label;
  }
  ASSERT_NE(maker, nullptr);
  const QPoint corner(1, 1);
  ASSERT_EQ(dlg->childAt(corner), nullptr);
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"background",
       [&] {
         QContextMenuEvent event(QContextMenuEvent::Mouse, corner, dlg->mapToGlobal(corner));
         QCoreApplication::sendEvent(dlg.get(), &event);
       }},
      {"static text", [&] { RightClick(dlg.get(), maker); }},
      {"board type value", [&] { RightClickOn(IDC_BOARD_TYPE); }},
      {"Exit, not in the table", [&] { RightClickOn(2); }},
      {"disabled control",
       [&] {
         dlg->EnableDlgItem(IDC_UPDATE_FIRMWARE, false);
         RightClickOn(IDC_UPDATE_FIRMWARE);
         dlg->EnableDlgItem(IDC_UPDATE_FIRMWARE, true);
       }},
      {"no help file",
       [&] {
         std::filesystem::remove(scratch.Dir() / kHelpFile);
         RightClickOn(IDC_UPDATE_FIRMWARE);
         scratch.CopyHelpFile();
       }},
      {"no application directory",
       [&] {
         const std::string kept = lpPathBuffer;
         lpPathBuffer.clear();
         RightClickOn(IDC_UPDATE_FIRMWARE);
         lpPathBuffer = kept;
       }},
  };
  for (const auto& [what, action] : cases) {
    action();
    EXPECT_TRUE(help.menus.empty()) << what;
    EXPECT_TRUE(help.popups.empty()) << what;
  }
  help.chooseEntry = false;
  RightClickOn(IDC_UPDATE_FIRMWARE);
  EXPECT_EQ(help.menus, std::vector<int>{IDC_UPDATE_FIRMWARE});
  EXPECT_TRUE(help.popups.empty()) << "the menu was dismissed";
}

TEST_F(MainDialogShellTest, HelpKeyOpensTheHelpFile) {
  ScratchAppDirectory scratch;
  Start(scratch);
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QTest::keyClick(dlg->GetDlgItem(IDC_DOWNLOAD), Qt::Key_F1);
  EXPECT_EQ(shell.opened, std::vector<std::string>{(scratch.Dir() / kHelpFile).string()});
  EXPECT_TRUE(dlg->OnHelpInfo());
}

TEST_F(MainDialogShellTest, BannerIsTheAboutEntryForMouseKeyboardAndScreenReaders) {
  ScratchAppDirectory scratch;
  Start(scratch);
  auto* entry = dlg->GetDlgItemAs<QPushButton>(IDC_BANNER);
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->icon().isNull());
  EXPECT_NE(entry->focusPolicy() & Qt::TabFocus, 0);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(entry);
  EXPECT_EQ(accessible->text(QAccessible::Name), "About Orvanta...");
  EXPECT_EQ(accessible->role(), QAccessible::Button);
  ASSERT_NE(accessible->actionInterface(), nullptr);
  EXPECT_TRUE(accessible->actionInterface()->actionNames().contains(
      QAccessibleActionInterface::pressAction()));
  const auto ok = [](QDialog* dialog) { dialog->accept(); };
  const QString about = "About Orvanta Interface Application...";
  EXPECT_EQ(CaptionsOfModals([&] { QTest::mouseClick(entry, Qt::LeftButton); }, ok),
            std::vector<QString>{about});
  EXPECT_EQ(CaptionsOfModals([&] { QTest::keyClick(entry, Qt::Key_Space); }, ok),
            std::vector<QString>{about});
  EXPECT_EQ(
      CaptionsOfModals(
          [&] {
            accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTest::qWait(400);  // the press is animated
          },
          ok),
      std::vector<QString>{about});
  // The low four bits of a window command do not count; other commands open nothing.
  EXPECT_EQ(CaptionsOfModals([&] { dlg->OnSysCommand(0x0013, 0); }, ok),
            std::vector<QString>{about});
  EXPECT_TRUE(CaptionsOfModals([&] { dlg->OnSysCommand(0xF060, 0); }, ok).empty());
}

TEST_F(MainDialogShellTest, ConnectionButtonOpensTheConnectionSettings) {
  ScratchAppDirectory scratch;
  Start(scratch);
  scratch.Write(kConnSettingsFile, "3BC");
  const auto cancel = [](QDialog* dialog) { dialog->reject(); };
  EXPECT_EQ(CaptionsOfModals(
                [&] {
                  QTest::mouseClick(dlg->GetDlgItemAs<QAbstractButton>(IDC_CONNECTION),
                                    Qt::LeftButton);
                },
                cancel),
            std::vector<QString>{"Connection Settings"});
  EXPECT_EQ(base, 0x3BCu) << "the dialog reads the file as it opens";
}

}  // namespace
