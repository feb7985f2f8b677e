#include "platform/SpinButton.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Holding an arrow repeats after a pause, then steadily.
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow, const QString& name) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setFocusPolicy(Qt::NoFocus);
  // The two arrows share the spin button's height, however small the style would draw them.
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  button->setAccessibleName(name);
  return button;
}

}  // namespace

const std::vector<UDACCEL>& DefaultSpinAccel() {
  static const std::vector<UDACCEL> accels = {{0, 1}, {2, 5}, {5, 20}};
  return accels;
}

int AccelIncrement(const std::vector<UDACCEL>& accels, qint64 heldMs) {
  int increment = 1;
  for (const UDACCEL& accel : accels) {
    if (heldMs >= qint64{accel.nSec} * 1000) increment = accel.nInc;
  }
  return increment;
}

int SteppedPosition(int position, int delta, int lower, int upper, bool wrap) {
  const long long next = static_cast<long long>(position) + delta;
  if (next > upper) return wrap ? lower : upper;
  if (next < lower) return wrap ? upper : lower;
  return static_cast<int>(next);
}

std::optional<int> BuddyPosition(const QString& text, int lower, int upper) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok || value < lower || value > upper) return std::nullopt;
  return value;
}

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent)
    : QWidget(parent), repeat_(new QTimer(this)), accels_(DefaultSpinAccel()) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = MakeArrow(this, Qt::UpArrow, tr("Up"));
  down_ = MakeArrow(this, Qt::DownArrow, tr("Down"));
  layout->addWidget(up_);
  layout->addWidget(down_);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(up_, &QToolButton::pressed, this, [this] { Press(+1); });
  connect(down_, &QToolButton::pressed, this, [this] { Press(-1); });
  connect(up_, &QToolButton::released, this, &CSpinButtonCtrl::Release);
  connect(down_, &QToolButton::released, this, &CSpinButtonCtrl::Release);
  connect(repeat_, &QTimer::timeout, this, &CSpinButtonCtrl::Repeat);
}

void CSpinButtonCtrl::SetBuddy(QLineEdit* buddy) {
  if (buddy_ != nullptr) buddy_->removeEventFilter(this);
  buddy_ = buddy;
  if (buddy_ != nullptr) buddy_->installEventFilter(this);
  updateGeometry();
}

void CSpinButtonCtrl::SetRange32(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  position_ = std::clamp(position_, lower_, upper_);
}

void CSpinButtonCtrl::SetPos32(int position) {
  position_ = std::clamp(position, lower_, upper_);
  WriteBuddy();
}

void CSpinButtonCtrl::SetAccel(std::vector<UDACCEL> accels) {
  accels_ = std::move(accels);
}

void CSpinButtonCtrl::Step(int direction, qint64 heldMs) {
  ReadBuddy();
  const int increment = AccelIncrement(accels_, heldMs);
  position_ = SteppedPosition(position_, direction * increment, lower_, upper_, wrap_);
  WriteBuddy();
  emit VScroll(SB_THUMBPOSITION, position_, this);
}

QSize CSpinButtonCtrl::sizeHint() const {
  const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2;
  const int height = buddy_ != nullptr ? buddy_->sizeHint().height() : 2 * width;
  return {width, height};
}

bool CSpinButtonCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (watched != buddy_ || event->type() != QEvent::KeyPress || !isEnabled()) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
  StepOnce(key == Qt::Key_Up ? +1 : -1);
  return true;
}

void CSpinButtonCtrl::StepOnce(int direction) {
  Step(direction);
  emit VScroll(SB_ENDSCROLL, position_, this);
}

void CSpinButtonCtrl::SetPosByUser(int position) {
  SetPos32(position);
  emit VScroll(SB_THUMBPOSITION, position_, this);
  emit VScroll(SB_ENDSCROLL, position_, this);
}

void CSpinButtonCtrl::Press(int direction) {
  heldDirection_ = direction;
  held_.start();
  Step(direction);
  repeat_->start(kFirstRepeatMs);
}

void CSpinButtonCtrl::Release() {
  repeat_->stop();
  if (heldDirection_ == 0) return;
  heldDirection_ = 0;
  emit VScroll(SB_ENDSCROLL, position_, this);
}

void CSpinButtonCtrl::Repeat() {
  // A button disabled while held may never report its release.
  if (!isEnabled() || !(up_->isDown() || down_->isDown())) {
    Release();
    return;
  }
  repeat_->setInterval(kRepeatMs);
  Step(heldDirection_, held_.elapsed());
}

void CSpinButtonCtrl::ReadBuddy() {
  if (buddy_ == nullptr) return;
  if (const std::optional<int> position = BuddyPosition(buddy_->text(), lower_, upper_)) {
    position_ = *position;
  }
}

void CSpinButtonCtrl::WriteBuddy() {
  if (buddy_ != nullptr) buddy_->setText(QString::number(position_));
}
