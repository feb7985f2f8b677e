// The download and upload commands of the main dialog, run for real through status windows on a
// simulated board, with the messages recorded.
#include <QApplication>
#include <QComboBox>

#include "board/StatusDlg.h"
#include "link/Communication.h"
#include "platform/PostedMessage.h"
#include "sim/BoardFirmware.h"
#include "sim/SimFaults.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

const std::string kTooOld =
    "You do not have the minimum required firmware version on your board to use this "
    "software.\n\nYou currently have %s, and 2.11 is required. You must update your firmware "
    "before you can\nupload new settings to the board.";
const std::string kReadFailed =
    "Unable to read settings from board. Make sure the programming cable is plugged in, and the "
    "power is on.    \n\nWhen you have verified the connections, press the \"Download "
    "Configuration\" button to try to again.";
const std::string kUploadFailed =
    "Unable to write settings to the board. Make sure the programming cable is plugged in, and "
    "the power is on.    \n\nWhen you have verified the connections, press the \"Upload "
    "Configuration\" button to try to again.";

QString Connecting(const char* port, bool retry) {
  return QStringLiteral("Connecting to your board on port 0x%1, please wait...%2")
      .arg(port, retry ? " " : "");
}

// The connecting text of every status window shown.
struct StatusWindows : QObject {
  StatusWindows() { qApp->installEventFilter(this); }
  ~StatusWindows() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* status = qobject_cast<CStatusDlg*>(watched);
    if (status != nullptr && event->type() == QEvent::Show) texts << status->m_ConnectText;
    return false;
  }
  QStringList texts;
};

class BoardCommands : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    previousPort_ = SetPortBackend(&sim);
    Plug(nullptr);
  }
  void TearDown() override {
    SetPortBackend(previousPort_);
    MainDialogTest::TearDown();
  }
  // A board running firmware `major`.`minor` for board type `type`, behind `faults`.
  void Plug(const char* faults, uint8_t major = 2, uint8_t minor = 11, uint8_t type = 1) {
    board = FactoryBoard();
    InstallStandInImage(board, {major, minor, type});
    StartFirmware(board);
    SimFaultPlan plan;
    EXPECT_TRUE(faults == nullptr || ParseSimFault(faults, plan));
    faulty = std::make_unique<FaultyBoard>(board, plan);
    sim.Attach(faulty.get());
  }
  void Reset() {
    messages.messages.clear();
    windows.texts.clear();
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const MessageBoxRequest& m : messages.messages) titles.push_back(m.title);
    return titles;
  }
  bool Enabled(int id) const { return dlg->GetDlgItem(id)->isEnabled(); }

  SimBoard board;
  std::unique_ptr<FaultyBoard> faulty;
  SimPort sim{base};
  ScopedCalibrationClock clock{&sim};
  MessageRecorder messages;
  StatusWindows windows;

 private:
  PortBackend* previousPort_ = nullptr;
};

TEST_F(BoardCommands, DownloadShowsTheBoardAndAllowsUploadsFrom211) {
  struct Case {
    const char* name;
    uint32_t port;
    const char* faults;
    uint8_t major, minor, type;
    const char* revision;
    const char* boardType;
    const char* tooOld;  // the current revision in the message, or nullptr for none
    bool sections, tree;
  };
  const Case cases[] = {
      {"2.11", 0x378, nullptr, 2, 11, 1, "v2.11", "Orvanta", nullptr, true, true},
      {"2.10", 0x378, nullptr, 2, 10, 1, "v2.10", "Orvanta", "2.10", true, true},
      {"3.0", 0x378, nullptr, 3, 0, 1, "v3.0", "Orvanta", nullptr, true, true},
      {"2.5 counts as 2.05", 0x378, nullptr, 2, 5, 1, "v2.5", "Orvanta", "2.05", true, true},
      {"Kalix", 0x378, nullptr, 2, 11, 0, "v2.11", "Kalix", nullptr, false, false},
      {"type 7", 0x378, nullptr, 2, 11, 7, "v2.11", "Unknown", nullptr, true, false},
      {"port 0x278", 0x278, nullptr, 2, 11, 1, "v2.11", "Orvanta", nullptr, true, true},
      {"fails, then the retry works", 0x378, "simfault:flaky", 2, 11, 1, "v2.11", "Orvanta",
       nullptr, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    base = c.port;
    Plug(c.faults, c.major, c.minor, c.type);
    Reset();
    const bool uploadAllowed = c.tooOld == nullptr;
    dlg->EnableDlgItem(IDC_UPLOAD, !uploadAllowed);
    QString labelDuringMessage;
    messages.onShow = [&](const MessageBoxRequest&) { labelDuringMessage = Text(1006); };

    dlg->ReadFromBoard();

    const QString port = QString::number(c.port, 16).toUpper();
    QStringList expectedWindows{Connecting(qPrintable(port), false)};
    if (c.faults != nullptr) expectedWindows << Connecting(qPrintable(port), true);
    EXPECT_EQ(windows.texts, expectedWindows);
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), c.revision);
    EXPECT_EQ(Text(IDC_BOARD_TYPE), c.boardType);
    EXPECT_EQ(Text(IDC_DWELL_EDIT), QString::number(board.DataByte(2)));
    EXPECT_EQ(Enabled(IDC_UPLOAD), uploadAllowed);
    for (const int id : {1021, 1022, 1023, 1024}) EXPECT_EQ(Enabled(id), c.sections) << id;
    EXPECT_EQ(Enabled(IDC_LCD_MENU_TREE), c.tree);
    if (uploadAllowed) {
      EXPECT_TRUE(messages.messages.empty());
      continue;
    }
    char text[512];
    std::snprintf(text, sizeof text, kTooOld.c_str(), c.tooOld);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(Msg(messages.messages[0].text, messages.messages[0].title, messages.messages[0].icon),
              Msg(text, "New Firmware Required", MsgIcon::Stop));
    EXPECT_EQ(labelDuringMessage, c.revision) << "the board is shown before the message";
  }
}

TEST_F(BoardCommands, FailedDownloadsClearTheDialogButOnlyDownloadsSetTheUploadButton) {
  struct Step {
    const char* faults;
    uint8_t minor;
    bool uploadEnabled;
  };
  // In order: the upload button's state carries from one step to the next.
  const Step steps[] = {{nullptr, 10, false},
                        {"simfault:absent", 11, false},
                        {"simfault:unpowered", 11, false},
                        {"simfault:dies@0", 11, false},
                        {nullptr, 11, true},
                        {"simfault:absent", 10, true},
                        {nullptr, 5, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.faults != nullptr ? step.faults : "a board that answers");
    for (const int id : {1021, 1022, 1023, 1024, 1063}) dlg->EnableDlgItem(id, false);
    const Block before = TypicalBlock();
    LoadBlock(before);
    Plug(step.faults, 2, step.minor, 1);
    Reset();
    dlg->ReadFromBoard();
    EXPECT_EQ(Enabled(IDC_UPLOAD), step.uploadEnabled);
    if (step.faults == nullptr) continue;
    EXPECT_EQ(windows.texts, (QStringList{Connecting("378", false), Connecting("378", true)}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(Msg(messages.messages[0].text, messages.messages[0].title, messages.messages[0].icon),
              Msg(kReadFailed, "Board Read Failed", MsgIcon::Warning));
    EXPECT_EQ(Combo(IDC_FIRING_MODE_COMBO)->currentIndex(), -1);
    EXPECT_EQ(Text(IDC_DWELL_EDIT), "");
    EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "  ");
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "Unknown");
    EXPECT_EQ(Text(IDC_BOARD_TYPE), "Unknown");
    for (const int id : {1021, 1022, 1023, 1024, 1063}) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), SettingsArray + 1));
  }
}

TEST_F(BoardCommands, WithThePinTestSwitchEveryDownloadRequestRunsThePinTest) {
  bTestInit = 1;
  Button(IDC_DOWNLOAD)->click();
  PostMessage(dlg.get(), WM_USER_READ_BOARD);
  QCoreApplication::sendPostedEvents(dlg.get());
  ASSERT_EQ(messages.messages.size(), 26u);
  EXPECT_EQ(messages.messages[13].text, "Pin 1 is now high.");
  EXPECT_TRUE(windows.texts.empty());
  EXPECT_EQ(sim.PortOperations(), 2u * 21u) << "the pin test's 21 writes, twice, and nothing else";
}

TEST_F(BoardCommands, IncompleteSettingsAreNotUploadedAndTheFocusGoesToTheFirstGap) {
  struct Case {
    const char* name;
    void (*prepare)(COrvantaAppDlg&);
    int control;
  };
  const Case cases[] = {
      {"nothing chosen", [](COrvantaAppDlg&) {}, IDC_OM_STANDARD},
      {"no firing mode", [](COrvantaAppDlg& d) { d.m_FiringModeCombo->setCurrentIndex(-1); },
       IDC_FIRING_MODE_COMBO},
      {"bypass eye with no delay text",
       [](COrvantaAppDlg& d) {
         d.GetDlgItemAs<QAbstractButton>(IDC_AE_BYPASS_EYE)->click();
         d.SetDlgItemText(IDC_AEDELAY_EDIT, "");
       },
       IDC_AEDELAY_EDIT},
  };
  dlg->show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.control != IDC_OM_STANDARD) dlg->ReadFromBoard();
    c.prepare(*dlg);
    const Block before = TypicalBlock();
    LoadBlock(before);
    Button(IDC_UPLOAD)->setFocus();
    Reset();
    Button(IDC_UPLOAD)->click();
    EXPECT_EQ(Titles(), std::vector<std::string>{"Incomplete Settings"});
    EXPECT_EQ(messages.messages[0].text,
              "Invalid Settings Found. Please make sure your selections are valid and complete.");
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(windows.texts.empty());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), SettingsArray + 1));
    QWidget* control = dlg->GetDlgItem(c.control);
    // Qt gives no focus to a disabled control, and the control stays disabled.
    EXPECT_EQ(dlg->focusWidget() == control, control->isEnabled());
    EXPECT_EQ(control->isEnabled(), c.control != IDC_AEDELAY_EDIT);
  }
  dlg->hide();
}

TEST_F(BoardCommands, UploadRetriesOnceAndSaysWhenBothRunsFailed) {
  struct Case {
    const char* faults;
    int runs;
    bool failed;
  };
  const Case cases[] = {{nullptr, 1, false},           {"simfault:flaky", 2, false},
                        {"simfault:absent", 2, true},  {"simfault:unpowered", 2, true},
                        {"simfault:stuck@3", 2, true}, {"simfault:dies@10", 2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.faults != nullptr ? c.faults : "a board that answers");
    Plug(nullptr);
    dlg->ReadFromBoard();
    Plug(c.faults);
    const uint8_t dwellBefore = board.DataByte(2);
    ASSERT_NE(dwellBefore, 17);
    dlg->SetDlgItemText(IDC_DWELL_EDIT, "17");
    Reset();
    dlg->WriteToBoard();
    EXPECT_EQ(windows.texts.size(), static_cast<qsizetype>(c.runs));
    EXPECT_EQ(SettingsArray[3], 17);
    if (!c.failed) {
      EXPECT_TRUE(messages.messages.empty());
      EXPECT_EQ(board.DataByte(2), 17);
      continue;
    }
    EXPECT_EQ(windows.texts, (QStringList{Connecting("378", false), Connecting("378", true)}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(Msg(messages.messages[0].text, messages.messages[0].title, messages.messages[0].icon),
              Msg(kUploadFailed, "Settings Upload Failed", MsgIcon::Warning));
    if (c.faults == std::string("simfault:absent")) {
      EXPECT_EQ(board.DataByte(2), dwellBefore);
    }
  }
}

}  // namespace
