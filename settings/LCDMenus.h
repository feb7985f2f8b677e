// The LCD menu mask as the "LCD Menus:" tree builds and shows it: bit k set = menu k of
// kLCDMenuItems (settings/SettingsBlock.h) shown on the board.
#pragma once

#include "settings/SettingsBlock.h"

bool IsLCDMenuShown(int mask, int bit);
// `mask` with the item of `bit` added when it is shown, as the mask is rebuilt item by item.
int AddLCDMenu(int mask, int bit, bool shown);
