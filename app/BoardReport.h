// How an orvanta-ofw board command tells what it did: one summary line on standard output (one
// JSON object with --json), the reason and the details on standard error, and the exit status.
// It runs the command's board runs, each with its one retry, so that it knows the tries and why
// each failed, and knows what state a stopped command leaves the board in.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProgressLine.h"
#include "firmware/OfwTool.h"

inline constexpr const char* kBoardAsItWas = "the board is as it was";
inline constexpr const char* kBoardErased = "the board is erased, flash it again";
inline constexpr const char* kSettingsPartlyWritten =
    "the board's settings are partly written, upload them again";

class BoardReport {
 public:
  // `keep` saves the simulated board and says why it could not be, or nothing.
  BoardReport(const std::string& command, const std::string& file, bool json, std::ostream& out,
              std::ostream& err, ProgressLine& line, std::function<std::string()> keep);

  // The bytes of the file read or written, whose SHA-256 the record gives.
  void FileBytes(std::string_view bytes);
  void Firmware(const std::optional<OfwIdentity>& firmware);

  // A board run (`name`: "flash", "download", "upload") and, when it fails, the same once more;
  // `state` is the board's should the command be stopped once the run has begun. True when a try
  // worked. None is begun once a stop was asked for.
  bool Run(const char* name, const char* state, const std::function<bool()>& run);

  // The refusal: the reason on standard error, the summary on standard output; exit status 1.
  // Once a stop was asked for, whatever failed failed for that.
  int Refuse(const std::string& title, const std::string& why);
  // A board run that failed: the window's message on one line, with the reason the port could
  // not be opened when there is one.
  int RefuseRun(const char* title, const char* text);
  // Stopped by a signal: what state the board is in, and 128 + the signal, as a shell shows it.
  int Stopped();
  // Done, once the simulated board is kept (one that could not be saved is lost).
  int Done(const std::string& summary);
  // Done, the file itself on standard output: the summary goes to standard error.
  int DoneOnStandardOutput(const std::string& text, const std::string& summary);

 private:
  void NoteFailedTry(const char* name, int attempt);
  std::string DetailsShown() const;
  int Finish(const char* result, int status);

  ToolRecord record_;
  bool json_;
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine& line_;
  std::function<std::string()> keep_;
  const char* state_ = kBoardAsItWas;
  double start_;
  std::vector<std::string> failedTries_;
  bool mismatchSeen_ = false;
};

// A message of the window on one line: its first `paragraphs` paragraphs (the rest speaks of the
// window's buttons), line breaks and runs of blanks as one blank.
std::string OneLine(const std::string& text, int paragraphs);
