// A complete settings download and upload against the simulated board: wall time per run and the
// simulated port operations a second behind it.
#include <benchmark/benchmark.h>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "link/Communication.h"
#include "platform/PortIo.h"
#include "sim/BoardFirmware.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"

namespace {

struct NoView final : OperationView {
  void SetProgressRange(uint16_t) override {}
  void SetProgressPos(int) override {}
  void ShowStatusText(const std::string&) override {}
};

// Counts the individual port accesses (writes and reads) of a run; delay units go through whole.
struct CountingPort final : PortBackend {
  explicit CountingPort(PortBackend& inner) : inner(inner) {}
  void Write(uint16_t port, uint8_t value) override {
    ++accesses;
    inner.Write(port, value);
  }
  uint8_t Read(uint16_t port) override {
    ++accesses;
    return inner.Read(port);
  }
  void Delay(uint32_t units) override { inner.Delay(units); }
  PortBackend& inner;
  uint64_t accesses = 0;
};

void RunTransfer(benchmark::State& state, int (*operation)(OperationView&)) {
  SimPort port(base);
  SimBoard board = FactoryBoard();
  port.Attach(&board);
  PortBackend* previousPort = SetPortBackend(&port);
  Clock* previousClock = SetCalibrationClock(&port);
  NoView view;
  PullSettingsFromBoard(view);  // an upload needs a block to send
  CountingPort counting(port);
  SetPortBackend(&counting);
  operation(view);
  const uint64_t accessesPerRun = counting.accesses;
  SetPortBackend(&port);
  const uint64_t startOps = port.PortOperations();
  const uint64_t startUs = port.NowUs();
  for (auto _ : state) {
    if (operation(view) != 1) state.SkipWithError("board run failed");
  }
  const double runs = static_cast<double>(state.iterations());
  // Every delay unit is a simulated access to port 0x80 too.
  state.counters["sim_port_ops_per_s"] = benchmark::Counter(
      static_cast<double>(port.PortOperations() - startOps), benchmark::Counter::kIsRate);
  state.counters["port_accesses_per_s"] = benchmark::Counter(
      static_cast<double>(accessesPerRun) * runs, benchmark::Counter::kIsRate);
  state.counters["virtual_ms_per_run"] =
      static_cast<double>(port.NowUs() - startUs) / 1000.0 / (runs > 0 ? runs : 1);
  SetCalibrationClock(previousClock);
  SetPortBackend(previousPort);
}

void BM_SimulatedDownload(benchmark::State& state) { RunTransfer(state, PullSettingsFromBoard); }
void BM_SimulatedUpload(benchmark::State& state) { RunTransfer(state, PushSettingsToBoard); }

BENCHMARK(BM_SimulatedDownload)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SimulatedUpload)->Unit(benchmark::kMicrosecond);

}  // namespace
