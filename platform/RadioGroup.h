// Radio groups as the dialogs use them: automatic radio buttons numbered from 0 in their order,
// a group that may have no button checked, and a checked index of -1 for none.
#pragma once

#include <vector>

class QAbstractButton;
class QButtonGroup;
class QObject;

// Makes an exclusive group of `buttons`, numbered 0, 1, ... in the order given. None is checked.
QButtonGroup* MakeRadioGroup(QObject* owner, const std::vector<QAbstractButton*>& buttons);

// The number of the checked button, -1 when none is checked.
int GetCheckedIndex(const QButtonGroup& group);
// Checks button `index` and clears the others; an index that matches no button clears them all.
void SetCheckedIndex(QButtonGroup& group, int index);
