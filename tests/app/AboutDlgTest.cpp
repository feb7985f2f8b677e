// The about box: its words, button order and focus, what each button opens, and that only OK
// closes it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include "app/AboutDlg.h"
#include "app/Globals.h"
#include "app/HelpWindow.h"
#include "tests/support/ShellDoubles.h"
#include "tests/support/Recorders.h"

namespace {

constexpr int IDC_OPEN_MANUAL = 2, IDC_VISIT_WEBSITE = 3, IDC_HELP = 4;

class AboutDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.OnInitDialog();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  }
  void TearDown() override { ResetGlobals(); }
  QAbstractButton* Button(int id) { return dlg.GetDlgItemAs<QAbstractButton>(id); }
  std::string InApp(const char* name) { return (scratch.Dir() / name).string(); }

  ScratchAppDirectory scratch;
  ShellOpenRecorder shell;
  CAboutDlg dlg;
};

TEST_F(AboutDlgTest, WordsButtonOrderAndFocus) {
  EXPECT_EQ(dlg.windowTitle(), "About Orvanta Interface Application...");
  std::vector<QString> texts;
  for (const QLabel* label : dlg.findChildren<QLabel*>()) texts.push_back(label->text());
  EXPECT_EQ(texts, (std::vector<QString>{"", "Orvanta Interface Application Version 1.2",
                                         QString::fromUtf8(kAboutCredits)}));
  // Left to right on the screen; the tab order starts at OK, where the focus is.
  int left = -1;
  for (const auto& [id, text] : {std::pair{IDC_VISIT_WEBSITE, "Visit Website"},
                                 {IDC_OPEN_MANUAL, "Open Manual"},
                                 {IDC_HELP, "Help"},
                                 {IDOK, "OK"}}) {
    EXPECT_EQ(Button(id)->text(), text);
    EXPECT_GT(Button(id)->x(), left) << text;
    left = Button(id)->x();
  }
  QWidget* widget = dlg.focusWidget();
  for (const int id : {IDOK, IDC_OPEN_MANUAL, IDC_VISIT_WEBSITE, IDC_HELP, IDOK}) {
    EXPECT_EQ(ControlId(widget), id);
    do widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus);
  }
}

TEST_F(AboutDlgTest, ButtonsEscapeAndCloseBoxOpenDocumentsAndOnlyOkCloses) {
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { QTest::mouseClick(Button(IDC_VISIT_WEBSITE), Qt::LeftButton); }, kWebsiteAddress},
      {[&] { QTest::mouseClick(Button(IDC_OPEN_MANUAL), Qt::LeftButton); },
       InApp("Orvanta Manual.pdf")},
      {[&] { QTest::keyClick(&dlg, Qt::Key_Escape); }, InApp("Orvanta Manual.pdf")},
      {[&] { dlg.close(); }, InApp("Orvanta Manual.pdf")},
  };
  for (const auto& [action, target] : cases) {
    shell.opened.clear();
    action();
    EXPECT_EQ(shell.opened, std::vector<std::string>{target});
    EXPECT_TRUE(dlg.isVisible()) << target;
  }
  // Help is the tool's own window, kept with the about box while it is open; not the desktop's.
  scratch.CopyHelpFile();
  shell.opened.clear();
  QTest::mouseClick(Button(IDC_HELP), Qt::LeftButton);
  EXPECT_TRUE(shell.opened.empty());
  ASSERT_NE(HelpWindow::Current(), nullptr);
  EXPECT_EQ(HelpWindow::Current()->parentWidget(), &dlg);
  EXPECT_TRUE(dlg.isVisible());
  delete HelpWindow::Current();
  lpPathBuffer.clear();  // no application directory: no manual, no help
  shell.opened.clear();
  for (const int id : {IDC_OPEN_MANUAL, IDC_HELP}) QTest::mouseClick(Button(id), Qt::LeftButton);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(HelpWindow::Current(), nullptr);
  QTest::mouseClick(Button(IDOK), Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
}

}  // namespace
