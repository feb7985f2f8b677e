// The download and upload commands of the main dialog, run for real through status windows on a
// simulated board, with the messages recorded.
#include <QApplication>
#include <QComboBox>

#include "board/StatusDlg.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/SimFaults.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

const std::string kReadFailed =
    "Unable to read settings from board. Make sure the programming cable is plugged in, and the "
    "power is on.    \n\nWhen you have verified the connections, press the \"Download "
    "Configuration\" button to try to again.";

std::string TooOld(const char* current) {
  return std::string(
             "You do not have the minimum required firmware version on your board to use "
             "this software.\n\nYou currently have ") +
         current +
         ", and 2.11 is required. You must update your firmware before you can\nupload new "
         "settings to the board.";
}

// The connecting texts of `runs` status windows: the first run's, then the retry's.
QStringList Windows(const char* port, int runs) {
  const QString first = QStringLiteral("Connecting to your board on port 0x%1, please wait...");
  return QStringList{first.arg(port), first.arg(port) + " "}.first(runs);
}

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
  // A board running firmware `major`.`minor` for board type `type`, with `faults`; forgets what
  // the last command showed.
  void Plug(const char* faults, uint8_t major = 2, uint8_t minor = 11, uint8_t type = 1) {
    board = FactoryBoard();
    InstallStandInImage(board, {major, minor, type});
    StartFirmware(board);
    SimFaultPlan plan;
    EXPECT_TRUE(faults == nullptr || ParseSimFault(faults, plan));
    faulty = std::make_unique<FaultyBoard>(board, plan);
    sim.Attach(faulty.get());
    messages.messages.clear();
    windows.texts.clear();
  }
  void ExpectOnlyMessage(const std::string& title, MsgIcon icon, const std::string& text) {
    ASSERT_EQ(messages.messages.size(), 1u);
    const MessageBoxRequest& m = messages.messages[0];
    EXPECT_EQ(Msg(m.text, m.title, m.icon), Msg(text, title, icon));
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

// One download after another: the upload button keeps its state through failed downloads.
TEST_F(BoardCommands, DownloadShowsTheBoardOrClearsTheDialog) {
  struct Step {
    const char* faults;
    uint8_t major, minor, type;
    uint32_t port;
    const char* revision;
    const char* boardType;
    const char* tooOld;  // the revision the too-old message gives, if any
    bool upload, sections, tree;
  };
  const Step steps[] = {
      {nullptr, 2, 11, 0, 0x378, "v2.11", "Kalix", nullptr, true, false, false},
      {"simfault:absent", 2, 11, 1, 0x378, "Unknown", "Unknown", nullptr, true, true, true},
      {nullptr, 2, 10, 1, 0x378, "v2.10", "Orvanta", "2.10", false, true, true},
      {"simfault:unpowered", 2, 11, 1, 0x378, "Unknown", "Unknown", nullptr, false, true, true},
      {nullptr, 2, 11, 7, 0x278, "v2.11", "Unknown", nullptr, true, true, false},
      {"simfault:dies@0", 2, 5, 1, 0x378, "Unknown", "Unknown", nullptr, true, true, true},
      {nullptr, 2, 5, 1, 0x378, "v2.5", "Orvanta", "2.05", false, true, true},
      {"simfault:flaky", 3, 0, 1, 0x378, "v3.0", "Orvanta", nullptr, true, true, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.revision) + " " + (s.faults != nullptr ? s.faults : ""));
    base = s.port;
    Plug(s.faults, s.major, s.minor, s.type);
    const Block before = TypicalBlock();
    LoadBlock(before);
    QString shownDuringMessage;
    messages.onShow = [&](const MessageBoxRequest&) { shownDuringMessage = Text(1006); };
    const bool fails = s.revision == std::string("Unknown");

    Button(IDC_DOWNLOAD)->click();

    const QString port = QString::number(s.port, 16).toUpper();
    EXPECT_EQ(windows.texts, Windows(qPrintable(port), s.faults != nullptr ? 2 : 1));
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), s.revision);
    EXPECT_EQ(Text(IDC_BOARD_TYPE), s.boardType);
    EXPECT_EQ(Enabled(IDC_UPLOAD), s.upload);
    for (const int id : {1021, 1022, 1023, 1024}) EXPECT_EQ(Enabled(id), s.sections) << id;
    EXPECT_EQ(Enabled(IDC_LCD_MENU_TREE), s.tree);
    if (fails) {
      ExpectOnlyMessage("Board Read Failed", MsgIcon::Warning, kReadFailed);
      EXPECT_EQ(Combo(IDC_FIRING_MODE_COMBO)->currentIndex(), -1);
      EXPECT_EQ(Text(IDC_DWELL_EDIT), "");
      EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "  ");
      EXPECT_TRUE(std::equal(before.begin(), before.end(), SettingsArray + 1));
    } else if (s.tooOld != nullptr) {
      ExpectOnlyMessage("New Firmware Required", MsgIcon::Stop, TooOld(s.tooOld));
      EXPECT_EQ(shownDuringMessage, s.revision) << "the board is shown before the message";
    } else {
      EXPECT_TRUE(messages.messages.empty());
      EXPECT_EQ(Text(IDC_DWELL_EDIT), QString::number(board.DataByte(2)));
    }
  }
}

// Each case but "fresh" uploads an edited download; "fresh" and "bypass" fail the check.
TEST_F(BoardCommands, UploadChecksTheSettingsThenRetriesOnce) {
  const struct {
    std::string setup;  // "fresh", "bypass" (eye bypassed, no delay text) or the board's faults
    int runs;
    bool fails;
  } cases[] = {
      {"fresh", 0, true},           {"bypass", 0, true},          {"", 1, false},
      {"simfault:flaky", 2, false}, {"simfault:absent", 2, true}, {"simfault:stuck@3", 2, true}};
  dlg->show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setup);
    Plug(nullptr);
    if (c.setup != "fresh") dlg->ReadFromBoard();
    if (c.setup == "bypass") {
      Button(IDC_AE_BYPASS_EYE)->click();
      dlg->SetDlgItemText(IDC_AEDELAY_EDIT, "");
    }
    Plug(c.setup.starts_with("simfault") ? c.setup.c_str() : nullptr);
    dlg->SetDlgItemText(IDC_DWELL_EDIT, "17");
    LoadBlock(TypicalBlock());  // dwell 12
    Button(IDC_UPLOAD)->setFocus();
    Button(IDC_UPLOAD)->click();
    EXPECT_EQ(windows.texts, Windows("378", c.runs));
    EXPECT_EQ(SettingsArray[3], c.runs > 0 ? 17 : 12);
    EXPECT_EQ(board.DataByte(2) == 17, !c.fails);
    if (!c.fails) {
      EXPECT_TRUE(messages.messages.empty());
    } else if (c.runs > 0) {
      ExpectOnlyMessage("Settings Upload Failed", MsgIcon::Warning,
                        "Unable to write settings to the board. Make sure the programming cable is "
                        "plugged in, and the power is on.    \n\nWhen you have verified the "
                        "connections, press the \"Upload Configuration\" button to try to again.");
    } else {
      ExpectOnlyMessage(
          "Incomplete Settings", MsgIcon::Stop,
          "Invalid Settings Found. Please make sure your selections are valid and complete.");
      // The after-eye delay box stays disabled, and Qt gives a disabled control no focus.
      QWidget* gap = dlg->GetDlgItem(c.setup == "fresh" ? IDC_OM_STANDARD : IDC_AEDELAY_EDIT);
      EXPECT_EQ(gap->isEnabled(), c.setup == "fresh");
      EXPECT_EQ(dlg->focusWidget() == gap, c.setup == "fresh");
    }
  }
}

}  // namespace
