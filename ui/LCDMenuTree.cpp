// The "LCD Menus:" tree: sixteen check boxes, each item's data its bit in m_LCDMenuMask.
#include <QTreeWidget>

#include "platform/TreeControl.h"
#include "settings/SettingsBlock.h"
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
    SetCheck(item, ((m_LCDMenuMask >> GetItemData(item)) & 1) != 0);
  }
}

void COrvantaAppDlg::DetermineSelectLCDMenus() {
  m_LCDMenuMask = 0;
  for (QTreeWidgetItem* item = GetNextTreeItem(nullptr); item != nullptr;
       item = GetNextTreeItem(item)) {
    m_LCDMenuMask += (GetCheck(item) ? 1 : 0) << GetItemData(item);
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
