// Test doubles for the seams: a port that records every access, a clock with scripted readings,
// and a message-box recorder that answers at once. Each installs itself and restores on scope end.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Globals.h"  // ResetGlobals, for every suite
#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PortIo.h"

// One thing that happened on the seams, in order.
struct SeamEvent {
  enum Kind { Write, Read, Delay, Message };
  explicit SeamEvent(Kind k) : kind(k) {}
  Kind kind;
  uint16_t port = 0;
  uint8_t value = 0;
  uint32_t units = 0;
  MessageBoxRequest message;

  bool operator==(const SeamEvent& other) const;
};

std::string Describe(const SeamEvent& event);
void PrintTo(const SeamEvent& event, std::ostream* os);

SeamEvent W(uint16_t port, uint8_t value);
SeamEvent Msg(const std::string& text, const std::string& title, MsgIcon icon);

using SeamLog = std::vector<SeamEvent>;

class RecordingPort final : public PortBackend {
 public:
  explicit RecordingPort(SeamLog* log = nullptr);
  RecordingPort(const RecordingPort&) = delete;
  RecordingPort& operator=(const RecordingPort&) = delete;

  void Write(uint16_t port, uint8_t value) override;
  uint8_t Read(uint16_t port) override;
  void Delay(uint32_t units) override;
  void BeginRun() override;

  // What a read returns; 0xFF by default.
  std::function<uint8_t(uint16_t port)> reader;
  // Forwarded every access to, after recording (for counting the traffic of a real device).
  PortBackend* through = nullptr;

  SeamLog& log() { return *log_; }
  const SeamLog& log() const { return *log_; }
  uint64_t writes = 0;  // port writes, delay-port writes excluded
  uint64_t reads = 0;
  uint64_t delayUnits = 0;  // delay-port writes and Delay() units together
  int runsBegun = 0;
  bool recordDelays = true;

 private:
  SeamLog own_;
  SeamLog* log_;
  PortBackendOverride override_;
};

class ScriptedClock final : public Clock {
 public:
  explicit ScriptedClock(std::vector<uint64_t> readings);
  ScriptedClock(const ScriptedClock&) = delete;
  ScriptedClock& operator=(const ScriptedClock&) = delete;
  uint64_t Hundredths() override;
  std::size_t readingsTaken = 0;

 private:
  std::vector<uint64_t> readings_;
  ClockOverride override_;
};

class MessageRecorder {
 public:
  explicit MessageRecorder(SeamLog* log = nullptr);
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  std::vector<MessageBoxRequest> messages;
  // Runs while a box is "open", as the user would see it.
  std::function<void(const MessageBoxRequest&)> onShow;

 private:
  MessageBoxOverride override_;
};

// Answers file dialogs from a script: each request takes the next answer (a path, or nothing for
// a cancelled dialog); with the script used up, dialogs are cancelled.
class FileDialogScript {
 public:
  explicit FileDialogScript(std::vector<std::optional<std::string>> answers = {});
  FileDialogScript(const FileDialogScript&) = delete;
  FileDialogScript& operator=(const FileDialogScript&) = delete;
  std::vector<FileDialogRequest> requests;
  std::vector<std::optional<std::string>> answers;

 private:
  FileDialogOverride override_;
};

// Makes `clock` the calibration clock for the scope (a SimPort's virtual clock, say).
class ScopedCalibrationClock {
 public:
  explicit ScopedCalibrationClock(Clock* clock) : override_(CalibrationClockSeam(), clock) {}

 private:
  ClockOverride override_;
};
