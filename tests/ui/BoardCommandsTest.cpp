// The download and upload commands of the main dialog, run for real through status windows on a
// simulated board, with the messages recorded.
#include <QApplication>
#include <QComboBox>

#include "board/StatusDlg.h"
#include "firmware/OfwFormat.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/SimFaults.h"
#include "sim/SimulatedCable.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

const SeamEvent kReadFailed = Msg(
    "Unable to read settings from board. Make sure the programming cable is plugged in, and the "
    "power is on.    \n\nWhen you have verified the connections, press the \"Download "
    "Configuration\" button to try to again.",
    "Board Read Failed", MsgIcon::Warning);

SeamEvent TooOld(const char* current) {
  return Msg(std::string("You do not have the minimum required firmware version on your board to "
                         "use this software.\n\nYou currently have ") +
                 current +
                 ", and 2.11 is required. You must update your firmware before you can\nupload "
                 "new settings to the board.",
             "New Firmware Required", MsgIcon::Stop);
}

const SeamEvent kBadFile = Msg(
    "The firmware you have selected does not appear valid.\n\nPlease make sure you have selected "
    "the correct firmware\nfor your board, and try again.\n\nIf you downloaded it, try downloading "
    "it again.",
    "Bad Firmware File", MsgIcon::Stop);
const SeamEvent kFirmwareFailed =
    Msg("Unable to write firmware to the board. Make sure the programming cable is plugged in, and "
        "the power is on.   \n\nWhen you have verified the connections, press the \"Upload "
        "Firmware\" button to try to again.",
        "Firmware Upload Failed", MsgIcon::Warning);
const SeamEvent kIncomplete =
    Msg("Invalid Settings Found. Please make sure your selections are valid and complete.",
        "Incomplete Settings", MsgIcon::Stop);
const SeamEvent kUploadFailed =
    Msg("Unable to write settings to the board. Make sure the programming cable is plugged in, and "
        "the power is on.    \n\nWhen you have verified the connections, press the \"Upload "
        "Configuration\" button to try to again.",
        "Settings Upload Failed", MsgIcon::Warning);
const SeamEvent kComplete = Msg("The board firmware and settings has been updated!\n\n",
                                "Firmware Upload Complete", MsgIcon::None);
const SeamEvent kNotRestored =
    Msg("The board firmware has been updated, but the settings could not be restored.\n\nCheck the "
        "settings shown and press \"Upload Configuration\".",
        "Firmware Upload Complete", MsgIcon::None);

constexpr FirmwareIdentity kDemo220{2, 20, 1};
const std::string kDemo220File = DemoFirmware("orvanta-2.20.ofw").string();
const std::string kDemo205File = DemoFirmware("orvanta-2.05.ofw").string();

// The record that gives an image its identity in the last three code bytes.
std::string IdentityRecord(uint8_t major, uint8_t minor, uint8_t boardType) {
  HexRecord record;
  record.count = 3;
  record.address = 0x1FFD;
  record.data[0] = major;
  record.data[1] = minor;
  record.data[2] = boardType;
  return FormatRecord(record);
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
    Plug(nullptr);
  }
  void TearDown() override {
    // Left installed, the port would outlive this fixture and serve the next test.
    EXPECT_NE(previousPort_, &sim);
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
    cable.SetFaults(plan);
    messages.messages.clear();
    boxes.clear();
    windows.texts.clear();
  }
  bool Enabled(int id) const { return dlg->GetDlgItem(id)->isEnabled(); }
  // Message boxes run a modal loop, which handles what was posted to the dialog meanwhile.
  void BoxesHandlePostedEvents() {
    messages.onShow = [](const MessageBoxRequest&) { QCoreApplication::sendPostedEvents(); };
  }

  // The port in use before the fixture's cable: the cable puts it back when it goes.
  PortBackend* const previousPort_ = &ActivePortBackend();
  SimulatedCable cable{base};
  SimBoard& board = cable.Board();
  SimPort& sim = cable.Port();
  SeamLog boxes;  // the message boxes shown, in order
  MessageRecorder messages{&boxes};
  StatusWindows windows;
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
    QString dwellDuringMessage;
    const QString dwellBefore = Text(IDC_DWELL_EDIT);
    messages.onShow = [&](const MessageBoxRequest&) {
      shownDuringMessage = Text(IDC_FIRMWARE_REVISION);
      dwellDuringMessage = Text(IDC_DWELL_EDIT);
    };
    const bool fails = s.revision == std::string("Unknown");

    Button(IDC_DOWNLOAD)->click();

    const QString port = QString::number(s.port, 16).toUpper();
    EXPECT_EQ(windows.texts, Windows(qPrintable(port), s.faults != nullptr ? 2 : 1));
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), s.revision);
    EXPECT_EQ(Text(IDC_BOARD_TYPE), s.boardType);
    EXPECT_EQ(Enabled(IDC_UPLOAD), s.upload);
    for (const int id :
         {IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO, IDC_SECTION2B_COMBO})
      EXPECT_EQ(Enabled(id), s.sections) << id;
    EXPECT_EQ(Enabled(IDC_LCD_MENU_TREE), s.tree);
    if (fails) {
      EXPECT_EQ(boxes, std::vector{kReadFailed});
      EXPECT_EQ(dwellDuringMessage, dwellBefore) << "cleared once the message is closed";
      EXPECT_EQ(Combo(IDC_FIRING_MODE_COMBO)->currentIndex(), -1);
      EXPECT_EQ(Text(IDC_DWELL_EDIT), "");
      EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "  ");
      EXPECT_TRUE(std::equal(before.begin(), before.end(), SettingsArray + 1));
    } else if (s.tooOld != nullptr) {
      EXPECT_EQ(boxes, std::vector{TooOld(s.tooOld)});
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
      EXPECT_EQ(boxes, std::vector{kUploadFailed});
    } else {
      EXPECT_EQ(boxes, std::vector{kIncomplete});
      // The after-eye delay box stays disabled, and Qt gives a disabled control no focus.
      QWidget* gap = dlg->GetDlgItem(c.setup == "fresh" ? IDC_OM_STANDARD : IDC_AEDELAY_EDIT);
      EXPECT_EQ(gap->isEnabled(), c.setup == "fresh");
      EXPECT_EQ(dlg->focusWidget() == gap, c.setup == "fresh");
    }
  }
}

// A Kalix board's section lists are locked: a section byte outside the list must not block the
// upload, and goes back to the board as it was.
TEST_F(BoardCommands, KalixSectionOutsideTheListIsUploadedAsItWas) {
  Plug(nullptr, 2, 11, 0);
  board.SetDataByte(9, 0xFF);
  dlg->ReadFromBoard();
  EXPECT_FALSE(Enabled(IDC_SECTION1_COMBO));
  EXPECT_EQ(Combo(IDC_SECTION1_COMBO)->currentIndex(), -1);
  dlg->SetDlgItemText(IDC_DWELL_EDIT, "17");
  Button(IDC_UPLOAD)->click();
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(board.DataByte(2), 17);
  EXPECT_EQ(board.DataByte(9), 0xFF);
}

// One update per case, each from a board with 2.11 and a dialog that holds its download with the
// dwell changed to 17 ("restore refused": an empty dialog instead). Where the settings could not
// be put back, the labels, the LCD controls and uploads follow the new firmware's identity.
TEST_F(BoardCommands, UpdateFirmwareRestoresTheSettingsOrSaysWhyNot) {
  const ScratchFile damaged("this is no firmware\n");
  const ScratchFile kalix(
      OfwText({DataRecord(0, 2, 0x80), IdentityRecord(2, 30, 0), kEndRecordText}));
  const ScratchFile anonymous(OfwText({DataRecord(0, 2, 0x80), kEndRecordText}));
  const struct {
    const char* name;
    const char* faults;
    std::optional<std::string> file;
    int runs;
    std::vector<SeamEvent> shown;
    // The labels and the upload button once the command and all it posted are done.
    const char* revision;
    const char* boardType;
    bool upload;
  } cases[] = {
      {"cancelled", nullptr, std::nullopt, 0, {}, "v2.11", "Orvanta", false},
      {"damaged file", nullptr, damaged.path(), 0, {kBadFile}, "v2.11", "Orvanta", false},
      {"simfault:absent",
       "simfault:absent",
       kDemo220File,
       2,
       {kFirmwareFailed},
       "v2.11",
       "Orvanta",
       false},
      {"simfault:unpowered",
       "simfault:unpowered",
       kDemo220File,
       2,
       {kFirmwareFailed},
       "v2.11",
       "Orvanta",
       false},
      {"simfault:dies@0",
       "simfault:dies@0",
       kDemo220File,
       2,
       {kFirmwareFailed},
       "v2.11",
       "Orvanta",
       false},
      {"simfault:stuck@3",
       "simfault:stuck@3",
       kDemo220File,
       2,
       {kFirmwareFailed},
       "v2.11",
       "Orvanta",
       false},
      // The demo image has 17 bytes: only the settings restore reaches byte 20.
      {"simfault:stuck@20",
       "simfault:stuck@20",
       kDemo220File,
       3,
       {kUploadFailed, kNotRestored},
       "v2.20",
       "Orvanta",
       true},
      {"restore refused",
       nullptr,
       kDemo220File,
       1,
       {kIncomplete, kNotRestored},
       "v2.20",
       "Orvanta",
       true},
      {"restore refused, too old",
       nullptr,
       kDemo205File,
       1,
       {kIncomplete, kNotRestored, TooOld("2.05")},
       "v2.5",
       "Orvanta",
       false},
      {"restore refused, Kalix",
       nullptr,
       kalix.path(),
       1,
       {kIncomplete, kNotRestored},
       "v2.30",
       "Kalix",
       true},
      {"restore refused, no identity",
       nullptr,
       anonymous.path(),
       1,
       {kIncomplete, kNotRestored},
       "Unknown",
       "Unknown",
       true},
      {"simfault:flaky", "simfault:flaky", kDemo220File, 6, {kComplete}, "v2.20", "Orvanta", true},
      {"clean", nullptr, kDemo220File, 3, {kComplete}, "v2.20", "Orvanta", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    bProgramInit = 0;
    const bool restorable = !std::string(c.name).starts_with("restore refused");
    if (restorable) {
      dlg->ReadFromBoard();
      dlg->SetDlgItemText(IDC_DWELL_EDIT, "17");
    }
    Plug(c.faults);
    dlg->EnableDlgItem(IDC_UPLOAD, false);  // as a download of older firmware leaves it
    QString revisionDuringBox;
    int runsDuringBox = -1;
    messages.onShow = [&](const MessageBoxRequest&) {
      QCoreApplication::sendPostedEvents();
      revisionDuringBox = Text(IDC_FIRMWARE_REVISION);
      runsDuringBox = static_cast<int>(windows.texts.size());
    };
    FileDialogScript files({c.file});

    Button(IDC_UPDATE_FIRMWARE)->click();
    QCoreApplication::sendPostedEvents();

    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(files.requests[0].filter, "Orvanta Firmware Files (*.ofw)");
    EXPECT_EQ(files.requests[0].defaultSuffix, "ofw");
    EXPECT_EQ(files.requests[0].initialName, "");
    EXPECT_EQ(windows.texts.size(), static_cast<std::size_t>(c.runs));
    EXPECT_EQ(boxes, c.shown);
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), c.revision);
    EXPECT_EQ(Text(IDC_BOARD_TYPE), c.boardType);
    EXPECT_EQ(Enabled(IDC_UPLOAD), c.upload);
    const bool lcd = std::string(c.boardType) != "Kalix";
    for (const int id : {1021, 1022, 1023, 1024, int{IDC_LCD_MENU_TREE}})
      EXPECT_EQ(Enabled(id), lcd);
    const bool flashed = c.runs > 0 && c.shown.back() != kFirmwareFailed;
    EXPECT_EQ(ImageIdentity(board) == kDemo220, flashed && c.file == kDemo220File);
    const bool restored = !c.shown.empty() && c.shown.back() == kComplete;
    if (c.runs == 0) {
      EXPECT_EQ(board.DataByte(2), 10) << "the board is never reached";
    }
    if (restored) {
      EXPECT_EQ(board.DataByte(2), 17) << "the user's dwell on the board";
      EXPECT_EQ(revisionDuringBox, "v2.20") << "downloaded while the completion box is up";
      EXPECT_EQ(runsDuringBox, c.runs);
      EXPECT_EQ(Text(IDC_DWELL_EDIT), "17");
    } else if (flashed) {
      EXPECT_EQ(Text(IDC_DWELL_EDIT), restorable ? "17" : "") << "the user's settings stay";
    }
  }
}

// With the pin-test switch the button and the download an update asks for run the pin test: no
// status window, and the board is not read.
TEST_F(BoardCommands, PinTestSwitchTurnsEveryDownloadRequestIntoThePinTest) {
  const struct {
    int button;
    std::size_t runs;  // status windows: the firmware and the settings restore
    std::vector<std::string> before;
  } cases[] = {
      {IDC_DOWNLOAD, 0, {}},
      {IDC_UPDATE_FIRMWARE, 2, {"Firmware Upload Complete"}},
  };
  bProgramInit = 0;
  bTestInit = 1;
  BoxesHandlePostedEvents();
  FileDialogScript files({kDemo220File});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    ShowBlock(TypicalBlock());
    Plug(nullptr);
    Button(c.button)->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(windows.texts.size(), c.runs);
    std::vector<std::string> titles = c.before;
    titles.insert(titles.end(), 13, kAppName);
    std::vector<std::string> shown;
    for (const MessageBoxRequest& m : messages.messages) shown.push_back(m.title);
    ASSERT_EQ(shown, titles);
    EXPECT_EQ(messages.messages.back().text, "Pin 13 is now high.");
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "None") << "no download";
  }
}

// Programming mode, press after press: the first file chosen serves every later board, even while
// it is damaged; nothing is restored or downloaded, and the labels keep their start texts.
TEST_F(BoardCommands, ProgrammingModeLoadsEveryBoardFromTheFirstFileChosen) {
  const ScratchFile file("this is no firmware\n");
  FileDialogScript files({std::nullopt, file.path()});
  const struct {
    const char* name;
    const char* faults;
    bool mendFile;  // the file now holds the 2.20 demo firmware
    std::size_t dialogs;
    std::size_t runs;
    std::vector<SeamEvent> shown;
  } steps[] = {
      {"cancelled", nullptr, false, 1, 0, {}},
      {"damaged file chosen", nullptr, false, 2, 0, {kBadFile}},
      {"checked again", nullptr, false, 2, 0, {kBadFile}},
      {"file mended", nullptr, true, 2, 1, {}},
      {"simfault:absent", "simfault:absent", false, 2, 2, {kFirmwareFailed}},
      {"next board", nullptr, false, 2, 1, {}},
  };
  BoxesHandlePostedEvents();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.mendFile) file.Write(ReadText(kDemo220File));
    Plug(s.faults);
    Button(IDC_UPDATE_FIRMWARE)->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(files.requests.size(), s.dialogs);
    EXPECT_EQ(windows.texts.size(), s.runs);
    EXPECT_EQ(boxes, s.shown);
    EXPECT_EQ(ImageIdentity(board) == kDemo220, s.runs > 0 && s.shown.empty());
    EXPECT_EQ(bFWLoadedOnce, s.dialogs > 1 ? 1 : 0);
    EXPECT_EQ(dlg->m_ProgrammingFile.toStdString(), s.dialogs > 1 ? file.path() : "");
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "None");
    EXPECT_EQ(Text(IDC_BOARD_TYPE), "Empty Board");
  }
}

// The simulated cable, as seen through a port backend that could (or could not) open its port.
class PortWithReason final : public PortBackend {
 public:
  PortWithReason(PortBackend& through, std::string reason)
      : through_(through), reason_(std::move(reason)) {}
  PortWithReason(const PortWithReason&) = delete;
  PortWithReason& operator=(const PortWithReason&) = delete;
  void Write(uint16_t port, uint8_t value) override { through_.Write(port, value); }
  uint8_t Read(uint16_t port) override { return through_.Read(port); }
  void Delay(uint32_t units) override { through_.Delay(units); }
  void BeginRun() override { through_.BeginRun(); }
  std::string OpenFailure() const override { return reason_; }

 private:
  PortBackend& through_;
  std::string reason_;
  PortBackendOverride inUse_{PortBackendSeam(), this};
};

SeamEvent WithReason(SeamEvent box, const std::string& reason) {
  box.message.informative = reason;
  return box;
}

// The three connection failures carry the backend's reason below their fixed text, and only when
// the port could not be opened; a board that stays silent on an open port gets the box alone.
TEST_F(BoardCommands, ConnectionFailuresSayWhyThePortCouldNotBeOpened) {
  const std::string denied =
      "Permission denied on /dev/parport0. Add yourself to the lp group, then log out and in "
      "again.";
  const struct {
    const char* name;
    int button;
    SeamEvent box;
  } commands[] = {
      {"download", IDC_DOWNLOAD, kReadFailed},
      {"upload", IDC_UPLOAD, kUploadFailed},
      {"firmware", IDC_UPDATE_FIRMWARE, kFirmwareFailed},
  };
  bProgramInit = 0;
  for (const auto& c : commands) {
    for (const std::string& reason : {denied, std::string()}) {
      SCOPED_TRACE(std::string(c.name) + (reason.empty() ? ", port open" : ", port refused"));
      Plug(nullptr);
      dlg->ReadFromBoard();
      Plug("simfault:absent");
      PortWithReason port(sim, reason);
      FileDialogScript files({kDemo220File});
      Button(c.button)->click();
      EXPECT_EQ(boxes, std::vector{WithReason(c.box, reason)});
    }
  }
}

}  // namespace
