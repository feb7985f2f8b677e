// The progress of a board run on a terminal: one line on standard error that rewrites itself,
// "Uploading firmware to your board  42%  about 12 s left". Nothing at all when standard error is
// not a terminal, so a log or a pipe gets only the lines that matter.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "board/BoardOperations.h"

class ProgressLine final : public OperationView {
 public:
  // `seconds` is a clock in seconds; `shown` false keeps the line quiet; `columns` says how wide
  // the terminal is (0, or no function: not known).
  ProgressLine(std::ostream& err, bool shown, std::function<double()> seconds,
               std::function<int()> columns = {});
  ~ProgressLine() override;

  void SetProgressRange(int upper) override;
  void SetProgressPos(int position) override;
  void ShowStatusText(const std::string& text) override;
  // Wipes the line, so that what follows starts at the left edge.
  void Clear();

  // The line for `stage` at `position` of `upper`, `elapsed` seconds after the stage began, cut
  // to fit `columns` (0: not known) without touching the last column, where some terminals wrap:
  // the stage is cut first, then the estimate.
  static std::string Text(const std::string& stage, int position, int upper, double elapsed,
                          int columns);

 private:
  void Draw();
  int Columns() const;

  std::ostream& err_;
  bool shown_;
  std::function<double()> seconds_;
  std::function<int()> columns_;
  std::string stage_;
  int upper_ = 0;
  int position_ = 0;
  double start_ = 0.0;
  bool stagePending_ = false;
  std::size_t drawnWidth_ = 0;
  std::string drawn_;
};

// A clock for the line: seconds since some fixed point.
double SteadySeconds();
