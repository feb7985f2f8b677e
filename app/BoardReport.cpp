#include "app/BoardReport.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/ConnectionSettings.h"
#include "app/Globals.h"
#include "board/BoardMessages.h"
#include "platform/Interrupt.h"
#include "platform/PortIo.h"
#include "platform/Sha256.h"

namespace {

constexpr const char* kBoardNotSavedTitle = "Simulated Board Not Saved";

// "code byte 0x0030 did not verify: wrote 0x75, read back 0xFF"
std::string MismatchText(const ByteMismatch& m) {
  char text[96];
  std::snprintf(text, sizeof text, "%s byte 0x%04X did not verify: wrote 0x%02X, read back 0x%02X",
                m.code ? "code" : "data", m.address, m.written, m.read);
  return text;
}

// The cable as --port names it: the USB cable by the serial number of the one the run opened.
std::string CableText() {
  if (const std::string name = PortCableName(); !name.empty()) return name;
  if (bUsbCable != 0) return UsbTokenFor(usbCableSerial);
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", base);
  return text;
}

}  // namespace

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

BoardReport::BoardReport(const std::string& command, const std::string& file, bool json,
                         std::ostream& out, std::ostream& err, ProgressLine& line,
                         std::function<std::string()> keep)
    : json_(json),
      out_(out),
      err_(err),
      line_(line),
      keep_(std::move(keep)),
      start_(SteadySeconds()) {
  record_.command = command;
  record_.file = file;
}

void BoardReport::FileBytes(std::string_view bytes) {
  record_.sha256 = Sha256Hex(bytes);
}

void BoardReport::Firmware(const std::optional<OfwIdentity>& firmware) {
  record_.firmware = firmware;
}

bool BoardReport::Run(const char* name, const char* state, const std::function<bool()>& run) {
  return RetryBoardRun([&](bool retry) {
    if (StopRequested()) return false;
    state_ = state;
    const int attempt = retry ? 2 : 1;
    record_.tries = std::max(record_.tries, attempt);
    lastByteMismatch.reset();
    if (run()) return true;
    if (!StopRequested()) NoteFailedTry(name, attempt);
    return false;
  });
}

void BoardReport::NoteFailedTry(const char* name, int attempt) {
  std::string text = std::string(name) + " try " + std::to_string(attempt);
  if (lastByteMismatch) {
    text += ": " + MismatchText(*lastByteMismatch);
    mismatchSeen_ = true;
  } else {
    text += " failed";
  }
  failedTries_.push_back(text);
}

// What failed tries tell beyond the message: bytes that did not verify, or that a retry was
// needed for a command that then worked.
std::string BoardReport::DetailsShown() const {
  std::string details;
  for (const std::string& text : failedTries_) details += (details.empty() ? "" : "; ") + text;
  return details;
}

int BoardReport::Refuse(const std::string& title, const std::string& why) {
  if (StopRequested()) return Stopped();
  line_.Clear();
  err_ << record_.file << ": " << title << ": " << why << "\n";
  record_.title = title;
  record_.message = why;
  // A board that did not answer says no more than its message does.
  if (mismatchSeen_) err_ << record_.file << ": " << DetailsShown() << "\n";
  if (!json_) out_ << record_.file << ": " << record_.command << " failed: " << title << "\n";
  return Finish("failed", kToolRefused);
}

int BoardReport::RefuseRun(const char* title, const char* text) {
  const std::string port = PortOpenFailure();
  return Refuse(title, OneLine(text, 1) + (port.empty() ? "" : " " + port));
}

int BoardReport::Stopped() {
  keep_();
  line_.Clear();
  err_ << record_.file << ": interrupted: " << state_ << "\n";
  record_.message = state_;
  if (!json_) out_ << record_.file << ": " << record_.command << " interrupted\n";
  return Finish("interrupted", 128 + StopSignal());
}

int BoardReport::Done(const std::string& summary) {
  if (const std::string why = keep_(); !why.empty()) return Refuse(kBoardNotSavedTitle, why);
  line_.Clear();
  if (!failedTries_.empty()) err_ << record_.file << ": " << DetailsShown() << "\n";
  if (!json_) out_ << record_.file << ": " << summary << "\n";
  return Finish("done", kToolDone);
}

int BoardReport::DoneOnStandardOutput(const std::string& text, const std::string& summary) {
  if (const std::string why = keep_(); !why.empty()) return Refuse(kBoardNotSavedTitle, why);
  line_.Clear();
  if (!failedTries_.empty()) err_ << record_.file << ": " << DetailsShown() << "\n";
  out_ << text;
  err_ << record_.file << ": " << summary << "\n";
  return Finish("done", kToolDone);
}

int BoardReport::Finish(const char* result, int status) {
  if (!json_) return status;
  record_.cable = CableText();
  record_.result = result;
  record_.details = DetailsShown();
  record_.seconds = SteadySeconds() - start_;
  out_ << ToolRecordJson(record_);
  return status;
}
