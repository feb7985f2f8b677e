// A settings download's reads on the simulated board: programming enable and the 30 bytes of the
// settings block through the link functions. Wall time per run, and how many simulated port
// operations (delay units included) a second the simulation gets through.
#include <benchmark/benchmark.h>

#include "link/Communication.h"
#include "sim/SimulatedCable.h"

namespace {

void BM_ReadSettingsBlock(benchmark::State& state) {
  SimulatedCable cable(base);
  SimPort& port = cable.Port();
  calculate_delay_const();
  const uint64_t startOperations = port.PortOperations();
  const uint64_t startUs = port.NowUs();
  for (auto _ : state) {
    set_reset();
    init_prog_mode();
    for (int address = 0; address < 30; ++address)
      benchmark::DoNotOptimize(read_data_byte(address));
    clear_reset();
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["port_ops_per_s"] = benchmark::Counter(
      static_cast<double>(port.PortOperations() - startOperations), benchmark::Counter::kIsRate);
  state.counters["simulated_ms_per_run"] =
      static_cast<double>(port.NowUs() - startUs) / 1000.0 / runs;
}
BENCHMARK(BM_ReadSettingsBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
