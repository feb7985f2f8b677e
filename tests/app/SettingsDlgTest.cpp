// The connection settings dialog: the choice a file gives (the USB cable among them), what Save
// writes, a choice that cannot be saved, its words and order, and its pop-up help.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/ConnectionSettings.h"
#include "app/Globals.h"
#include "app/SettingsDlg.h"
#include "link/Communication.h"
#include "tests/app/SettingsDlgFixture.h"
#ifndef _WIN32
#include "tests/support/ReadOnlyFolder.h"
#endif
#include "tests/support/Recorders.h"
#include "tests/support/ShellDoubles.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kStillUsed = "\n\nIt is used until you close the program.";

using SettingsDlgTest = SettingsDlgFixture;

TEST_F(SettingsDlgTest, OpensWithTheChoiceTheFileGives) {
  const struct {
    const char* file;  // nullptr: no ConnSettings.dat
    uint32_t before, base;
    int checked;
    QString address;  // the box is enabled only for Custom
  } cases[] = {
      {nullptr, 0x3BC, 0x378, IDC_LPT1, ""},
      {"278", 0x378, 0x278, IDC_LPT2, ""},
      {"378", 0x278, 0x378, IDC_LPT1, ""},
      {"3BC", 0x378, 0x3BC, IDC_CUSTOM, "3BC"},
      {"3bc", 0x378, 0x3BC, IDC_CUSTOM, "3bc"},  // as the file has it
      {"0x3BC\n", 0x378, 0x3BC, IDC_CUSTOM, "0x3BC"},
      {"ZZ", 0x378, 0x378, IDC_LPT1, ""},
      {"usb", 0x278, 0x278, IDC_USB, ""},   // the parallel port stays as it was, for going back
      {"USB", 0x278, 0x278, IDC_LPT2, ""},  // the custom box's capitals: not the cable
      {"0", 0x278, 0x278, IDC_LPT2, ""},    // refused: the port stays
      {"", 0xD010, 0xD010, IDC_CUSTOM, " "},
      {"33333333333333333333333333333333333333333333333333333333333333333", 0x3BC, 0x3BC,
       IDC_CUSTOM, ""},  // 65 characters: nobody's address
  };
  for (const auto& c : cases) {
    fs::remove(scratch.Dir() / kConnSettingsFile);
    if (c.file != nullptr) scratch.Write(kConnSettingsFile, c.file);
    base = c.before;
    bUsbCable = 0;
    Open();
    const std::string what = c.file != nullptr ? c.file : "no file";
    EXPECT_EQ(base, c.base) << what;
    EXPECT_EQ(Checked(), c.checked) << what;
    EXPECT_EQ(bUsbCable, c.checked == IDC_USB ? 1 : 0) << what;
    EXPECT_EQ(Address()->isEnabled(), c.checked == IDC_CUSTOM) << what;
    EXPECT_EQ(Address()->text(), c.address) << what;
  }
#ifdef _WIN32
  EXPECT_EQ(dlg->findChildren<QLabel*>().back()->text(),
            "Windows lists this computer's parallel ports and their addresses in the Device "
            "Manager, under \"Ports (COM & LPT)\".");
#else
  EXPECT_EQ(dlg->findChildren<QLabel*>().back()->text(),
            "No parallel port was found on this computer.");
#endif
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SettingsDlgTest, SaveWritesOneTokenAndSetsThePort) {
  const struct {
    int click;
    const char* typed;  // into the address box, after choosing Custom
    std::string file;
    uint32_t base;
  } cases[] = {
      {IDC_LPT1, nullptr, "378", 0x378},
      {IDC_LPT2, nullptr, "278", 0x278},
      {IDC_CUSTOM, "d010", "D010", 0xD010},
      {IDC_CUSTOM, "", "", 0x378},
      {IDC_CUSTOM, "zz", "ZZ", 0x378},             // kept as typed, used as LPT1
      {IDC_CUSTOM, "d0\u20AC10", "D010", 0xD010},  // what the file cannot hold is not taken
      {IDC_LPT1, "3bc", "378", 0x378},             // the typed text stays, unused
  };
  for (const auto& c : cases) {
    scratch.Write(kConnSettingsFile, "older and longer");
    base = 0x278;
    Open();
    if (c.typed != nullptr) {
      Click(IDC_CUSTOM);
      Type(QString::fromUtf8(c.typed));
    }
    Click(c.click);
    EXPECT_EQ(Address()->isEnabled(), c.click == IDC_CUSTOM);
    Click(IDOK);
    EXPECT_EQ(scratch.Read(kConnSettingsFile), c.file) << c.typed;
    EXPECT_EQ(base, c.base) << c.typed;
    EXPECT_FALSE(dlg->isVisible());
  }
  Open();
  Click(IDC_CUSTOM);
  QTest::keyClicks(Address(), QStringLiteral("3bcfffffffffffffffffffffffff"));
  EXPECT_TRUE(Address()->text().startsWith("3BCF")) << "capitals";
  EXPECT_LT(Address()->text().size(), 20) << "only what the box shows";
  Click(IDCANCEL);
  EXPECT_EQ(scratch.Read(kConnSettingsFile), "378") << "Cancel writes nothing";
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SettingsDlgTest, AChoiceThatCannotBeSavedIsUsedAndTheUserIsTold) {
  // Root may write anywhere, but no directory can be made inside a regular file.
  scratch.Write("plain-file", "x");
  const std::string unwritable = (scratch.Dir() / "plain-file" / "app").string();
#ifdef _WIN32
  // Windows' own words for a folder that is not there (ERROR_PATH_NOT_FOUND).
  QString notAFolder = qt_error_string(3);
  notAFolder.chop(notAFolder.endsWith(QLatin1Char('.')) ? 1 : 0);
#else
  const QString notAFolder = QStringLiteral("Not a directory");
#endif
  const struct {
    std::string directory;
    std::string text;
  } cases[] = {
      {unwritable, "The port choice could not be saved in \"" +
                       (fs::path(unwritable) / kConnSettingsFile).string() +
                       "\": " + notAFolder.toStdString() + "."},
      {"",
       "The port choice could not be saved because the program's working directory could not "
       "be read."},
  };
  for (const auto& c : cases) {
    lpPathBuffer = c.directory;
    messages.messages.clear();
    Open();
    Click(IDC_LPT2);
    Click(IDOK);
    EXPECT_EQ(base, 0x278u);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, "Save Connection Settings Failed");
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(messages.messages[0].text, c.text + kStillUsed);
    // Opened again, the window shows the port in use, and Cancel keeps it.
    Open();
    EXPECT_EQ(Checked(), IDC_LPT2);
    Click(IDCANCEL);
    EXPECT_EQ(base, 0x278u);
  }
  // Once a choice is saved, the file counts again.
  lpPathBuffer = scratch.Dir().string();
  Open();
  Click(IDC_LPT1);
  Click(IDOK);
  scratch.Write(kConnSettingsFile, "3bc");
  Open();
  EXPECT_EQ(base, 0x3BCu);
}

// The file's bytes are the box's characters one for one (Latin-1) up to a NUL, and go back to the
// file as they were: only the letters the user types become capitals.
TEST_F(SettingsDlgTest, TheFilesWordIsShownAndSavedAsItStands) {
  const struct {
    std::string file;
    uint32_t base;
    QString shown;
    std::string saved;  // after "d" is typed at the end of the box
  } cases[] = {
      {"3bc", 0x3BC, "3bc", "3bcD"},
      {"0x3bC", 0x3BC, "0x3bC", "0x3bCD"},
      {"3b\xE9", 0x3B, QString::fromLatin1("3b\xE9"),
       "3b\xE9"
       "D"},
      {std::string("3BC\0junk", 8), 0x3BC, "3BC", "3BCD"},
  };
  for (const auto& c : cases) {
    std::ofstream(scratch.Dir() / kConnSettingsFile, std::ios::binary) << c.file;
    Open();
    EXPECT_EQ(base, c.base) << c.saved;
    EXPECT_EQ(Address()->text(), c.shown) << c.saved;
    Address()->end(false);
    QTest::keyClicks(Address(), QStringLiteral("d"));
    Click(IDOK);
    EXPECT_EQ(scratch.Read(kConnSettingsFile), c.saved);
  }
  scratch.Write(kConnSettingsFile, "3bc");
  Open();
  Address()->setCursorPosition(1);
  QTest::keyClicks(Address(), QStringLiteral("a"));
  EXPECT_EQ(Address()->text(), "3Abc") << "typed inside the word";
  // Not a regular file: read as no file at all, without waiting on the pipe for a writer.
  for (const bool pipe : {true, false}) {
    fs::remove_all(scratch.Dir() / kConnSettingsFile);
    const fs::path file = scratch.Dir() / kConnSettingsFile;
#ifdef _WIN32
    if (pipe) continue;  // Windows keeps no named pipes among its files
    ASSERT_TRUE(fs::create_directory(file));
#else
    ASSERT_TRUE(pipe ? mkfifo(file.c_str(), 0600) == 0 : fs::create_directory(file));
#endif
    base = 0x3BC;
    Open();
    EXPECT_EQ(base, 0x378u) << pipe;
    EXPECT_EQ(Checked(), IDC_LPT1) << pipe;
    fs::remove_all(file);
  }
  EXPECT_TRUE(messages.messages.empty());
}

// Where the folder refuses the new file that would replace the old one whole, the file is
// written in place, as it may be. Not on Windows: its folders have no such permission to take.
#ifndef _WIN32
TEST_F(SettingsDlgTest, AWritableFileInAFolderThatIsNotIsReplaced) {
  scratch.Write(kConnSettingsFile, "378");
  {
    const ReadOnlyFolder folder(scratch.Dir());
    if (!folder.Holds()) GTEST_SKIP() << "this file system lets anybody write anywhere";
    Open();
    Click(IDC_LPT2);
    Click(IDOK);
  }
  EXPECT_EQ(scratch.Read(kConnSettingsFile), "278");
  EXPECT_EQ(base, 0x278u);
  EXPECT_FALSE(unsavedPortChoice.has_value());
  EXPECT_TRUE(messages.messages.empty());
}
#endif

TEST_F(SettingsDlgTest, WordsOrderFocusHelpAndThePortsOfThisComputer) {
  const std::pair<const char*, const char*> ports[] = {{"parport10", "53264\t0\n"},
                                                       {"parport0", "888\t1912\n"},
                                                       {"parport2", "none"},
                                                       {"lp0", "888"}};
  for (const auto& [name, baseAddr] : ports) {
    fs::create_directories(scratch.Root() / "proc" / name);
    std::ofstream(scratch.Root() / "proc" / name / "base-addr") << baseAddr;
  }
  scratch.CopyHelpFile();
  PopupHelpRecorder help;
  Open();
  EXPECT_EQ(dlg->windowTitle(), "Connection Settings");
  EXPECT_EQ(dlg->findChild<QGroupBox*>()->title(), "Parallel Port:");
  std::vector<QString> statics;
  for (const QLabel* label : dlg->findChildren<QLabel*>()) statics.push_back(label->text());
  EXPECT_EQ(statics, (std::vector<QString>{
                         "Cable:",
                         "Select the port you wish to use to connect to your board. If you use a "
                         "non-standard address, you can enter the Hex address in the text box.",
                         "0x", "USB cables (FT232R) plugged in: none",
                         "Ports on this computer: 0x378 (parport0), 0xD010 (parport10)"}));
  // Tab order from Cancel, where the focus starts, round to Cancel again; what a reader hears.
  const std::pair<int, QString> order[] = {{IDCANCEL, "Cancel"},
                                           {IDC_LPT1, "LPT1 (Port Address 0x378)"},
                                           {IDC_LPT2, "LPT2 (Port Address 0x278)"},
                                           {IDC_CUSTOM, "Custom Address:"},
                                           {IDC_CUSTOM_ADDRESS, "Custom Address:"},
                                           {IDC_USB, "USB cable (FT232R)"},
                                           {IDC_USB_CABLE, "The first one found"},
                                           {IDOK, "Save"},
                                           {IDCANCEL, "Cancel"}};
  QWidget* widget = dlg->focusWidget();
  for (const auto& [id, name] : order) {
    ASSERT_EQ(ControlId(widget), id);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    do widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus);
  }
  // Pop-up help for a control with a topic; none for a static text or the disabled address box.
  RightClick(dlg.get(), dlg->GetDlgItem(IDCANCEL));
  for (QLabel* label : dlg->findChildren<QLabel*>()) RightClick(dlg.get(), label);
  RightClick(dlg.get(), Address());
  const std::string cancel = "Cancel: closes this window and keeps the port or cable as it was.";
  EXPECT_EQ(help.popups, (std::vector<std::pair<int, std::string>>{{IDCANCEL, cancel}}));
}

}  // namespace
