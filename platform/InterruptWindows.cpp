#include <csignal>
#include <iterator>

#include "platform/Interrupt.h"

namespace {

// The C runtime turns Ctrl-C in the console into SIGINT and Ctrl-Break into SIGBREAK, on a thread
// of its own; both count as the SIGINT they are on Linux. It also puts the default back once a
// signal is delivered, so a second Ctrl-C ends the tool at once. Closing the console still ends
// it: Windows gives a program no say in that.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGBREAK};

void NoteStop(int signal) {
  RequestStop(signal == SIGBREAK ? SIGINT : signal);
}

}  // namespace

struct StopSignals::Saved {
  void (*before[std::size(kStopSignals)])(int);
};

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
  ResetStopRequest();
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    saved_->before[i] = std::signal(kStopSignals[i], NoteStop);
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    std::signal(kStopSignals[i], saved_->before[i]);
  }
}
