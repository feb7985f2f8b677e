#include "board/BoardMessages.h"

#include <cstdio>

#include "platform/Interrupt.h"
#include "settings/SettingsBlock.h"

namespace {

constexpr const char* kNewFirmwareFormat =
    "You do not have the minimum required firmware version on your board to use this "
    "software.\n\nYou currently have %.02f, and %.02f is required. You must update your firmware "
    "before you can\nupload new settings to the board.";

// Compared in single precision on both sides: 2 + 11 / 100 comes out as 2.11f, but is less than
// the double 2.11, and a board with 2.11 must pass.
constexpr float kMinimumRevision = 2.11f;
constexpr double kMinimumRevisionShown = 2.11;
constexpr std::size_t kMessageBufferSize = 512;

}  // namespace

std::string RevisionLabel(uint8_t major, uint8_t minor) {
  return "v" + std::to_string(major) + "." + std::to_string(minor);
}

const char* BoardTypeLabel(uint8_t boardType) {
  if (boardType == kBoardKalix) return "Kalix";
  if (boardType == kBoardOrvanta) return "Orvanta";
  return kUnknownLabel;
}

float BoardRevision(uint8_t major, uint8_t minor) {
  return static_cast<float>(major) + static_cast<float>(minor) / 100.0f;
}

bool FirmwareTooOld(uint8_t major, uint8_t minor) {
  return BoardRevision(major, minor) < kMinimumRevision;
}

std::string TooOldText(float revision) {
  char text[kMessageBufferSize];
  std::snprintf(text, sizeof text, kNewFirmwareFormat, static_cast<double>(revision),
                kMinimumRevisionShown);
  return text;
}

bool RetryBoardRun(const std::function<bool(bool retry)>& run) {
  for (const bool retry : {false, true}) {
    if (run(retry)) return true;
    // A run stopped on request is not one that failed.
    if (StopRequested()) return false;
  }
  return false;
}
