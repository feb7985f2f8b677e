// The about box: its words, button order and focus, what each button opens, and that only OK
// closes it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/AboutDlg.h"
#include "app/Globals.h"
#include "tests/app/ShellTestSupport.h"

namespace {

constexpr int IDOK = 1;
constexpr int IDC_OPEN_MANUAL = 2;
constexpr int IDC_VISIT_WEBSITE = 3;
constexpr int IDC_HELP = 4;

class AboutDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    DetermineAppDirectory();
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
  for (const QLabel* label : dlg.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) {
      texts.push_back(label->text());
    } else {
      EXPECT_EQ(label->accessibleName(), "Orvanta");
    }
  }
  EXPECT_EQ(texts, (std::vector<QString>{"Orvanta Interface Application Version 1.2",
                                         QString::fromUtf8(kAboutCredits)}));
  EXPECT_EQ(QString::fromUtf8(kAboutCredits).count('\n'), 2) << "three lines";
  // Left to right on the screen; the tab order starts at OK, where the focus is.
  const std::pair<int, QString> onScreen[] = {{IDC_VISIT_WEBSITE, "Visit Website"},
                                              {IDC_OPEN_MANUAL, "Open Manual"},
                                              {IDC_HELP, "Help"},
                                              {IDOK, "OK"}};
  int left = -1;
  for (const auto& [id, text] : onScreen) {
    EXPECT_EQ(Button(id)->text(), text);
    EXPECT_GT(Button(id)->x(), left) << text.toStdString();
    left = Button(id)->x();
  }
  EXPECT_TRUE(dlg.GetDlgItemAs<QPushButton>(IDOK)->isDefault());
  QWidget* widget = dlg.focusWidget();
  for (const int id : {IDOK, IDC_OPEN_MANUAL, IDC_VISIT_WEBSITE, IDC_HELP, IDOK}) {
    EXPECT_EQ(ControlId(widget), id);
    do {
      widget = widget->nextInFocusChain();
    } while (widget->focusPolicy() == Qt::NoFocus);
  }
}

TEST_F(AboutDlgTest, EachButtonOpensItsDocumentAndKeepsTheBoxOpen) {
  const std::pair<int, std::string> cases[] = {
      {IDC_VISIT_WEBSITE, kWebsiteAddress},
      {IDC_OPEN_MANUAL, InApp("Orvanta Manual.pdf")},
      {IDC_HELP, InApp("Orvanta_Help.chm")},
  };
  for (const auto& [id, target] : cases) {
    shell.opened.clear();
    QTest::mouseClick(Button(id), Qt::LeftButton);
    EXPECT_EQ(shell.opened, std::vector<std::string>{target}) << id;
    EXPECT_TRUE(dlg.isVisible()) << id;
  }
  QTest::mouseClick(Button(IDOK), Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(AboutDlgTest, EscapeAndTheCloseBoxOpenTheManualAndKeepTheBoxOpen) {
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_TRUE(dlg.isVisible());
  dlg.close();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(shell.opened,
            (std::vector<std::string>{InApp("Orvanta Manual.pdf"), InApp("Orvanta Manual.pdf")}));
}

TEST_F(AboutDlgTest, WithoutAnApplicationDirectoryOnlyTheWebsiteOpens) {
  lpPathBuffer.clear();
  for (const int id : {IDC_OPEN_MANUAL, IDC_HELP, IDC_VISIT_WEBSITE}) {
    QTest::mouseClick(Button(id), Qt::LeftButton);
  }
  EXPECT_EQ(shell.opened, std::vector<std::string>{kWebsiteAddress});
}

}  // namespace
