// A request from outside to stop (Ctrl-C, a SIGTERM) for a command line: instead of ending the
// tool in the middle of a byte or a file, it is noted, and board runs stop after the byte in
// hand, with reset released, so the tool can say what state the board is in. The window never
// catches them: there they end the tool as before.
#pragma once

#include <memory>

// The signal that asked the tool to stop, or 0.
int StopSignal();
inline bool StopRequested() {
  return StopSignal() != 0;
}
// Notes `signal` as a request to stop; safe inside a signal handler.
void RequestStop(int signal);
// Forgets a request, as at process start.
void ResetStopRequest();

// While it lives, SIGINT and SIGTERM are noted by RequestStop instead of ending the tool, and a
// blocking call they interrupt returns rather than waits on; what they did before comes back
// when it goes. A request from before it was made is forgotten.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct Saved;  // what the system did with each signal before
  std::unique_ptr<Saved> saved_;
};
