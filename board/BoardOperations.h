// The board operations a status window runs, as plain functions over the board link. What they
// show goes through OperationView, which the status window implements and tests record. Each
// fails, with reset released, after the byte in hand once a stop is requested
// (platform/Interrupt.h).
#pragma once

#include <cstdint>
#include <string>

class OperationView {
 public:
  virtual ~OperationView() = default;
  // The progress bar runs from 0 to `upper`.
  virtual void SetProgressRange(int upper) = 0;
  virtual void SetProgressPos(int position) = 0;
  // Replaces the upper status line; drawn at once.
  virtual void ShowStatusText(const std::string& text) = 0;
};

inline constexpr const char* kDownloadingText =
    "Downloading settings from your board, please wait...";
inline constexpr const char* kUploadingText = "Uploading settings to your board, please wait...";
inline constexpr const char* kUploadingFirmwareText =
    "Uploading firmware to your board, please wait...";

// Data address of the firmware major revision; a board that answers holds 1 to 10 there.
constexpr int kReadyAddress = 19;
// Settings block bytes on the board (data addresses 0-29); the upload also writes address 30.
constexpr int kBlockBytes = 30;

// Downloads data addresses 0-29 into SettingsArray[1..30]. Returns 1 on success, 0 on failure,
// in which case SettingsArray is unchanged.
int PullSettingsFromBoard(OperationView& view);
// Uploads SettingsArray[1..31] to data addresses 0-30 with read-back. Returns 1 or 0. When element
// 20 is 0 (nothing downloaded yet), elements 20-22 are first read from data addresses 19-21.
int PushSettingsToBoard(OperationView& view);

// Erases the chip and programs the image in m_FWArray (checked from the file at `path`, which
// is opened again only to count its lines), then writes the lock bits. Each run works on its own
// copy of m_FWArray, so a second run programs the whole image again. Returns 1 or 0; a file that
// cannot be opened, or no longer has the image's line count, fails before any port write.
int UploadFirmware(OperationView& view, const std::string& path);
// The same for an image that has no .ofw file to count again (orvanta-ofw flash FILE.hex): the
// image in m_FWArray as it stands.
int UploadFirmwareImage(OperationView& view);

// True for a firmware major revision byte of a board that answers.
bool BoardIsReady(uint8_t majorRevision);
