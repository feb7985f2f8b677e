#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

#include "app/Globals.h"
#include "app/OrvantaApp.h"
#include "tests/support/ShellDoubles.h"
#include "tests/support/Recorders.h"
#include "ui/OrvantaAppDlg.h"

namespace {

// Clicks "Exit " of whatever modal dialog is running, once the event loop gets to it.
void ClickExitSoon() {
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<COrvantaAppDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* exit = qobject_cast<QPushButton*>(dialog->GetDlgItem(IDCANCEL));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), QStringLiteral("Exit "));
    exit->click();
  });
}

class MainDialogStart : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }
};

TEST_F(MainDialogStart, PinTestSwitchMakesTheStartDownloadRunThePinTest) {
  bTestInit = 1;
  SeamLog log;
  RecordingPort port(&log);
  MessageRecorder messages;
  messages.onShow = [&](const MessageBoxRequest&) {
    if (messages.messages.size() == 13) ClickExitSoon();
  };
  COrvantaAppDlg dlg;
  EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
  ASSERT_EQ(messages.messages.size(), 13u);
  EXPECT_EQ(messages.messages.front().text, "Pin 1 is now high.");
  EXPECT_EQ(messages.messages.back().text, "Pin 13 is now high.");
}

TEST_F(MainDialogStart, ProgrammingStartPostsNoDownloadAndShowsEmptyBoard) {
  bProgramInit = 1;
  bTestInit = 1;  // a posted download would show up as pin-test messages
  MessageRecorder messages;
  RecordingPort port;
  ClickExitSoon();
  COrvantaAppDlg dlg;
  EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(port.writes, 0u);
  EXPECT_EQ(m_FirmwareRevision, "None");
  EXPECT_EQ(m_BoardType, "Empty Board");
}

TEST_F(MainDialogStart, EnterDoesNothingEscapeCloses) {
  bProgramInit = 1;
  RecordingPort port;  // should a button be clicked after all, no real port is reached
  COrvantaAppDlg dlg;
  dlg.OnInitDialog();
  dlg.show();
  dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

  std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> clicks;
  for (QPushButton* button : dlg.findChildren<QPushButton*>()) {
    clicks.emplace_back(button->text(),
                        std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
  }
  ASSERT_FALSE(clicks.empty());

  // A radio button, a combo box, the tree and a push button: none lets Enter through.
  for (const int id : {IDC_OM_STANDARD, IDC_FIRING_MODE_COMBO, IDC_LCD_MENU_TREE, IDC_DOWNLOAD}) {
    QWidget* control = dlg.GetDlgItem(id);
    ASSERT_NE(control, nullptr) << id;
    control->setFocus();
    ASSERT_TRUE(control->hasFocus()) << id;
    for (const Qt::Key key : {Qt::Key_Enter, Qt::Key_Return}) {
      QTest::keyClick(control, key);
      EXPECT_TRUE(dlg.isVisible()) << id << " " << key;
    }
  }
  for (const auto& [text, spy] : clicks) EXPECT_TRUE(spy->isEmpty()) << text.toStdString();
  EXPECT_EQ(port.writes, 0u);

  static_cast<QDialog&>(dlg).accept();
  EXPECT_TRUE(dlg.isVisible()) << "accepting never closes the dialog";

  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(MainDialogStart, ApplicationRunsTheMainDialogOnTheSimulatedBoardUntilExit) {
  // The simulated board is kept in the working directory: a scratch one, not the caller's.
  ScratchAppDirectory scratch;
  MessageRecorder messages;
  ClickExitSoon();
  EXPECT_FALSE(theApp.Run({"simulate", "initprogramming"}));
  EXPECT_EQ(bSimulate, 1);
  EXPECT_EQ(bProgramInit, 1);
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(scratch.Dir() / "SimulatedBoard.hex"));
}

}  // namespace
