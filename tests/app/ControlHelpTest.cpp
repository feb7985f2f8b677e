// "What's This?" on every control of the main window and of the connection window: each control
// a right click reaches shows a help text of the committed help file. A control added without a
// help text fails here; the texts that came with the USB cable are checked word for word.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <map>
#include <set>

#include "app/Globals.h"
#include "app/SettingsDlg.h"
#include "tests/app/SettingsDlgFixture.h"
#include "tests/support/ShellDoubles.h"
#include "ui/OrvantaAppDlg.h"

namespace {

// The texts the USB cable and the controls that had none brought, word for word, by control.
const std::map<int, std::string> kMainWindowNewTexts = {
    {IDC_CONNECTION,
     "Connection...: chooses the programming cable: a parallel port (LPT1, LPT2 or an address you "
     "type) or the USB cable (FT232R), and which USB cable by its serial number."},
    {IDCANCEL, "Exit: closes the program. Settings you have not uploaded or saved are not kept."},
    {IDC_BANNER,
     "About Orvanta...: opens the about box, with the version, the web site, the manual and the "
     "help."},
};
const std::map<int, std::string> kConnectionWindowNewTexts = {
    {IDOK, "Save: uses the port or cable chosen and keeps it for the next time the program starts."},
    {IDCANCEL, "Cancel: closes this window and keeps the port or cable as it was."},
    {IDC_USB,
     "USB cable (FT232R): a programming cable built on an FT232R chip, plugged into a USB socket. "
     "Choose which cable in the list below it. The help's page \"The cables\" tells how to wire it "
     "and set it up."},
    {IDC_USB_CABLE,
     "Cable: which USB cable to use: the first one found, or a cable by its serial number, so that "
     "several cables can be plugged in at once. A cable chosen before that is not plugged in now "
     "is marked \"(not plugged in)\"."},
};

// A right click on every control of `window` but its static texts (enabled: a disabled control
// takes no click) shows one text of the help file, its own; `words` are checked word for word.
void ExpectEveryControlShowsItsHelp(QWidget* window, const std::map<int, std::string>& words) {
  PopupHelpRecorder help;
  std::set<int> shown;
  for (QWidget* control : window->findChildren<QWidget*>()) {
    const int id = ControlId(control);
    if (id == 0 || qobject_cast<QLabel*>(control) || qobject_cast<QGroupBox*>(control)) continue;
    control->setEnabled(true);
    help.popups.clear();
    RightClick(window, control);
    ASSERT_EQ(help.popups.size(), 1u) << "control " << id << " shows no help";
    EXPECT_EQ(help.popups[0].first, id);
    EXPECT_FALSE(help.popups[0].second.empty()) << id;
    if (const auto word = words.find(id); word != words.end()) {
      EXPECT_EQ(help.popups[0].second, word->second);
    }
    shown.insert(id);
  }
  for (const auto& [id, text] : words) EXPECT_TRUE(shown.contains(id)) << id;
}

TEST(ControlHelp, EveryControlOfTheMainWindowShowsItsHelp) {
  ScratchAppDirectory scratch;
  scratch.CopyHelpFile();
  ResetGlobals();
  bProgramInit = 1;
  {
    COrvantaAppDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ExpectEveryControlShowsItsHelp(&dlg, kMainWindowNewTexts);
  }
  ResetGlobals();
}

using ConnectionWindowHelp = SettingsDlgFixture;

TEST_F(ConnectionWindowHelp, EveryControlOfTheConnectionWindowShowsItsHelp) {
  scratch.CopyHelpFile();
  Plugged({{"FT232R USB UART", "A50285BI"}});
  Open();
  ExpectEveryControlShowsItsHelp(dlg.get(), kConnectionWindowNewTexts);
}

}  // namespace
