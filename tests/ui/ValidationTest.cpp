#include <functional>

#include "settings/SettingsBlock.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

struct Rule {
  int control;
  std::function<void(COrvantaAppDlg&)> breakIt;
};

void ClearText(COrvantaAppDlg& d, int id) {
  d.SetDlgItemText(id, QString());
}
void ClearCombo(COrvantaAppDlg& d, int id) {
  d.GetDlgItemAs<QComboBox>(id)->setCurrentIndex(-1);
}

// The eighteen rules in the order they are tried, each with a way to make only it fail.
const std::vector<Rule>& Rules() {
  static const std::vector<Rule> rules = {
      {IDC_OM_STANDARD, [](COrvantaAppDlg& d) { d.m_OperationMode = -1; }},
      {IDC_AE_BYPASS_EYE, [](COrvantaAppDlg& d) { d.m_AEDelayMode = 3; }},
      {IDC_KOVAL_A, [](COrvantaAppDlg& d) { d.m_KOVALMode = 2; }},
      {IDC_ET_DROP, [](COrvantaAppDlg& d) { d.m_EyeTimingMode = -1; }},
      {IDC_TIMER_COUNTS_DOWN, [](COrvantaAppDlg& d) { d.m_TimerMode = -1; }},
      {IDC_FIRING_MODE_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_FIRING_MODE_COMBO); }},
      {IDC_ROF_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_ROF_COMBO); }},
      {IDC_AE_BYPASS_ROF_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_AE_BYPASS_ROF_COMBO); }},
      {IDC_TIMER_INIT_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_TIMER_INIT_COMBO); }},
      {IDC_TIMER_MINUTES_EDIT, [](COrvantaAppDlg& d) { ClearText(d, IDC_TIMER_MINUTES_EDIT); }},
      {IDC_TIMER_SECONDS_EDIT, [](COrvantaAppDlg& d) { ClearText(d, IDC_TIMER_SECONDS_EDIT); }},
      {IDC_SECTION1_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_SECTION1_COMBO); }},
      {IDC_SECTION1B_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_SECTION1B_COMBO); }},
      {IDC_SECTION2_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_SECTION2_COMBO); }},
      {IDC_SECTION2B_COMBO, [](COrvantaAppDlg& d) { ClearCombo(d, IDC_SECTION2B_COMBO); }},
      {IDC_DEBOUNCE_EDIT, [](COrvantaAppDlg& d) { ClearText(d, IDC_DEBOUNCE_EDIT); }},
      {IDC_DWELL_EDIT, [](COrvantaAppDlg& d) { ClearText(d, IDC_DWELL_EDIT); }},
      {IDC_AEDELAY_EDIT, [](COrvantaAppDlg& d) { ClearText(d, IDC_AEDELAY_EDIT); }},
  };
  return rules;
}

class Validation : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    ShowBlock(TypicalBlock());
  }
  // The check's verdict: 0 for complete, else the reported control.
  int Verdict() const {
    int offending = 0;
    return dlg->PerformValidationCheck(offending) ? 0 : offending;
  }
};

TEST_F(Validation, ADownloadedDialogIsCompleteAndTheOutParameterIsLeftAlone) {
  int offending = 12345;
  EXPECT_TRUE(dlg->PerformValidationCheck(offending));
  EXPECT_EQ(offending, 12345);
}

TEST_F(Validation, EachRuleAloneReportsItsControl) {
  ASSERT_EQ(Rules().size(), 18u);
  for (std::size_t i = 0; i < Rules().size(); ++i) {
    ShowBlock(TypicalBlock());
    Rules()[i].breakIt(*dlg);
    EXPECT_EQ(Verdict(), Rules()[i].control) << "rule " << i + 1;
  }
}

TEST_F(Validation, TheFirstFailingRuleInOrderIsReported) {
  for (std::size_t i = Rules().size(); i-- > 0;) {
    Rules()[i].breakIt(*dlg);
    EXPECT_EQ(Verdict(), Rules()[i].control) << "rules " << i + 1 << " to 18 failing";
  }
}

TEST_F(Validation, ValuesThatAreOnlyPresentPass) {
  dlg->m_AEDelayMode = 2;  // a preset's "Delay", although no after-eye button need be checked
  dlg->SetDlgItemText(IDC_TIMER_MINUTES_EDIT, QStringLiteral("  "));
  dlg->SetDlgItemText(IDC_TIMER_SECONDS_EDIT, QStringLiteral(" "));
  EXPECT_EQ(Verdict(), 0);
  Button(IDC_AE_BYPASS_EYE)->click();
  EXPECT_EQ(Text(IDC_AEDELAY_EDIT), "6");
  EXPECT_EQ(Verdict(), 0) << "the delay text is present, though disabled";
  ClearText(*dlg, IDC_AEDELAY_EDIT);
  EXPECT_EQ(Verdict(), IDC_AEDELAY_EDIT) << "and required even with the eye bypassed";
}

// A Kalix board's section boxes are disabled (as the download does for that board), so a
// section byte beyond the list must not block the upload; anywhere else the box is asked for.
TEST_F(Validation, ASectionBeyondTheListIsAskedForUnlessAKalixBoardLocksItsBox) {
  const struct {
    uint8_t board;
    bool boxesEnabled;
    bool locked;
  } cases[] = {
      {kBoardKalix, false, true},
      {kBoardKalix, true, false},
      {kBoardOrvanta, false, false},
  };
  const int sections[] = {IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO,
                          IDC_SECTION2B_COMBO};
  for (const auto& c : cases) {
    for (const int element : {kElemSection1, kElemSection1B, kElemSection2, kElemSection2B}) {
      SCOPED_TRACE(testing::Message() << "board " << int(c.board) << ", element " << element);
      Block block = TypicalBlock();
      block[kElemBoardType - 1] = c.board;
      block[static_cast<std::size_t>(element - 1)] = 9;
      for (const int id : sections) dlg->EnableDlgItem(id, c.boxesEnabled);
      ShowBlock(block);
      if (!c.locked) {
        EXPECT_EQ(Verdict(), IDC_SECTION1_COMBO + (element - kElemSection1));
        continue;
      }
      EXPECT_EQ(Verdict(), 0);
      dlg->PopulateSettingArrayFromDialog();
      for (int e = kElemSection1; e <= kElemSection2B; ++e) {
        EXPECT_EQ(SettingsArray[e], block[static_cast<std::size_t>(e - 1)]) << "element " << e;
      }
    }
  }
}

TEST_F(Validation, AFailedCheckChangesNoMemberAndNoControl) {
  Rules()[9].breakIt(*dlg);  // minutes text empty
  dlg->m_DwellText = QStringLiteral("member text");
  const int mask = dlg->m_LCDMenuMask = 0x4242;
  EXPECT_EQ(Verdict(), IDC_TIMER_MINUTES_EDIT);
  EXPECT_EQ(dlg->m_DwellText, "member text");
  EXPECT_EQ(dlg->m_LCDMenuMask, mask);
  EXPECT_EQ(Text(IDC_DWELL_EDIT), "12");
}

TEST_F(Validation, ReadCurrentSettingsSnapshotsSelectionsTextsAndMask) {
  Combo(IDC_ROF_COMBO)->setCurrentIndex(-1);
  Tree()->topLevelItem(2)->setCheckState(0, Qt::Checked);
  dlg->m_OperationMode = 7;
  dlg->ReadCurrentSettings();
  EXPECT_EQ(dlg->m_FiringModeSel, 1);
  EXPECT_EQ(dlg->m_ROFSel, -1);
  EXPECT_EQ(dlg->m_AEBypassROFSel, 6);
  EXPECT_EQ(dlg->m_TimerInitSel, 1);
  EXPECT_EQ(dlg->m_Section1Sel, 0);
  EXPECT_EQ(dlg->m_Section1BSel, 1);
  EXPECT_EQ(dlg->m_Section2Sel, 2);
  EXPECT_EQ(dlg->m_Section2BSel, 3);
  EXPECT_EQ(dlg->m_DebounceText, "5");
  EXPECT_EQ(dlg->m_DwellText, "12");
  EXPECT_EQ(dlg->m_AEDelayText, "6");
  EXPECT_EQ(dlg->m_TimerMinutesText, "03");
  EXPECT_EQ(dlg->m_TimerSecondsText, "35");
  EXPECT_EQ(dlg->m_LCDMenuMask, 0x8016);
  EXPECT_EQ(dlg->m_OperationMode, 7) << "choice members are the radio handlers' business";
}

}  // namespace
