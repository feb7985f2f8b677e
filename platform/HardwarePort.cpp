#include "platform/HardwarePort.h"

#include <cstdio>

std::optional<int> FindParportForBase(uint32_t base, const std::string& procDir) {
  // The list is sorted by number, so the first match is the lowest parportN with that base.
  for (const ParallelPort& port : ListParallelPorts(procDir)) {
    if (port.base == base) return port.number;
  }
  return std::nullopt;
}

std::string HardwarePort::Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

void HardwarePort::ReportToStderr(const std::string& line) {
  std::fprintf(stderr, "orvanta: %s\n", line.c_str());
}

HardwarePort::Kind HardwarePort::Access() {
  if (!openedBase_ || *openedBase_ != base_) Open(base_);
  return kind_;
}

void HardwarePort::BeginRun() {
  if (!lastReason_.empty()) openedBase_.reset();  // the last opening failed
}

std::string HardwarePort::OpenFailure() const {
  return lastUserReason_;
}

void HardwarePort::Open(uint32_t address) {
  Close();
  openedBase_ = address;
  Failure failure;
  if (OpenSystemPort(address, failure)) {
    lastReason_.clear();
    lastUserReason_.clear();
    return;
  }
  if (failure.line != lastReason_) options_.report(failure.line);
  lastReason_ = failure.line;
  lastUserReason_ = failure.user;
}
