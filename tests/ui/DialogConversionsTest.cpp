#include "settings/SettingsBlock.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

class DialogConversions : public MainDialogTest {
 protected:
  // Shows `block`, marks the elements the dialog must not write, converts back, and returns the
  // rebuilt block.
  Block RoundTrip(const Block& block) {
    ShowBlock(block);
    for (int element = 17; element <= 30; ++element) SettingsArray[element] = 0xC0 + element;
    SettingsArray[0] = 0xA5;
    SettingsArray[31] = 0x5A;
    dlg->PopulateSettingArrayFromDialog();
    EXPECT_EQ(SettingsArray[0], 0xA5) << "element 0 untouched";
    EXPECT_EQ(SettingsArray[31], 0x5A) << "element 31 untouched";
    Block rebuilt{};
    for (int element = 1; element <= 30; ++element) {
      rebuilt[static_cast<std::size_t>(element - 1)] = SettingsArray[element];
    }
    return rebuilt;
  }
};

Block With(Block block, std::initializer_list<std::pair<int, uint8_t>> changes) {
  for (const auto& [element, value] : changes) block[static_cast<std::size_t>(element - 1)] = value;
  return block;
}

TEST_F(DialogConversions, EveryDialogElementComesBackAndTheOthersAreLeftOrFixed) {
  const Block blocks[] = {
      TypicalBlock(),
      // Every list at its first entry, shortest delay, counting up, mask empty.
      With(TypicalBlock(), {{1, 0},
                            {2, 0},
                            {3, 2},
                            {4, 0},
                            {5, 1},
                            {6, 0},
                            {7, 2},
                            {8, 0},
                            {9, 0},
                            {10, 0},
                            {11, 0},
                            {12, 0},
                            {13, 0},
                            {14, 0},
                            {15, 0},
                            {16, 0},
                            {23, 0},
                            {24, 0},
                            {25, 0}}),
      // Every list at its last entry, longest delay, all menus.
      With(TypicalBlock(), {{1, 3},
                            {2, 7},
                            {3, 30},
                            {4, 7},
                            {5, 14},
                            {6, 1},
                            {7, 0},
                            {8, 7},
                            {9, 11},
                            {10, 8},
                            {11, 8},
                            {12, 8},
                            {13, 8},
                            {14, 1},
                            {15, 1},
                            {16, 1},
                            {23, 7},
                            {24, 0xFF},
                            {25, 0xFF}}),
      // Bypassed eye.
      With(TypicalBlock(), {{5, 0}}),
  };
  for (const Block& block : blocks) {
    const Block rebuilt = RoundTrip(block);
    for (const SettingsElementInfo& info : kSettingsElements) {
      const auto index = static_cast<std::size_t>(info.element - 1);
      switch (info.owner) {
        case ElementOwner::Dialog:
          EXPECT_EQ(rebuilt[index], block[index]) << info.setting;
          break;
        case ElementOwner::Board:
        case ElementOwner::Carried:
          EXPECT_EQ(rebuilt[index], 0xC0 + info.element) << info.setting << " untouched";
          break;
        case ElementOwner::Fixed:
          EXPECT_EQ(rebuilt[index], kFixedElementValue) << info.element;
          break;
      }
    }
  }
}

TEST_F(DialogConversions, BlockIsShownInTheControls) {
  ShowBlock(TypicalBlock());
  EXPECT_EQ(Combo(IDC_FIRING_MODE_COMBO)->currentText(), "Turbo");
  EXPECT_EQ(Combo(IDC_ROF_COMBO)->currentText(), "14 bps");
  EXPECT_EQ(Combo(IDC_AE_BYPASS_ROF_COMBO)->currentText(), "10 bps");
  EXPECT_EQ(Combo(IDC_TIMER_INIT_COMBO)->currentText(), "Button 1 or Fire Only");
  EXPECT_EQ(Combo(IDC_SECTION2B_COMBO)->currentText(), "ROF Achieved");
  const std::pair<int, const char*> texts[] = {{IDC_DWELL_EDIT, "12"},
                                               {IDC_DEBOUNCE_EDIT, "5"},
                                               {IDC_AEDELAY_EDIT, "6"},
                                               {IDC_TIMER_MINUTES_EDIT, "03"},
                                               {IDC_TIMER_SECONDS_EDIT, "35"}};
  for (const auto& [id, text] : texts) EXPECT_EQ(Text(id), text) << id;
  EXPECT_EQ(dlg->m_DwellText, "12");
  EXPECT_EQ(dlg->m_TimerMinutesText, "03");
  for (const int id :
       {IDC_AE_DELAY, IDC_TIMER_COUNTS_DOWN, IDC_ET_FIRE, IDC_OM_STANDARD, IDC_KOVAL_B}) {
    EXPECT_TRUE(Checked(id)) << id;
  }
  for (const int id :
       {IDC_AE_BYPASS_EYE, IDC_TIMER_COUNTS_UP, IDC_ET_DROP, IDC_OM_TEST, IDC_KOVAL_A}) {
    EXPECT_FALSE(Checked(id)) << id;
  }
  EXPECT_EQ(dlg->m_LCDMenuMask, 0x8012);
}

TEST_F(DialogConversions, AfterEyeDelayZeroBypassesOneIsNoDelay) {
  const struct {
    uint8_t element;
    int checked, cleared;
    bool enabled;
  } cases[] = {{1, IDC_AE_DELAY, IDC_AE_BYPASS_EYE, true},
               {0, IDC_AE_BYPASS_EYE, IDC_AE_DELAY, false},
               {1, IDC_AE_DELAY, IDC_AE_BYPASS_EYE, true}};
  for (const auto& c : cases) {
    LoadBlock(With(TypicalBlock(), {{kElemAfterEyeDelay, c.element}}));
    dlg->PopulateDialog();
    EXPECT_EQ(Text(IDC_AEDELAY_EDIT), "0");
    EXPECT_EQ(dlg->m_AEDelayText, "0");
    EXPECT_TRUE(Checked(c.checked));
    EXPECT_FALSE(Checked(c.cleared));
    for (const int id : {IDC_AEDELAY_EDIT, IDC_AEDELAY_SPIN, IDC_AEDELAY_UNIT}) {
      EXPECT_EQ(dlg->GetDlgItem(id)->isEnabled(), c.enabled) << id;
    }
    if (c.element == 0) {
      EXPECT_EQ(dlg->m_AEDelayMode, 0);
    }
    SettingsArray[kElemAfterEyeDelay] = 0x77;
    dlg->PopulateSettingArrayFromDialog();
    EXPECT_EQ(SettingsArray[kElemAfterEyeDelay], c.element);
  }
}

// Showing a block moves only the check marks; the choice members follow when the caller reads
// the controls back. A bypassed eye is the exception: its member is set at once.
TEST_F(DialogConversions, ShowingABlockLeavesTheChoiceMembersUntilTheControlsAreRead) {
  const struct {
    uint8_t afterEye;
    int checked;
    int afterEyeMode;
  } steps[] = {{1, IDC_AE_DELAY, -1}, {0, IDC_AE_BYPASS_EYE, 0}, {1, IDC_AE_DELAY, 0}};
  const struct {
    const int* member;
    int checked;
    int readBack;
  } others[] = {{&dlg->m_OperationMode, IDC_OM_STANDARD, 0},
                {&dlg->m_KOVALMode, IDC_KOVAL_B, 1},
                {&dlg->m_EyeTimingMode, IDC_ET_FIRE, 1},
                {&dlg->m_TimerMode, IDC_TIMER_COUNTS_DOWN, 0}};
  for (const auto& step : steps) {
    LoadBlock(With(TypicalBlock(), {{kElemAfterEyeDelay, step.afterEye}}));
    dlg->PopulateDialog();
    EXPECT_TRUE(Checked(step.checked)) << int{step.afterEye};
    EXPECT_EQ(dlg->m_AEDelayMode, step.afterEyeMode) << int{step.afterEye};
    for (const auto& other : others) {
      EXPECT_TRUE(Checked(other.checked)) << other.checked;
      EXPECT_EQ(*other.member, -1) << other.checked;
    }
  }

  dlg->UpdateData(true);
  EXPECT_EQ(dlg->m_AEDelayMode, 1);
  for (const auto& other : others) EXPECT_EQ(*other.member, other.readBack) << other.checked;
}

TEST_F(DialogConversions, AfterEyeElementKeepsItsValueWithNeitherButtonChecked) {
  ShowBlock(TypicalBlock());
  dlg->m_AEDelayMode = 5;
  dlg->UpdateData(false);  // a choice outside the group clears it
  ASSERT_FALSE(Checked(IDC_AE_BYPASS_EYE) || Checked(IDC_AE_DELAY));
  SettingsArray[kElemAfterEyeDelay] = 0x33;
  dlg->PopulateSettingArrayFromDialog();
  EXPECT_EQ(SettingsArray[kElemAfterEyeDelay], 0x33);
}

// A second board's out-of-list value must not keep the first board's choice, which the check
// would pass and the upload would write.
TEST_F(DialogConversions, TimerStartOutsideTheListShowsNoSelectionAndIsRefusedByTheCheck) {
  ShowBlock(TypicalBlock());
  ASSERT_EQ(Combo(IDC_TIMER_INIT_COMBO)->currentIndex(), 1);
  ShowBlock(With(TypicalBlock(), {{kElemTimerStart, 5}}));
  EXPECT_EQ(Combo(IDC_TIMER_INIT_COMBO)->currentIndex(), -1);
  int offending = 0;
  EXPECT_FALSE(dlg->PerformValidationCheck(offending));
  EXPECT_EQ(offending, IDC_TIMER_INIT_COMBO);

  // Without a selection the element keeps what it had.
  Combo(IDC_TIMER_INIT_COMBO)->setCurrentIndex(-1);
  SettingsArray[kElemTimerStart] = 5;
  dlg->PopulateSettingArrayFromDialog();
  EXPECT_EQ(SettingsArray[kElemTimerStart], 5);
}

TEST_F(DialogConversions, TimerValuesOutsideTheirListsAndOddTexts) {
  ShowBlock(With(TypicalBlock(), {{kElemTimerMinutes, 9}, {kElemTimerSeconds, 11}}));
  EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "07");
  EXPECT_EQ(Text(IDC_TIMER_SECONDS_EDIT), "55");
  dlg->PopulateSettingArrayFromDialog();
  EXPECT_EQ(SettingsArray[kElemTimerMinutes], 4);
  EXPECT_EQ(SettingsArray[kElemTimerSeconds], 11);

  const struct {
    const char* minutes;
    const char* seconds;
    uint8_t minutesElement, secondsElement;
  } texts[] = {{"05", "07", 3, 1}, {"  ", "  ", 3, 0}, {"15", "59", 7, 11}, {"4", "00", 3, 0}};
  for (const auto& t : texts) {
    dlg->SetDlgItemText(IDC_TIMER_MINUTES_EDIT, QString::fromLatin1(t.minutes));
    dlg->SetDlgItemText(IDC_TIMER_SECONDS_EDIT, QString::fromLatin1(t.seconds));
    dlg->PopulateSettingArrayFromDialog();
    EXPECT_EQ(SettingsArray[kElemTimerMinutes], t.minutesElement) << t.minutes;
    EXPECT_EQ(SettingsArray[kElemTimerSeconds], t.secondsElement) << t.seconds;
    EXPECT_EQ(dlg->m_TimerMinutesText, t.minutes);
    EXPECT_EQ(dlg->m_TimerSecondsText, t.seconds);
  }
}

TEST_F(DialogConversions, ListValuesBeyondTheListsShowNoSelectionAndUploadAsFF) {
  ShowBlock(With(TypicalBlock(), {{kElemFiringMode, 4},
                                  {kElemRateOfFire, 8},
                                  {kElemSection1, 9},
                                  {kElemSection2B, 200},
                                  {kElemAEBypassROF, 8}}));
  for (const int id : {IDC_FIRING_MODE_COMBO, IDC_ROF_COMBO, IDC_SECTION1_COMBO,
                       IDC_SECTION2B_COMBO, IDC_AE_BYPASS_ROF_COMBO}) {
    EXPECT_EQ(Combo(id)->currentIndex(), -1) << id;
  }
  EXPECT_EQ(Combo(IDC_SECTION1B_COMBO)->currentIndex(), 1);
  dlg->PopulateSettingArrayFromDialog();
  for (const int element :
       {kElemFiringMode, kElemRateOfFire, kElemSection1, kElemSection2B, kElemAEBypassROF}) {
    EXPECT_EQ(SettingsArray[element], 0xFF) << element;
  }
}

TEST_F(DialogConversions, NonZeroModeBytesShowTheSecondChoiceAndUploadAsOne) {
  ShowBlock(With(TypicalBlock(), {{kElemTimerMode, 9},
                                  {kElemEyeTimingMode, 2},
                                  {kElemOperationMode, 0x80},
                                  {kElemKOVALMode, 0xFF}}));
  for (const int id : {IDC_TIMER_COUNTS_DOWN, IDC_ET_FIRE, IDC_OM_TEST, IDC_KOVAL_B}) {
    EXPECT_TRUE(Checked(id)) << id;
  }
  dlg->PopulateSettingArrayFromDialog();
  for (const int element :
       {kElemTimerMode, kElemEyeTimingMode, kElemOperationMode, kElemKOVALMode}) {
    EXPECT_EQ(SettingsArray[element], 1) << element;
  }
}

}  // namespace
