#include "app/BoardTool.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "app/AppDirectory.h"
#include "app/BoardReport.h"
#include "app/CableSetup.h"
#include "app/CommandLine.h"
#include "app/ConnectionSettings.h"
#include "app/Globals.h"
#include "app/ProgressLine.h"
#include "board/BoardMessages.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "firmware/OfwCheck.h"
#include "firmware/OfwTool.h"
#include "platform/Console.h"
#include "platform/Interrupt.h"
#include "platform/PlainFile.h"
#include "platform/PortIo.h"
#include "platform/UsbBitBang.h"
#include "settings/SettingsFile.h"
#include "settings/ShownSettings.h"
#include "settings/Validation.h"
#include "sim/SimFaults.h"

namespace {

// Where a board maker chooses the port and the simulated board: the options, not the window.
const PortChoiceWords kOptionWords{"with --port", "use --simulate DIR"};

constexpr const char* kBoardUsage =
    "usage: orvanta-ofw flash FILE.ofw|FILE.hex | download OUT.osf | upload IN.osf | cables\n"
    "       [--port 0x378|0x278|ADDRESS|usb|usb:SERIAL] [--simulate DIR [--simfault FAULT]]\n"
    "       [--fast] [--delaymult X] [--json]";

struct BoardCommand {
  std::string name;
  std::string file;
  std::optional<std::filesystem::path> boardFolder;  // --simulate
  bool json = false;
};

int Usage(std::ostream& err, const std::string& why) {
  err << "orvanta-ofw: " << why << "\n" << kBoardUsage << "\n";
  return kToolUsage;
}

// A plain decimal number, an optional plus sign in front as the window's switch takes it.
std::optional<float> DelayMultiplier(const std::string& text) {
  float value = 0.0f;
  const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(begin, end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  if (!(value > 0.0f) || value > kMaxDelayMultiplier) return std::nullopt;
  return value;
}

bool IsValueOption(const std::string& option) {
  return option == "--port" || option == "--simulate" || option == "--simfault" ||
         option == "--delaymult";
}

// Sets the switches the options name, as the window's switches do. An empty text on success.
std::string ReadOption(const std::string& option, const std::string& value, BoardCommand& command,
                       bool& portGiven) {
  if (option == "--port") {
    if (!IsUsbToken(value) && !ParseConnectionToken(value)) {
      return "--port \"" + value + "\" names no port (0x378, 0x278, an address, usb, usb:SERIAL)";
    }
    portGiven = true;
    UseConnectionToken(value);
    return {};
  }
  if (option == "--simulate") {
    std::error_code error;
    if (!std::filesystem::is_directory(PathFromName(value), error)) {
      return "--simulate \"" + value + "\" is not a folder";
    }
    bSimulate = 1;
    command.boardFolder = PathFromName(value);
    return {};
  }
  if (option == "--simfault") {
    if (!ParseSimFault(kSimFaultPrefix + value, simFaults)) {
      return "--simfault \"" + value +
             "\" names no fault (absent, unpowered, flaky, stuck@K, dies@N, nousb)";
    }
    return {};
  }
  if (option == "--delaymult") {
    const std::optional<float> multiplier = DelayMultiplier(value);
    if (!multiplier) return "--delaymult \"" + value + "\" is not a number above 0 and up to 100";
    fDelayOffSet = *multiplier;
    return {};
  }
  return {};  // IsValueOption lets no other through
}

// The command, its file and its options, which may come in any order after the command.
std::optional<BoardCommand> ReadArguments(const std::vector<std::string>& args, std::ostream& err,
                                          int& status) {
  BoardCommand command{args[0], {}, std::nullopt};
  bool portGiven = false;
  bool fileGiven = false;
  bool optionsEnded = false;  // after "--", a name that starts with "--" is a file's
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string option = args[i];
    if (option == "--" && !optionsEnded) {
      optionsEnded = true;
      continue;
    }
    if (option == "--fast" && !optionsEnded) {
      bFastProgramming = 1;
      continue;
    }
    if (option == "--json" && !optionsEnded) {
      command.json = true;
      continue;
    }
    if (optionsEnded || !option.starts_with("--")) {
      if (command.name == "cables") {
        status = Usage(err, "cables takes no file: " + args[i]);
        return std::nullopt;
      }
      if (fileGiven) {
        status = Usage(err, "one file only: " + args[i]);
        return std::nullopt;
      }
      command.file = option;
      fileGiven = true;
      continue;
    }
    std::string value;
    const std::size_t equals = option.find('=');
    if (!IsValueOption(option.substr(0, equals))) {
      const std::string name = option.substr(0, equals);
      status = Usage(err, name == "--fast" || name == "--json" ? name + " takes no value"
                                                               : "unknown option " + name);
      return std::nullopt;
    }
    if (equals != std::string::npos) {
      value = option.substr(equals + 1);
      option.resize(equals);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      status = Usage(err, option + " needs a value");
      return std::nullopt;
    }
    if (const std::string why = ReadOption(option, value, command, portGiven); !why.empty()) {
      status = Usage(err, why);
      return std::nullopt;
    }
  }
  if (!fileGiven && command.name != "cables") {
    status = Usage(err, command.name + " needs a file");
    return std::nullopt;
  }
  if (!simFaults.Empty() && bSimulate == 0) {
    status = Usage(err, "--simfault works only with --simulate");
    return std::nullopt;
  }
  if (command.json && command.name == "download" && NamesStandardOutput(command.file)) {
    status = Usage(err, "--json and the settings file cannot both go to standard output");
    return std::nullopt;
  }
  // The window's choice, kept in the folder the command runs in.
  if (!portGiven) {
    if (const std::optional<std::string> token = ReadConnectionFile(kConnSettingsFile)) {
      UseConnectionToken(*token);
    }
  }
  return command;
}

// The revision as the firmware check compares and names it (2.05, not the label's v2.5), so a log
// reads the same as the flash summary and the too-old message.
std::string BoardSummary() {
  char revision[16];
  std::snprintf(revision, sizeof revision, "%u.%02u", SettingsArray[kElemFirmwareMajor],
                SettingsArray[kElemFirmwareMinor]);
  return std::string("firmware ") + revision + ", " +
         BoardTypeLabel(SettingsArray[kElemBoardType]) + " board";
}

OfwIdentity BoardIdentity() {
  return {SettingsArray[kElemFirmwareMajor], SettingsArray[kElemFirmwareMinor],
          SettingsArray[kElemBoardType]};
}

// A file that could never be written is refused before the board is read, not after. A file that
// exists and takes writes is written in place even where its folder takes no new file.
std::optional<std::string> CannotWriteInto(const std::string& file) {
  if (NamesStandardOutput(file) || ::access(file.c_str(), W_OK) == 0) return std::nullopt;
  const std::filesystem::path folder = PathFromName(file).parent_path();
  const std::string name = folder.empty() ? "." : folder.string();
  if (FolderTakesNewFiles(name)) return std::nullopt;
  return std::string("the file cannot be written: ") + std::strerror(errno);
}

bool Download(BoardReport& report, ProgressLine& line) {
  if (!report.Run("download", kBoardAsItWas,
                  [&line] { return PullSettingsFromBoard(line) == 1; })) {
    return false;
  }
  report.Firmware(BoardIdentity());
  return true;
}

int RefuseIncomplete(BoardReport& report, SettingsItem item) {
  return report.Refuse(kIncompleteSettingsTitle,
                       std::string(kIncompleteSettingsText) + " (" + SettingsItemLabel(item) + ")");
}

// Intel HEX as an 8051 toolchain names it; everything else is taken for a firmware file.
bool IsIntelHex(const std::string& file) {
  std::string extension = std::filesystem::path(file).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".hex" || extension == ".ihx";
}

// Intel HEX checked as the firmware file pack would make of it, into m_FWArray.
OfwReport CheckHexAsPacked(const std::string& hex) {
  std::string ofw;
  const OfwReport packed = PackHex(hex, ofw);
  return packed.ok() ? CheckFirmwareText(ofw, m_FWArray) : packed;
}

// The firmware upload, no settings restore: a bare board has none to restore.
int Flash(const BoardCommand& command, BoardReport& report, ProgressLine& line) {
  const std::optional<std::string> bytes = ReadPlainFile(command.file, SIZE_MAX);
  if (bytes) report.FileBytes(*bytes);
  const bool hex = IsIntelHex(command.file) && bytes;
  const OfwReport check =
      hex ? CheckHexAsPacked(*bytes) : CheckFirmwareFile(command.file, m_FWArray);
  if (!check.ok()) {
    return report.Refuse(kBadFirmwareTitle,
                         OneLine(kBadFirmwareText, 1) + " (" + check.Message() + ")");
  }
  report.Firmware(check.summary.identity);
  const auto flash = [&] {
    return (hex ? UploadFirmwareImage(line) : UploadFirmware(line, command.file)) == 1;
  };
  if (!report.Run("flash", kBoardErased, flash)) {
    return report.RefuseRun(kFirmwareFailedTitle, kFirmwareFailedText);
  }
  return report.Done("flashed and verified, " + check.Message());
}

// What "Save Configuration" writes after a download of the board.
int DownloadToFile(const BoardCommand& command, BoardReport& report, ProgressLine& line) {
  if (const std::optional<std::string> why = CannotWriteInto(command.file)) {
    return report.Refuse(kSaveSettingsFailedTitle,
                         std::string(kSaveSettingsFailedText) + " (" + *why + ")");
  }
  if (!Download(report, line)) {
    return report.RefuseRun(kBoardReadFailedTitle, kBoardReadFailedText);
  }
  const DialogSettings shown = ShownAfterDownload(SettingsArray);
  if (const std::optional<SettingsItem> missing = FirstIncompleteItem(shown)) {
    return RefuseIncomplete(report, *missing);
  }
  if (StopRequested()) return report.Stopped();  // no file once it is no longer wanted
  const std::string text = WriteSettingsFile(shown);
  report.FileBytes(text);
  if (NamesStandardOutput(command.file)) {
    return report.DoneOnStandardOutput(text, "downloaded, " + BoardSummary());
  }
  std::string why;
  if (!WriteFileAtomically(command.file, text, why)) {
    return report.Refuse(kSaveSettingsFailedTitle,
                         std::string(kSaveSettingsFailedText) + " (" + why + ")");
  }
  return report.Done("downloaded, " + BoardSummary());
}

// The window's start (a download), "Open Configuration", then "Upload Configuration".
int UploadFromFile(const BoardCommand& command, BoardReport& report, ProgressLine& line) {
  std::string why;
  const std::optional<std::string> bytes =
      ReadPlainFile(command.file, kSettingsFileBytesRead, &why);
  if (!bytes) return report.Refuse("Open Settings Failed", why);
  report.FileBytes(*bytes);
  if (const std::string fault = SettingsFileFault(*bytes); !fault.empty()) {
    return report.Refuse("Bad Settings File", fault);
  }
  const SettingsFileContents contents = ReadSettingsFile(*bytes);

  if (!Download(report, line)) {
    return report.RefuseRun(kBoardReadFailedTitle, kBoardReadFailedText);
  }
  const uint8_t major = SettingsArray[kElemFirmwareMajor];
  const uint8_t minor = SettingsArray[kElemFirmwareMinor];
  if (FirmwareTooOld(major, minor)) {
    return report.Refuse(kNewFirmwareTitle, OneLine(TooOldText(BoardRevision(major, minor)), 2));
  }
  DialogSettings shown = ShownAfterDownload(SettingsArray);
  ApplySettingsFileTo(shown, contents);
  if (const std::optional<SettingsItem> missing = FirstIncompleteItem(shown)) {
    return RefuseIncomplete(report, *missing);
  }
  BlockFromShown(shown, SettingsArray);
  if (!report.Run("upload", kSettingsPartlyWritten,
                  [&line] { return PushSettingsToBoard(line) == 1; })) {
    return report.RefuseRun(kUploadFailedTitle, kUploadFailedText);
  }
  return report.Done("uploaded, " + BoardSummary());
}

// The FT232R cables plugged in, one line each: the --port word that chooses it, a tab, its name.
int ListCables(std::ostream& out, std::ostream& err) {
  const std::vector<UsbDeviceInfo> cables = ListUsbCables();
  for (const UsbDeviceInfo& cable : cables) {
    const std::string name = cable.description.empty() ? "FT232R" : cable.description;
    out << UsbTokenFor(cable.serial) << '\t' << name
        << (cable.serial.empty() ? " (no serial number: used only as the first found)" : "")
        << "\n";
  }
  if (!cables.empty()) return kToolDone;
  err << "orvanta-ofw: no USB cable (FT232R) was found\n";
  return kToolRefused;
}

}  // namespace

bool IsBoardCommand(const std::string& command) {
  return command == "flash" || command == "download" || command == "upload" || command == "cables";
}

int RunBoardTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool errIsTerminal) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") return RunOfwTool({args[0], "--help"}, out, err);
  }
  int status = kToolUsage;
  const std::optional<BoardCommand> command = ReadArguments(args, err, status);
  if (!command) return status;
  const StopSignals stopSignals;
  ProgressLine line(err, errIsTerminal, SteadySeconds,
                    [] { return TerminalColumns(kStandardError); });
  const PortChoiceOverride words(PortChoiceSeam(), kOptionWords);
  CableSetup cables(command->boardFolder, err, "orvanta-ofw");
  if (command->name == "cables") return ListCables(out, err);
  BoardReport report(command->name, command->file, command->json, out, err, line,
                     [&cables] { return cables.KeepSimulatedBoard(); });
  // Another run holds the simulated board, or it cannot be saved: a board run would be lost.
  if (const std::string why = cables.KeepSimulatedBoard(); !why.empty()) {
    return report.Refuse("Simulated Board Not Saved", why + "; nothing was done");
  }
  if (command->name == "flash") return Flash(*command, report, line);
  if (command->name == "download") return DownloadToFile(*command, report, line);
  return UploadFromFile(*command, report, line);
}
