#include "sim/SimulatedCable.h"

#include "sim/BoardFirmware.h"
#include "sim/BoardStore.h"

SimulatedCable::SimulatedCable(const uint32_t& base)
    : port_(base),
      bare_(std::make_unique<SimBoard>(FactoryBoard())),
      board_(bare_.get()),
      backend_(PortBackendSeam().Replace(&port_)),
      clock_(CalibrationClockSeam().Replace(&port_)) {
  port_.Attach(board_);
}

SimulatedCable::SimulatedCable(const uint32_t& base, const std::filesystem::path& directory,
                               std::ostream& report)
    : port_(base),
      store_(std::make_unique<BoardStore>(directory, report)),
      board_(&store_->Board()),
      backend_(PortBackendSeam().Replace(&port_)),
      clock_(CalibrationClockSeam().Replace(&port_)) {
  port_.Attach(board_);
}

SimulatedCable::~SimulatedCable() {
  port_.Attach(nullptr);
}

CableDevice& SimulatedCable::OnCable() {
  if (faulty_) return *faulty_;
  return *board_;
}

void SimulatedCable::SetFaults(const SimFaultPlan& faults) {
  // The faults of an earlier plan live in the board itself: end them first.
  port_.Attach(board_);
  faulty_.reset();
  board_->ClearFaults();
  if (faults.Empty()) return;
  faulty_ = std::make_unique<FaultyBoard>(*board_, faults);
  port_.Attach(faulty_.get());
}

std::string SimulatedCable::KeepBoard() {
  if (!store_) return {};
  store_->Board().Settle();
  store_->SaveIfChanged();
  return store_->NotKept();
}
