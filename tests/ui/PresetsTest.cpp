#include <QTest>
#include <QToolButton>
#include <functional>

#include "settings/SettingsBlock.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

struct Preset {
  const char* name;
  int button;
  int rateOfFire;
  const char* debounce;
  const char* dwell;
  const char* afterEyeDelay;
  uint8_t afterEyeElement;
};

const Preset kPresets[] = {
    {"Conservative", IDC_PRESET_CONSERVATIVE, 4, "4", "10", "6", 7},
    {"Normal", IDC_PRESET_NORMAL, 2, "4", "10", "5", 6},
    {"Fast", IDC_PRESET_FAST, 1, "3", "8", "3", 4},
    {"Extreme", IDC_PRESET_EXTREME, 0, "3", "6", "2", 3},
};

class Presets : public MainDialogTest {
 protected:
  void ExpectPresetShown(const Preset& preset) const {
    SCOPED_TRACE(preset.name);
    EXPECT_EQ(Combo(IDC_FIRING_MODE_COMBO)->currentIndex(), 0);
    EXPECT_EQ(Combo(IDC_ROF_COMBO)->currentIndex(), preset.rateOfFire);
    EXPECT_EQ(Combo(IDC_AE_BYPASS_ROF_COMBO)->currentIndex(), 5);
    EXPECT_EQ(Text(IDC_DEBOUNCE_EDIT), preset.debounce);
    EXPECT_EQ(Text(IDC_DWELL_EDIT), preset.dwell);
    EXPECT_EQ(Text(IDC_AEDELAY_EDIT), preset.afterEyeDelay);
    EXPECT_EQ(dlg->m_DebounceText, preset.debounce);
    EXPECT_EQ(dlg->m_DwellText, preset.dwell);
    EXPECT_EQ(dlg->m_AEDelayText, preset.afterEyeDelay);
    EXPECT_TRUE(Checked(IDC_OM_STANDARD));
    EXPECT_TRUE(Checked(IDC_ET_DROP));
    EXPECT_TRUE(Checked(IDC_AE_DELAY));
    EXPECT_FALSE(Checked(IDC_AE_BYPASS_EYE));
    EXPECT_EQ(dlg->m_OperationMode, 0);
    EXPECT_EQ(dlg->m_AEDelayMode, 2);
    EXPECT_EQ(dlg->m_EyeTimingMode, 0);
    for (const int id : {IDC_AEDELAY_EDIT, IDC_AEDELAY_SPIN, IDC_AEDELAY_UNIT}) {
      EXPECT_TRUE(dlg->GetDlgItem(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(Checked(preset.button)) << "the preset button stays checked";
  }
};

TEST_F(Presets, EachPresetSetsTheFiringSettingsAndLeavesTheRest) {
  for (const Preset& preset : kPresets) {
    Block block = TypicalBlock();
    block[kElemAfterEyeDelay - 1] = kAfterEyeBypass;  // the preset must switch to "Delay"
    block[kElemEyeTimingMode - 1] = 1;
    block[kElemOperationMode - 1] = 1;
    ShowBlock(block);
    Button(preset.button)->click();
    ExpectPresetShown(preset);

    dlg->PopulateSettingArrayFromDialog();
    Block expected = block;
    expected[kElemFiringMode - 1] = 0;
    expected[kElemRateOfFire - 1] = static_cast<uint8_t>(preset.rateOfFire);
    expected[kElemSolenoidDwell - 1] = static_cast<uint8_t>(ReadDecimal(preset.dwell));
    expected[kElemTriggerDebounce - 1] = static_cast<uint8_t>(ReadDecimal(preset.debounce));
    expected[kElemAfterEyeDelay - 1] = preset.afterEyeElement;
    expected[kElemEyeTimingMode - 1] = 0;
    expected[kElemOperationMode - 1] = 0;
    expected[kElemAEBypassROF - 1] = 5;
    expected[kElemFixedA - 1] = expected[kElemFixedB - 1] = kFixedElementValue;
    for (int element = 1; element <= 30; ++element) {
      EXPECT_EQ(SettingsArray[element], expected[static_cast<std::size_t>(element - 1)])
          << preset.name << " element " << element;
    }
  }
}

TEST_F(Presets, ExtremeThenConservativeLeavesTimerAndLCDSettings) {
  ShowBlock(TypicalBlock());
  const QString minutes = Text(IDC_TIMER_MINUTES_EDIT), seconds = Text(IDC_TIMER_SECONDS_EDIT);
  Button(IDC_PRESET_EXTREME)->click();
  Button(IDC_PRESET_CONSERVATIVE)->click();
  ExpectPresetShown(kPresets[0]);
  EXPECT_FALSE(Checked(IDC_PRESET_EXTREME));
  EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), minutes);
  EXPECT_EQ(Text(IDC_TIMER_SECONDS_EDIT), seconds);
  EXPECT_EQ(Combo(IDC_TIMER_INIT_COMBO)->currentIndex(), 1);
  EXPECT_TRUE(Checked(IDC_TIMER_COUNTS_DOWN));
  EXPECT_TRUE(Checked(IDC_KOVAL_B));
  for (const int id :
       {IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO, IDC_SECTION2B_COMBO}) {
    EXPECT_EQ(Combo(id)->currentIndex(), id - IDC_SECTION1_COMBO);
  }
  dlg->DetermineSelectLCDMenus();
  EXPECT_EQ(dlg->m_LCDMenuMask, 0x8012);
}

TEST_F(Presets, OnAnEmptyDialogTheCheckAsksForKOVALThenTimerInit) {
  Button(IDC_PRESET_NORMAL)->click();
  ExpectPresetShown(kPresets[1]);
  EXPECT_FALSE(Checked(IDC_KOVAL_A) || Checked(IDC_KOVAL_B));
  EXPECT_FALSE(Checked(IDC_TIMER_COUNTS_DOWN) || Checked(IDC_TIMER_COUNTS_UP));
  EXPECT_TRUE(Text(IDC_TIMER_MINUTES_EDIT).isEmpty());
  EXPECT_TRUE(Text(IDC_TIMER_SECONDS_EDIT).isEmpty());
  EXPECT_EQ(Combo(IDC_TIMER_INIT_COMBO)->currentIndex(), -1);
  EXPECT_EQ(Combo(IDC_SECTION1_COMBO)->currentIndex(), -1);

  int offending = 0;
  EXPECT_FALSE(dlg->PerformValidationCheck(offending));
  EXPECT_EQ(offending, IDC_KOVAL_A);
  Button(IDC_KOVAL_A)->click();
  Button(IDC_TIMER_COUNTS_DOWN)->click();
  EXPECT_FALSE(dlg->PerformValidationCheck(offending));
  EXPECT_EQ(offending, IDC_TIMER_INIT_COMBO);
}

// Choices the user made on screen after the members were last read must survive the preset's
// write-back of the members.
TEST_F(Presets, KeepWhatTheScreenShowsBeyondTheMembers) {
  const struct {
    const char* name;
    std::function<void()> onScreen;
    std::function<void()> expectKept;
  } cases[] = {
      {"minutes stepped with the spin button",
       [this] {
         Block block = TypicalBlock();
         block[kElemTimerMinutes - 1] = 0;
         ShowBlock(block);
         ASSERT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "01");
         QTest::mouseClick(Spin(IDC_TIMER_MINUTES_SPIN)->UpButton(), Qt::LeftButton);
         ASSERT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "02");
       },
       [this] {
         EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "02");
         EXPECT_EQ(dlg->m_TimerMinutesText, "02");
       }},
      {"blank settings with Mode B and Counts Down still checked",
       [this] {
         ShowBlock(TypicalBlock());
         dlg->LoadUpBlankSettings();
         ASSERT_TRUE(Checked(IDC_KOVAL_B));
         ASSERT_TRUE(Checked(IDC_TIMER_COUNTS_DOWN));
       },
       [this] {
         EXPECT_EQ(dlg->m_KOVALMode, 1);
         EXPECT_EQ(dlg->m_TimerMode, 0);
         EXPECT_TRUE(Checked(IDC_KOVAL_B));
         EXPECT_TRUE(Checked(IDC_TIMER_COUNTS_DOWN));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dlg = std::make_unique<COrvantaAppDlg>();
    dlg->OnInitDialog();
    c.onScreen();
    Button(IDC_PRESET_NORMAL)->click();
    c.expectKept();
  }
}

class BlankSettings : public MainDialogTest {};

TEST_F(BlankSettings, ClearEveryChoiceButLeaveCheckMarksTreeAndBlock) {
  ShowBlock(TypicalBlock());
  const Block before = TypicalBlock();
  dlg->LoadUpBlankSettings();

  for (const int* member : {&dlg->m_OperationMode, &dlg->m_AEDelayMode, &dlg->m_KOVALMode,
                            &dlg->m_EyeTimingMode, &dlg->m_TimerMode}) {
    EXPECT_EQ(*member, -1);
  }
  for (const int id :
       {IDC_FIRING_MODE_COMBO, IDC_ROF_COMBO, IDC_AE_BYPASS_ROF_COMBO, IDC_TIMER_INIT_COMBO,
        IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO, IDC_SECTION2B_COMBO}) {
    EXPECT_EQ(Combo(id)->currentIndex(), -1) << id;
  }
  for (const int id : {IDC_DEBOUNCE_EDIT, IDC_DWELL_EDIT, IDC_AEDELAY_EDIT}) {
    EXPECT_TRUE(Text(id).isEmpty()) << id;
  }
  EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "  ");
  EXPECT_EQ(Text(IDC_TIMER_SECONDS_EDIT), "  ");
  EXPECT_TRUE(Checked(IDC_OM_STANDARD)) << "check marks stay";
  EXPECT_TRUE(Checked(IDC_AE_DELAY));
  EXPECT_TRUE(dlg->GetDlgItem(IDC_AEDELAY_EDIT)->isEnabled());
  dlg->DetermineSelectLCDMenus();
  EXPECT_EQ(dlg->m_LCDMenuMask, 0x8012);
  for (int element = 1; element <= 30; ++element) {
    EXPECT_EQ(SettingsArray[element], before[static_cast<std::size_t>(element - 1)]);
  }

  int offending = 0;
  EXPECT_FALSE(dlg->PerformValidationCheck(offending));
  EXPECT_EQ(offending, IDC_OM_STANDARD) << "whatever the radio buttons show";
}

TEST_F(BlankSettings, BlankTimerTextsPassTheCheckAndUploadAsFiveMinutes) {
  ShowBlock(TypicalBlock());
  dlg->LoadUpBlankSettings();
  // The user makes every other choice again.
  Button(IDC_PRESET_FAST)->click();
  for (const int id : {IDC_KOVAL_A, IDC_TIMER_COUNTS_UP}) Button(id)->click();
  for (const int id : {IDC_TIMER_INIT_COMBO, IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO,
                       IDC_SECTION2_COMBO, IDC_SECTION2B_COMBO}) {
    Combo(id)->setCurrentIndex(0);
  }
  int offending = 0;
  EXPECT_TRUE(dlg->PerformValidationCheck(offending)) << offending;
  dlg->PopulateSettingArrayFromDialog();
  EXPECT_EQ(SettingsArray[kElemTimerMinutes], 3);
  EXPECT_EQ(SettingsArray[kElemTimerSeconds], 0);
}

}  // namespace
