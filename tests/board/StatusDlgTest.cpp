#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "app/Globals.h"
#include "board/StatusDlg.h"
#include "link/Communication.h"
#include "tests/support/Recorders.h"

namespace {

// Records what the user sees at each step of a board run.
class WatchedStatusDlg : public CStatusDlg {
 public:
  QStringList upperLines;  // the upper line each time the operation replaces it, before and after
  std::vector<int> positions;
  int runs = 0;

  void ShowStatusText(const std::string& text) override {
    upperLines << Line(1012);
    CStatusDlg::ShowStatusText(text);
    upperLines << Line(1012);
    ++runs;
  }
  void SetProgressPos(int position) override {
    CStatusDlg::SetProgressPos(position);
    positions.push_back(m_Progress->value());
  }
  QString Line(int id) const {
    for (QLabel* label : findChildren<QLabel*>()) {
      if (label->property("controlId").toInt() == id) return label->text();
    }
    return {};
  }
};

class StatusDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }
  RecordingPort port;  // nothing answers: every read is 0xFF
  ScriptedClock clock{{0, 100}};
};

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
  EXPECT_EQ(dlg.Line(1014), "Do not turn off the power or disconnect the programming cable.");
  EXPECT_EQ(dlg.windowTitle(), "Orvanta Communication In Progress...");
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
    EXPECT_EQ(dlg.Line(1012), "Connecting to your board on port 0x378, please wait...");
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
        Case{0xD010, false, "Connecting to your board on port 0xD010, please wait..."}}) {
    EXPECT_EQ(ConnectingText(c.port, c.retry), QString::fromUtf8(c.text));
  }
}

}  // namespace
