#include "tests/support/CableTrace.h"

#include <cstdio>

namespace {

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value & 0xFF);
  return text;
}

}  // namespace

std::vector<std::string> CableTrace(const SeamLog& log, uint16_t dataPort, uint32_t waitUnits,
                                    uint8_t lines) {
  std::vector<std::string> trace;
  unsigned byte = 0;
  int bits = 0;
  bool clockingIn = false;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const SeamEvent& event = log[i];
    if (event.kind == SeamEvent::Delay && event.units == waitUnits) {
      trace.push_back("wait");
      continue;
    }
    if (event.kind != SeamEvent::Write) continue;
    if (event.port == dataPort + 2) {
      trace.push_back("C " + Hex2(event.value));
      continue;
    }
    if (event.port != dataPort) continue;
    const uint8_t next = event.value;
    if ((next & 0x04) != (lines & 0x04)) trace.push_back(next & 0x04 ? "RST+" : "RST-");
    if (!(lines & 0x02) && (next & 0x02)) {
      // A rising clock edge: a bit is clocked in if the status line is read before it falls.
      int answer = -1;
      for (std::size_t j = i + 1; j < log.size(); ++j) {
        if (log[j].kind == SeamEvent::Write && log[j].port == dataPort) break;
        if (log[j].kind == SeamEvent::Read && log[j].port == dataPort + 1) {
          answer = (log[j].value & 0x20) ? 1 : 0;
          break;
        }
      }
      clockingIn = answer >= 0;
      byte = (byte << 1) | static_cast<unsigned>(clockingIn ? answer : (next & 0x01));
      if (++bits == 8) {
        trace.push_back((clockingIn ? "G " : "S ") + Hex2(byte));
        byte = 0;
        bits = 0;
      }
    }
    lines = next;
  }
  return trace;
}

std::vector<std::string> Instructions(const std::vector<std::string>& trace) {
  std::vector<std::string> instructions;
  std::string current;
  int bytes = 0;
  for (const std::string& token : trace) {
    if (token.size() != 4 || (token[0] != 'S' && token[0] != 'G')) continue;
    if (bytes > 0) current += ' ';
    current += (token[0] == 'G' ? "<" : "") + token.substr(2);
    if (++bytes == 3) {
      instructions.push_back(current);
      current.clear();
      bytes = 0;
    }
  }
  return instructions;
}
