#include "firmware/OfwTool.h"

#include <cstdint>
#include <optional>
#include <utility>

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

// The whole file; a read error is reported as one, never taken for the end of the file.
bool ReadWhole(const std::string& path, std::string& text, std::string& error) {
  std::optional<std::string> bytes = ReadPlainFile(path, SIZE_MAX, &error);
  if (!bytes) return false;
  text = std::move(*bytes);
  return true;
}

bool WriteWhole(const std::string& path, const std::string& text, std::string& error) {
  return WriteFileAtomically(path, text, error);
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
