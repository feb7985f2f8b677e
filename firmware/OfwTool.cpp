#include "firmware/OfwTool.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "firmware/OfwCheck.h"
#include "firmware/OfwFormat.h"
#include "platform/Console.h"
#include "platform/PlainFile.h"
#include "platform/Sha256.h"

namespace {

constexpr const char* kUsage =
    "usage: orvanta-ofw pack IN.hex OUT.ofw | unpack IN.ofw OUT.hex | check FILE.ofw [--json]\n"
    "       orvanta-ofw flash FILE.ofw|FILE.hex | download OUT.osf | upload IN.osf | cables\n"
    "       [options]\n"
    "       orvanta-ofw help [COMMAND] | --help | --version";

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
    "  orvanta-ofw cables                 list the USB cables (FT232R) plugged in\n"
    "  orvanta-ofw help COMMAND           more about one command (or COMMAND --help)\n"
    "  orvanta-ofw --version              the version, for a production log\n"
    "\n"
    "pack reads the Intel HEX an 8051 toolchain writes: records of up to 255 data\n"
    "bytes (longer data records are split so that every line stays within 255\n"
    "characters), record types 00-05, upper- or lower-case digits, LF or CR LF line\n"
    "ends. It refuses what a firmware update would refuse and says which line is\n"
    "wrong and why. flash takes such a file (.hex) as well. An output named - is\n"
    "standard output.\n"
    "\n"
    "flash, download and upload take these options, in any order after the command:\n"
    "  --port PORT       0x378, 0x278, an address in hexadecimal, usb (the first USB\n"
    "                    cable found) or usb:SERIAL (the USB cable with that serial\n"
    "                    number); else the choice kept in ConnSettings.dat in the\n"
    "                    current folder, else 0x378\n"
    "  --simulate DIR    the simulated board kept in DIR/SimulatedBoard.hex\n"
    "  --simfault FAULT  with --simulate: absent, unpowered, flaky, stuck@K, dies@N\n"
    "                    or nousb\n"
    "  --fast            read each written byte back until the chip has taken it\n"
    "  --delaymult X     every calibrated wait times X (above 0, at most 100)\n"
    "  --json            one JSON object on standard output instead of the line\n"
    "On a terminal, a line on standard error shows how far the board is. At the end\n"
    "one line on standard output says what was done or that it failed, and standard\n"
    "error why.\n"
    "\n"
    "Exit status: 0 done; 1 a file or the board said no (a file was refused or could\n"
    "not be read or written, the board did not answer or refused, or a port could\n"
    "not be opened); 2 the arguments were not understood; 130 or 143 stopped by\n"
    "Ctrl-C or SIGTERM.\n";

constexpr const char* kBoardOptions =
    "\n"
    "Options, in any order after the command (see orvanta-ofw --help):\n"
    "  --port PORT  --simulate DIR  --simfault FAULT  --fast  --delaymult X  --json\n"
    "Exit status: 0 done; 1 a file or the board said no; 2 the arguments were not\n"
    "understood; 130 or 143 stopped by Ctrl-C or SIGTERM.\n";

constexpr const char* kFileStatus =
    "\n"
    "Exit status: 0 done; 1 the file was refused or could not be read or written;\n"
    "2 the arguments were not understood.\n";

constexpr const char* kCablesStatus =
    "\n"
    "Exit status: 0 a cable was found; 1 none was; 2 the arguments were not\n"
    "understood.\n";

struct CommandText {
  const char* command;
  const char* text;
  const char* tail;
};

const CommandText kCommandHelp[] = {
    {"pack",
     "usage: orvanta-ofw pack IN.hex OUT.ofw\n"
     "Scrambles the Intel HEX an 8051 toolchain writes into a firmware file, refusing\n"
     "what a firmware update would refuse, with the line and why. OUT.ofw - is\n"
     "standard output, and the summary then goes to standard error.\n",
     kFileStatus},
    {"unpack",
     "usage: orvanta-ofw unpack IN.ofw OUT.hex\n"
     "Checks a firmware file as check does and turns it back into Intel HEX, one\n"
     "record a line. OUT.hex - is standard output, and the summary then goes to\n"
     "standard error.\n",
     kFileStatus},
    {"check",
     "usage: orvanta-ofw check FILE.ofw [--json]\n"
     "Checks a firmware file exactly as \"Update Firmware\" does and says what it\n"
     "holds, or which line is wrong and why. With --json, one JSON object on\n"
     "standard output instead of the line.\n",
     kFileStatus},
    {"flash",
     "usage: orvanta-ofw flash FILE.ofw|FILE.hex [options]\n"
     "Checks the whole firmware file as check does (Intel HEX as pack would pack\n"
     "it), then erases the board, programs and verifies it byte by byte and writes\n"
     "the lock bits, once more from the first line if the first try fails. No\n"
     "settings are put back.\n",
     kBoardOptions},
    {"download",
     "usage: orvanta-ofw download OUT.osf [options]\n"
     "Downloads the board's settings and writes the file \"Save Configuration\"\n"
     "writes. OUT.osf - is standard output, and the summary then goes to standard\n"
     "error.\n",
     kBoardOptions},
    {"upload",
     "usage: orvanta-ofw upload IN.osf [options]\n"
     "Takes a complete settings file (19 lines, 0: to 18:, each value in its\n"
     "line's range), downloads the board first, then uploads the settings as\n"
     "\"Upload Configuration\" does.\n",
     kBoardOptions},
    {"cables",
     "usage: orvanta-ofw cables [--simulate DIR [--simfault FAULT]]\n"
     "Lists the USB cables (FT232R) plugged in, one line each: the --port word that\n"
     "chooses it (usb:SERIAL), a tab, and its name.\n",
     kCablesStatus},
};

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

double Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// With `json`, one JSON object on `out` instead of the line, which a failure still gives on `err`.
int Check(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
  const double start = Seconds();
  std::string image;
  const OfwReport report = CheckFirmwareFile(path, image);
  if (json) {
    ToolRecord record;
    record.command = "check";
    record.file = path;
    const std::optional<std::string> bytes = ReadPlainFile(path, SIZE_MAX);
    if (bytes) record.sha256 = Sha256Hex(*bytes);
    record.firmware = report.ok() ? report.summary.identity : std::nullopt;
    record.result = report.ok() ? "done" : "failed";
    record.seconds = Seconds() - start;
    if (!report.ok()) record.title = "Bad Firmware File";
    if (!report.ok()) record.message = report.Message();
    out << ToolRecordJson(record);
  }
  if (!report.ok()) return Refuse(err, path, report.Message());
  if (!json) out << path << ": " << report.Message() << "\n";
  return kToolDone;
}

bool IsHelp(const std::string& arg) {
  return arg == "--help" || arg == "-h";
}

bool IsCommand(const std::string& name) {
  return std::any_of(std::begin(kCommandHelp), std::end(kCommandHelp),
                     [&name](const CommandText& c) { return name == c.command; });
}

// How long the UTF-8 sequence at `at` is; 0 when it is none (a name in another encoding).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(at);
  if (lead < 0x80) return 1;
  // The sequence's length and the range of its second byte, which rules out overlong forms,
  // surrogates and code points beyond U+10FFFF.
  std::size_t length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = at + 2; i < at + length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// A JSON string: quotes, backslashes and control characters escaped, UTF-8 as it is, and a byte
// that is not UTF-8 (a file name in another encoding) as U+FFFD, so the line stays JSON.
std::string JsonText(const std::string& text) {
  std::string json = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      json += "\\ufffd";
      ++at;
      continue;
    }
    if (length > 1) {
      json.append(text, at, length);
      at += length;
      continue;
    }
    ++at;
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::string JsonTextOrNull(const std::string& text) {
  return text.empty() ? "null" : JsonText(text);
}

std::string BoardTypeName(uint8_t type) {
  if (type == 0) return "Kalix";
  if (type == 1) return "Orvanta";
  return "Unknown";
}

}  // namespace

std::string CommandHelp(const std::string& command) {
  for (const CommandText& c : kCommandHelp) {
    if (command == c.command) return std::string(c.text) + c.tail;
  }
  return kHelp;
}

std::string ToolRecordJson(const ToolRecord& r) {
  std::string firmware = "null";
  std::string boardType = "null";
  if (r.firmware) {
    char revision[16];
    std::snprintf(revision, sizeof revision, "%u.%02u", r.firmware->major, r.firmware->minor);
    firmware = JsonText(revision);
    boardType = JsonText(BoardTypeName(r.firmware->boardType));
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", r.seconds);
  return "{\"command\":" + JsonText(r.command) + ",\"file\":" + JsonText(r.file) +
         ",\"sha256\":" + JsonTextOrNull(r.sha256) + ",\"firmware\":" + firmware +
         ",\"boardType\":" + boardType + ",\"cable\":" + JsonTextOrNull(r.cable) +
         ",\"result\":" + JsonText(r.result) +
         ",\"tries\":" + (r.tries < 0 ? "null" : std::to_string(r.tries)) +
         ",\"seconds\":" + seconds + ",\"title\":" + JsonTextOrNull(r.title) +
         ",\"message\":" + JsonTextOrNull(r.message) + ",\"details\":" + JsonTextOrNull(r.details) +
         "}\n";
}

int RunOfwTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::size_t n = args.size();
  if ((n == 1 && (IsHelp(args[0]) || args[0] == "help")) ||
      (n == 2 && args[0] == "help" && IsCommand(args[1])) ||
      (n == 2 && IsCommand(args[0]) && IsHelp(args[1]))) {
    out << CommandHelp(n == 1 ? "" : args[0] == "help" ? args[1] : args[0]);
    return kToolDone;
  }
  if (n == 1 && (args[0] == "--version" || args[0] == "version")) {
    out << "orvanta-ofw " << ORVANTA_VERSION << "\n";
    return kToolDone;
  }
  if (n == 3 && args[0] == "pack") return Pack(args[1], args[2], out, err);
  if (n == 3 && args[0] == "unpack") return Unpack(args[1], args[2], out, err);
  if (n == 2 && args[0] == "check") return Check(args[1], false, out, err);
  if (n == 3 && args[0] == "check" && (args[1] == "--json" || args[2] == "--json")) {
    return Check(args[1] == "--json" ? args[2] : args[1], true, out, err);
  }
  err << kUsage << "\n";
  return kToolUsage;
}
