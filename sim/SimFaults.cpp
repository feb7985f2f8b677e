#include "sim/SimFaults.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace {

// Plain decimal digits filling the whole text, within 32 bits.
std::optional<uint32_t> WholeNumber(std::string_view text) {
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

// The number after `name` when `fault` is `name` followed by one.
std::optional<uint32_t> NumberAfter(std::string_view fault, std::string_view name) {
  if (!fault.starts_with(name)) return std::nullopt;
  return WholeNumber(fault.substr(name.size()));
}

}  // namespace

bool SimFaultPlan::Empty() const {
  return *this == SimFaultPlan{};
}

bool ParseSimFault(const std::string& argument, SimFaultPlan& plan) {
  const std::string_view prefix(kSimFaultPrefix);
  if (!std::string_view(argument).starts_with(prefix)) return false;
  const std::string_view fault = std::string_view(argument).substr(prefix.size());
  if (fault == "absent") {
    plan.absent = true;
  } else if (fault == "unpowered") {
    plan.unpowered = true;
  } else if (fault == "flaky") {
    plan.flaky = true;
  } else if (fault == "nousb") {
    plan.noUsbDevice = true;
  } else if (const std::optional<uint32_t> k = NumberAfter(fault, "stuck@"); k && *k >= 1) {
    plan.stuckBytes.insert(*k);
  } else if (const std::optional<uint32_t> n = NumberAfter(fault, "dies@")) {
    plan.diesAfterReads = *n;
  } else {
    return false;
  }
  return true;
}

FaultyBoard::FaultyBoard(SimBoard& board, SimFaultPlan plan)
    : board_(board), plan_(std::move(plan)) {
  for (const uint32_t number : plan_.stuckBytes) board_.SpoilWrite(number);
  // A chip that stops answering lets go of MISO, and the port's pull-up reads 1.
  if (plan_.diesAfterReads) board_.StopAnsweringAfter(*plan_.diesAfterReads, true);
  board_.SetPower(PowerForRun());
}

void FaultyBoard::OnBoardRunStart() {
  ++runs_;
  board_.SetPower(PowerForRun());
  board_.RestartWriteCount();
}

BoardPower FaultyBoard::PowerForRun() const {
  if (plan_.absent) return BoardPower::Absent;
  if (plan_.unpowered) return BoardPower::Unpowered;
  const bool oddRun = runs_ % 2 == 1;
  return plan_.flaky && oddRun ? BoardPower::Absent : BoardPower::On;
}
