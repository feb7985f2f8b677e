// What assistive technology gets from the controls of the tool's dialogs where Qt's own
// interfaces fall short: radio buttons whose Toggle and Press actions do what a click does, combo
// boxes named after their chosen item (none when nothing is chosen), spin buttons that are spin
// boxes with a value, and check-box trees whose items are check boxes that their Toggle action
// checks. Widgets of other windows keep Qt's interfaces.
#pragma once

class QTreeWidget;
class QTreeWidgetItem;

// Puts these interfaces in place for the whole process; later calls do nothing. Must run before
// a control is first asked for its interface (the dialog base does it when it is constructed).
void InstallAccessibleControls();

// `tree`'s top-level items are presented as check boxes. Call before the tree's interface is
// first asked for.
void PresentAsCheckBoxTree(QTreeWidget* tree);

// Tells assistive technology that `item`'s check box may have changed.
void AnnounceCheckChange(QTreeWidget* tree, QTreeWidgetItem* item);
