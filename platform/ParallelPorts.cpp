#include "platform/ParallelPorts.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

std::vector<ParallelPort> ListParallelPorts(const std::string& procDir) {
  std::vector<ParallelPort> ports;
  std::error_code error;
  std::filesystem::directory_iterator it(procDir, error);
  if (error) return ports;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("parport", 0) != 0 || name.size() == 7 || name.size() > 16) continue;
    if (!std::all_of(name.begin() + 7, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    // The file holds the base and the ECP base, separated by a tab; the first one is the port.
    std::ifstream file(entry.path() / "base-addr");
    unsigned long first = 0;
    if (!(file >> first) || first == 0 || first > UINT32_MAX) continue;
    ports.push_back({std::stoi(name.substr(7)), static_cast<uint32_t>(first)});
  }
  std::sort(ports.begin(), ports.end(),
            [](const ParallelPort& a, const ParallelPort& b) { return a.number < b.number; });
  return ports;
}

std::string DescribeParallelPorts(const std::vector<ParallelPort>& ports) {
  if (ports.empty()) return NoParallelPortText();
  std::string text = "Ports on this computer: ";
  for (std::size_t i = 0; i < ports.size(); ++i) {
    char entry[48];
    std::snprintf(entry, sizeof entry, "%s0x%X (parport%d)", i == 0 ? "" : ", ", ports[i].base,
                  ports[i].number);
    text += entry;
  }
  return text;
}
