// The parallel port on Windows through the port driver DLL, with the stand-in DLL built beside
// this program (PortDllStandIn.cpp) in the real one's place.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/HardwarePort.h"
#include "tests/support/Files.h"

namespace {

constexpr const char* kStandIn = "orvanta_port_dll_stand_in.dll";

// The stand-in's own switches, reached in the module the port loads.
struct StandIn {
  StandIn() : module(LoadLibraryA(kStandIn)) {}
  ~StandIn() {
    SetDriverOpen(TRUE);
    FreeLibrary(module);
  }
  template <typename Function>
  Function Call(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  }
  std::string TakeCalls() const { return Call<const char* (*)()>("StandInTakeCalls")(); }
  void SetDriverOpen(BOOL open) const { Call<void (*)(BOOL)>("StandInSetDriverOpen")(open); }
  HMODULE module;
};

HardwarePortOptions Options(std::vector<std::string> dlls, std::vector<std::string>& reports) {
  HardwarePortOptions options;
  options.portDlls = std::move(dlls);
  options.report = [&reports](const std::string& line) { reports.push_back(line); };
  return options;
}

TEST(HardwarePortWindows, TheFirstDllThatDrivesThePortIsTakenElseTheReasonNamesIt) {
  const StandIn standIn;
  const ScratchDirectory scratch("port-dll");
  const std::string text = (scratch.Path() / "text.dll").string();
  WriteText(text, "not a program");
  const struct {
    std::vector<std::string> dlls;
    BOOL driverOpen;
    std::string user;  // the reason under the failure message; empty when the port opens
  } cases[] = {
      {{kStandIn}, TRUE, ""},
      {{"orvanta-none.dll", kStandIn}, TRUE, ""},
      {{"orvanta-none.dll", "orvanta-none2.dll"},
       TRUE,
       "The parallel port needs the port driver orvanta-none.dll, which was not found. Put it "
       "beside the program, then try again."},
      {{text},
       TRUE,
       text + " is not the 64-bit port driver this tool needs. Put inpoutx64.dll beside the "
              "program instead, then try again."},
      // One there but unusable says more than one missing.
      {{"orvanta-none.dll", "kernel32.dll"},
       TRUE,
       "kernel32.dll is not the port driver DLL (it has no Out32 and Inp32)."},
      {{kStandIn},
       FALSE,
       std::string(kStandIn) + " is there, but its driver is not running. Start the tool once as "
                               "administrator (right click, \"Run as administrator\") so that it "
                               "can install it."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dlls.back());
    standIn.SetDriverOpen(c.driverOpen);
    std::vector<std::string> reports;
    const uint32_t base = 0x378;
    HardwarePort port(base, Options(c.dlls, reports));
    EXPECT_EQ(port.Access(),
              c.user.empty() ? HardwarePort::Kind::DirectIo : HardwarePort::Kind::Absent);
    EXPECT_EQ(port.OpenFailure(), c.user);
    EXPECT_EQ(reports.size(), c.user.empty() ? 0u : 1u);
    if (c.dlls.back() == "orvanta-none2.dll" && reports.size() == 1) {
      EXPECT_EQ(reports[0],
                "no port driver: orvanta-none.dll was found neither beside the program nor in "
                "Windows' own folders; put it beside the program, or start with \"simulate\" to "
                "use the simulated board");
    }
  }
}

TEST(HardwarePortWindows, TheRegistersAndTheDelayPortReachTheDll) {
  const StandIn standIn;
  std::vector<std::string> reports;
  uint32_t base = 0x378;
  HardwarePort port(base, Options({kStandIn}, reports));
  standIn.TakeCalls();
  port.Write(0x378, 0x0F);
  port.Write(0x37A, 0x04);
  EXPECT_EQ(port.Read(0x379), 0x79);
  port.Delay(2);
  port.Write(0x3BC, 0x01);  // not this port's: nothing reaches the DLL
  EXPECT_EQ(port.Read(0x37B), 0xFF);
  base = 0xD010;  // a new address takes effect at the next access
  port.Write(0xD010, 0xAA);
  EXPECT_EQ(standIn.TakeCalls(), "out 378 F\nout 37A 4\nin 379\nout 80 0\nout 80 0\nout D010 AA\n");
  EXPECT_TRUE(reports.empty());
  base = 0x1D010;  // port addresses end at 0xFFFF
  EXPECT_EQ(port.Access(), HardwarePort::Kind::Absent);
  EXPECT_EQ(port.OpenFailure(),
            "This computer has no parallel port at 0x1D010. Choose the port under "
            "\"Connection...\".");
}

}  // namespace
