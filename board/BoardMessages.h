// What the board commands tell the user when a board run goes wrong, and the one rule that decides
// whether a board's firmware is too old for uploads: the window shows them in message boxes, the
// command line prints them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

inline constexpr const char* kBoardReadFailedTitle = "Board Read Failed";
inline constexpr const char* kBoardReadFailedText =
    "Unable to read settings from board. Make sure the programming cable is plugged in, and the "
    "power is on.    \n\nWhen you have verified the connections, press the \"Download "
    "Configuration\" button to try to again.";

inline constexpr const char* kNewFirmwareTitle = "New Firmware Required";

inline constexpr const char* kUploadFailedTitle = "Settings Upload Failed";
inline constexpr const char* kUploadFailedText =
    "Unable to write settings to the board. Make sure the programming cable is plugged in, and "
    "the power is on.    \n\nWhen you have verified the connections, press the \"Upload "
    "Configuration\" button to try to again.";

inline constexpr const char* kBadFirmwareTitle = "Bad Firmware File";
inline constexpr const char* kBadFirmwareText =
    "The firmware you have selected does not appear valid.\n\nPlease make sure you have selected "
    "the correct firmware\nfor your board, and try again.\n\nIf you downloaded it, try "
    "downloading it again.";

inline constexpr const char* kFirmwareFailedTitle = "Firmware Upload Failed";
inline constexpr const char* kFirmwareFailedText =
    "Unable to write firmware to the board. Make sure the programming cable is plugged in, and "
    "the power is on.   \n\nWhen you have verified the connections, press the \"Upload "
    "Firmware\" button to try to again.";

// "v2.5" for major 2 and minor 5: both numbers in plain decimal, so the label may read otherwise
// than the revision the check compares (2.05).
std::string RevisionLabel(uint8_t major, uint8_t minor);
// "Kalix", "Orvanta" or "Unknown", as the board-type label shows the board type byte.
const char* BoardTypeLabel(uint8_t boardType);
inline constexpr const char* kUnknownLabel = "Unknown";

// The revision the check compares: 2.05 for major 2 and minor 5.
float BoardRevision(uint8_t major, uint8_t minor);
// Uploads need firmware 2.11 or later.
bool FirmwareTooOld(uint8_t major, uint8_t minor);
// The "New Firmware Required" text for a board with `revision`.
std::string TooOldText(float revision);

// A board run, and the same run once more when the first failed, as every board command gives a
// board; `run` is told whether it is the retry. True when either run succeeded. A run stopped on
// request (platform/Interrupt.h) is not tried again.
bool RetryBoardRun(const std::function<bool(bool retry)>& run);
