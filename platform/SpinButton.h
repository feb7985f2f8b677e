// An up-down (spin) button beside a buddy edit box: a range, wrapping at both ends, steps that
// grow the longer an arrow is held (the acceleration table), the buddy's number read before each
// step and the new position written back into it as decimal text. Each step is announced as a
// vertical-scroll notification with the code SB_THUMBPOSITION, and the end of a click or key
// press with SB_ENDSCROLL.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QLineEdit;
class QTimer;
class QToolButton;

constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_ENDSCROLL = 8;

// From `nSec` seconds of holding an arrow on, each step moves by `nInc`.
struct UDACCEL {
  int nSec;
  int nInc;
};

// The table a spin button has until it is given another: 1, then 5 after 2 s, 20 after 5 s.
const std::vector<UDACCEL>& DefaultSpinAccel();
// The step size after holding an arrow for `heldMs` milliseconds.
int AccelIncrement(const std::vector<UDACCEL>& accels, qint64 heldMs);
// `position` moved by `delta` within [lower, upper]; past an end it wraps to the other end, or
// stops at the end without `wrap`.
int SteppedPosition(int position, int delta, int lower, int upper, bool wrap);
// The buddy's text as a position: a decimal number inside the range, else nothing.
std::optional<int> BuddyPosition(const QString& text, int lower, int upper);

class CSpinButtonCtrl : public QWidget {
  Q_OBJECT

 public:
  explicit CSpinButtonCtrl(QWidget* parent = nullptr);

  void SetBuddy(QLineEdit* buddy);
  QLineEdit* GetBuddy() const { return buddy_; }
  // The position is kept inside the new range.
  void SetRange32(int lower, int upper);
  int GetLower() const { return lower_; }
  int GetUpper() const { return upper_; }
  // Sets the position and writes it into the buddy.
  void SetPos32(int position);
  int GetPos32() const { return position_; }
  void SetAccel(std::vector<UDACCEL> accels);
  const std::vector<UDACCEL>& GetAccel() const { return accels_; }
  void SetWrap(bool wrap) { wrap_ = wrap; }

  // One step up (+1) or down (-1), as an arrow held for `heldMs` milliseconds makes it.
  void Step(int direction, qint64 heldMs = 0);
  // One step as a key press makes it: the step, then the end of the scroll.
  void StepOnce(int direction);
  // Moves to `position` (kept in range) as the user would: announced like one step.
  void SetPosByUser(int position);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

  QSize sizeHint() const override;

 signals:
  // The parent dialog's OnVScroll: notification code, position, and this control.
  void VScroll(int nSBCode, int nPos, QWidget* pScrollBar);

 protected:
  // The arrow keys in the buddy step the spin button, so that it works without a mouse.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Press(int direction);
  void Release();
  void Repeat();
  void ReadBuddy();
  void WriteBuddy();

  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
  QLineEdit* buddy_ = nullptr;
  QTimer* repeat_ = nullptr;
  QElapsedTimer held_;
  int heldDirection_ = 0;
  int lower_ = 0;
  int upper_ = 100;
  int position_ = 0;
  bool wrap_ = true;
  std::vector<UDACCEL> accels_;
};
