#include "firmware/OfwTool.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "firmware/OfwCheck.h"
#include "firmware/OfwFormat.h"
#include "platform/Console.h"
#include "platform/PlainFile.h"

namespace {

constexpr const char* kUsage =
    "usage: orvanta-ofw pack IN.hex OUT.ofw | unpack IN.ofw OUT.hex | check FILE.ofw | --help\n"
    "       orvanta-ofw flash FILE.ofw | download OUT.osf | upload IN.osf [options]";

constexpr const char* kHelp =
    "orvanta-ofw makes, reads and checks Orvanta firmware files (.ofw), and flashes\n"
    "and reads boards without the window.\n"
    "\n"
    "  orvanta-ofw pack IN.hex OUT.ofw    scramble Intel HEX into a firmware file\n"
    "  orvanta-ofw unpack IN.ofw OUT.hex  turn a firmware file back into Intel HEX\n"
    "  orvanta-ofw check FILE.ofw         check a firmware file as an update does\n"
    "  orvanta-ofw flash FILE.ofw         check it, then program and verify a board\n"
    "  orvanta-ofw download OUT.osf       write the board's settings to OUT.osf\n"
    "  orvanta-ofw upload IN.osf          put the settings of IN.osf on the board\n"
    "\n"
    "pack reads the Intel HEX an 8051 toolchain writes: records of up to 255 data\n"
    "bytes (longer data records are split so that every line stays within 255\n"
    "characters), record types 00-05, upper- or lower-case digits, LF or CR LF line\n"
    "ends. It refuses what a firmware update would refuse and says which line is\n"
    "wrong and why.\n"
    "\n"
    "flash, download and upload take these options, in any order after the command:\n"
    "  --port PORT       0x378, 0x278, an address in hexadecimal, or usb (the USB\n"
    "                    cable); else the choice kept in ConnSettings.dat in the\n"
    "                    current folder, else 0x378\n"
    "  --simulate DIR    the simulated board kept in DIR/SimulatedBoard.hex\n"
    "  --simfault FAULT  with --simulate: absent, unpowered, flaky, stuck@K, dies@N\n"
    "                    or nousb\n"
    "  --fast            read each written byte back until the chip has taken it\n"
    "  --delaymult X     every calibrated wait times X (above 0, at most 100)\n"
    "On a terminal, a line on standard error shows how far the board is. At the end\n"
    "one line on standard output says what was done or that it failed, and standard\n"
    "error why.\n"
    "\n"
    "Exit status: 0 done; 1 a file or the board said no (a file was refused or could\n"
    "not be read or written, the board did not answer or refused, or a port could\n"
    "not be opened); 2 the arguments were not understood.\n";

// The whole file; a read error is reported as one, never taken for the end of the file.
bool ReadWhole(const std::string& path, std::string& text, std::string& error) {
  std::optional<std::string> bytes = ReadPlainFile(path, SIZE_MAX, &error);
  if (!bytes) return false;
  text = std::move(*bytes);
  return true;
}

int Refuse(std::ostream& err, const std::string& path, const std::string& why) {
  err << path << ": " << why << "\n";
  return kToolRefused;
}

// `text` as the file `path`, or on standard output when the name means it; the summary then goes
// to standard error, so that standard output holds the file alone.
int WriteOutput(const std::string& path, const std::string& text, const OfwReport& report,
                std::ostream& out, std::ostream& err) {
  if (NamesStandardOutput(path)) {
    out << text;
    err << path << ": " << report.Message() << "\n";
    return kToolDone;
  }
  std::string error;
  if (!WriteFileAtomically(path, text, error)) return Refuse(err, path, error);
  out << path << ": " << report.Message() << "\n";
  return kToolDone;
}

int Pack(const std::string& in, const std::string& out, std::ostream& outS, std::ostream& err) {
  std::string hex;
  std::string error;
  if (!ReadWhole(in, hex, error)) return Refuse(err, in, error);
  std::string ofw;
  const OfwReport report = PackHex(hex, ofw);
  if (!report.ok()) return Refuse(err, in, report.Message());
  return WriteOutput(out, ofw, report, outS, err);
}

int Unpack(const std::string& in, const std::string& out, std::ostream& outS, std::ostream& err) {
  std::string image;
  const OfwReport report = CheckFirmwareFile(in, image);
  if (!report.ok()) return Refuse(err, in, report.Message());
  return WriteOutput(out, image, report, outS, err);
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
