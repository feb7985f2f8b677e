// A stand-in for the port driver DLL (inpoutx64.dll): the same Out32 and Inp32 exports, which
// record every call instead of touching a port, and a switch for the driver the real one needs.
// HardwarePortWindowsTest loads it by name, as the tool loads the real one.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string calls;
BOOL driverOpen = TRUE;

}  // namespace

extern "C" {

__declspec(dllexport) void WINAPI Out32(short port, short value) {
  char call[32];
  std::snprintf(call, sizeof call, "out %X %X\n", static_cast<unsigned short>(port),
                static_cast<unsigned short>(value));
  calls += call;
}

// Each register answers its own value, so a mix-up shows: 0x378 gives 0x78, 0x379 gives 0x79.
__declspec(dllexport) short WINAPI Inp32(short port) {
  char call[32];
  std::snprintf(call, sizeof call, "in %X\n", static_cast<unsigned short>(port));
  calls += call;
  return static_cast<short>(port & 0xFF);
}

__declspec(dllexport) BOOL WINAPI IsInpOutDriverOpen() {
  return driverOpen;
}

// For the test: the calls so far, one a line, and then none; whether the driver is running.
__declspec(dllexport) const char* StandInTakeCalls() {
  static std::string taken;
  taken = calls;
  calls.clear();
  return taken.c_str();
}

__declspec(dllexport) void StandInSetDriverOpen(BOOL open) {
  driverOpen = open;
}

}  // extern "C"
