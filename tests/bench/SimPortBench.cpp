// Speed of the simulated port: how many port operations a second the simulation runs.
#include <benchmark/benchmark.h>

#include "platform/PortIo.h"
#include "sim/SimPort.h"

namespace {

void BM_SimPortOperations(benchmark::State& state) {
  uint32_t portBase = 0x378;
  SimPort port(portBase);
  const PortBackendOverride inUse(PortBackendSeam(), &port);
  uint8_t value = 0;
  for (auto _ : state) {
    // A bit's worth of cable traffic: three data writes and one status read.
    Out32(0x378, value);
    Out32(0x378, value | 0x02);
    benchmark::DoNotOptimize(Inp32(0x379));
    Out32(0x378, value);
    ++value;
  }
  state.counters["port_ops_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 4, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimPortOperations);

}  // namespace
