// The help window: F1 shows the committed help file with its contents, links are followed and
// Back returns; one window at a time, kept usable beside a modal dialog; silent without a file.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QShortcut>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdlib>

#include "app/Globals.h"
#include "app/HelpWindow.h"
#include "app/InstalledFiles.h"
#include "app/SettingsDlg.h"
#include "tests/support/Recorders.h"
#include "tests/support/ShellDoubles.h"
#include "ui/OrvantaAppDlg.h"

namespace {

const QUrl kIndex(QStringLiteral("chm:/index.html"));
const QUrl kCables(QStringLiteral("chm:/cables.html"));

// Clicks the first link whose text is `text` on the page shown, as the user would.
void ClickLink(HelpBrowser* browser, const QString& text) {
  const QTextDocument* document = browser->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextFragment piece = fragment.fragment();
      if (!piece.charFormat().isAnchor() || piece.text() != text) continue;
      QTextCursor cursor(browser->document());
      cursor.setPosition(piece.position() + 1);
      browser->ensureCursorVisible();
      const QPoint point = browser->cursorRect(cursor).center();
      QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, point);
      return;
    }
  }
  ADD_FAILURE() << "no link " << text.toStdString();
}

QStringList TopLevelEntries(const QTreeWidget* tree) {
  QStringList names;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) names << tree->topLevelItem(i)->text(0);
  return names;
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    bProgramInit = 1;
    scratch.CopyHelpFile();
    dlg = std::make_unique<COrvantaAppDlg>();
    dlg->OnInitDialog();
    dlg->show();
    dlg->activateWindow();  // no window manager does it on a bare X server
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }
  void TearDown() override {
    dlg.reset();
    ResetGlobals();
  }
  void PressF1() { QTest::keyClick(dlg->GetDlgItem(IDC_DOWNLOAD), Qt::Key_F1); }

  ScratchAppDirectory scratch;
  ShellOpenRecorder shell;
  std::unique_ptr<COrvantaAppDlg> dlg;
};

TEST_F(HelpWindowTest, F1ShowsContentsAndFirstPageLinksAreFollowedAndBackReturns) {
  PressF1();
  HelpWindow* help = HelpWindow::Current();
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
  EXPECT_EQ(help->windowTitle(), "Orvanta Interface Application Help");
  EXPECT_FALSE(help->isModal());
  EXPECT_EQ(TopLevelEntries(help->Contents()),
            (QStringList{"Orvanta Interface Application", "Using the window", "The cables",
                         "The command line for board makers", "Installing",
                         "When something goes wrong", "Deliberate behaviour choices"}));
  HelpBrowser* page = help->Browser();
  EXPECT_EQ(page->source(), kIndex);
  EXPECT_TRUE(page->toPlainText().startsWith(
      "Orvanta Interface Application\nThe Orvanta Interface Application downloads, edits"));
  EXPECT_EQ(help->Contents()->currentItem()->text(0), "Orvanta Interface Application");
  EXPECT_EQ(help->BackButton()->text(), "Back");
  EXPECT_EQ(help->ForwardButton()->text(), "Forward");
  EXPECT_FALSE(help->BackButton()->isEnabled());

  ClickLink(page, "The cables");
  EXPECT_EQ(page->source(), kCables);
  EXPECT_TRUE(page->toPlainText().startsWith("The cables\n"));
  EXPECT_EQ(help->Contents()->currentItem()->text(0), "The cables");
  ASSERT_TRUE(help->BackButton()->isEnabled());

  QTest::mouseClick(help->BackButton(), Qt::LeftButton);
  EXPECT_EQ(page->source(), kIndex);
  EXPECT_EQ(help->Contents()->currentItem()->text(0), "Orvanta Interface Application");
  EXPECT_TRUE(help->ForwardButton()->isEnabled());
  QTest::mouseClick(help->ForwardButton(), Qt::LeftButton);
  EXPECT_EQ(page->source(), kCables);

  // A choice in the contents shows its page.
  help->Contents()->setCurrentItem(help->Contents()->topLevelItem(5));
  EXPECT_TRUE(page->toPlainText().startsWith("When something goes wrong\n"));
  // A section in the contents shows its page at that section.
  QTreeWidgetItem* usb = help->Contents()->topLevelItem(2)->child(2);
  ASSERT_NE(usb, nullptr);
  EXPECT_EQ(usb->text(0), "The USB cable (FT232R)");
  help->Contents()->setCurrentItem(usb);
  EXPECT_EQ(page->source(), QUrl("chm:/cables.html#the-usb-cable-ft232r"));
  EXPECT_TRUE(shell.opened.empty());

  // The guides' picture of the help window, on the cables guide.
  if (const char* dir = std::getenv("ORVANTA_SCREENSHOT_DIR")) {
    help->Contents()->setCurrentItem(help->Contents()->topLevelItem(2));
    help->grab().save(QString::fromLocal8Bit(dir) + "/help-window.png");
  }
}

// F1 again raises the one window; web addresses go to the desktop, the page stays.
TEST_F(HelpWindowTest, OneWindowAtATimeAndWebLinksGoToTheDesktop) {
  PressF1();
  HelpWindow* first = HelpWindow::Current();
  ASSERT_NE(first, nullptr);
  first->Browser()->setSource(kCables);
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  PressF1();
  EXPECT_EQ(HelpWindow::Current(), first);
  EXPECT_EQ(first->Browser()->source(), kCables) << "raised as it was";
  int windows = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<HelpWindow*>(widget) != nullptr && widget->isVisible()) ++windows;
  }
  EXPECT_EQ(windows, 1);

  first->Browser()->setSource(QUrl("https://www.example.com/orvanta/"));
  first->Browser()->setSource(QUrl("file:///etc/passwd"));
  EXPECT_EQ(shell.opened, std::vector<std::string>{"https://www.example.com/orvanta/"});
  EXPECT_EQ(first->Browser()->source(), kCables);

  first->close();  // closing ends it; F1 makes a new one
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(HelpWindow::Current(), nullptr);
  PressF1();
  EXPECT_NE(HelpWindow::Current(), nullptr);
}

// F1 in the modal connection dialog: the help belongs to that dialog while it runs (a modal run
// locks out every other window) and goes back to the main window, still open, when it ends.
TEST_F(HelpWindowTest, HelpFromAModalDialogStaysUsableAndOutlivesIt) {
  CSettingsDlg settings(dlg.get());
  QWidget* ownerDuringRun = nullptr;
  QTimer::singleShot(0, &settings, [&] {
    // The dialog's help key, pressed while its modal run goes on.
    for (QShortcut* key : settings.findChildren<QShortcut*>()) {
      if (key->key() == QKeySequence(Qt::Key_F1)) emit key->activated();
    }
    if (HelpWindow::Current() != nullptr) ownerDuringRun = HelpWindow::Current()->parentWidget();
    settings.reject();
  });
  settings.DoModal();
  EXPECT_EQ(ownerDuringRun, &settings);
  ASSERT_NE(HelpWindow::Current(), nullptr);
  EXPECT_EQ(HelpWindow::Current()->parentWidget(), dlg.get());
  EXPECT_TRUE(HelpWindow::Current()->isVisible());
}

// Installed, the help file lives in the package's data folder, not in the application directory.
TEST_F(HelpWindowTest, AnInstalledHelpFileServesWhenTheApplicationDirectoryHasNone) {
  std::filesystem::create_directories(InstalledDataDir());
  std::filesystem::rename(scratch.Dir() / kHelpFile, InstalledDataDir() / kHelpFile);
  PressF1();
  ASSERT_NE(HelpWindow::Current(), nullptr);
  EXPECT_EQ(HelpWindow::Current()->Browser()->source(), kIndex);
}

TEST_F(HelpWindowTest, MissingOrDamagedHelpFileIsSilent) {
  for (const char* content : {static_cast<const char*>(nullptr), "not a help file"}) {
    std::filesystem::remove(scratch.Dir() / kHelpFile);
    if (content != nullptr) scratch.Write(kHelpFile, content);
    PressF1();
    EXPECT_EQ(HelpWindow::Current(), nullptr) << (content ? content : "missing");
    EXPECT_TRUE(shell.opened.empty());
  }
}

}  // namespace
