#include "platform/RadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>

QButtonGroup* MakeRadioGroup(QObject* owner, const std::vector<QAbstractButton*>& buttons) {
  auto* group = new QButtonGroup(owner);
  int id = 0;
  for (QAbstractButton* button : buttons) {
    button->setChecked(false);
    group->addButton(button, id++);
  }
  return group;
}

int GetCheckedIndex(const QButtonGroup& group) {
  return group.checkedId();
}

void SetCheckedIndex(QButtonGroup& group, int index) {
  if (QAbstractButton* button = group.button(index)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group refuses to uncheck its checked button, so lift exclusivity for a moment.
  group.setExclusive(false);
  for (QAbstractButton* button : group.buttons()) button->setChecked(false);
  group.setExclusive(true);
}
