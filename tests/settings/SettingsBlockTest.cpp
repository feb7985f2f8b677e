#include "settings/SettingsBlock.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SettingsBlock, ElementTableNamesWhoWritesEachElement) {
  for (std::size_t i = 0; i < kSettingsElements.size(); ++i) {
    const SettingsElementInfo& info = kSettingsElements[i];
    ASSERT_EQ(info.element, static_cast<int>(i) + 1);
    ElementOwner expected = ElementOwner::Dialog;
    if ((info.element >= 17 && info.element <= 19) || (info.element >= 26 && info.element <= 28)) {
      expected = ElementOwner::Carried;
    } else if (info.element >= 20 && info.element <= 22) {
      expected = ElementOwner::Board;
    } else if (info.element >= 29) {
      expected = ElementOwner::Fixed;
    }
    EXPECT_EQ(info.owner, expected) << "element " << info.element;
    EXPECT_EQ(info.controlId != 0,
              expected == ElementOwner::Dialog || expected == ElementOwner::Board)
        << "element " << info.element;
  }
}

TEST(SettingsBlock, ReadDecimalFollowsTheDialogsNumberRule) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"", 0},
               {"  ", 0},
               {"07", 7},
               {" 12", 12},
               {"\t9", 9},
               {"+5", 5},
               {"-3", -3},
               {"12ab", 12},
               {"ab", 0},
               {"- 5", 0},
               {"1 2", 1},
               {"255", 255},
               {"99999999999", INT_MAX},
               {"-99999999999", INT_MIN}};
  for (const auto& c : cases) EXPECT_EQ(ReadDecimal(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(LowByte(300), 44);
  EXPECT_EQ(LowByte(-1), 0xFF);
}

TEST(SettingsBlock, TimerMinutesIndexAndTextBothWays) {
  const char* const texts[] = {"01", "02", "03", "05", "07", "10", "12", "15"};
  for (uint8_t index = 0; index < 8; ++index) {
    EXPECT_EQ(TimerMinutesText(index), texts[index]);
    EXPECT_EQ(TimerMinutesElement(ReadDecimal(texts[index])), index);
  }
  for (const uint8_t beyond : {8, 9, 100, 255}) EXPECT_EQ(TimerMinutesText(beyond), "07");
  for (const int other : {0, 4, 6, 8, 9, 11, 13, 14, 16, -1}) {
    EXPECT_EQ(TimerMinutesElement(other), 3) << other;
  }
}

TEST(SettingsBlock, TimerSecondsAreStoredInFives) {
  const struct {
    uint8_t element;
    const char* text;
  } shown[] = {{0, "00"}, {1, "05"}, {2, "10"}, {11, "55"}, {12, "60"}, {255, "1275"}};
  for (const auto& c : shown) EXPECT_EQ(TimerSecondsText(c.element), c.text);
  const struct {
    int seconds;
    uint8_t element;
  } stored[] = {{0, 0}, {5, 1}, {7, 1}, {55, 11}, {59, 11}, {1275, 255}, {-7, 0xFF}};
  for (const auto& c : stored) EXPECT_EQ(TimerSecondsElement(c.seconds), c.element) << c.seconds;
}

TEST(SettingsBlock, AfterEyeDelayIsMillisecondsPlusOneAndZeroBypasses) {
  EXPECT_EQ(AfterEyeDelayText(0), "0");
  EXPECT_EQ(AfterEyeDelayText(1), "0");
  EXPECT_EQ(AfterEyeDelayText(14), "13");
  EXPECT_EQ(AfterEyeDelayElement(0), 1);
  EXPECT_EQ(AfterEyeDelayElement(13), 14);
  EXPECT_EQ(AfterEyeDelayElement(255), 0);
  EXPECT_EQ(AfterEyeDelayElement(INT_MAX), 0);
}

TEST(SettingsBlock, TimerStartTriggerRunsAgainstTheListOrder) {
  const std::pair<uint8_t, int> pairs[] = {{2, 0}, {1, 1}, {0, 2}};
  for (const auto& [element, index] : pairs) {
    EXPECT_EQ(TimerInitIndex(element), index);
    EXPECT_EQ(TimerInitElement(index), element);
  }
  for (const uint8_t outside : {3, 5, 255}) EXPECT_FALSE(TimerInitIndex(outside).has_value());
  for (const int none : {-1, 3}) EXPECT_FALSE(TimerInitElement(none).has_value());
}

TEST(SettingsBlock, LCDMenuMaskPacking) {
  const struct {
    uint8_t board, low, high;
    int mask;
  } cases[] = {{kBoardOrvanta, 0x01, 0x80, 0x8001}, {kBoardOrvanta, 0, 0, 0},
               {kBoardOrvanta, 0xFF, 0xFF, 0xFFFF}, {7, 0x34, 0x12, 0x1234},
               {kBoardKalix, 0xFF, 0xFF, 0},        {kBoardKalix, 0x01, 0x80, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(LCDMenuMaskFromBlock(c.board, c.low, c.high), c.mask);
    if (c.board != kBoardKalix) {
      EXPECT_EQ(LCDMenuMaskLow(c.mask), c.low);
      EXPECT_EQ(LCDMenuMaskHigh(c.mask), c.high);
    }
  }
}

TEST(SettingsBlock, MinuteSubstitutionFollowsTheDirectionOfTravel) {
  const struct {
    int position, lastJump, shown, lastJumpAfter;
  } cases[] = {
      {4, 3, 5, 5},
      {4, 0, 3, 3},
      {4, 5, 3, 3},
      {6, 5, 7, 7},
      {6, 7, 5, 5},
      {6, 0, 5, 5},
      {8, 10, 7, 7},
      {8, 7, 10, 10},
      {9, 10, 7, 7},
      {9, 0, 10, 10},
      {11, 12, 10, 10},
      {11, 10, 12, 12},
      {11, 0, 12, 12},
      {13, 12, 15, 15},
      {13, 15, 12, 12},
      {13, 0, 12, 12},
      {14, 15, 12, 12},
      {14, 0, 12, 12},
      // Minute values themselves pass unchanged and leave the memory alone.
      {1, 3, 1, 3},
      {5, 3, 5, 3},
      {15, 12, 15, 12},
  };
  for (const auto& c : cases) {
    int lastJump = c.lastJump;
    EXPECT_EQ(SubstituteTimerMinute(c.position, lastJump), c.shown)
        << c.position << " after " << c.lastJump;
    EXPECT_EQ(lastJump, c.lastJumpAfter);
  }
}

}  // namespace
