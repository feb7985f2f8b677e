#include "platform/AccessibleControls.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeWidget>
#include <utility>
#include <vector>

#include "platform/SpinButton.h"

namespace {

constexpr const char* kCheckBoxTreeProperty = "presentAsCheckBoxTree";

// A button text without its mnemonic markers ("&&" stands for one ampersand).
QString WithoutMnemonics(const QString& text) {
  QString plain;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) {
      plain += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
      plain += text[++i];
    }
  }
  return plain;
}

// Qt's own radio button checks itself on Toggle without a click, so the dialog never hears of
// it, and does nothing at all on an already checked one. A click is what the user means.
class AccessibleRadioButton final : public QAccessibleWidget {
 public:
  explicit AccessibleRadioButton(QWidget* widget)
      : QAccessibleWidget(widget, QAccessible::RadioButton) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
      const QString name = WithoutMnemonics(button()->text());
      if (!name.isEmpty()) return name;
    }
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    state.pressed = button()->isDown();
    return state;
  }
  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << toggleAction();
    return names + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != toggleAction() && action != pressAction()) {
      QAccessibleWidget::doAction(action);
    } else if (widget()->isEnabled()) {
      button()->click();
    }
  }

 private:
  QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

// Named after its chosen item, as Linux screen readers expect (the label comes through the
// labelled-by relation); with no item chosen the name is empty, so that the label is not
// announced as if it were the choice.
class AccessibleComboBox final : public QAccessibleWidget {
 public:
  explicit AccessibleComboBox(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name || t == QAccessible::Value) {
      return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
    }
    return QAccessibleWidget::text(t);
  }
  // The drop-down list, and for an editable box its edit field.
  int childCount() const override { return combo()->isEditable() ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(combo()->view());
    if (index == 1 && combo()->isEditable()) {
      return QAccessible::queryAccessibleInterface(combo()->lineEdit());
    }
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    if (child->object() == combo()->view()) return 0;
    if (combo()->isEditable() && child->object() == combo()->lineEdit()) return 1;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    QLineEdit* edit = combo()->isEditable() ? combo()->lineEdit() : nullptr;
    if (edit == nullptr || !edit->rect().contains(edit->mapFromGlobal(QPoint(x, y))))
      return nullptr;
    return QAccessible::queryAccessibleInterface(edit);
  }
  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) {
      QAccessibleWidget::doAction(action);
    } else if (combo()->view()->isVisible()) {
      combo()->hidePopup();
    } else {
      combo()->showPopup();
    }
  }

 private:
  QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

// Without this a spin button is a generic container of two arrows, with no value to read.
class AccessibleSpinButton final : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleSpinButton(QWidget* widget)
      : QAccessibleWidget(widget, QAccessible::SpinBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  // The value is what the buddy shows, which the dialog may have substituted (minutes, seconds).
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) {
      return spin()->GetBuddy() != nullptr ? spin()->GetBuddy()->text()
                                           : QString::number(spin()->GetPos32());
    }
    return QAccessibleWidget::text(t);
  }
  QVariant currentValue() const override {
    bool ok = false;
    const int shown = text(QAccessible::Value).trimmed().toInt(&ok, 10);
    return ok ? shown : spin()->GetPos32();
  }
  void setCurrentValue(const QVariant& value) override {
    if (widget()->isEnabled()) spin()->SetPosByUser(value.toInt());
  }
  QVariant maximumValue() const override { return spin()->GetUpper(); }
  QVariant minimumValue() const override { return spin()->GetLower(); }
  QVariant minimumStepSize() const override { return AccelIncrement(spin()->GetAccel(), 0); }

  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << increaseAction() << decreaseAction();
    return names + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != increaseAction() && action != decreaseAction()) {
      QAccessibleWidget::doAction(action);
    } else if (widget()->isEnabled()) {
      spin()->StepOnce(action == increaseAction() ? +1 : -1);
    }
  }

 private:
  CSpinButtonCtrl* spin() const { return static_cast<CSpinButtonCtrl*>(widget()); }
};

// One top-level item of a check-box tree, as a check box.
class AccessibleCheckBoxItem final : public QAccessibleInterface,
                                     public QAccessibleActionInterface {
 public:
  AccessibleCheckBoxItem(QTreeWidget* tree, const QModelIndex& index)
      : tree_(tree), index_(index) {}

  bool isValid() const override { return tree_ != nullptr && index_.isValid(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return tree_ != nullptr ? tree_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(tree_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && isValid() ? index_.data(Qt::DisplayRole).toString()
                                               : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    const QRect inViewport = tree_->visualRect(index_);
    return {tree_->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size()};
  }
  QAccessible::Role role() const override { return QAccessible::CheckBox; }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    state.checkable = true;
    state.checked = index_.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    state.focusable = true;
    state.selectable = true;
    state.selected = tree_->selectionModel()->isSelected(index_);
    state.focused = tree_->hasFocus() && tree_->currentIndex() == index_;
    state.disabled = !tree_->isEnabled();
    state.invisible =
        !tree_->isVisible() || !tree_->viewport()->rect().intersects(tree_->visualRect(index_));
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QStringList actionNames() const override {
    return isValid() && tree_->isEnabled() ? QStringList{toggleAction()} : QStringList{};
  }
  // As a click on the check box: the check flips, and the tree tells whoever listens.
  void doAction(const QString& action) override {
    if (action != toggleAction() || !isValid() || !tree_->isEnabled()) return;
    const bool checked = index_.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    tree_->model()->setData(index_, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  const QTreeWidget* Tree() const { return tree_.data(); }
  int Row() const { return index_.row(); }

 private:
  QPointer<QTreeWidget> tree_;
  QPersistentModelIndex index_;
};

class AccessibleCheckBoxTree final : public QAccessibleWidget {
 public:
  explicit AccessibleCheckBoxTree(QTreeWidget* tree) : QAccessibleWidget(tree, QAccessible::Tree) {}
  ~AccessibleCheckBoxTree() override {
    for (const auto& [index, id] : items_) QAccessible::deleteAccessibleInterface(id);
  }

  // Child 0 is the (hidden) header: the tree view counts it when it reports its current item.
  int childCount() const override { return 1 + tree()->topLevelItemCount(); }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(tree()->header());
    const QModelIndex item = tree()->model()->index(index - 1, 0);
    return item.isValid() ? Item(item) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    if (child->object() == tree()->header()) return 0;
    const auto* item = dynamic_cast<const AccessibleCheckBoxItem*>(child);
    return item != nullptr && item->isValid() && item->Tree() == tree() ? item->Row() + 1 : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint point = tree()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = tree()->indexAt(point);
    return index.isValid() && tree()->viewport()->rect().contains(point) ? Item(index) : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const QModelIndex current = tree()->currentIndex();
    return tree()->hasFocus() && current.isValid() ? Item(current) : nullptr;
  }

  // The interface of the item at `index`, one per item, kept for assistive tools that hold on
  // to it; those of removed items are let go.
  QAccessibleInterface* Item(const QModelIndex& index) const {
    QAccessibleInterface* found = nullptr;
    for (auto it = items_.begin(); it != items_.end();) {
      if (!it->first.isValid()) {
        QAccessible::deleteAccessibleInterface(it->second);
        it = items_.erase(it);
        continue;
      }
      if (it->first == index) found = QAccessible::accessibleInterface(it->second);
      ++it;
    }
    if (found != nullptr) return found;
    auto* item = new AccessibleCheckBoxItem(tree(), index);
    items_.emplace_back(index, QAccessible::registerAccessibleInterface(item));
    return item;
  }

 private:
  QTreeWidget* tree() const { return static_cast<QTreeWidget*>(widget()); }
  mutable std::vector<std::pair<QPersistentModelIndex, QAccessible::Id>> items_;
};

QAccessibleInterface* AccessibleControlFactory(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  // The toolkit's own windows (a file dialog, say) keep the toolkit's interfaces. Asked by class
  // name, as the dialog base (which installs this factory) cannot be included back here.
  if (widget == nullptr || !widget->window()->inherits("CDialog")) return nullptr;
  if (className == QLatin1String("QRadioButton")) return new AccessibleRadioButton(widget);
  if (className == QLatin1String("QComboBox")) return new AccessibleComboBox(widget);
  if (className == QLatin1String("CSpinButtonCtrl")) return new AccessibleSpinButton(widget);
  if (className == QLatin1String("QTreeWidget") &&
      widget->property(kCheckBoxTreeProperty).toBool()) {
    return new AccessibleCheckBoxTree(static_cast<QTreeWidget*>(widget));
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
  static const bool installed = [] {
    QAccessible::installFactory(AccessibleControlFactory);
    return true;
  }();
  (void)installed;
}

void PresentAsCheckBoxTree(QTreeWidget* tree) {
  InstallAccessibleControls();
  tree->setProperty(kCheckBoxTreeProperty, true);
  // The view reports its model's changes while it is being built, which makes Qt's interface for
  // it at once; let that one go so that the next request makes ours.
  QAccessibleInterface* made = QAccessible::queryAccessibleInterface(tree);
  if (made != nullptr && dynamic_cast<AccessibleCheckBoxTree*>(made) == nullptr) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

void AnnounceCheckChange(QTreeWidget* tree, QTreeWidgetItem* item) {
  if (!QAccessible::isActive() || item == nullptr || item->parent() != nullptr) return;
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tree);
  QAccessibleInterface* child =
      accessible != nullptr ? accessible->child(tree->indexOfTopLevelItem(item) + 1) : nullptr;
  if (child == nullptr) return;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(child, changed);
  QAccessible::updateAccessibility(&event);
}
