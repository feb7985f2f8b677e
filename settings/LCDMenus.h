// The sixteen LCD menus as the "LCD Menus:" tree offers them: each item's text and the bit it
// stands for in the LCD menu mask (bit k set = menu shown on the board).
#pragma once

#include <array>
#include <string_view>

#include "settings/SettingsBlock.h"

struct LCDMenuItem {
  std::string_view text;
  int bit;
};

// In the tree's order.
extern const std::array<LCDMenuItem, kLCDMenuCount> kLCDMenuTreeItems;

bool IsLCDMenuShown(int mask, int bit);
// `mask` with the item of `bit` added when it is shown, as the mask is rebuilt item by item.
int AddLCDMenu(int mask, int bit, bool shown);
