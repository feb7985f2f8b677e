#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/HardwarePort.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

// A scratch directory shaped like /proc/sys/dev/parport and /dev.
class FakeSystem {
 public:
  FakeSystem() {
    fs::create_directories(proc());
    fs::create_directories(dev());
  }

  void AddPort(int number, const std::string& baseAddr) {
    const fs::path dir = proc() / ("parport" + std::to_string(number));
    fs::create_directories(dir);
    std::ofstream(dir / "base-addr") << baseAddr;
  }
  void AddDevice(int number) { std::ofstream(dev() / ("parport" + std::to_string(number))); }

  fs::path proc() const { return root_ / "proc"; }
  fs::path dev() const { return root_ / "dev"; }

  // Options that look at this tree and collect the one-line reports in `reports`.
  HardwarePortOptions Options(std::vector<std::string>& reports, bool allowDirectIo = false,
                              decltype(HardwarePortOptions::ioctl) ioctl = {},
                              decltype(HardwarePortOptions::open) open = {}) const {
    return {proc().string(),  dev().string(),
            allowDirectIo,    [&reports](const std::string& line) { reports.push_back(line); },
            std::move(ioctl), std::move(open), {}};
  }
  // Locks device parportN as another copy of the tool would; the caller closes the result.
  int HoldDevice(int number) const {
    const int fd =
        ::open((dev() / ("parport" + std::to_string(number))).c_str(), O_RDWR | O_CLOEXEC);
    return fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? fd : -1;
  }

 private:
  ScratchDirectory scratch_{"hw"};
  const fs::path root_ = scratch_.Path();
};

TEST(FindParportForBase, MatchesTheFirstAddressOfBaseAddr) {
  FakeSystem system;
  system.AddPort(0, "888\t1912\n");  // 0x378 with its ECP base
  system.AddPort(1, "632\t1656\n");  // 0x278
  system.AddPort(2, "53264\t-1\n");  // 0xD010, a PCI card
  system.AddPort(3, "1912\t-1\n");   // 0x778: only the first number of a line counts
  fs::create_directories(system.proc() / "default");  // not a port
  struct Case {
    uint32_t base;
    std::optional<int> expected;
  };
  for (const Case c : {Case{0x378, 0}, Case{0x278, 1}, Case{0xD010, 2}, Case{0x778, 3},
                       Case{0x3BC, std::nullopt}, Case{0, std::nullopt}}) {
    EXPECT_EQ(FindParportForBase(c.base, system.proc().string()), c.expected) << std::hex << c.base;
  }
  EXPECT_EQ(FindParportForBase(0x378, (system.proc() / "missing").string()), std::nullopt);
}

struct Outcome {
  HardwarePort::Kind kind;
  std::vector<std::string> reports;
};

// Replaces "{dev}" in `text` by the device node of parport0 under `system`.
std::string WithDevice(std::string text, const FakeSystem& system) {
  const std::size_t at = text.find("{dev}");
  if (at != std::string::npos) text.replace(at, 5, (system.dev() / "parport0").string());
  return text;
}

// Without a usable port the hardware port acts as an empty one and says why, once per address:
// a line for standard error, and the user's words for the failure box.
TEST(HardwarePort, WithoutAUsablePortWritesVanishReadsGiveFFAndOneLineSaysWhy) {
  struct Case {
    const char* name;
    bool listed;
    bool device;
    bool heldElsewhere;
    int openError;  // the device node refuses to open with this error
    const char* why;
    const char* user;
  };
  const Case cases[] = {
      {"not listed", false, false, false, 0, "no parallel port at 0x378",
       "This computer has no parallel port at 0x378. Choose the port under \"Connection...\"."},
      {"no device node", true, false, false, 0, "modprobe ppdev",
       "There is no {dev}: the ppdev driver is not loaded. Load it (sudo modprobe ppdev), then "
       "try again."},
      {"no permission", true, true, false, EACCES, "usermod -aG lp",
       "Permission denied on {dev}. Add yourself to the lp group, then log out and in again."},
      {"other error", true, true, false, EIO, "Input/output error",
       "Cannot open {dev}: Input/output error."},
      {"cannot claim", true, true, false, 0, "cannot claim",
       "Another driver, usually the printer driver lp, holds {dev}. Unload it (sudo rmmod lp), "
       "then try again."},
      {"held by another copy", true, true, true, 0, "in use by another program",
       "{dev} is in use by another program (perhaps a second copy of this tool). Close it, then "
       "try again."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem system;
    if (c.listed) system.AddPort(0, "888\t1912");
    if (c.device) system.AddDevice(0);  // a plain file: opens, but PPCLAIM fails
    const int holder = c.heldElsewhere ? system.HoldDevice(0) : -1;
    ASSERT_EQ(holder >= 0, c.heldElsewhere);
    std::vector<std::string> reports;
    uint32_t portBase = 0x378;
    decltype(HardwarePortOptions::open) open;
    if (c.openError != 0) {
      open = [&c](const char*, int) {
        errno = c.openError;
        return -1;
      };
    }
    HardwarePort port(portBase, system.Options(reports, false, {}, open));
    EXPECT_EQ(port.OpenFailure(), "") << "nothing tried yet";
    port.Write(0x378, 0x04);
    EXPECT_EQ(port.Read(0x379), 0xFF);
    port.Delay(3);
    EXPECT_EQ(port.Access(), HardwarePort::Kind::Absent);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(c.why), std::string::npos) << reports[0];
    EXPECT_EQ(port.OpenFailure(), WithDevice(c.user, system));

    portBase = 0x278;  // a new address is tried at the next access, and reported again
    EXPECT_EQ(port.Read(0x279), 0xFF);
    EXPECT_EQ(reports.size(), 2u);
    if (holder >= 0) ::close(holder);
  }
}

// What the port asks of ppdev, through a fake that answers every request.
struct FakePpdev {
  struct Call {
    unsigned long request;
    int value;  // the byte handed over or returned; -1 for requests without one
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;
  unsigned long failing = 0;  // this request fails with EIO

  std::function<int(int, unsigned long, unsigned char*)> Ioctl() {
    return [this](int, unsigned long request, unsigned char* byte) {
      // Each register reads back its own value, so a mix-up shows.
      if (request == PPRDATA) *byte = 0x11;
      if (request == PPRSTATUS) *byte = 0x20;
      if (request == PPRCONTROL) *byte = 0x33;
      calls.push_back({request, byte != nullptr ? *byte : -1});
      errno = 0;
      if (request != failing) return 0;
      errno = EIO;
      return -1;
    };
  }
};

TEST(HardwarePort, PpdevCarriesEachRegisterToItsRequest) {
  FakeSystem system;
  system.AddPort(0, "888\t1912");
  system.AddPort(1, "632\t1656");
  system.AddDevice(0);
  system.AddDevice(1);
  FakePpdev ppdev;
  std::vector<std::string> reports;
  uint32_t portBase = 0x378;
  HardwarePort port(portBase, system.Options(reports, false, ppdev.Ioctl()));
  port.Write(0x378, 0x05);
  port.Write(0x37A, 0x10);
  port.Write(0x379, 0x33);  // the status register drives no line: dropped
  EXPECT_EQ(port.Read(0x378), 0x11);
  EXPECT_EQ(port.Read(0x379), 0x20);
  EXPECT_EQ(port.Read(0x37A), 0x33);
  port.Write(0x80, 0x00);  // one delay unit is one status read
  port.Delay(2);
  portBase = 0x278;  // a new port: the old one is released first
  port.Write(0x278, 0x04);
  using C = FakePpdev::Call;
  EXPECT_EQ(ppdev.calls, (std::vector<C>{{PPCLAIM, -1},
                                         {PPWDATA, 0x05},
                                         {PPWCONTROL, 0x10},
                                         {PPRDATA, 0x11},
                                         {PPRSTATUS, 0x20},
                                         {PPRCONTROL, 0x33},
                                         {PPRSTATUS, 0x20},
                                         {PPRSTATUS, 0x20},
                                         {PPRSTATUS, 0x20},
                                         {PPRELEASE, -1},
                                         {PPCLAIM, -1},
                                         {PPWDATA, 0x04}}));
  EXPECT_TRUE(reports.empty());
}

TEST(HardwarePort, APortThatStopsAnsweringIsGivenUpWithOneLine) {
  FakeSystem system;
  system.AddPort(0, "888\t1912");
  system.AddDevice(0);
  FakePpdev ppdev;
  ppdev.failing = PPWDATA;
  std::vector<std::string> reports;
  const uint32_t portBase = 0x378;
  HardwarePort port(portBase, system.Options(reports, false, ppdev.Ioctl()));
  port.Write(0x378, 0x04);
  EXPECT_EQ(port.Access(), HardwarePort::Kind::Absent);
  const std::size_t callsWhenGivenUp = ppdev.calls.size();
  EXPECT_EQ(port.Read(0x379), 0xFF);
  port.Delay(5);
  port.Write(0x378, 0x00);
  EXPECT_EQ(ppdev.calls.size(), callsWhenGivenUp) << "not retried until the port changes";
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("the parallel port at 0x378 stopped answering (Input/output error)"),
            std::string::npos)
      << reports[0];
  EXPECT_EQ(ppdev.calls.back().request, static_cast<unsigned long>(PPRELEASE));
  EXPECT_EQ(port.OpenFailure(), "") << "the port was opened: a board failure, not a port one";
}

// A port that could not be opened is tried again when the next board run begins (not at every
// access in between), and its line is printed again only when the reason changes.
TEST(HardwarePort, APortThatCouldNotBeOpenedIsTriedAgainAtEachRun) {
  FakeSystem system;
  system.AddPort(0, "888\t1912");
  system.AddDevice(0);
  int holder = system.HoldDevice(0);
  ASSERT_GE(holder, 0);
  FakePpdev ppdev;
  std::vector<std::string> reports;
  const uint32_t portBase = 0x378;
  HardwarePort port(portBase, system.Options(reports, false, ppdev.Ioctl()));
  const auto release = [&] {
    ::close(holder);
    holder = -1;
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool beginRun;
    HardwarePort::Kind kind;
    const char* newReport;  // nullptr: nothing new on standard error
  } steps[] = {
      {"held by another copy", [] {}, false, HardwarePort::Kind::Absent, "in use by another"},
      {"the same reason, next run", [] {}, true, HardwarePort::Kind::Absent, nullptr},
      {"released, same run", release, false, HardwarePort::Kind::Absent, nullptr},
      {"device gone, next run", [&] { fs::remove(system.dev() / "parport0"); }, true,
       HardwarePort::Kind::Absent, "modprobe ppdev"},
      {"device back, next run", [&] { system.AddDevice(0); }, true, HardwarePort::Kind::Ppdev,
       nullptr},
      {"open, next run", [] {}, true, HardwarePort::Kind::Ppdev, nullptr},
  };
  for (const auto& step : steps) {
    const std::size_t reportsBefore = reports.size();
    step.change();
    if (step.beginRun) port.BeginRun();
    port.Write(0x378, 0x04);
    EXPECT_EQ(port.Access(), step.kind) << step.what;
    EXPECT_EQ(port.OpenFailure().empty(), step.kind == HardwarePort::Kind::Ppdev) << step.what;
    const std::size_t expected = reportsBefore + (step.newReport != nullptr ? 1 : 0);
    ASSERT_EQ(reports.size(), expected) << step.what;
    if (step.newReport != nullptr) {
      EXPECT_NE(reports.back().find(step.newReport), std::string::npos) << reports.back();
    }
  }
  using C = FakePpdev::Call;
  EXPECT_EQ(ppdev.calls, (std::vector<C>{{PPCLAIM, -1}, {PPWDATA, 0x04}, {PPWDATA, 0x04}}))
      << "claimed once, and kept over the next run";
  if (holder >= 0) ::close(holder);
}

// A port another copy holds is left alone: no direct I/O behind the holder's back, even for root.
TEST(HardwarePort, APortInUseIsNotTakenOverByDirectIo) {
  FakeSystem system;
  system.AddPort(0, "888\t1912");
  system.AddDevice(0);
  const int holder = system.HoldDevice(0);
  ASSERT_GE(holder, 0);
  std::vector<std::string> reports;
  const uint32_t portBase = 0x378;
  HardwarePort port(portBase, system.Options(reports, true));
  EXPECT_EQ(port.Access(), HardwarePort::Kind::Absent);  // opening only: no port access at all
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("in use by another program"), std::string::npos) << reports[0];
  ::close(holder);
}

TEST(HardwarePort, PermissionDeniedNamesGroupLp) {
  if (geteuid() == 0) GTEST_SKIP() << "root opens any file";
  FakeSystem system;
  system.AddPort(0, "888\t1912");
  system.AddDevice(0);
  fs::permissions(system.dev() / "parport0", fs::perms::none);
  std::vector<std::string> reports;
  const uint32_t portBase = 0x378;
  HardwarePort port(portBase, system.Options(reports));
  port.Write(0x378, 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("group lp"), std::string::npos) << reports[0];
}

}  // namespace
