// A complete settings download and upload against the simulated board: wall time per run and the
// simulated port operations a second behind it.
#include <benchmark/benchmark.h>

#include "board/BoardOperations.h"
#include "platform/PortIo.h"
#include "sim/SimulatedCable.h"
#include "tests/support/CountingPort.h"
#include "tests/support/NoView.h"

namespace {

void RunTransfer(benchmark::State& state, int (*operation)(OperationView&)) {
  SimulatedCable cable(base);
  SimPort& port = cable.Port();
  NoView view;
  PullSettingsFromBoard(view);  // an upload needs a block to send
  uint64_t accessesPerRun = 0;
  {
    CountingPort counting(port);
    const PortBackendOverride countingInUse(PortBackendSeam(), &counting);
    operation(view);
    accessesPerRun = counting.accesses;
  }
  const uint64_t startOps = port.PortOperations();
  const uint64_t startUs = port.NowUs();
  for (auto _ : state) {
    if (operation(view) != 1) state.SkipWithError("board run failed");
  }
  const double runs = static_cast<double>(state.iterations());
  // Every delay unit is a simulated access to port 0x80 too.
  state.counters["sim_port_ops_per_s"] = benchmark::Counter(
      static_cast<double>(port.PortOperations() - startOps), benchmark::Counter::kIsRate);
  state.counters["port_accesses_per_s"] =
      benchmark::Counter(static_cast<double>(accessesPerRun) * runs, benchmark::Counter::kIsRate);
  state.counters["virtual_ms_per_run"] =
      static_cast<double>(port.NowUs() - startUs) / 1000.0 / (runs > 0 ? runs : 1);
}

void BM_SimulatedDownload(benchmark::State& state) {
  RunTransfer(state, PullSettingsFromBoard);
}
void BM_SimulatedUpload(benchmark::State& state) {
  RunTransfer(state, PushSettingsToBoard);
}

BENCHMARK(BM_SimulatedDownload)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SimulatedUpload)->Unit(benchmark::kMicrosecond);

}  // namespace
