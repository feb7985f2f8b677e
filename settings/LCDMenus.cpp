#include "settings/LCDMenus.h"

#include <utility>

namespace {

template <std::size_t... bit>
constexpr std::array<LCDMenuItem, kLCDMenuCount> TreeItems(std::index_sequence<bit...>) {
  return {{{kLCDMenuItems[bit], static_cast<int>(bit)}...}};
}

}  // namespace

// The item's position in the list is its bit.
const std::array<LCDMenuItem, kLCDMenuCount> kLCDMenuTreeItems =
    TreeItems(std::make_index_sequence<kLCDMenuCount>());

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
