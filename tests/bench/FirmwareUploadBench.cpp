// A full 8 KB firmware image through the firmware upload on the simulated board: wall time per
// run, the board time it stands for (1 us a port access), and what one programmed byte costs on
// the cable, beside the count the link's timing is built on (456 delay units and 5 waits); then
// the same image with and without fastprogramming, side by side.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "firmware/OfwFormat.h"
#include "link/Communication.h"
#include "platform/PortIo.h"
#include "sim/BoardFirmware.h"
#include "sim/SimulatedCable.h"
#include "tests/support/CountingPort.h"
#include "tests/support/NoView.h"

namespace {

// The byte at `address` of the benchmark image: a pattern, with the identity of 2.20 at the end.
uint8_t ImageByte(int address) {
  if (address == kImageMajorAddress) return 2;
  if (address == kImageMinorAddress) return 20;
  if (address == kImageBoardTypeAddress) return 1;
  return static_cast<uint8_t>((address * 37 + 11) & 0x7F);
}

// `bytes` code bytes from address 0 in 16-byte records, then the end record.
std::string ImageHex(int bytes) {
  std::string hex;
  for (int address = 0; address < bytes; address += 16) {
    HexRecord record;
    record.address = static_cast<uint16_t>(address);
    record.count = static_cast<uint8_t>(std::min(16, bytes - address));
    for (int i = 0; i < record.count; ++i) {
      record.data[static_cast<std::size_t>(i)] = ImageByte(address + i);
    }
    hex += FormatRecord(record) + "\n";
  }
  return hex + ":00000001FF\n";
}

// Packs an image into a firmware file and checks it into m_FWArray, as "Update Firmware" does.
std::string PrepareImage(int bytes) {
  std::string ofw;
  PackHex(ImageHex(bytes), ofw);
  const std::string path =
      (std::filesystem::temp_directory_path() /
       ("orvanta-bench-" + std::to_string(::getpid()) + "-" + std::to_string(bytes) + ".ofw"))
          .string();
  std::ofstream(path) << ofw;
  Firmware_Validation_Check(path);
  return path;
}

struct Costs {
  uint64_t accesses;
  uint64_t delayUnits;
  uint64_t waits;
};

Costs CountRun(SimPort& port, const std::string& path) {
  CountingPort counting(port);
  const PortBackendOverride countingInUse(PortBackendSeam(), &counting);
  NoView view;
  UploadFirmware(view, path);
  return {counting.accesses, counting.delayUnits, counting.waits};
}

void BM_FirmwareUpload8K(benchmark::State& state) {
  SimulatedCable cable(base);
  SimPort& port = cable.Port();

  // What one more programmed byte costs: a one-byte image against the full one, so that the
  // calibration, the erase and the lock bits drop out.
  const std::string one = PrepareImage(1);
  const Costs small = CountRun(port, one);
  const std::string full = PrepareImage(kCodeSize);
  const Costs large = CountRun(port, full);
  const double extra = kCodeSize - 1;

  NoView view;
  const uint64_t startUs = port.NowUs();
  for (auto _ : state) {
    if (UploadFirmware(view, full) != 1) state.SkipWithError("firmware upload failed");
  }
  const double runs = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
  state.counters["board_s_per_run"] = static_cast<double>(port.NowUs() - startUs) / 1e6 / runs;
  state.counters["port_accesses_per_byte"] =
      static_cast<double>(large.accesses - small.accesses) / extra;
  state.counters["delay_units_per_byte"] =
      static_cast<double>(large.delayUnits - small.delayUnits) / extra;
  state.counters["waits_per_byte"] = static_cast<double>(large.waits - small.waits) / extra;
  state.counters["expected_units_per_byte"] = 456;
  state.counters["expected_waits_per_byte"] = 5;

  std::filesystem::remove(one);
  std::filesystem::remove(full);
  m_FWArray.clear();
}

BENCHMARK(BM_FirmwareUpload8K)->Unit(benchmark::kMillisecond);

// The same full image with and without fastprogramming, one after the other in each iteration:
// the board time of each (a real cable's, at 1 us a port access) and how many times faster the
// switch makes it.
void BM_FirmwareUpload8KFastVsDefault(benchmark::State& state) {
  SimulatedCable cable(base);
  SimPort& port = cable.Port();
  const std::string full = PrepareImage(kCodeSize);

  NoView view;
  uint64_t boardUs[2] = {0, 0};
  for (auto _ : state) {
    for (const int fast : {0, 1}) {
      bFastProgramming = fast;
      const uint64_t startUs = port.NowUs();
      if (UploadFirmware(view, full) != 1) state.SkipWithError("firmware upload failed");
      boardUs[fast] += port.NowUs() - startUs;
    }
  }
  const double runs = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
  state.counters["default_board_s"] = static_cast<double>(boardUs[0]) / 1e6 / runs;
  state.counters["fast_board_s"] = static_cast<double>(boardUs[1]) / 1e6 / runs;
  state.counters["board_time_ratio"] =
      boardUs[1] > 0 ? static_cast<double>(boardUs[0]) / static_cast<double>(boardUs[1]) : 0.0;

  bFastProgramming = 0;
  std::filesystem::remove(full);
  m_FWArray.clear();
}

BENCHMARK(BM_FirmwareUpload8KFastVsDefault)->Unit(benchmark::kMillisecond);

}  // namespace
