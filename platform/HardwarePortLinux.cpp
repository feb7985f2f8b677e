#include "platform/HardwarePort.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ORVANTA_HAVE_DIRECT_IO 1
#else
#define ORVANTA_HAVE_DIRECT_IO 0
#endif

HardwarePort::HardwarePort(const uint32_t& base, HardwarePortOptions options)
    : base_(base), options_(std::move(options)) {
  if (!options_.report) options_.report = ReportToStderr;
  if (!options_.open) {
    options_.open = [](const char* path, int flags) { return ::open(path, flags); };
  }
  if (!options_.ioctl) {
    options_.ioctl = [](int fd, unsigned long request, unsigned char* byte) {
      return byte != nullptr ? ::ioctl(fd, request, byte) : ::ioctl(fd, request);
    };
  }
}

HardwarePort::~HardwarePort() {
  Close();
}

bool HardwarePort::OpenSystemPort(uint32_t address, Failure& failure) {
  // Direct I/O would bypass the holder's claim and drive its lines from under it.
  return OpenPpdev(address, failure) || (!failure.inUse && OpenDirectIo(address));
}

void HardwarePort::ReleasePpdev() {
  if (fd_ < 0) return;
  options_.ioctl(fd_, PPRELEASE, nullptr);
  ::close(fd_);
  fd_ = -1;
}

bool HardwarePort::Request(unsigned long request, unsigned char* byte) {
  if (options_.ioctl(fd_, request, byte) == 0) return true;
  const int error = errno;
  ReleasePpdev();
  kind_ = Kind::Absent;  // openedBase_ stays, so the port is not retried until `base` changes
  options_.report("the parallel port at " + Hex(*openedBase_) + " stopped answering (" +
                  std::strerror(error) + "); board runs fail until the tool is restarted");
  return false;
}

void HardwarePort::Close() {
  ReleasePpdev();
#if ORVANTA_HAVE_DIRECT_IO
  if (kind_ == Kind::DirectIo && openedBase_) {
    ioperm(*openedBase_, 3, 0);
    ioperm(kDelayPort, 1, 0);
  }
#endif
  kind_ = Kind::Absent;
  openedBase_.reset();
}

bool HardwarePort::OpenPpdev(uint32_t address, Failure& failure) {
  const std::optional<int> number = FindParportForBase(address, options_.procDir);
  if (!number) {
    const PortChoiceWords& words = PortChoiceSeam().Get();
    failure.line = "no parallel port at " + Hex(address) + " (none is listed under " +
                   options_.procDir + "); choose the port " + words.choose + ", or " +
                   words.simulate + " to use the simulated board";
    failure.user = "This computer has no parallel port at " + Hex(address) + ". Choose the port " +
                   words.choose + ".";
    return false;
  }
  const std::string device = options_.devDir + "/parport" + std::to_string(*number);
  const int fd = options_.open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    failure.line =
        "cannot open " + device + " for the port at " + Hex(address) + ": " + std::strerror(error);
    failure.user = "Cannot open " + device + ": " + std::strerror(error) + ".";
    if (error == EACCES || error == EPERM) {
      failure.line += "; add your user to group lp (usermod -aG lp $USER) and log in again";
      failure.user = "Permission denied on " + device +
                     ". Add yourself to the lp group, then log out and in again.";
    } else if (error == ENOENT || error == ENODEV || error == ENXIO) {
      failure.line += "; load the ppdev module (modprobe ppdev)";
      failure.user = "There is no " + device +
                     ": the ppdev driver is not loaded. Load it (sudo modprobe ppdev), then try "
                     "again.";
    }
    return false;
  }
  // PPCLAIM waits, without limit, for whoever holds the port; a second copy of this tool keeps its
  // claim for as long as it runs, so it is found here first instead of freezing the window.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    failure.line = device + " for the port at " + Hex(address) +
                   " is in use by another program (perhaps a second copy of this tool); close it "
                   "first";
    failure.user = device +
                   " is in use by another program (perhaps a second copy of this tool). Close "
                   "it, then try again.";
    failure.inUse = true;
    ::close(fd);
    return false;
  }
  if (options_.ioctl(fd, PPCLAIM, nullptr) != 0) {
    const int error = errno;
    failure.line = "cannot claim " + device + " for the port at " + Hex(address) + ": " +
                   std::strerror(error) +
                   "; another driver (usually lp) may hold it: unload it (rmmod lp)";
    failure.user = "Another driver, usually the printer driver lp, holds " + device +
                   ". Unload it (sudo rmmod lp), then try again.";
    ::close(fd);
    return false;
  }
  fd_ = fd;
  kind_ = Kind::Ppdev;
  return true;
}

bool HardwarePort::OpenDirectIo(uint32_t address) {
#if ORVANTA_HAVE_DIRECT_IO
  if (!options_.allowDirectIo || geteuid() != 0 || address + 3 > 0x10000) return false;
  if (ioperm(address, 3, 1) != 0) return false;
  if (ioperm(kDelayPort, 1, 1) != 0) {
    ioperm(address, 3, 0);
    return false;
  }
  kind_ = Kind::DirectIo;
  return true;
#else
  (void)address;
  return false;
#endif
}

void HardwarePort::Write(uint16_t port, uint8_t value) {
  switch (Access()) {
    case Kind::Absent:
      absent_.Write(port, value);
      return;
    case Kind::DirectIo:
#if ORVANTA_HAVE_DIRECT_IO
      if (port == kDelayPort || (port >= *openedBase_ && port <= *openedBase_ + 2)) {
        outb(value, port);
      }
#endif
      return;
    case Kind::Ppdev: {
      if (port == kDelayPort) {
        Delay(1);
        return;
      }
      unsigned char byte = value;
      if (port == *openedBase_) {
        Request(PPWDATA, &byte);
      } else if (port == *openedBase_ + 2) {
        Request(PPWCONTROL, &byte);
      }
      // The status register drives no connector line; writes to it are dropped.
      return;
    }
  }
}

uint8_t HardwarePort::Read(uint16_t port) {
  switch (Access()) {
    case Kind::Absent:
      return absent_.Read(port);
    case Kind::DirectIo:
#if ORVANTA_HAVE_DIRECT_IO
      if (port >= *openedBase_ && port <= *openedBase_ + 2) return inb(port);
#endif
      return 0xFF;
    case Kind::Ppdev: {
      unsigned char byte = 0xFF;
      bool ok = true;
      if (port == *openedBase_) {
        ok = Request(PPRDATA, &byte);
      } else if (port == *openedBase_ + 1) {
        ok = Request(PPRSTATUS, &byte);
      } else if (port == *openedBase_ + 2) {
        ok = Request(PPRCONTROL, &byte);
      }
      return ok ? byte : 0xFF;
    }
  }
  return 0xFF;
}

void HardwarePort::Delay(uint32_t units) {
  switch (Access()) {
    case Kind::Absent:
      absent_.Delay(units);
      return;
    case Kind::DirectIo:
#if ORVANTA_HAVE_DIRECT_IO
      for (uint32_t i = 0; i < units; ++i) outb(0x00, kDelayPort);
#endif
      return;
    case Kind::Ppdev: {
      // Port 0x80 is not ours under ppdev; a status read is a port access of the same steady,
      // short length.
      unsigned char byte = 0;
      for (uint32_t i = 0; i < units; ++i) {
        if (!Request(PPRSTATUS, &byte)) return;
      }
      return;
    }
  }
}
