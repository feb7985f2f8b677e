// The connection settings dialog: reading and writing ConnSettings.dat, the choices it shows, its
// words and order, the address box, the port list and its pop-up help.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "app/Globals.h"
#include "app/SettingsDlg.h"
#include "link/Communication.h"
#include "platform/HelpFile.h"
#include "tests/app/ShellTestSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr const char* kStillUsed = "\n\nIt is used until you close the program.";

class SettingsDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    DetermineAppDirectory();
  }
  void TearDown() override { ResetGlobals(); }

  // A dialog as DoModal would show it, without the modal run.
  std::unique_ptr<CSettingsDlg> Open() {
    auto dlg = std::make_unique<CSettingsDlg>();
    dlg->m_ParportDir = (scratch_.Root() / "no-proc").string();
    dlg->OnInitDialog();
    dlg->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    return dlg;
  }
  static QAbstractButton* Button(CSettingsDlg& dlg, int id) {
    return dlg.GetDlgItemAs<QAbstractButton>(id);
  }
  static QLineEdit* Address(CSettingsDlg& dlg) {
    return dlg.GetDlgItemAs<QLineEdit>(IDC_CUSTOM_ADDRESS);
  }
  static int Checked(CSettingsDlg& dlg) {
    for (const int id : {IDC_LPT1, IDC_LPT2, IDC_CUSTOM}) {
      if (Button(dlg, id)->isChecked()) return id;
    }
    return 0;
  }

  ScratchAppDirectory scratch_;
  MessageRecorder messages_;
};

TEST_F(SettingsDlgTest, OpensWithTheChoiceTheFileGives) {
  const struct {
    std::optional<std::string> file;  // nothing: no ConnSettings.dat
    uint32_t baseBefore;
    uint32_t base;
    int checked;
    QString address;  // empty and disabled unless Custom is checked
  } cases[] = {
      {std::nullopt, 0x3BC, 0x378, IDC_LPT1, ""},
      {"278", 0x378, 0x278, IDC_LPT2, ""},
      {"378", 0x278, 0x378, IDC_LPT1, ""},
      {"3BC", 0x378, 0x3BC, IDC_CUSTOM, "3BC"},
      {"3bc", 0x378, 0x3BC, IDC_CUSTOM, "3BC"},  // the box shows capitals
      {"0x3BC", 0x378, 0x3BC, IDC_CUSTOM, "0X3BC"},
      {"ZZ", 0x378, 0x378, IDC_LPT1, ""},
      {"0", 0x378, 0x378, IDC_LPT1, ""},
      {"0", 0x278, 0x278, IDC_LPT2, ""},  // refused: the port stays as it was
      {"", 0xD010, 0xD010, IDC_CUSTOM, " "},
      {std::string(65, '3'), 0x278, 0x278, IDC_LPT2, ""},  // too long to be an address
      {std::string(65, '3'), 0x3BC, 0x3BC, IDC_CUSTOM, ""},
  };
  for (const auto& c : cases) {
    const std::string what = c.file ? '"' + c.file->substr(0, 8) + '"' : "no file";
    fs::remove(scratch_.Dir() / kConnSettingsFile);
    if (c.file) scratch_.Write(kConnSettingsFile, *c.file);
    base = c.baseBefore;
    auto dlg = Open();
    EXPECT_EQ(base, c.base) << what;
    EXPECT_EQ(Checked(*dlg), c.checked) << what;
    EXPECT_EQ(Address(*dlg)->isEnabled(), c.checked == IDC_CUSTOM) << what;
    EXPECT_EQ(Address(*dlg)->text(), c.address) << what;
    EXPECT_EQ(dlg->m_CustomAddress, c.address) << what;
  }
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SettingsDlgTest, SaveWritesOneTokenAndSetsThePort) {
  const struct {
    int click;
    const char* typed;  // typed into the address box after choosing Custom
    std::string file;
    uint32_t base;
  } cases[] = {
      {IDC_LPT1, nullptr, "378", 0x378},
      {IDC_LPT2, nullptr, "278", 0x278},
      {IDC_CUSTOM, "3bc", "3BC", 0x3BC},
      {IDC_CUSTOM, "d010", "D010", 0xD010},
      {IDC_CUSTOM, "", "", 0x378},
      {IDC_CUSTOM, "zz", "ZZ", 0x378},  // kept as typed, used as LPT1
      {IDC_LPT1, "3bc", "378", 0x378},  // typed, then LPT1 chosen: the text stays, unused
  };
  for (const auto& c : cases) {
    scratch_.Write(kConnSettingsFile, "a much longer old content");
    base = 0x278;
    auto dlg = Open();
    if (c.typed != nullptr) {
      QTest::mouseClick(Button(*dlg, IDC_CUSTOM), Qt::LeftButton);
      ASSERT_TRUE(Address(*dlg)->isEnabled());
      Address(*dlg)->clear();
      QTest::keyClicks(Address(*dlg), QString::fromLatin1(c.typed));
    }
    QTest::mouseClick(Button(*dlg, c.click), Qt::LeftButton);
    EXPECT_EQ(Address(*dlg)->isEnabled(), c.click == IDC_CUSTOM);
    if (c.typed != nullptr) {
      EXPECT_EQ(Address(*dlg)->text(), QString(c.typed).toUpper());
    }
    QTest::mouseClick(Button(*dlg, IDOK), Qt::LeftButton);
    EXPECT_EQ(scratch_.Read(kConnSettingsFile), c.file) << c.click << ' ' << c.file;
    EXPECT_EQ(base, c.base) << c.click << ' ' << c.file;
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
  }
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SettingsDlgTest, CancelAndEscapeWriteNothing) {
  scratch_.Write(kConnSettingsFile, "278");
  for (const bool escape : {false, true}) {
    auto dlg = Open();
    QTest::mouseClick(Button(*dlg, IDC_LPT1), Qt::LeftButton);
    if (escape) {
      QTest::keyClick(dlg.get(), Qt::Key_Escape);
    } else {
      QTest::mouseClick(Button(*dlg, IDCANCEL), Qt::LeftButton);
    }
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(scratch_.Read(kConnSettingsFile), "278");
    EXPECT_EQ(base, 0x278u);
  }
}

TEST_F(SettingsDlgTest, AChoiceThatCannotBeSavedIsStillUsedAndTheUserIsTold) {
  // Root may write anywhere, but nobody can make a directory inside a regular file.
  scratch_.Write("plain-file", "x");
  lpPathBuffer = (scratch_.Dir() / "plain-file" / "app").string();
  auto dlg = Open();
  EXPECT_EQ(base, 0x378u);
  QTest::mouseClick(Button(*dlg, IDC_LPT2), Qt::LeftButton);
  QTest::mouseClick(Button(*dlg, IDOK), Qt::LeftButton);
  EXPECT_EQ(base, 0x278u);
  ASSERT_EQ(messages_.messages.size(), 1u);
  const MessageBoxRequest& message = messages_.messages[0];
  EXPECT_EQ(message.title, "Save Connection Settings Failed");
  EXPECT_EQ(message.icon, MsgIcon::Stop);
  const std::string start =
      "The port choice could not be saved in \"" + lpPathBuffer + "/ConnSettings.dat\": ";
  EXPECT_EQ(message.text.substr(0, start.size()), start) << message.text;
  EXPECT_GT(message.text.size(), start.size() + std::string(kStillUsed).size() + 1);
  EXPECT_TRUE(message.text.ends_with(std::string(".") + kStillUsed)) << message.text;
  EXPECT_FALSE(dlg->isVisible());
}

TEST_F(SettingsDlgTest, WithoutAnApplicationDirectoryNothingIsReadOrWritten) {
  scratch_.Write(kConnSettingsFile, "278");
  lpPathBuffer.clear();
  base = 0x3BC;
  auto dlg = Open();
  EXPECT_EQ(base, 0x378u) << "the working directory's file is not the tool's";
  QTest::mouseClick(Button(*dlg, IDC_CUSTOM), Qt::LeftButton);
  QTest::keyClicks(Address(*dlg), QStringLiteral("d010"));
  QTest::mouseClick(Button(*dlg, IDOK), Qt::LeftButton);
  EXPECT_EQ(base, 0xD010u);
  EXPECT_EQ(scratch_.Read(kConnSettingsFile), "278");
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].title, "Save Connection Settings Failed");
  EXPECT_EQ(messages_.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(messages_.messages[0].text,
            std::string("The port choice could not be saved because the program's working "
                        "directory could not be read.") +
                kStillUsed);
}

TEST_F(SettingsDlgTest, WordsOrderAndFocus) {
  auto dlg = Open();
  EXPECT_EQ(dlg->windowTitle(), "Connection Settings");
  const std::pair<int, QString> buttons[] = {
      {IDCANCEL, "Cancel"},
      {IDC_LPT1, "LPT1 (Port Address 0x378)"},
      {IDC_LPT2, "LPT2 (Port Address 0x278)"},
      {IDC_CUSTOM, "Custom Address:"},
      {IDC_CUSTOM_ADDRESS, ""},
      {IDOK, "Save"},
  };
  // Tab order from Cancel, where the focus starts, round to Cancel again.
  QWidget* widget = dlg->GetDlgItem(IDCANCEL);
  EXPECT_EQ(dlg->focusWidget(), widget);
  for (const auto& [id, text] : buttons) {
    ASSERT_EQ(ControlId(widget), id);
    EXPECT_EQ(dlg->GetDlgItemText(id), text) << id;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    EXPECT_EQ(accessible->text(QAccessible::Name),
              id == IDC_CUSTOM_ADDRESS ? QString("Custom Address:") : text);
    do {
      widget = widget->nextInFocusChain();
    } while (widget->focusPolicy() == Qt::NoFocus);
  }
  EXPECT_EQ(widget, dlg->GetDlgItem(IDCANCEL));
  std::vector<QString> statics;
  for (const QLabel* label : dlg->findChildren<QLabel*>()) statics.push_back(label->text());
  EXPECT_EQ(statics, (std::vector<QString>{
                         "Select the port you wish to use to connect to your board. If you use a "
                         "non-standard address, you can enter the Hex address in the text box.",
                         "0x", "No parallel port was found on this computer."}));
  EXPECT_EQ(dlg->findChild<QGroupBox*>()->title(), "Parallel Port:");
  // Away from the buttons, Enter presses Save, the default button.
  QTest::mouseClick(Button(*dlg, IDC_LPT2), Qt::LeftButton);
  QTest::keyClick(dlg->GetDlgItem(IDC_LPT2), Qt::Key_Return);
  EXPECT_EQ(scratch_.Read(kConnSettingsFile), "278");
}

TEST_F(SettingsDlgTest, HelpKeyOpensTheHelpFile) {
  ShellOpenRecorder shell;
  auto dlg = Open();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QTest::keyClick(dlg->GetDlgItem(IDC_LPT1), Qt::Key_F1);
  EXPECT_EQ(shell.opened, std::vector<std::string>{(scratch_.Dir() / kHelpFile).string()});
}

TEST_F(SettingsDlgTest, NamesThePortsOfThisComputer) {
  fs::create_directories(scratch_.Root() / "proc/parport0");
  fs::create_directories(scratch_.Root() / "proc/parport1");
  std::ofstream(scratch_.Root() / "proc/parport0/base-addr") << "888\t1912\n";
  std::ofstream(scratch_.Root() / "proc/parport1/base-addr") << "53264\t53256\n";
  CSettingsDlg dlg;
  dlg.m_ParportDir = (scratch_.Root() / "proc").string();
  dlg.OnInitDialog();
  const QList<QLabel*> labels = dlg.findChildren<QLabel*>();
  EXPECT_EQ(labels.back()->text(), "Ports on this computer: 0x378 (parport0), 0xD010 (parport1)");
}

TEST_F(SettingsDlgTest, AddressBoxTakesCapitalsAndOnlyWhatItShows) {
  scratch_.Write(kConnSettingsFile, "3BC");
  auto dlg = Open();
  QLineEdit* box = Address(*dlg);
  box->clear();
  QTest::keyClicks(box, QStringLiteral("0xd010ffffffffffffffff"));
  const QString shown = box->text();
  EXPECT_TRUE(shown.startsWith("0XD010")) << shown.toStdString();
  EXPECT_LT(shown.size(), 22);
  EXPECT_EQ(shown, shown.toUpper());
  const int room = box->contentsRect().width() - 4;
  EXPECT_LE(box->fontMetrics().horizontalAdvance(shown), room);
  EXPECT_GT(box->fontMetrics().horizontalAdvance(shown + "F"), room);
}

TEST_F(SettingsDlgTest, PopupHelpForEachControlWithATopic) {
  scratch_.CopyHelpFile();
  const std::string topics = ReadFileText(HelpSourceDir() / "SettingsDialog.txt");
  PopupHelpRecorder help;
  scratch_.Write(kConnSettingsFile, "3BC");  // the address box enabled
  auto dlg = Open();
  const std::pair<int, int> table[] = {{IDC_LPT1, 1},           {IDC_LPT2, 2}, {IDC_CUSTOM, 3},
                                       {IDC_CUSTOM_ADDRESS, 4}, {IDOK, 5},     {IDCANCEL, 6}};
  for (const auto& [id, topic] : table) {
    help.popups.clear();
    RightClick(dlg.get(), dlg->GetDlgItem(id));
    ASSERT_EQ(help.popups.size(), 1u) << id;
    EXPECT_EQ(help.popups[0].controlId, id);
    EXPECT_EQ(help.popups[0].text.toStdString(), FindPopupTopic(topics, topic)) << id;
  }
  // Static texts, the group's frame and a disabled box are the dialog's background.
  help.popups.clear();
  help.menus.clear();
  for (QLabel* label : dlg->findChildren<QLabel*>()) RightClick(dlg.get(), label);
  RightClick(dlg.get(), dlg->findChild<QGroupBox*>());
  QTest::mouseClick(Button(*dlg, IDC_LPT1), Qt::LeftButton);
  RightClick(dlg.get(), Address(*dlg));
  EXPECT_TRUE(help.menus.empty());
  EXPECT_TRUE(help.popups.empty());
}

}  // namespace
