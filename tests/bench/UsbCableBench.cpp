// The USB cable on the FT232R chip model (sim/Ft232rChip: buffers, packets, latency timer, byte
// clock), in cable time: the full 8 KB firmware image side by side with the simulated parallel
// port, and a whole session (download, 8 KB firmware, settings upload) with the chip's idle
// share, with and without fastprogramming, on a host that answers at once and on one that takes
// 125 us for each USB call.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "firmware/OfwFormat.h"
#include "sim/SimulatedCable.h"
#include "tests/support/NoView.h"
#include "tests/support/SimulatedUsbCable.h"

namespace {

// The same image as the parallel port's firmware benchmarks: a pattern without 0xFF, the
// identity of 2.20 at the end, in 16-byte records.
uint8_t ImageByte(int address) {
  if (address == kImageMajorAddress) return 2;
  if (address == kImageMinorAddress) return 20;
  if (address == kImageBoardTypeAddress) return 1;
  return static_cast<uint8_t>((address * 37 + 11) & 0x7F);
}

std::string FullImagePath() {
  std::string hex;
  for (int address = 0; address < kCodeSize; address += 16) {
    HexRecord record;
    record.address = static_cast<uint16_t>(address);
    record.count = 16;
    for (int i = 0; i < 16; ++i) record.data[static_cast<std::size_t>(i)] = ImageByte(address + i);
    hex += FormatRecord(record) + "\n";
  }
  std::string ofw;
  PackHex(hex + ":00000001FF\n", ofw);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("orvanta-usb-bench-" + std::to_string(::getpid()) + ".ofw"))
                               .string();
  std::ofstream(path) << ofw;
  Firmware_Validation_Check(path);
  return path;
}

// Board time of one upload in seconds, on whichever cable is active; `nowUs` reads its clock.
template <typename Now>
double TimedUpload(const std::string& path, Now nowUs, benchmark::State& state) {
  NoView view;
  const uint64_t start = nowUs();
  if (UploadFirmware(view, path) != 1) state.SkipWithError("firmware upload failed");
  return static_cast<double>(nowUs() - start) / 1e6;
}

void BM_FirmwareUpload8KUsbVsParallel(benchmark::State& state) {
  const std::string path = FullImagePath();
  double seconds[2][2] = {};  // [usb][fast]
  double roundTrips[2] = {};
  for (auto _ : state) {
    for (const int fast : {0, 1}) {
      bFastProgramming = fast;
      {
        SimulatedCable parallel(base);
        seconds[0][fast] += TimedUpload(
            path, [&] { return parallel.Port().NowUs(); }, state);
      }
      {
        SimulatedUsbCable usb;
        seconds[1][fast] += TimedUpload(
            path, [&] { return usb.clock.NowUs(); }, state);
        roundTrips[fast] += static_cast<double>(usb.cable.RoundTrips());
      }
    }
  }
  const double runs = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
  state.counters["parallel_default_s"] = seconds[0][0] / runs;
  state.counters["parallel_fast_s"] = seconds[0][1] / runs;
  state.counters["usb_default_s"] = seconds[1][0] / runs;
  state.counters["usb_fast_s"] = seconds[1][1] / runs;
  state.counters["usb_fast_vs_parallel_fast"] =
      seconds[0][1] > 0 ? seconds[1][1] / seconds[0][1] : 0.0;
  state.counters["usb_default_round_trips"] = roundTrips[0] / runs;
  state.counters["usb_fast_round_trips"] = roundTrips[1] / runs;
  bFastProgramming = 0;
  std::filesystem::remove(path);
  m_FWArray.clear();
}

BENCHMARK(BM_FirmwareUpload8KUsbVsParallel)->Unit(benchmark::kMillisecond)->Iterations(1);

// Download, the 8 KB image, then the settings uploaded: argument 0 fastprogramming, argument 1
// the host's time per USB call in microseconds.
void BM_UsbSession(benchmark::State& state) {
  const std::string path = FullImagePath();
  bFastProgramming = static_cast<int32_t>(state.range(0));
  double seconds = 0;
  double idle = 0;
  double roundTrips = 0;
  for (auto _ : state) {
    SimulatedUsbCable usb;
    usb.chip.Chip().SetHostCallUs(static_cast<uint32_t>(state.range(1)));
    NoView view;
    const uint64_t start = usb.clock.NowUs();
    const uint64_t idleBefore = usb.chip.Chip().IdleUs();
    if (PullSettingsFromBoard(view) != 1 || UploadFirmware(view, path) != 1 ||
        PushSettingsToBoard(view) != 1) {
      state.SkipWithError("a board operation failed");
    }
    seconds += static_cast<double>(usb.clock.NowUs() - start) / 1e6;
    idle += static_cast<double>(usb.chip.Chip().IdleUs() - idleBefore) / 1e6;
    roundTrips += static_cast<double>(usb.cable.RoundTrips());
  }
  const double runs = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
  state.counters["cable_s"] = seconds / runs;
  state.counters["chip_idle_share"] = seconds > 0 ? idle / seconds : 0.0;
  state.counters["round_trips"] = roundTrips / runs;
  bFastProgramming = 0;
  std::filesystem::remove(path);
  m_FWArray.clear();
}

BENCHMARK(BM_UsbSession)
    ->ArgsProduct({{0, 1}, {0, 125}})
    ->ArgNames({"fast", "host_call_us"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
