#include "app/BoardTool.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include "app/AppDirectory.h"
#include "app/CableSetup.h"
#include "app/CommandLine.h"
#include "app/ConnectionSettings.h"
#include "app/Globals.h"
#include "app/ProgressLine.h"
#include "board/BoardMessages.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "firmware/OfwTool.h"
#include "platform/Console.h"
#include "platform/Interrupt.h"
#include "platform/PlainFile.h"
#include "platform/PortIo.h"
#include "settings/SettingsFile.h"
#include "settings/ShownSettings.h"
#include "settings/Validation.h"
#include "sim/SimFaults.h"

namespace {

// Where a board maker chooses the port and the simulated board: the options, not the window.
const PortChoiceWords kOptionWords{"with --port", "use --simulate DIR"};

constexpr const char* kBoardUsage =
    "usage: orvanta-ofw flash FILE.ofw | download OUT.osf | upload IN.osf\n"
    "       [--port 0x378|0x278|ADDRESS|usb] [--simulate DIR [--simfault FAULT]] [--fast]\n"
    "       [--delaymult X]";

struct BoardCommand {
  std::string name;
  std::string file;
  std::optional<std::filesystem::path> boardFolder;  // --simulate
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
      return "--port \"" + value + "\" names no port (0x378, 0x278, an address, usb)";
    }
    portGiven = true;
    UseConnectionToken(value);
    return {};
  }
  if (option == "--simulate") {
    std::error_code error;
    if (!std::filesystem::is_directory(value, error)) {
      return "--simulate \"" + value + "\" is not a folder";
    }
    bSimulate = 1;
    command.boardFolder = value;
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
    if (optionsEnded || !option.starts_with("--")) {
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
      status = Usage(err, name == "--fast" ? "--fast takes no value" : "unknown option " + name);
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
  if (!fileGiven) {
    status = Usage(err, command.name + " needs a file");
    return std::nullopt;
  }
  if (!simFaults.Empty() && bSimulate == 0) {
    status = Usage(err, "--simfault works only with --simulate");
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

// A message of the window on one line: its first `paragraphs` paragraphs (the rest speaks of the
// window's buttons), line breaks and runs of blanks as one blank.
std::string OneLine(const std::string& text, int paragraphs) {
  std::string line;
  std::size_t from = 0;
  for (int i = 0; i < paragraphs && from < text.size(); ++i) {
    const std::size_t end = text.find("\n\n", from);
    if (!line.empty()) line += ' ';
    line += text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    from = end == std::string::npos ? text.size() : end + 2;
  }
  std::string collapsed;
  for (const char c : line) {
    const char shown = c == '\n' ? ' ' : c;
    if (shown == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
    collapsed += shown;
  }
  while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  return collapsed;
}

constexpr const char* kBoardNotSavedTitle = "Simulated Board Not Saved";
constexpr const char* kBoardAsItWas = "the board is as it was";
constexpr const char* kBoardErased = "the board is erased, flash it again";
constexpr const char* kSettingsPartlyWritten =
    "the board's settings are partly written, upload them again";

class Reporter {
 public:
  // `keep` saves the simulated board and says why it could not be, or nothing.
  Reporter(const BoardCommand& command, std::ostream& out, std::ostream& err, ProgressLine& line,
           std::function<std::string()> keep)
      : command_(command), out_(out), err_(err), line_(line), keep_(std::move(keep)) {}

  // What state the board is in should the command be stopped now.
  void BoardState(const char* state) { state_ = state; }

  // The refusal: the reason on `err`, the summary on `out`. Once a stop was asked for, whatever
  // failed failed for that.
  int Refuse(const std::string& title, const std::string& why) {
    if (StopRequested()) return Stopped();
    line_.Clear();
    err_ << command_.file << ": " << title << ": " << why << "\n";
    out_ << command_.file << ": " << command_.name << " failed: " << title << "\n";
    return kToolRefused;
  }
  // A board run that failed, with the reason the port could not be opened when there is one.
  int RefuseRun(const char* title, const char* text) {
    const std::string port = PortOpenFailure();
    return Refuse(title, OneLine(text, 1) + (port.empty() ? "" : " " + port));
  }
  // A board done counts only once it is kept: a simulated board that could not be saved is lost.
  // Stopped by a signal: what state the board is in, and 128 + the signal, as a shell reports it.
  int Stopped() {
    keep_();
    line_.Clear();
    err_ << command_.file << ": interrupted: " << state_ << "\n";
    out_ << command_.file << ": " << command_.name << " interrupted\n";
    return 128 + StopSignal();
  }
  int Done(const std::string& summary) {
    if (const std::string why = keep_(); !why.empty()) return Refuse(kBoardNotSavedTitle, why);
    line_.Clear();
    out_ << command_.file << ": " << summary << "\n";
    return kToolDone;
  }
  // The file itself went to standard output: the summary goes beside it, to standard error.
  int DoneOnStandardOutput(const std::string& text, const std::string& summary) {
    if (const std::string why = keep_(); !why.empty()) return Refuse(kBoardNotSavedTitle, why);
    line_.Clear();
    out_ << text;
    err_ << command_.file << ": " << summary << "\n";
    return kToolDone;
  }

 private:
  const BoardCommand& command_;
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine& line_;
  std::function<std::string()> keep_;
  const char* state_ = kBoardAsItWas;
};

// The revision as the firmware check compares and names it (2.05, not the label's v2.5), so a log
// reads the same as the flash summary and the too-old message.
std::string BoardSummary() {
  char revision[16];
  std::snprintf(revision, sizeof revision, "%u.%02u", SettingsArray[kElemFirmwareMajor],
                SettingsArray[kElemFirmwareMinor]);
  return std::string("firmware ") + revision + ", " +
         BoardTypeLabel(SettingsArray[kElemBoardType]) + " board";
}

// A file that could never be written is refused before the board is read, not after. A file that
// exists and takes writes is written in place even where its folder takes no new file.
std::optional<std::string> CannotWriteInto(const std::string& file) {
  if (::access(file.c_str(), W_OK) == 0) return std::nullopt;
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  const std::string name = folder.empty() ? "." : folder.string();
  if (::access(name.c_str(), W_OK | X_OK) == 0) return std::nullopt;
  return std::string("the file cannot be written: ") + std::strerror(errno);
}

bool Download(ProgressLine& line) {
  return RetryBoardRun(
      [&line](bool) { return !StopRequested() && PullSettingsFromBoard(line) == 1; });
}

int RefuseIncomplete(Reporter& report, SettingsItem item) {
  return report.Refuse(kIncompleteSettingsTitle,
                       std::string(kIncompleteSettingsText) + " (" + SettingsItemLabel(item) + ")");
}

// The firmware upload, no settings restore: a bare board has none to restore.
int Flash(const BoardCommand& command, Reporter& report, ProgressLine& line) {
  const OfwReport check = CheckFirmwareFile(command.file, m_FWArray);
  if (!check.ok()) {
    return report.Refuse(kBadFirmwareTitle,
                         OneLine(kBadFirmwareText, 1) + " (" + check.Message() + ")");
  }
  const auto flash = [&](bool) {
    if (StopRequested()) return false;
    report.BoardState(kBoardErased);
    return UploadFirmware(line, command.file) == 1;
  };
  if (!RetryBoardRun(flash)) {
    return report.RefuseRun(kFirmwareFailedTitle, kFirmwareFailedText);
  }
  return report.Done("flashed and verified, " + check.Message());
}

// What "Save Configuration" writes after a download of the board.
int DownloadToFile(const BoardCommand& command, Reporter& report, ProgressLine& line) {
  if (const std::optional<std::string> why = CannotWriteInto(command.file)) {
    return report.Refuse(kSaveSettingsFailedTitle,
                         std::string(kSaveSettingsFailedText) + " (" + *why + ")");
  }
  if (!Download(line)) return report.RefuseRun(kBoardReadFailedTitle, kBoardReadFailedText);
  const DialogSettings shown = ShownAfterDownload(SettingsArray);
  if (const std::optional<SettingsItem> missing = FirstIncompleteItem(shown)) {
    return RefuseIncomplete(report, *missing);
  }
  if (StopRequested()) return report.Stopped();  // before a file that was not asked for any more
  const std::string text = WriteSettingsFile(shown);
  if (NamesStandardOutput(command.file))
    return report.DoneOnStandardOutput(text, "downloaded, " + BoardSummary());
  std::string why;
  if (!WriteFileAtomically(command.file, text, why)) {
    return report.Refuse(kSaveSettingsFailedTitle,
                         std::string(kSaveSettingsFailedText) + " (" + why + ")");
  }
  return report.Done("downloaded, " + BoardSummary());
}

// The window's start (a download), "Open Configuration", then "Upload Configuration".
int UploadFromFile(const BoardCommand& command, Reporter& report, ProgressLine& line) {
  std::string why;
  const std::optional<std::string> bytes =
      ReadPlainFile(command.file, kSettingsFileBytesRead, &why);
  if (!bytes) return report.Refuse("Open Settings Failed", why);
  if (const std::string fault = SettingsFileFault(*bytes); !fault.empty()) {
    return report.Refuse("Bad Settings File", fault);
  }
  const SettingsFileContents contents = ReadSettingsFile(*bytes);

  if (!Download(line)) return report.RefuseRun(kBoardReadFailedTitle, kBoardReadFailedText);
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
  const auto upload = [&](bool) {
    if (StopRequested()) return false;
    report.BoardState(kSettingsPartlyWritten);
    return PushSettingsToBoard(line) == 1;
  };
  if (!RetryBoardRun(upload)) {
    return report.RefuseRun(kUploadFailedTitle, kUploadFailedText);
  }
  return report.Done("uploaded, " + BoardSummary());
}

}  // namespace

bool IsBoardCommand(const std::string& command) {
  return command == "flash" || command == "download" || command == "upload";
}

int RunBoardTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool errIsTerminal) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help") return RunOfwTool({arg}, out, err);
  }
  int status = kToolUsage;
  const std::optional<BoardCommand> command = ReadArguments(args, err, status);
  if (!command) return status;
  const StopSignals stopSignals;
  ProgressLine line(err, errIsTerminal, SteadySeconds,
                    [] { return TerminalColumns(kStandardError); });
  const PortChoiceOverride words(PortChoiceSeam(), kOptionWords);
  CableSetup cables(command->boardFolder, err, "orvanta-ofw");
  Reporter report(*command, out, err, line, [&cables] { return cables.KeepSimulatedBoard(); });
  // Another run holds the simulated board, or it cannot be saved: a board run would be lost.
  if (const std::string why = cables.KeepSimulatedBoard(); !why.empty()) {
    return report.Refuse(kBoardNotSavedTitle, why + "; nothing was done");
  }
  if (command->name == "flash") return Flash(*command, report, line);
  if (command->name == "download") return DownloadToFile(*command, report, line);
  return UploadFromFile(*command, report, line);
}
