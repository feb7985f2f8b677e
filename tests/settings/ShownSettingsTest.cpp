// What the window shows after a download, at the edges of its lists.
#include "settings/ShownSettings.h"

#include <gtest/gtest.h>

namespace {

// A list shows the item a block element names, and nothing for the first element past its end.
TEST(ShownSettings, AListElementPastTheListSelectsNothing) {
  const struct {
    SettingsElement element;
    std::size_t items;
    int DialogSettings::*shown;
  } lists[] = {
      {kElemFiringMode, kFiringModeItems.size(), &DialogSettings::firingModeSel},
      {kElemRateOfFire, kRateOfFireItems.size(), &DialogSettings::rofSel},
      {kElemAEBypassROF, kAEBypassROFItems.size(), &DialogSettings::aeBypassROFSel},
  };
  for (const auto& list : lists) {
    uint8_t block[kSettingsArraySize] = {};
    block[list.element] = static_cast<uint8_t>(list.items - 1);
    EXPECT_EQ(ShownAfterDownload(block).*list.shown, static_cast<int>(list.items) - 1);
    block[list.element] = static_cast<uint8_t>(list.items);
    EXPECT_EQ(ShownAfterDownload(block).*list.shown, -1) << "element " << list.element;
  }
}

}  // namespace
