#include <signal.h>

#include <iterator>

#include "platform/Interrupt.h"

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

void NoteStop(int signal) {
  RequestStop(signal);
}

}  // namespace

struct StopSignals::Saved {
  struct sigaction before[std::size(kStopSignals)];
};

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
  ResetStopRequest();
  struct sigaction note {};
  note.sa_handler = NoteStop;
  sigemptyset(&note.sa_mask);
  note.sa_flags = 0;  // no SA_RESTART: an open that waits on a pipe returns instead
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    sigaction(kStopSignals[i], &note, &saved_->before[i]);
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    sigaction(kStopSignals[i], &saved_->before[i], nullptr);
  }
}
