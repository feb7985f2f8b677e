// What the window shows after a download, at the edge of a list.
#include "settings/ShownSettings.h"

#include <gtest/gtest.h>

namespace {

// A list shows the item a block element names, and nothing for the first element past its end.
TEST(ShownSettings, AListElementPastTheListSelectsNothing) {
  uint8_t block[kSettingsArraySize] = {};
  const int last = static_cast<int>(kRateOfFireItems.size()) - 1;
  block[kElemRateOfFire] = static_cast<uint8_t>(last);
  EXPECT_EQ(ShownAfterDownload(block).rofSel, last);
  block[kElemRateOfFire] = static_cast<uint8_t>(last + 1);
  EXPECT_EQ(ShownAfterDownload(block).rofSel, -1);
}

}  // namespace
