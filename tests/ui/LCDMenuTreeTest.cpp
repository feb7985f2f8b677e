#include <QTest>
#include <QTreeWidget>

#include "settings/SettingsBlock.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

class LCDMenuTree : public MainDialogTest {
 protected:
  QTreeWidgetItem* Item(int row) const { return Tree()->topLevelItem(row); }
  std::vector<QString> CheckedTexts() const {
    std::vector<QString> texts;
    for (int row = 0; row < Tree()->topLevelItemCount(); ++row) {
      if (Item(row)->checkState(0) == Qt::Checked) texts.push_back(Item(row)->text(0));
    }
    return texts;
  }
};

TEST_F(LCDMenuTree, SixteenUncheckedItemsEachCarryingItsBit) {
  ASSERT_EQ(Tree()->topLevelItemCount(), kLCDMenuCount);
  for (int row = 0; row < kLCDMenuCount; ++row) {
    EXPECT_EQ(Item(row)->text(0).toStdString(), kLCDMenuItems[static_cast<std::size_t>(row)]);
    EXPECT_EQ(Item(row)->data(0, Qt::UserRole).toInt(), row);
    EXPECT_EQ(Item(row)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Item(row)->childCount(), 0);
  }
  dlg->DetermineSelectLCDMenus();
  EXPECT_EQ(dlg->m_LCDMenuMask, 0) << "a programming start uploads no menus";
}

TEST_F(LCDMenuTree, MaskToCheckBoxesAndBack) {
  const struct {
    int mask;
    std::vector<QString> checked;
  } cases[] = {
      {0x8001, {"Firing Mode", "K.O.V.A.L. Mode"}},
      {0, {}},
      {0x0012, {"Rate Of Fire", "After-Eye Delay"}},
      {0xFFFF,
       {"Firing Mode", "Rate Of Fire", "Solenoid Dwell", "Debounce Mult", "After-Eye Delay",
        "Timer Mode", "Timer Start", "Timer Minutes", "Timer Seconds", "LCD Section 1",
        "LCD Section 1B", "LCD Section 2", "LCD Section 2B", "Eye Timing Mode", "Operation Mode",
        "K.O.V.A.L. Mode"}},
  };
  for (const auto& c : cases) {
    dlg->m_LCDMenuMask = c.mask;
    dlg->LoadLCDMenuChoices();
    EXPECT_EQ(CheckedTexts(), c.checked) << std::hex << c.mask;
    dlg->m_LCDMenuMask = -1;
    dlg->DetermineSelectLCDMenus();
    EXPECT_EQ(dlg->m_LCDMenuMask, c.mask);
  }
}

TEST_F(LCDMenuTree, UserClicksChangeTheMaskWhenItIsNextDetermined) {
  dlg->m_LCDMenuMask = 0x8001;
  dlg->LoadLCDMenuChoices();
  Item(0)->setCheckState(0, Qt::Unchecked);
  Tree()->setCurrentItem(Item(3));
  QTest::keyClick(Tree(), Qt::Key_Space);  // the keyboard reaches the check boxes too
  EXPECT_EQ(dlg->m_LCDMenuMask, 0x8001) << "the mask lags behind the clicks";
  dlg->DetermineSelectLCDMenus();
  EXPECT_EQ(dlg->m_LCDMenuMask, 0x8008);
}

TEST_F(LCDMenuTree, BlockMaskShownAndUploadedUnlessTheBoardIsKalix) {
  const struct {
    uint8_t board, low, high;
    std::vector<QString> checked;
    uint8_t uploadedLow, uploadedHigh;
  } cases[] = {
      {kBoardOrvanta, 0x01, 0x80, {"Firing Mode", "K.O.V.A.L. Mode"}, 0x01, 0x80},
      {kBoardKalix, 0xFF, 0xFF, {}, 0, 0},
      {kBoardKalix, 0x01, 0x80, {}, 0, 0},
  };
  for (const auto& c : cases) {
    Block block = TypicalBlock();
    block[kElemBoardType - 1] = c.board;
    block[kElemLCDMaskLow - 1] = c.low;
    block[kElemLCDMaskHigh - 1] = c.high;
    ShowBlock(block);
    EXPECT_EQ(CheckedTexts(), c.checked);
    dlg->PopulateSettingArrayFromDialog();
    EXPECT_EQ(SettingsArray[kElemLCDMaskLow], c.uploadedLow);
    EXPECT_EQ(SettingsArray[kElemLCDMaskHigh], c.uploadedHigh);
  }
}

TEST_F(LCDMenuTree, WalkVisitsTheItemsInInsertionOrderThenEnds) {
  std::vector<int> bits;
  for (QTreeWidgetItem* item = dlg->GetNextTreeItem(nullptr); item != nullptr;
       item = dlg->GetNextTreeItem(item)) {
    bits.push_back(item->data(0, Qt::UserRole).toInt());
  }
  std::vector<int> expected(kLCDMenuCount);
  for (int bit = 0; bit < kLCDMenuCount; ++bit) expected[static_cast<std::size_t>(bit)] = bit;
  EXPECT_EQ(bits, expected);
}

TEST_F(LCDMenuTree, WalkIsPreOrderThroughNestedItems) {
  // The walk must also be right for a tree with branches: a child before the next sibling, and
  // back up past the end of a deep branch.
  QTreeWidgetItem* first = Item(0);
  auto* child = new QTreeWidgetItem(first, QStringList{QStringLiteral("a")});
  auto* grandchild = new QTreeWidgetItem(child, QStringList{QStringLiteral("a1")});
  auto* secondChild = new QTreeWidgetItem(first, QStringList{QStringLiteral("b")});
  const std::vector<QTreeWidgetItem*> expected = {first, child, grandchild, secondChild, Item(1)};
  std::vector<QTreeWidgetItem*> visited;
  QTreeWidgetItem* item = nullptr;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    item = dlg->GetNextTreeItem(item);
    visited.push_back(item);
  }
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(dlg->GetNextTreeItem(Item(kLCDMenuCount - 1)), nullptr);
  Tree()->clear();
  EXPECT_EQ(dlg->GetNextTreeItem(nullptr), nullptr);
}

}  // namespace
