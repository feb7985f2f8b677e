#include "settings/LCDMenus.h"

namespace {

// Only the sixteen menus have a bit; anything else in a tree counts for nothing.
bool IsMenuBit(int bit) {
  return bit >= 0 && bit < kLCDMenuCount;
}

}  // namespace

bool IsLCDMenuShown(int mask, int bit) {
  return IsMenuBit(bit) && ((mask >> bit) & 1) != 0;
}

int AddLCDMenu(int mask, int bit, bool shown) {
  return shown && IsMenuBit(bit) ? mask + (1 << bit) : mask;
}
