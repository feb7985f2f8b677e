// A QTreeWidget used as the tool's tree control with check boxes: items with a check box and an
// integer data value, and the parent/child/sibling steps a walk over the tree needs.
#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Check boxes on every item; no header, lines, expand buttons or images.
void MakeCheckBoxTree(QTreeWidget* tree);

// Appends a top-level item with an unchecked check box.
QTreeWidgetItem* InsertItem(QTreeWidget* tree, const QString& text);

void SetItemData(QTreeWidgetItem* item, int data);
int GetItemData(const QTreeWidgetItem* item);
void SetCheck(QTreeWidgetItem* item, bool checked);
bool GetCheck(const QTreeWidgetItem* item);

// Each returns nullptr where there is no such item.
QTreeWidgetItem* GetRootItem(const QTreeWidget* tree);
QTreeWidgetItem* GetChildItem(const QTreeWidgetItem* item);
QTreeWidgetItem* GetNextSiblingItem(const QTreeWidget* tree, QTreeWidgetItem* item);
QTreeWidgetItem* GetParentItem(const QTreeWidgetItem* item);
