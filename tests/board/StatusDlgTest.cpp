#include <gtest/gtest.h>

#include <QAccessible>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "app/Globals.h"
#include "board/StatusDlg.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/Recorders.h"

namespace {

// Records what the user sees at each step of a board run.
class WatchedStatusDlg : public CStatusDlg {
 public:
  QStringList upperLines;  // the upper line each time the operation replaces it, before and after
  QStringList heard;       // what a screen reader gets as the upper line's name at those moments
  std::vector<int> positions;
  int runs = 0;

  void ShowStatusText(const std::string& text) override {
    upperLines << Line(IDC_STATUS_TEXT);
    heard << Heard(IDC_STATUS_TEXT);
    CStatusDlg::ShowStatusText(text);
    upperLines << Line(IDC_STATUS_TEXT);
    heard << Heard(IDC_STATUS_TEXT);
    ++runs;
  }
  void SetProgressPos(int position) override {
    CStatusDlg::SetProgressPos(position);
    positions.push_back(m_Progress->value());
  }
  void showEvent(QShowEvent* event) override {
    barWhenShown.push_back(m_Progress->value());
    CStatusDlg::showEvent(event);
  }
  std::vector<int> barWhenShown;  // the bar each time the window comes up
  QString Line(int id) const { return LineLabel(id)->text(); }
  QString Heard(int id) const {
    return QAccessible::queryAccessibleInterface(LineLabel(id))->text(QAccessible::Name);
  }
  QLabel* LineLabel(int id) const {
    for (QLabel* label : findChildren<QLabel*>()) {
      if (label->property("controlId").toInt() == id) return label;
    }
    return nullptr;
  }
};

class StatusDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }
  RecordingPort port;  // nothing answers: every read is 0xFF
  ScriptedClock clock{{0, 100}};
};

// The connecting line names the cable in use: the parallel port's address, or the USB cable.
TEST_F(StatusDlgTest, TheConnectingLineNamesTheCableInUse) {
  const struct {
    int usb;
    const char* serial;
    bool retry;
    const char* line;
  } cases[] = {
      {0, "A50285BI", false, "Connecting to your board on port 0x278, please wait..."},
      {1, "", false, "Connecting to your board on the USB cable, please wait..."},
      {1, "A50285BI", true, "Connecting to your board on the USB cable A50285BI, please wait... "},
  };
  base = 0x278;
  for (const auto& c : cases) {
    bUsbCable = c.usb;
    usbCableSerial = c.serial;
    EXPECT_EQ(CableConnectingText(c.retry), c.line);
  }
}

TEST_F(StatusDlgTest, FailedDownloadClosesByItselfWithResultZero) {
  nCommResult = 1;
  WatchedStatusDlg dlg;
  dlg.m_Operation = CStatusDlg::kDownload;
  dlg.m_ConnectText = ConnectingText(0x378, false);
  EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
  EXPECT_EQ(nCommResult, 0);
  EXPECT_EQ(dlg.runs, 1);
  EXPECT_EQ(dlg.upperLines, (QStringList{"Connecting to your board on port 0x378, please wait...",
                                         "Downloading settings from your board, please wait..."}));
  EXPECT_EQ(dlg.Line(IDC_WARNING_TEXT),
            "Do not turn off the power or disconnect the programming cable.");
  EXPECT_EQ(dlg.windowTitle(), "Orvanta Communication In Progress...");
}

// A screen reader hears the lines' texts, not what they are for. A line without a fixed name
// announces each change of its text.
TEST_F(StatusDlgTest, AScreenReaderHearsTheTextsOfBothLines) {
  WatchedStatusDlg dlg;
  dlg.m_Operation = CStatusDlg::kUpload;
  dlg.m_ConnectText = ConnectingText(0x378, false);
  dlg.DoModal();
  EXPECT_EQ(dlg.heard, dlg.upperLines);
  EXPECT_EQ(dlg.Heard(IDC_WARNING_TEXT), QString::fromUtf8(kStatusWarningText));
  for (const int line : {IDC_STATUS_TEXT, IDC_WARNING_TEXT})
    EXPECT_TRUE(dlg.LineLabel(line)->accessibleName().isEmpty());
}

TEST_F(StatusDlgTest, OneObjectRunsTwoCompleteBoardRuns) {
  WatchedStatusDlg dlg;
  dlg.m_Operation = CStatusDlg::kUpload;
  dlg.m_ConnectText = ConnectingText(0x278, false);
  dlg.DoModal();
  dlg.m_ConnectText = ConnectingText(0x278, true);
  dlg.DoModal();
  EXPECT_EQ(dlg.runs, 2);
  EXPECT_EQ(dlg.upperLines[0], "Connecting to your board on port 0x278, please wait...");
  EXPECT_EQ(dlg.upperLines[2], "Connecting to your board on port 0x278, please wait... ");
  EXPECT_EQ(dlg.upperLines[3], "Uploading settings to your board, please wait...");
  EXPECT_EQ(dlg.positions, (std::vector<int>{0, 0})) << "each run starts its bar at 0";
}

TEST_F(StatusDlgTest, UnknownOperationOpensClosesAndKeepsThePreviousResult) {
  for (const int previous : {0, 1}) {
    nCommResult = previous;
    WatchedStatusDlg dlg;
    dlg.m_Operation = 2;
    dlg.m_ConnectText = ConnectingText(0x378, false);
    EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
    EXPECT_EQ(nCommResult, previous);
    EXPECT_EQ(dlg.runs, 0);
    EXPECT_EQ(dlg.Line(IDC_STATUS_TEXT), "Connecting to your board on port 0x378, please wait...");
    EXPECT_EQ(port.writes, 0u);
  }
}

TEST_F(StatusDlgTest, TheUserCannotCloseTheWindow) {
  WatchedStatusDlg dlg;
  dlg.m_Operation = 2;
  dlg.OnInitDialog();
  dlg.m_StartPending = false;  // hold the run back so the window stays up
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.close());
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(dlg.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
  dlg.hide();
}

// A status window on a simulated board that answers, watched for what the user would see: when
// the run starts, whether each change reaches the screen at once, and what an impatient user's
// Escape or close request does.
class WatchedRun : public WatchedStatusDlg {
 public:
  WatchedRun() {
    for (QLabel* label : findChildren<QLabel*>()) {
      if (label->property("controlId").toInt() == IDC_STATUS_TEXT)
        label->installEventFilter(&linePaints);
    }
    m_Progress->installEventFilter(&barPaints);
  }
  bool pestDuringStart = false;
  bool pestDuringRun = false;
  bool startedInsidePaint = false;
  std::vector<int> linePaintsPerChange;
  std::vector<int> barPaintsPerChange;

 protected:
  void paintEvent(QPaintEvent* event) override {
    const bool startIsDue = m_StartPending;
    ++paintDepth_;  // a child's repaint paints this window again, nested
    WatchedStatusDlg::paintEvent(event);
    --paintDepth_;
    if (startIsDue && pestDuringStart) Pester();
  }
  void ShowStatusText(const std::string& text) override {
    startedInsidePaint = startedInsidePaint || paintDepth_ > 0;
    const int before = linePaints.count;
    WatchedStatusDlg::ShowStatusText(text);
    linePaintsPerChange.push_back(linePaints.count - before);
    if (pestDuringRun) Pester();
  }
  void SetProgressPos(int position) override {
    const int before = barPaints.count;
    WatchedStatusDlg::SetProgressPos(position);
    barPaintsPerChange.push_back(barPaints.count - before);
  }

 private:
  struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      count += event->type() == QEvent::Paint ? 1 : 0;
      return false;
    }
  };
  void Pester() {
    QCoreApplication::postEvent(this,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(this, new QCloseEvent());
  }
  PaintCounter linePaints;
  PaintCounter barPaints;
  int paintDepth_ = 0;
};

class StatusDlgOnABoard : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    board = FactoryBoard();
    port.through = &sim;
    port.recordDelays = false;
  }
  void TearDown() override { ResetGlobals(); }
  SimulatedCable cable{base};
  SimBoard& board = cable.Board();
  SimPort& sim = cable.Port();
  RecordingPort port;
};

TEST_F(StatusDlgOnABoard, EachShowingRunsOnceAfterThePaintAndShowsEveryStepAtOnce) {
  struct Case {
    const char* name;
    int operation;
    bool pestDuringStart;
    bool pestDuringRun;
    const char* working;
  };
  const Case cases[] = {
      {"download", CStatusDlg::kDownload, false, false,
       "Downloading settings from your board, please wait..."},
      {"upload", CStatusDlg::kUpload, false, false,
       "Uploading settings to your board, please wait..."},
      {"download, Escape and close while the start is queued", CStatusDlg::kDownload, true, false,
       "Downloading settings from your board, please wait..."},
      {"upload, Escape and close queued while the run holds the thread", CStatusDlg::kUpload, false,
       true, "Uploading settings to your board, please wait..."},
  };
  for (const Case& c : cases) {
    WatchedRun dlg;
    dlg.m_Operation = c.operation;
    dlg.pestDuringStart = c.pestDuringStart;
    dlg.pestDuringRun = c.pestDuringRun;
    for (int showing = 1; showing <= 2; ++showing) {
      nCommResult = 0;
      dlg.positions.clear();
      dlg.m_ConnectText = ConnectingText(0x378, showing == 2);
      EXPECT_EQ(dlg.DoModal(), QDialog::Rejected) << c.name;
      EXPECT_EQ(nCommResult, 1) << c.name << ", showing " << showing;
      EXPECT_EQ(dlg.runs, showing) << c.name << ": one run per showing";
      EXPECT_EQ(dlg.upperLines.back(), QString::fromUtf8(c.working)) << c.name;
      ASSERT_FALSE(dlg.positions.empty()) << c.name;
      EXPECT_EQ(dlg.positions.front(), 0) << c.name;
      EXPECT_EQ(dlg.positions.back(), 30) << c.name;
      EXPECT_EQ(dlg.barWhenShown.back(), 0) << c.name << ": the last run's full bar is gone";
    }
    EXPECT_FALSE(dlg.startedInsidePaint) << c.name;
    for (const int paints : dlg.linePaintsPerChange) EXPECT_GE(paints, 1) << c.name;
    for (const int paints : dlg.barPaintsPerChange) EXPECT_GE(paints, 1) << c.name;
  }
}

TEST_F(StatusDlgOnABoard, FirmwareRunShowsItsTextAndBarAndFailsForAVanishedFile) {
  const QString connecting = "Connecting to your board on port 0x378, please wait...";
  for (const bool fileThere : {true, false}) {
    ScratchFile file(ReadText(DemoFirmware("orvanta-2.20.ofw")), "Firmware für Tests.ofw");
    ASSERT_TRUE(Firmware_Validation_Check(file.path()));
    if (!fileThere) std::filesystem::remove(PathFromName(file.path()));
    port.writes = 0;
    WatchedStatusDlg dlg;
    dlg.m_Operation = CStatusDlg::kFirmware;
    dlg.m_FirmwareFile = QString::fromStdString(file.path());
    dlg.m_ConnectText = ConnectingText(0x378, false);
    dlg.DoModal();
    EXPECT_EQ(nCommResult, fileThere ? 1 : 0);
    EXPECT_EQ(dlg.Line(IDC_STATUS_TEXT),
              fileThere ? "Uploading firmware to your board, please wait..." : connecting);
    EXPECT_EQ(dlg.positions, (fileThere ? std::vector<int>{0, 0, 1, 2, 3} : std::vector<int>{}));
    EXPECT_EQ(dlg.m_Progress->maximum(), fileThere ? 4 : 100);
    EXPECT_EQ(port.writes > 0, fileThere);
  }
}

TEST(ConnectingText, PortInUpperCaseHexWithoutLeadingZeros) {
  struct Case {
    uint32_t port;
    bool retry;
    const char* text;
  };
  for (const Case& c :
       {Case{0x378, false, "Connecting to your board on port 0x378, please wait..."},
        Case{0x3BC, false, "Connecting to your board on port 0x3BC, please wait..."},
        Case{0x278, true, "Connecting to your board on port 0x278, please wait... "},
        Case{0xD010, false, "Connecting to your board on port 0xD010, please wait..."},
        Case{0x1ABCDE, true, "Connecting to your board on port 0x1ABCDE, please wait... "}}) {
    EXPECT_EQ(ConnectingText(c.port, c.retry), QString::fromUtf8(c.text));
  }
}

}  // namespace
