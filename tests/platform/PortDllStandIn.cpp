// A stand-in for the port driver DLL (inpoutx64.dll): the same Out32 and Inp32 exports, which
// record every call instead of touching a port, and a switch for the driver the real one needs.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string calls;
BOOL driverOpen = TRUE;

void Record(const char* format, short port, short value = 0) {
  char call[32];
  std::snprintf(call, sizeof call, format, port & 0xFFFF, value & 0xFFFF);
  calls += call;
}

}  // namespace

extern "C" {

__declspec(dllexport) void WINAPI Out32(short port, short value) {
  Record("out %X %X\n", port, value);
}

// Each register answers its own value, so a mix-up shows: 0x379 gives 0x79.
__declspec(dllexport) short WINAPI Inp32(short port) {
  Record("in %X\n", port);
  return static_cast<short>(port & 0xFF);
}

__declspec(dllexport) BOOL WINAPI IsInpOutDriverOpen() {
  return driverOpen;
}

// For the test: the calls so far, one a line (then none), and whether the driver runs.
__declspec(dllexport) const char* StandInTakeCalls() {
  static std::string taken;
  taken.swap(calls);
  calls.clear();
  return taken.c_str();
}

__declspec(dllexport) void StandInSetDriverOpen(BOOL open) {
  driverOpen = open;
}

}  // extern "C"
