#include "firmware/OfwTool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "firmware/OfwCheck.h"
#include "firmware/OfwFormat.h"
#include "platform/PlainFile.h"

namespace {

constexpr const char* kUsage =
    "usage: orvanta-ofw pack IN.hex OUT.ofw | unpack IN.ofw OUT.hex | check FILE.ofw | --help";

constexpr const char* kHelp =
    "orvanta-ofw makes, reads and checks Orvanta firmware files (.ofw).\n"
    "\n"
    "  orvanta-ofw pack IN.hex OUT.ofw    scramble Intel HEX into a firmware file\n"
    "  orvanta-ofw unpack IN.ofw OUT.hex  turn a firmware file back into Intel HEX\n"
    "  orvanta-ofw check FILE.ofw         check a firmware file as a firmware update does\n"
    "\n"
    "pack reads the Intel HEX an 8051 toolchain writes: records of up to 255 data bytes\n"
    "(longer data records are split so that every line stays within 255 characters),\n"
    "record types 00-05, upper- or lower-case digits, LF or CR LF line ends. It refuses\n"
    "what a firmware update would refuse and says which line is wrong and why.\n"
    "\n"
    "Exit status: 0 done; 1 a file was refused or could not be read or written;\n"
    "2 the arguments were not understood.\n";

// A read error is reported as one, never taken for the end of the file.
bool ReadWhole(const std::string& path, std::string& text, std::string& error) {
  std::string why;
  const PlainFile file = OpenPlainFile(path, &why);
  if (!file) {
    error = "the file cannot be opened: " + why;
    return false;
  }
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
    text.append(chunk, n);
  }
  if (std::ferror(file.get())) {
    error = std::string("the file cannot be read: ") + std::strerror(errno);
    return false;
  }
  return true;
}

// Writes through a new file beside `path` and renames it over, so that a failed write neither
// leaves half a file behind nor spoils the one already there.
bool WriteWhole(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = std::string("the file cannot be written: ") + std::strerror(errno);
    return false;
  }
  std::size_t done = 0;
  int failure = 0;
  while (done < text.size() && failure == 0) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) failure = errno;
    if (n == 0) failure = EIO;  // nothing written and no reason given: never spin on it
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    error = std::string("the file cannot be written: ") + std::strerror(failure);
    return false;
  }
  return true;
}

int Refuse(std::ostream& err, const std::string& path, const std::string& why) {
  err << path << ": " << why << "\n";
  return kToolRefused;
}

int Pack(const std::string& in, const std::string& out, std::ostream& outS, std::ostream& err) {
  std::string hex;
  std::string error;
  if (!ReadWhole(in, hex, error)) return Refuse(err, in, error);
  std::string ofw;
  const OfwReport report = PackHex(hex, ofw);
  if (!report.ok()) return Refuse(err, in, report.Message());
  if (!WriteWhole(out, ofw, error)) return Refuse(err, out, error);
  outS << out << ": " << report.Message() << "\n";
  return kToolDone;
}

int Unpack(const std::string& in, const std::string& out, std::ostream& outS, std::ostream& err) {
  std::string image;
  const OfwReport report = CheckFirmwareFile(in, image);
  if (!report.ok()) return Refuse(err, in, report.Message());
  std::string error;
  if (!WriteWhole(out, image, error)) return Refuse(err, out, error);
  outS << out << ": " << report.Message() << "\n";
  return kToolDone;
}

int Check(const std::string& path, std::ostream& out, std::ostream& err) {
  std::string image;
  const OfwReport report = CheckFirmwareFile(path, image);
  if (!report.ok()) return Refuse(err, path, report.Message());
  out << path << ": " << report.Message() << "\n";
  return kToolDone;
}

}  // namespace

int RunOfwTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kHelp;
    return kToolDone;
  }
  if (args.size() == 3 && args[0] == "pack") return Pack(args[1], args[2], out, err);
  if (args.size() == 3 && args[0] == "unpack") return Unpack(args[1], args[2], out, err);
  if (args.size() == 2 && args[0] == "check") return Check(args[1], out, err);
  err << kUsage << "\n";
  return kToolUsage;
}
