#include <QTest>
#include <QToolButton>

#include "tests/ui/MainDialogFixture.h"

namespace {

class DialogControls : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
  }
  // Clicks an arrow of spin `id` and returns what its buddy then shows.
  QString Click(int id, int direction) {
    CSpinButtonCtrl* spin = Spin(id);
    QTest::mouseClick(direction > 0 ? spin->UpButton() : spin->DownButton(), Qt::LeftButton);
    return spin->GetBuddy()->text();
  }
  std::vector<QString> Clicks(int id, int direction, int count) {
    std::vector<QString> shown;
    for (int i = 0; i < count; ++i) shown.push_back(Click(id, direction));
    return shown;
  }
};

TEST_F(DialogControls, SpinButtonsGetTheirRangesAndAccelerations) {
  const struct {
    int spin, buddy, lower, upper;
    std::vector<int> stepsWhenHeld;  // after 0 s, 2.5 s and 6 s
  } cases[] = {
      {IDC_DEBOUNCE_SPIN, IDC_DEBOUNCE_EDIT, 0, 7, {1, 5, 20}},
      {IDC_DWELL_SPIN, IDC_DWELL_EDIT, 2, 30, {1, 1, 1}},
      {IDC_AEDELAY_SPIN, IDC_AEDELAY_EDIT, 0, 13, {1, 5, 20}},
      {IDC_TIMER_MINUTES_SPIN, IDC_TIMER_MINUTES_EDIT, 1, 15, {1, 1, 1}},
      {IDC_TIMER_SECONDS_SPIN, IDC_TIMER_SECONDS_EDIT, 0, 59, {5, 5, 5}},
  };
  for (const auto& c : cases) {
    CSpinButtonCtrl* spin = Spin(c.spin);
    EXPECT_EQ(spin->GetBuddy(), dlg->GetDlgItem(c.buddy)) << c.spin;
    EXPECT_EQ(spin->GetLower(), c.lower) << c.spin;
    EXPECT_EQ(spin->GetUpper(), c.upper) << c.spin;
    std::vector<int> steps;
    for (const qint64 heldMs : {0, 2500, 6000}) {
      steps.push_back(AccelIncrement(spin->GetAccel(), heldMs));
    }
    EXPECT_EQ(steps, c.stepsWhenHeld) << c.spin;
  }
}

TEST_F(DialogControls, MinutesSpinShowsOnlyMinuteValuesBothWays) {
  dlg->SetDlgItemText(IDC_TIMER_MINUTES_EDIT, QStringLiteral("01"));
  EXPECT_EQ(Clicks(IDC_TIMER_MINUTES_SPIN, +1, 9),
            (std::vector<QString>{"02", "03", "03", "05", "07", "10", "12", "15", "01"}));
  EXPECT_EQ(Click(IDC_TIMER_MINUTES_SPIN, -1), "15");
  EXPECT_EQ(Clicks(IDC_TIMER_MINUTES_SPIN, -1, 8),
            (std::vector<QString>{"12", "10", "07", "05", "03", "02", "01", "15"}));
}

TEST_F(DialogControls, SecondsSpinStepsByFiveWithTwoDigitsAndWraps) {
  const struct {
    const char* from;
    int direction;
    const char* shown;
  } cases[] = {{"00", -1, "55"}, {"55", +1, "00"}, {"00", +1, "05"},
               {"05", -1, "00"}, {"50", +1, "55"}, {"07", +1, "12"},
               {"02", -1, "55"}, {"54", +1, "55"}};  // position 59 shows as 55
  for (const auto& c : cases) {
    dlg->SetDlgItemText(IDC_TIMER_SECONDS_EDIT, QString::fromLatin1(c.from));
    EXPECT_EQ(Click(IDC_TIMER_SECONDS_SPIN, c.direction), c.shown) << c.from;
  }
}

TEST_F(DialogControls, PlainSpinsWriteDecimalAndWrap) {
  const struct {
    int spin, buddy;
    const char* from;
    int direction;
    const char* shown;
  } cases[] = {
      {IDC_DWELL_SPIN, IDC_DWELL_EDIT, "10", +1, "11"},
      {IDC_DWELL_SPIN, IDC_DWELL_EDIT, "30", +1, "2"},
      {IDC_DWELL_SPIN, IDC_DWELL_EDIT, "2", -1, "30"},
      {IDC_DEBOUNCE_SPIN, IDC_DEBOUNCE_EDIT, "7", +1, "0"},
      {IDC_DEBOUNCE_SPIN, IDC_DEBOUNCE_EDIT, "0", -1, "7"},
  };
  for (const auto& c : cases) {
    dlg->SetDlgItemText(c.buddy, QString::fromLatin1(c.from));
    EXPECT_EQ(Click(c.spin, c.direction), c.shown) << c.spin << " from " << c.from;
  }
  Button(IDC_AE_DELAY)->click();
  dlg->SetDlgItemText(IDC_AEDELAY_EDIT, QStringLiteral("13"));
  EXPECT_EQ(Click(IDC_AEDELAY_SPIN, +1), "0");
}

TEST_F(DialogControls, ArrowKeysInTheEditBoxStepItsSpin) {
  dlg->SetDlgItemText(IDC_TIMER_SECONDS_EDIT, QStringLiteral("00"));
  QTest::keyClick(Edit(IDC_TIMER_SECONDS_EDIT), Qt::Key_Down);
  EXPECT_EQ(Text(IDC_TIMER_SECONDS_EDIT), "55");
  dlg->SetDlgItemText(IDC_DWELL_EDIT, QStringLiteral("8"));
  QTest::keyClick(Edit(IDC_DWELL_EDIT), Qt::Key_Up);
  EXPECT_EQ(Text(IDC_DWELL_EDIT), "9");
  QTest::keyClick(Edit(IDC_DWELL_EDIT), Qt::Key_5);
  EXPECT_EQ(Text(IDC_DWELL_EDIT), "9") << "the edit boxes are read-only";
}

TEST_F(DialogControls, OnVScrollHandlesOnlyThumbPositionOfTheTimerSpins) {
  dlg->SetDlgItemText(IDC_TIMER_SECONDS_EDIT, QStringLiteral("5"));
  dlg->SetDlgItemText(IDC_TIMER_MINUTES_EDIT, QStringLiteral("4"));
  dlg->OnVScroll(SB_ENDSCROLL, 59, Spin(IDC_TIMER_SECONDS_SPIN));
  dlg->OnVScroll(SB_ENDSCROLL, 4, Spin(IDC_TIMER_MINUTES_SPIN));
  dlg->OnVScroll(SB_THUMBPOSITION, 4, Spin(IDC_DWELL_SPIN));
  EXPECT_EQ(Text(IDC_TIMER_SECONDS_EDIT), "5");
  EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "4");
  EXPECT_EQ(dlg->m_LastMinuteJump, 0);
  dlg->OnVScroll(SB_THUMBPOSITION, 5, Spin(IDC_TIMER_SECONDS_SPIN));
  dlg->OnVScroll(SB_THUMBPOSITION, 4, Spin(IDC_TIMER_MINUTES_SPIN));
  EXPECT_EQ(Text(IDC_TIMER_SECONDS_EDIT), "05");
  EXPECT_EQ(Text(IDC_TIMER_MINUTES_EDIT), "03");
  EXPECT_EQ(dlg->m_LastMinuteJump, 3);
}

TEST_F(DialogControls, RadioHandlersSetTheirChoice) {
  const struct {
    int button;
    int COrvantaAppDlg::*member;
    int value;
  } cases[] = {
      {IDC_OM_STANDARD, &COrvantaAppDlg::m_OperationMode, 0},
      {IDC_OM_TEST, &COrvantaAppDlg::m_OperationMode, 1},
      {IDC_KOVAL_A, &COrvantaAppDlg::m_KOVALMode, 0},
      {IDC_KOVAL_B, &COrvantaAppDlg::m_KOVALMode, 1},
      {IDC_ET_DROP, &COrvantaAppDlg::m_EyeTimingMode, 0},
      {IDC_ET_FIRE, &COrvantaAppDlg::m_EyeTimingMode, 1},
      {IDC_TIMER_COUNTS_UP, &COrvantaAppDlg::m_TimerMode, 1},
      {IDC_TIMER_COUNTS_DOWN, &COrvantaAppDlg::m_TimerMode, 0},
      {IDC_AE_BYPASS_EYE, &COrvantaAppDlg::m_AEDelayMode, 0},
      {IDC_AE_DELAY, &COrvantaAppDlg::m_AEDelayMode, 2},
  };
  for (const auto& c : cases) {
    QTest::mouseClick(Button(c.button), Qt::LeftButton);
    EXPECT_TRUE(Checked(c.button));
    EXPECT_EQ((*dlg).*c.member, c.value) << c.button;
  }
  dlg->UpdateData(true);
  EXPECT_EQ(dlg->m_AEDelayMode, 1) << "\"Delay\" reads back as its button number";
}

TEST_F(DialogControls, AfterEyeButtonsSwitchTheDelayControls) {
  const int delayControls[] = {IDC_AEDELAY_EDIT, IDC_AEDELAY_SPIN, IDC_AEDELAY_UNIT};
  for (const int id : delayControls) EXPECT_FALSE(dlg->GetDlgItem(id)->isEnabled()) << id;
  QTest::mouseClick(Button(IDC_AE_DELAY), Qt::LeftButton);
  for (const int id : delayControls) EXPECT_TRUE(dlg->GetDlgItem(id)->isEnabled()) << id;
  QTest::mouseClick(Button(IDC_AE_BYPASS_EYE), Qt::LeftButton);
  for (const int id : delayControls) EXPECT_FALSE(dlg->GetDlgItem(id)->isEnabled()) << id;
  EXPECT_FALSE(Checked(IDC_AE_DELAY));
}

}  // namespace
