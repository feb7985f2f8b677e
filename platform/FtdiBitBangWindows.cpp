// Windows has no FT232R driver yet: libftdi1, which the Linux tool drives the chip through, has no
// Windows build here. Until the driver over libusb takes its place on both systems, no cable is
// listed and a board run on the USB cable fails with the reason below.
#include "platform/FtdiBitBang.h"

namespace {

constexpr const char* kNoDriver = "this Windows version of the tool has no driver for it yet";

}  // namespace

FtdiBitBang::FtdiBitBang() = default;

FtdiBitBang::~FtdiBitBang() = default;

std::vector<UsbDeviceInfo> FtdiBitBang::List() {
  return {};
}

UsbOpenResult FtdiBitBang::OpenFirst() {
  return UsbOpenResult::Failed;
}

bool FtdiBitBang::IsFt232r() {
  return false;
}

bool FtdiBitBang::SetSyncBitBang(uint8_t /*outputMask*/) {
  return false;
}

bool FtdiBitBang::SetBaudRate(int /*baud*/) {
  return false;
}

bool FtdiBitBang::SetLatencyTimer(int /*milliseconds*/) {
  return false;
}

bool FtdiBitBang::Purge() {
  return false;
}

int FtdiBitBang::WriteData(const uint8_t* /*data*/, int /*size*/) {
  return -1;
}

int FtdiBitBang::ReadData(uint8_t* /*data*/, int /*size*/) {
  return -1;
}

void FtdiBitBang::Close() {}

std::string FtdiBitBang::ErrorText() {
  return kNoDriver;
}
