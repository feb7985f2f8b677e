#include "tests/support/Recorders.h"

#include <cstdio>
#include <ostream>
#include <utility>

#include "app/Globals.h"

bool SeamEvent::operator==(const SeamEvent& other) const {
  return kind == other.kind && port == other.port && value == other.value && units == other.units &&
         message.text == other.message.text && message.title == other.message.title &&
         message.icon == other.message.icon && message.informative == other.message.informative;
}

std::string Describe(const SeamEvent& event) {
  char text[64];
  switch (event.kind) {
    case SeamEvent::Write:
      std::snprintf(text, sizeof text, "W %03X<-%02X", event.port, event.value);
      return text;
    case SeamEvent::Read:
      std::snprintf(text, sizeof text, "R %03X->%02X", event.port, event.value);
      return text;
    case SeamEvent::Delay:
      std::snprintf(text, sizeof text, "D %u", event.units);
      return text;
    case SeamEvent::Message:
      return "M [" + event.message.title + "] " + event.message.text + " icon " +
             std::to_string(static_cast<int>(event.message.icon)) +
             (event.message.informative.empty() ? "" : " (" + event.message.informative + ")");
  }
  return "?";
}

void PrintTo(const SeamEvent& event, std::ostream* os) {
  *os << Describe(event);
}

SeamEvent W(uint16_t port, uint8_t value) {
  SeamEvent event(SeamEvent::Write);
  event.port = port;
  event.value = value;
  return event;
}

SeamEvent Msg(const std::string& text, const std::string& title, MsgIcon icon) {
  SeamEvent event(SeamEvent::Message);
  event.message = MessageBoxRequest{text, title, icon, {}};
  return event;
}

RecordingPort::RecordingPort(SeamLog* log)
    : log_(log != nullptr ? log : &own_), override_(PortBackendSeam(), this) {}

void RecordingPort::Write(uint16_t port, uint8_t value) {
  if (port == kDelayPort) {
    ++delayUnits;
    if (recordDelays) {
      SeamEvent event(SeamEvent::Delay);
      event.units = 1;
      log_->push_back(event);
    }
  } else {
    ++writes;
    log_->push_back(W(port, value));
  }
  if (through != nullptr) through->Write(port, value);
}

uint8_t RecordingPort::Read(uint16_t port) {
  ++reads;
  uint8_t value = 0xFF;
  if (through != nullptr) value = through->Read(port);
  if (reader) value = reader(port);
  SeamEvent event(SeamEvent::Read);
  event.port = port;
  event.value = value;
  log_->push_back(event);
  return value;
}

void RecordingPort::Delay(uint32_t units) {
  delayUnits += units;
  if (recordDelays) {
    SeamEvent event(SeamEvent::Delay);
    event.units = units;
    log_->push_back(event);
  }
  if (through != nullptr) through->Delay(units);
}

void RecordingPort::BeginRun() {
  ++runsBegun;
  if (through != nullptr) through->BeginRun();
}

ScriptedClock::ScriptedClock(std::vector<uint64_t> readings)
    : readings_(std::move(readings)), override_(CalibrationClockSeam(), this) {}

uint64_t ScriptedClock::Hundredths() {
  const std::size_t index = readingsTaken < readings_.size() ? readingsTaken : readings_.size() - 1;
  ++readingsTaken;
  return readings_.empty() ? 0 : readings_[index];
}

MessageRecorder::MessageRecorder(SeamLog* log)
    : override_(MessageBoxSeam(), [this, log](const MessageBoxRequest& request) {
        messages.push_back(request);
        if (log != nullptr) {
          SeamEvent event(SeamEvent::Message);
          event.message = request;
          log->push_back(event);
        }
        if (onShow) onShow(request);
      }) {}

FileDialogScript::FileDialogScript(std::vector<std::optional<std::string>> script)
    : answers(std::move(script)),
      override_(FileDialogSeam(), [this](const FileDialogRequest& request) {
        requests.push_back(request);
        const std::size_t index = requests.size() - 1;
        return index < answers.size() ? answers[index] : std::nullopt;
      }) {}
