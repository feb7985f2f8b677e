#include "platform/Interrupt.h"

#include <csignal>

namespace {

// Each start value once: the definition and the reset both take it from here.
constexpr int kNoRequest = 0;

volatile std::sig_atomic_t stopSignal = kNoRequest;

}  // namespace

int StopSignal() {
  return stopSignal;
}

void RequestStop(int signal) {
  stopSignal = signal;
}

void ResetStopRequest() {
  stopSignal = kNoRequest;
}
