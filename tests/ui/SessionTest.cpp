// A whole session in the real main window on the simulated board, driven through the widgets as a
// user would: the download at start, a preset, an upload, and two firmware updates. With
// ORVANTA_SCREENSHOT_DIR set, it also saves the status window as the first update shows it, alone
// and over the main window (scripts/take-screenshots).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "app/Globals.h"
#include "board/StatusDlg.h"
#include "link/Communication.h"
#include "platform/Controls.h"
#include "sim/BoardFirmware.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/Recorders.h"
#include "ui/OrvantaAppDlg.h"

namespace {

// What the status window showed half-way through the first firmware run.
struct MidUpload {
  QString caption, upper, lower;
  int position = -1, maximum = -1;
};

QString LineText(const QWidget* window, int id) {
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (ControlId(label) == id) return label->text();
  }
  return {};
}

// The window alone, and the screen around it and the window behind it as a window manager has
// framed them (it draws the frames from its own process, so it is given a moment).
void SaveScreenshot(QWidget* window, const QWidget* behind, const char* name) {
  const char* dir = std::getenv("ORVANTA_SCREENSHOT_DIR");
  if (dir == nullptr) return;
  const QDir folder(QString::fromLocal8Bit(dir));
  EXPECT_TRUE(window->grab().save(folder.filePath(name)));
  window->repaint();  // the bar as it stands now, on the screen too
  QThread::msleep(500);
  const QRect frames = window->frameGeometry().united(behind->frameGeometry());
  window->screen()
      ->grabWindow(0, frames.x(), frames.y(), frames.width(), frames.height())
      .save(folder.filePath(QStringLiteral("screen-") + name));
}

// Counts the status windows, and watches the bar of each firmware run.
class Session : public ::testing::Test, public QObject {
 protected:
  void SetUp() override {
    ResetGlobals();
    // Message boxes run a modal loop, which handles what was posted meanwhile.
    messages.onShow = [](const MessageBoxRequest&) { QCoreApplication::processEvents(); };
    qApp->installEventFilter(this);
  }
  void TearDown() override {
    qApp->removeEventFilter(this);
    ResetGlobals();
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* status = qobject_cast<CStatusDlg*>(watched);
    if (status == nullptr || event->type() != QEvent::Show) return false;
    ++statusWindows;
    if (status->m_Operation == CStatusDlg::kFirmware) {
      QObject::connect(status->m_Progress, &QProgressBar::valueChanged, this,
                       [this, status](int value) { AtBarPosition(*status, value); });
    }
    return false;
  }
  void AtBarPosition(CStatusDlg& status, int value) {
    const int maximum = status.m_Progress->maximum();
    if (mid.position >= 0 || maximum < 2 || value < maximum / 2) return;
    mid = {status.windowTitle(), LineText(&status, IDC_STATUS_TEXT),
           LineText(&status, IDC_WARNING_TEXT), value, maximum};
    SaveScreenshot(&status, &dlg, "status-window-firmware.png");
  }

  QWidget* Control(int id) const { return dlg.GetDlgItem(id); }
  QString Text(int id) const { return dlg.GetDlgItemText(id); }
  void Click(int id) {
    QWidget* control = Control(id);
    ASSERT_NE(control, nullptr) << id;
    // A radio button takes clicks on its circle and words only, at its left.
    const bool radio = qobject_cast<QRadioButton*>(control) != nullptr;
    const QPoint at = radio ? QPoint(control->height() / 2, control->height() / 2) : QPoint();
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const MessageBoxRequest& m : messages.messages) titles.push_back(m.title);
    return titles;
  }

  SimulatedCable cable{base};
  SimBoard& board = cable.Board();
  SimPort& sim = cable.Port();
  MessageRecorder messages;
  FileDialogScript files{
      {DemoFirmware("orvanta-2.20.ofw").string(), DemoFirmware("orvanta-2.05.ofw").string()}};
  COrvantaAppDlg dlg;
  int statusWindows = 0;
  MidUpload mid;
};

TEST_F(Session, DownloadPresetUploadAndTwoFirmwareUpdates) {
  QTimer::singleShot(0, [&] {
    // Start: the posted download fills the dialog from the factory board.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(IDC_FIRMWARE_REVISION) == "v2.11"; }));
    EXPECT_EQ(Text(IDC_BOARD_TYPE), "Orvanta");
    EXPECT_EQ(Text(IDC_DWELL_EDIT), "10");
    EXPECT_EQ(dlg.GetDlgItemAs<QComboBox>(IDC_ROF_COMBO)->currentText(), "16 bps");
    EXPECT_TRUE(Control(IDC_UPLOAD)->isEnabled());
    EXPECT_TRUE(messages.messages.empty());

    // "Fast", then upload: the board takes it.
    Click(IDC_PRESET_FAST);
    EXPECT_EQ(Text(IDC_DWELL_EDIT), "8");
    Click(IDC_UPLOAD);
    EXPECT_EQ(board.DataByte(2), 8);
    EXPECT_EQ(board.DataByte(1), 1) << "18 bps";
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(statusWindows, 2);

    // Firmware 2.20: firmware run, the restore, and the download while the completion box is up.
    Click(IDC_UPDATE_FIRMWARE);
    EXPECT_EQ(statusWindows, 5);
    EXPECT_EQ(Titles(), std::vector<std::string>{"Firmware Upload Complete"});
    EXPECT_EQ(messages.messages.back().text,
              "The board firmware and settings has been updated!\n\n");
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "v2.20");
    EXPECT_EQ(ImageIdentity(board), (FirmwareIdentity{2, 20, 1}));
    EXPECT_EQ(Text(IDC_DWELL_EDIT), "8") << "the user's settings survive the update";
    EXPECT_EQ(board.DataByte(2), 8);
    EXPECT_TRUE(Control(IDC_UPLOAD)->isEnabled());

    // Firmware 2.05: the download after it finds a firmware too old for uploads.
    Click(IDC_UPDATE_FIRMWARE);
    EXPECT_EQ(statusWindows, 8);
    EXPECT_EQ(Titles(),
              (std::vector<std::string>{"Firmware Upload Complete", "Firmware Upload Complete",
                                        "New Firmware Required"}));
    EXPECT_NE(messages.messages.back().text.find("You currently have 2.05, and 2.11 is required."),
              std::string::npos);
    EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "v2.5");
    EXPECT_FALSE(Control(IDC_UPLOAD)->isEnabled());
    EXPECT_EQ(files.requests.size(), 2u);

    Click(IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);

  EXPECT_EQ(mid.caption, "Orvanta Communication In Progress...");
  EXPECT_EQ(mid.upper, "Uploading firmware to your board, please wait...");
  EXPECT_EQ(mid.lower, "Do not turn off the power or disconnect the programming cable.");
  EXPECT_EQ(mid.maximum, 4) << "one step per line of the demo firmware";
  EXPECT_EQ(mid.position, 2);
}

}  // namespace
