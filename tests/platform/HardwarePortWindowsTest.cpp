// The parallel port on Windows through the port driver DLL, with the stand-in DLL built beside
// this program (PortDllStandIn.cpp) in the real one's place.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/HardwarePort.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kStandIn = "orvanta_port_dll_stand_in.dll";

// The stand-in as the test reaches it, loaded once more: the module is the one the port loads.
class StandIn {
 public:
  StandIn() : module_(LoadLibraryA(kStandIn)) {}
  ~StandIn() {
    SetDriverOpen(TRUE);
    FreeLibrary(module_);
  }
  std::string TakeCalls() const { return Call<const char* (*)()>("StandInTakeCalls")(); }
  void SetDriverOpen(BOOL open) const { Call<void (*)(BOOL)>("StandInSetDriverOpen")(open); }
  fs::path File() const {
    wchar_t name[MAX_PATH] = {};
    GetModuleFileNameW(module_, name, MAX_PATH);
    return name;
  }

 private:
  template <typename Function>
  Function Call(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }
  HMODULE module_;
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
  const std::string notADll = (scratch.Path() / "text.dll").string();
  WriteText(notADll, "not a program");
  const struct {
    const char* name;
    std::vector<std::string> dlls;
    BOOL driverOpen;
    std::string line;  // part of the line for standard error; empty when the port opens
    std::string user;
  } cases[] = {
      {"the stand-in", {kStandIn}, TRUE, "", ""},
      {"the first one missing", {"orvanta-none.dll", kStandIn}, TRUE, "", ""},
      {"none there",
       {"orvanta-none.dll", "orvanta-none2.dll"},
       TRUE,
       "orvanta-none.dll was found neither beside the program nor on the PATH",
       "The parallel port needs the port driver orvanta-none.dll, which was not found. Put it "
       "beside the program, then try again."},
      {"not a program",
       {notADll},
       TRUE,
       "it is not a 64-bit DLL",
       notADll + " is not the 64-bit port driver this tool needs. Put inpoutx64.dll beside the "
                 "program instead, then try again."},
      {"one there but unusable says more than one missing",
       {"orvanta-none.dll", "kernel32.dll"},
       TRUE,
       "kernel32.dll has no Out32 and Inp32",
       "kernel32.dll is not the port driver DLL (it has no Out32 and Inp32)."},
      {"its driver not running",
       {kStandIn},
       FALSE,
       "its driver is not running",
       std::string(kStandIn) + " is there, but its driver is not running. Start the tool once as "
                               "administrator (right click, \"Run as administrator\") so that it "
                               "can install it."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    standIn.SetDriverOpen(c.driverOpen);
    std::vector<std::string> reports;
    const uint32_t base = 0x378;
    HardwarePort port(base, Options(c.dlls, reports));
    const bool opens = c.line.empty();
    EXPECT_EQ(port.Access(), opens ? HardwarePort::Kind::DirectIo : HardwarePort::Kind::Absent);
    ASSERT_EQ(reports.size(), opens ? 0u : 1u);
    if (!opens) {
      EXPECT_NE(reports[0].find(c.line), std::string::npos) << reports[0];
    }
    EXPECT_EQ(port.OpenFailure(), c.user);
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
}

// Without a DLL writes vanish and reads give 0xFF; one put in place later is taken at the next run.
TEST(HardwarePortWindows, ADllPutInPlaceLaterIsTakenAtTheNextRun) {
  const StandIn standIn;
  const ScratchDirectory scratch("port-dll-later");
  const fs::path later = scratch.Path() / "later.dll";
  std::vector<std::string> reports;
  const uint32_t base = 0x378;
  HardwarePort port(base, Options({later.string()}, reports));
  port.Write(0x378, 0x01);
  EXPECT_EQ(port.Read(0x379), 0xFF);
  port.BeginRun();
  EXPECT_EQ(port.Access(), HardwarePort::Kind::Absent);
  EXPECT_EQ(reports.size(), 1u) << "the same reason is said once";
  fs::copy_file(standIn.File(), later);
  port.BeginRun();
  EXPECT_EQ(port.Access(), HardwarePort::Kind::DirectIo);
  EXPECT_EQ(port.OpenFailure(), "");
}

TEST(HardwarePortWindows, AnAddressBeyondSixteenBitsIsNoPort) {
  const StandIn standIn;
  std::vector<std::string> reports;
  const uint32_t base = 0x1D010;
  HardwarePort port(base, Options({kStandIn}, reports));
  EXPECT_EQ(port.Access(), HardwarePort::Kind::Absent);
  EXPECT_EQ(port.OpenFailure(),
            "This computer has no parallel port at 0x1D010. Choose the port under "
            "\"Connection...\".");
  EXPECT_EQ(standIn.TakeCalls(), "");
}

}  // namespace
