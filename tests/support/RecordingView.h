// A board operation's view that records what it was told: the bar's range and positions, the
// status texts, and, given the port log, where in it the range was set and each text shown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "board/BoardOperations.h"
#include "tests/support/Recorders.h"

struct RecordingView final : OperationView {
  int upper = 0;
  std::vector<int> positions;
  std::vector<std::string> texts;
  const SeamLog* log = nullptr;
  std::size_t rangeAt = 0;
  std::vector<std::size_t> textsAt;
  void SetProgressRange(int value) override {
    upper = value;
    rangeAt = log != nullptr ? log->size() : 0;
  }
  void SetProgressPos(int position) override { positions.push_back(position); }
  void ShowStatusText(const std::string& text) override {
    texts.push_back(text);
    textsAt.push_back(log != nullptr ? log->size() : 0);
  }
};
