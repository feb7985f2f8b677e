#include "platform/FtdiBitBang.h"

#include <ftdi.h>

FtdiBitBang::FtdiBitBang() : context_(ftdi_new()) {}

FtdiBitBang::~FtdiBitBang() {
  Close();
  if (context_ != nullptr) ftdi_free(context_);
}

std::vector<UsbDeviceInfo> FtdiBitBang::List() {
  std::vector<UsbDeviceInfo> devices;
  if (context_ == nullptr) return devices;
  ftdi_device_list* list = nullptr;
  if (ftdi_usb_find_all(context_, &list, kFtdiVendorId, kFt232rProductId) < 0) return devices;
  for (ftdi_device_list* entry = list; entry != nullptr; entry = entry->next) {
    char description[128] = {};
    char serial[64] = {};
    // A device this user may not open gives no strings; it is still listed.
    ftdi_usb_get_strings(context_, entry->dev, nullptr, 0, description, sizeof description, serial,
                         sizeof serial);
    devices.push_back({description, serial});
  }
  ftdi_list_free(&list);
  return devices;
}

UsbOpenResult FtdiBitBang::OpenFirst() {
  // Without USB access at all (libusb could not start) no cable can be found either.
  if (context_ == nullptr) return UsbOpenResult::NotFound;
  Close();
  const int result =
      ftdi_usb_open_desc_index(context_, kFtdiVendorId, kFt232rProductId, nullptr, nullptr, 0);
  if (result == 0) {
    open_ = true;
    return UsbOpenResult::Opened;
  }
  if (result == -3) return UsbOpenResult::NotFound;  // "usb device not found"
  // -4 is libusb_open() refusing the device node, which on Linux means its permissions.
  if (result == -4) return UsbOpenResult::NoPermission;
  return UsbOpenResult::Failed;
}

bool FtdiBitBang::IsFt232r() {
  return open_ && context_->type == TYPE_R;
}

bool FtdiBitBang::SetSyncBitBang(uint8_t outputMask) {
  return open_ && ftdi_set_bitmode(context_, outputMask, BITMODE_SYNCBB) == 0;
}

bool FtdiBitBang::SetBaudRate(int baud) {
  return open_ && ftdi_set_baudrate(context_, baud) == 0;
}

bool FtdiBitBang::SetLatencyTimer(int milliseconds) {
  return open_ && ftdi_set_latency_timer(context_, static_cast<unsigned char>(milliseconds)) == 0;
}

bool FtdiBitBang::Purge() {
  return open_ && ftdi_tcioflush(context_) == 0;
}

int FtdiBitBang::WriteData(const uint8_t* data, int size) {
  if (!open_) return -1;
  return ftdi_write_data(context_, data, size);
}

int FtdiBitBang::ReadData(uint8_t* data, int size) {
  if (!open_) return -1;
  return ftdi_read_data(context_, data, size);
}

void FtdiBitBang::Close() {
  if (!open_) return;
  // Left in bit-bang mode with its lines as the last run left them (reset released): back in
  // serial mode DTR would idle high and hold the board in reset.
  ftdi_usb_close(context_);
  open_ = false;
}

std::string FtdiBitBang::ErrorText() {
  return context_ != nullptr ? ftdi_get_error_string(context_) : "libusb could not start";
}
