#include "platform/TreeControl.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "platform/AccessibleControls.h"

void MakeCheckBoxTree(QTreeWidget* tree) {
  PresentAsCheckBoxTree(tree);
  // Qt's tree view tells assistive technology nothing when a check box changes.
  QObject::connect(tree, &QTreeWidget::itemChanged, tree,
                   [tree](QTreeWidgetItem* item) { AnnounceCheckChange(tree, item); });
  tree->setColumnCount(1);
  tree->setHeaderHidden(true);
  tree->setRootIsDecorated(false);
  tree->setItemsExpandable(false);
  tree->setUniformRowHeights(true);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  // As large as its items, so that a short list shows whole without scrolling or eliding. The
  // column is measured only after items arrive, so the dialog's layout is told when it changes.
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  QObject::connect(tree->header(), &QHeaderView::sectionResized, tree,
                   [tree] { tree->updateGeometry(); });
}

QTreeWidgetItem* InsertItem(QTreeWidget* tree, const QString& text) {
  auto* item = new QTreeWidgetItem(tree, QStringList{text});
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  return item;
}

void SetItemData(QTreeWidgetItem* item, int data) {
  item->setData(0, Qt::UserRole, data);
}

int GetItemData(const QTreeWidgetItem* item) {
  return item->data(0, Qt::UserRole).toInt();
}

void SetCheck(QTreeWidgetItem* item, bool checked) {
  item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

bool GetCheck(const QTreeWidgetItem* item) {
  return item->checkState(0) == Qt::Checked;
}

QTreeWidgetItem* GetRootItem(const QTreeWidget* tree) {
  return tree->topLevelItem(0);
}

QTreeWidgetItem* GetChildItem(const QTreeWidgetItem* item) {
  return item->child(0);
}

QTreeWidgetItem* GetNextSiblingItem(const QTreeWidget* tree, QTreeWidgetItem* item) {
  if (const QTreeWidgetItem* parent = item->parent()) {
    return parent->child(parent->indexOfChild(item) + 1);
  }
  return tree->topLevelItem(tree->indexOfTopLevelItem(item) + 1);
}

QTreeWidgetItem* GetParentItem(const QTreeWidgetItem* item) {
  return item->parent();
}
