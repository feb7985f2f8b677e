// "What's This?" on every control of the main window and of the connection window: each control
// a right click reaches shows its own help text, read from the committed help file. A control
// added without a help text, or pointed at another control's text, fails here.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <memory>
#include <set>
#include <span>

#include "app/Globals.h"
#include "app/SettingsDlg.h"
#include "platform/HelpFile.h"
#include "tests/app/SettingsDlgFixture.h"
#include "tests/support/ShellDoubles.h"
#include "ui/OrvantaAppDlg.h"

namespace {

using Popups = std::vector<std::pair<int, std::string>>;

const std::string kCommittedHelpFile =
    std::string(ORVANTA_SOURCE_DIR) + "/res/help/Orvanta_Help.chm";

struct ControlTopic {
  int id;
  int topic;
};

constexpr ControlTopic kMainWindow[] = {
    {IDC_OM_STANDARD, 1},
    {IDC_OM_TEST, 2},
    {IDC_FIRING_MODE_COMBO, 3},
    {IDC_ROF_COMBO, 4},
    {IDC_DEBOUNCE_EDIT, 5},
    {IDC_DEBOUNCE_SPIN, 5},
    {IDC_DWELL_EDIT, 6},
    {IDC_DWELL_SPIN, 6},
    {IDC_PRESET_CONSERVATIVE, 7},
    {IDC_PRESET_NORMAL, 8},
    {IDC_PRESET_FAST, 9},
    {IDC_PRESET_EXTREME, 10},
    {IDC_AE_BYPASS_EYE, 11},
    {IDC_AE_DELAY, 13},
    {IDC_AEDELAY_EDIT, 14},
    {IDC_AEDELAY_SPIN, 14},
    {IDC_KOVAL_A, 15},
    {IDC_KOVAL_B, 16},
    {IDC_ET_DROP, 17},
    {IDC_ET_FIRE, 18},
    {IDC_TIMER_INIT_COMBO, 19},
    {IDC_TIMER_MINUTES_EDIT, 20},
    {IDC_TIMER_MINUTES_SPIN, 20},
    {IDC_TIMER_SECONDS_EDIT, 21},
    {IDC_TIMER_SECONDS_SPIN, 21},
    {IDC_TIMER_COUNTS_DOWN, 22},
    {IDC_TIMER_COUNTS_UP, 23},
    {IDC_SECTION1_COMBO, 25},
    {IDC_SECTION1B_COMBO, 26},
    {IDC_SECTION2_COMBO, 27},
    {IDC_SECTION2B_COMBO, 28},
    {IDC_SAVE_CONFIG, 29},
    {IDC_OPEN_CONFIG, 30},
    {IDC_UPLOAD, 31},
    {IDC_DOWNLOAD, 32},
    {IDC_CONNECTION, 33},
    {IDC_UPDATE_FIRMWARE, 34},
    {IDC_AE_BYPASS_ROF_COMBO, 36},
    {IDC_LCD_MENU_TREE, 37},
    {IDCANCEL, 38},
    {IDC_BANNER, 39},
};

constexpr ControlTopic kConnectionWindow[] = {
    {IDC_LPT1, 1}, {IDC_LPT2, 2}, {IDC_CUSTOM, 3}, {IDC_CUSTOM_ADDRESS, 4},
    {IDOK, 5},     {IDCANCEL, 6}, {IDC_USB, 7},    {IDC_USB_CABLE, 8},
};

// The texts the USB cable and the controls that had none brought, word for word.
const struct {
  const char* file;
  int topic;
  const char* words;
} kNewTexts[] = {
    {"/OrvantaDialog.txt", 33,
     "Connection...: chooses the programming cable: a parallel port (LPT1, LPT2 or an address you "
     "type) or the USB cable (FT232R), and which USB cable by its serial number."},
    {"/OrvantaDialog.txt", 38,
     "Exit: closes the program. Settings you have not uploaded or saved are not kept."},
    {"/OrvantaDialog.txt", 39,
     "About Orvanta...: opens the about box, with the version, the web site, the manual and the "
     "help."},
    {"/SettingsDialog.txt", 5,
     "Save: uses the port or cable chosen and keeps it for the next time the program starts."},
    {"/SettingsDialog.txt", 6, "Cancel: closes this window and keeps the port or cable as it was."},
    {"/SettingsDialog.txt", 7,
     "USB cable (FT232R): a programming cable built on an FT232R chip, plugged into a USB socket. "
     "Choose which cable in the list below it. The help's page \"The cables\" tells how to wire it "
     "and set it up."},
    {"/SettingsDialog.txt", 8,
     "Cable: which USB cable to use: the first one found, or a cable by its serial number, so that "
     "several cables can be plugged in at once. A cable chosen before that is not plugged in now "
     "is marked \"(not plugged in)\"."},
};

// The IDs of the controls of `window` a right click reaches: all but its static texts.
std::set<int> ControlsOf(const QWidget* window) {
  std::set<int> ids;
  for (const QWidget* control : window->findChildren<QWidget*>()) {
    const bool isStatic = qobject_cast<const QLabel*>(control) != nullptr ||
                          qobject_cast<const QGroupBox*>(control) != nullptr;
    if (ControlId(control) != 0 && !isStatic) ids.insert(ControlId(control));
  }
  return ids;
}

// Every control of `window` is in `table`, and a right click on it (enabled: a disabled control
// takes no click) shows its topic of `topicFile` in the help file.
void ExpectEveryControlsTopic(QWidget* window, std::span<const ControlTopic> table,
                              const char* topicFile, PopupHelpRecorder& help) {
  std::set<int> listed;
  for (const ControlTopic& row : table) listed.insert(row.id);
  EXPECT_EQ(ControlsOf(window), listed) << topicFile;
  const std::optional<std::string> topics = ReadHelpObject(kCommittedHelpFile, topicFile);
  ASSERT_TRUE(topics) << topicFile;
  for (const ControlTopic& row : table) {
    const std::optional<std::string> text = FindPopupTopic(*topics, row.topic);
    ASSERT_TRUE(text) << topicFile << " has no topic " << row.topic;
    QWidget* control = nullptr;
    for (QWidget* candidate : window->findChildren<QWidget*>()) {
      if (ControlId(candidate) == row.id) control = candidate;
    }
    ASSERT_NE(control, nullptr) << row.id;
    control->setEnabled(true);
    help.popups.clear();
    RightClick(window, control);
    EXPECT_EQ(help.popups, (Popups{{row.id, *text}})) << topicFile << " control " << row.id;
  }
}

TEST(ControlHelp, TheNewTextsAreInTheHelpFileWordForWord) {
  for (const auto& row : kNewTexts) {
    EXPECT_EQ(ReadPopupTopic(kCommittedHelpFile, row.file, row.topic), row.words) << row.topic;
  }
}

TEST(ControlHelp, EveryControlOfTheMainWindowShowsItsHelp) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  ResetGlobals();
  bProgramInit = 1;
  PopupHelpRecorder help;
  {
    COrvantaAppDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ExpectEveryControlsTopic(&dlg, kMainWindow, "/OrvantaDialog.txt", help);
  }
  ResetGlobals();
}

using ConnectionWindowHelp = SettingsDlgFixture;

TEST_F(ConnectionWindowHelp, EveryControlOfTheConnectionWindowShowsItsHelp) {
  scratch.CopyHelpFile();
  Plugged({{"FT232R USB UART", "A50285BI"}});
  Open();
  PopupHelpRecorder help;
  ExpectEveryControlsTopic(dlg.get(), kConnectionWindow, "/SettingsDialog.txt", help);
}

}  // namespace
