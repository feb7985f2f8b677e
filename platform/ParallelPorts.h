// The parallel ports this computer has, as the kernel lists them under
// /proc/sys/dev/parport/parportN/base-addr, so that a user with a PCI card knows what to type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kParportProcDir = "/proc/sys/dev/parport";

struct ParallelPort {
  int number = 0;     // the N of parportN
  uint32_t base = 0;  // the first base address
  bool operator==(const ParallelPort&) const = default;
};

// Every parportN under `procDir` with a readable base address, by number.
std::vector<ParallelPort> ListParallelPorts(const std::string& procDir = kParportProcDir);

// "Ports on this computer: 0x378 (parport0), 0xD010 (parport1)", or the words for none.
std::string DescribeParallelPorts(const std::vector<ParallelPort>& ports);
// The words for none: Linux looked and found none; Windows keeps its list where the user can see
// it (ParallelPortsLinux.cpp, ParallelPortsWindows.cpp).
std::string NoParallelPortText();
