#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "settings/SettingsBlock.h"
#ifndef _WIN32
#include "tests/support/ReadOnlyFolder.h"
#endif
#include "tests/ui/MainDialogFixture.h"

namespace {

const QByteArray kExampleFile =
    "0:0\r\n1:0\r\n2:4\r\n3:4\r\n4:10\r\n5:1-6\r\n6:0\r\n7:0\r\n8:0\r\n9:05\r\n10:00\r\n11:0\r\n"
    "12:0\r\n13:0\r\n14:1\r\n15:2\r\n16:3\r\n17:5\r\n18:65535\r\n";

const SeamEvent kIncomplete =
    Msg("Invalid Settings Found. Please make sure your selections are valid and complete.",
        "Incomplete Settings", MsgIcon::Stop);
const SeamEvent kSaveFailed = Msg("Unable to create settings file. Your settings can not be saved.",
                                  "Save Settings Failed", MsgIcon::Stop);

const int kCombos[] = {IDC_FIRING_MODE_COMBO, IDC_ROF_COMBO,      IDC_AE_BYPASS_ROF_COMBO,
                       IDC_TIMER_INIT_COMBO,  IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO,
                       IDC_SECTION2_COMBO,    IDC_SECTION2B_COMBO};
const int kEdits[] = {IDC_DEBOUNCE_EDIT, IDC_DWELL_EDIT, IDC_AEDELAY_EDIT, IDC_TIMER_MINUTES_EDIT,
                      IDC_TIMER_SECONDS_EDIT};
const int kRadios[] = {IDC_OM_STANDARD,       IDC_OM_TEST,        IDC_AE_BYPASS_EYE, IDC_AE_DELAY,
                       IDC_KOVAL_A,           IDC_KOVAL_B,        IDC_ET_DROP,       IDC_ET_FIRE,
                       IDC_TIMER_COUNTS_DOWN, IDC_TIMER_COUNTS_UP};

class SettingsFiles : public MainDialogTest {
 protected:
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  static std::string Std(const QString& path) { return path.toStdString(); }

  void WriteFile(const QString& path, const QByteArray& bytes) const {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
  }
  void Open(const QByteArray& bytes) {
    WriteFile(Path("in.osf"), bytes);
    FileDialogScript script({Std(Path("in.osf"))});
    dlg->LoadConfiguration();
  }
  void Save(const QString& path) {
    FileDialogScript script({Std(path)});
    dlg->SaveConfiguration();
  }

  // Everything a file carries, as the screen shows it.
  std::string Shown() const {
    std::string shown;
    for (const int id : kCombos) shown += std::to_string(Combo(id)->currentIndex()) + ",";
    for (const int id : kEdits) shown += "'" + Text(id).toStdString() + "',";
    for (const int id : kRadios) shown += Checked(id) ? "x" : "-";
    shown += dlg->GetDlgItem(IDC_AEDELAY_EDIT)->isEnabled() ? " enabled " : " disabled ";
    dlg->DetermineSelectLCDMenus();
    return shown + std::to_string(dlg->m_LCDMenuMask);
  }

  QTemporaryDir dir;
  SeamLog boxes;  // the message boxes shown, in order
  MessageRecorder messages{&boxes};
};

TEST_F(SettingsFiles, ExampleFileOpensAndIsSavedByteForByte) {
  FileDialogScript script({Std(Path("example.osf")), Std(Path("saved.osf"))});
  WriteFile(Path("example.osf"), kExampleFile);
  dlg->LoadConfiguration();
  EXPECT_EQ(Shown(), "0,4,5,0,0,1,2,3,'4','10','6','05','00',x--xx-x-x- enabled 65535");
  dlg->SaveConfiguration();
  EXPECT_EQ(ReadFile(Path("saved.osf")), kExampleFile);
  EXPECT_TRUE(messages.messages.empty());

  ASSERT_EQ(script.requests.size(), 2u);
  for (const FileDialogRequest& request : script.requests) {
    EXPECT_EQ(request.filter, "Orvanta Config Files (*.osf)");
    EXPECT_EQ(request.defaultSuffix, "osf");
  }
  EXPECT_EQ(script.requests[0].mode, FileDialogRequest::Mode::Open);
  EXPECT_EQ(script.requests[0].initialName, "");
  EXPECT_EQ(script.requests[1].mode, FileDialogRequest::Mode::Save);
  EXPECT_EQ(script.requests[1].initialName, "MySettings.osf");

  // Every line as long as one read takes (254 characters and CR LF): read to the last digit of
  // the last line.
  QByteArray longest;
  for (QByteArray line : kExampleFile.trimmed().split('\n')) {
    line = line.trimmed();
    if (line.startsWith("18:")) line.insert(3, QByteArray(254 - line.size(), ' '));
    longest += line.leftJustified(254, ' ') + "\r\n";
  }
  ASSERT_EQ(longest.size(), 19 * 256);
  dlg->LoadUpBlankSettings();
  Open(longest);
  EXPECT_EQ(Shown(), "0,4,5,0,0,1,2,3,'4','10','6','05','00',x--xx-x-x- enabled 65535");
}

TEST_F(SettingsFiles, SavingThenOpeningGivesBackWhatADownloadShowed) {
  Block delay13 = TypicalBlock(), bypass = TypicalBlock();
  delay13[kElemAfterEyeDelay - 1] = 14;
  bypass[kElemAfterEyeDelay - 1] = kAfterEyeBypass;
  bypass[kElemTimerSeconds - 1] = 0;
  for (const Block& block : {TypicalBlock(), delay13, bypass}) {
    ShowBlock(block);
    const std::string before = Shown();
    Save(Path("round.osf"));
    dlg->LoadUpBlankSettings();
    dlg->m_LCDMenuMask = 0;
    dlg->LoadLCDMenuChoices();
    Open(ReadFile(Path("round.osf")));
    EXPECT_EQ(Shown(), before);
  }
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SettingsFiles, OpenedValuesAreAppliedWithoutBeingChecked) {
  const struct {
    QByteArray file;
    std::string shown;
    int saveReports;  // the control an attempted save sends the user to
  } cases[] = {
      {"", "0,0,0,0,0,0,0,0,'','','6','00','00',x-x-x-x-x- disabled 18", IDC_DEBOUNCE_EDIT},
      {kExampleFile.left(kExampleFile.indexOf("1:0")) + "1:7\r\n" +
           kExampleFile.mid(kExampleFile.indexOf("2:4")),
       "-1,4,5,0,0,1,2,3,'4','10','6','05','00',x--xx-x-x- enabled 65535", IDC_FIRING_MODE_COMBO},
      {QByteArray(kExampleFile).replace("0:0\r\n1:", "0:5\r\n1:"),
       "0,4,5,0,0,1,2,3,'4','10','6','05','00',---xx-x-x- enabled 65535", IDC_OM_STANDARD},
      // An after-eye choice of 2 or out of range checks neither button but enables the delay
      // box; the choices read back after it (line 7 on) take the empty group as no choice.
      {QByteArray(kExampleFile).replace("5:1-6", "5:2-6"),
       "0,4,5,0,0,1,2,3,'4','10','6','05','00',x---x-x-x- enabled 65535", IDC_AE_BYPASS_EYE},
      {QByteArray(kExampleFile).replace("5:1-6", "5:-1-6"),
       "0,4,5,0,0,1,2,3,'4','10','1-6','05','00',x---x-x-x- enabled 65535", IDC_AE_BYPASS_EYE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.left(40).toStdString());
    ShowBlock(TypicalBlock());  // the delay box keeps "6" where the file has no line for it
    Open(c.file);
    EXPECT_EQ(Shown(), c.shown);

    boxes.clear();
    FileDialogScript script({Std(Path("out.osf"))});
    dlg->SaveConfiguration();
    EXPECT_EQ(boxes, std::vector{kIncomplete});
    EXPECT_EQ(dlg->focusWidget(), dlg->GetDlgItem(c.saveReports));
    EXPECT_TRUE(script.requests.empty()) << "no file is asked for";
  }
}

// Not on Windows: a process there has no file size limit (setrlimit, SIGXFSZ) to run out of.
#ifndef _WIN32
TEST_F(SettingsFiles, AFailedSaveSaysSoAndKeepsTheOldFileWhole) {
  WriteFile(Path("plain"), "a file, not a folder");
  const struct {
    const char* name;
    QString path;
    rlim_t sizeLimit;
  } cases[] = {
      {"folder is a file", Path("plain/new.osf"), RLIM_INFINITY},
      {"disk refuses the bytes", Path("old.osf"), 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShowBlock(TypicalBlock());
    WriteFile(Path("old.osf"), "old settings");
    boxes.clear();
    FileDialogScript script({Std(c.path)});
    rlimit saved{}, limit{c.sizeLimit, RLIM_INFINITY};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    dlg->SaveConfiguration();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadFile(Path("old.osf")), "old settings");
    EXPECT_EQ(boxes, std::vector{kSaveFailed});
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"old.osf", "plain"}))
      << "no temporary file is left behind";
}
#endif

// Only a regular file is read: a named pipe could wait for a writer for ever and a device may
// never end. The pipe here holds a whole file, so that reading it would show, not hang.
// Where the folder refuses the new file that would replace the old one whole, the file is
// written in place, as it may be. Not on Windows: its folders have no such permission to take.
#ifndef _WIN32
TEST_F(SettingsFiles, AWritableFileInAFolderThatIsNotIsReplaced) {
  WriteFile(Path("old.osf"), "old settings");
  ShowBlock(TypicalBlock());
  Save(Path("expected.osf"));
  {
    const ReadOnlyFolder folder(Std(dir.path()));
    if (!folder.Holds()) GTEST_SKIP() << "this file system lets anybody write anywhere";
    Save(Path("old.osf"));
  }
  EXPECT_EQ(ReadFile(Path("old.osf")), ReadFile(Path("expected.osf")));
  EXPECT_TRUE(messages.messages.empty());
}
#endif

TEST_F(SettingsFiles, CancelledOrUnreadableFilesChangeNothingAndSayNothing) {
  ShowBlock(TypicalBlock());
  const std::string before = Shown();
  FileDialogScript cancelled;
  dlg->SaveConfiguration();
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
  // Windows keeps no named pipes among its files, nor a device like /dev/zero.
#ifndef _WIN32
  const QString pipe = Path("pipe.osf");
  ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  const int pipeEnd = ::open(QFile::encodeName(pipe).constData(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(pipeEnd, 0);
  const QByteArray filled = kExampleFile + QByteArray(20000, ' ');
  ASSERT_EQ(::write(pipeEnd, filled.constData(), filled.size()), filled.size());
#endif
  for (const std::optional<std::string>& answer : {
           std::optional<std::string>(),
           std::optional(Std(Path("missing.osf"))),
           std::optional(Std(dir.path())),
#ifndef _WIN32
           std::optional(Std(pipe)),
           std::optional<std::string>("/dev/zero"),
#endif
       }) {
    FileDialogScript script({answer});
    dlg->LoadConfiguration();
    EXPECT_EQ(Shown(), before) << answer.value_or("cancelled");
  }
#ifndef _WIN32
  ::close(pipeEnd);
#endif
  EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
