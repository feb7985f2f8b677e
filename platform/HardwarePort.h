// The real parallel port at the address that `base` names, reached on Linux through ppdev
// (/dev/parportN, no root needed for group lp) or, failing that, direct I/O for root on x86; on
// Windows through the port driver DLL the user installs (inpoutx64.dll), loaded at start.
// Without either it behaves as AbsentPort and says on standard error why, again only when the
// reason changes, and keeps the reason in the user's words for the failure box (OpenFailure);
// each board run tries the port again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ParallelPorts.h"
#include "platform/PortIo.h"

struct HardwarePortOptions {
  std::string procDir = kParportProcDir;
  std::string devDir = "/dev";
  bool allowDirectIo = true;
  // Receives the one-line explanation when no port can be used.
  std::function<void(const std::string&)> report;
  // The ppdev requests (PPCLAIM, PPWDATA, ...); tests put a fake here. Empty: the real ioctl.
  std::function<int(int fd, unsigned long request, unsigned char* byte)> ioctl;
  // Opening the device node; tests put a fake here (a root test run cannot be refused). Empty:
  // the real open.
  std::function<int(const char* path, int flags)> open;
  // Windows: the port DLLs tried in turn, by name or path (tests name a stand-in). Empty:
  // inpoutx64.dll, then inpout32.dll.
  std::vector<std::string> portDlls;
};

// The lowest N of the parports under `procDir` (as ListParallelPorts reads them) whose base is
// `base`.
std::optional<int> FindParportForBase(uint32_t base, const std::string& procDir);

class HardwarePort final : public PortBackend {
 public:
  // `base` is read at every access, so a new port address takes effect at the next one.
  explicit HardwarePort(const uint32_t& base, HardwarePortOptions options = {});
  ~HardwarePort() override;
  HardwarePort(const HardwarePort&) = delete;
  HardwarePort& operator=(const HardwarePort&) = delete;

  void Write(uint16_t port, uint8_t value) override;
  uint8_t Read(uint16_t port) override;
  void Delay(uint32_t units) override;
  // A port that could not be opened (busy, no permission, missing) is tried again from the next
  // access on; its line is printed again only when the reason has changed.
  void BeginRun() override;
  std::string OpenFailure() const override;

  // DirectIo: ioperm on Linux, the port DLL on Windows.
  enum class Kind { Absent, Ppdev, DirectIo };
  // Opens the port for the current `base` if needed and says how it is reached.
  Kind Access();

 private:
  // A port address as the messages write it (0x378).
  static std::string Hex(uint32_t value);
  static void ReportToStderr(const std::string& line);
  void Open(uint32_t address);
  void Close();
  // Why an opening failed: the line for standard error, and the user's words for a message box.
  struct Failure {
    std::string line;
    std::string user;
    // Another program holds the port, so nothing else may touch it either.
    bool inUse = false;
  };
  // Reaches the port at `address` as this system allows; false, with `failure`, when it cannot.
  bool OpenSystemPort(uint32_t address, Failure& failure);
  // Linux.
  bool OpenPpdev(uint32_t address, Failure& failure);
  bool OpenDirectIo(uint32_t address);
  // One ppdev request on the open port; a failure gives the port up until `base` changes.
  bool Request(unsigned long request, unsigned char* byte);
  void ReleasePpdev();

  const uint32_t& base_;
  HardwarePortOptions options_;
  std::optional<uint32_t> openedBase_;
  // Why the last opening failed; empty after a success (every failure has its reason).
  std::string lastReason_;
  std::string lastUserReason_;
  Kind kind_ = Kind::Absent;
  int fd_ = -1;
  // Windows: the port DLL loaded at start, or why none could be.
  struct PortDll;
  std::shared_ptr<PortDll> dll_;
  AbsentPort absent_;
};
