// A board operation's view that shows nothing: for running operations without a status window.
#pragma once

#include "board/BoardOperations.h"

struct NoView final : OperationView {
  void SetProgressRange(int) override {}
  void SetProgressPos(int) override {}
  void ShowStatusText(const std::string&) override {}
};
