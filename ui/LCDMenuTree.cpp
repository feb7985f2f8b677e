// The "LCD Menus:" tree: sixteen check boxes, each item's data its bit in m_LCDMenuMask (the
// items and the mask are the settings model's, settings/LCDMenus.h).
#include <QTreeWidget>

#include "platform/TreeControl.h"
#include "settings/LCDMenus.h"
#include "ui/OrvantaAppDlg.h"

void COrvantaAppDlg::PopulateLCDMenuTree() {
  for (int bit = 0; bit < kLCDMenuCount; ++bit) {
    const std::string_view text = kLCDMenuItems[static_cast<std::size_t>(bit)];
    QTreeWidgetItem* item = InsertItem(
        m_LCDMenuTree, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    SetItemData(item, bit);
  }
}

void COrvantaAppDlg::LoadLCDMenuChoices() {
  for (QTreeWidgetItem* item = GetNextTreeItem(nullptr); item != nullptr;
       item = GetNextTreeItem(item)) {
    SetCheck(item, IsLCDMenuShown(m_LCDMenuMask, GetItemData(item)));
  }
}

void COrvantaAppDlg::DetermineSelectLCDMenus() {
  m_LCDMenuMask = 0;
  for (QTreeWidgetItem* item = GetNextTreeItem(nullptr); item != nullptr;
       item = GetNextTreeItem(item)) {
    m_LCDMenuMask = AddLCDMenu(m_LCDMenuMask, GetItemData(item), GetCheck(item));
  }
}

// Pre-order: an item's children come before its next sibling; after the last child of a branch
// the walk climbs to the nearest ancestor that has a next sibling.
QTreeWidgetItem* COrvantaAppDlg::GetNextTreeItem(QTreeWidgetItem* item) const {
  if (item == nullptr) return GetRootItem(m_LCDMenuTree);
  QTreeWidgetItem* result = GetChildItem(item);
  while (result == nullptr && item != nullptr) {
    result = GetNextSiblingItem(m_LCDMenuTree, item);
    item = GetParentItem(item);
  }
  return result;
}
