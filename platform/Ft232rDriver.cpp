#include "platform/Ft232rDriver.h"

#include <libusb.h>

#include <vector>

namespace {

// Vendor requests of the chip, sent to interface A.
constexpr uint8_t kRequestOut = 0x40;  // vendor, host to device
constexpr uint8_t kReset = 0x00;
constexpr uint16_t kResetChip = 0;
constexpr uint16_t kPurgeFromHost = 1;
constexpr uint16_t kPurgeToHost = 2;
constexpr uint8_t kSetBaudRate = 0x03;
constexpr uint8_t kSetLatencyTimer = 0x09;
constexpr uint8_t kSetBitMode = 0x0B;
constexpr uint16_t kSyncBitBangMode = 0x04;
constexpr uint16_t kInterfaceA = 1;
constexpr unsigned char kBulkOut = 0x02;
constexpr unsigned char kBulkIn = 0x81;
// The R series reports this device release; older chips with the same IDs do not.
constexpr uint16_t kFt232rRelease = 0x0600;

bool IsCandidate(libusb_device* device) {
  libusb_device_descriptor descriptor{};
  return libusb_get_device_descriptor(device, &descriptor) == 0 &&
         descriptor.idVendor == kFtdiVendorId && descriptor.idProduct == kFt232rProductId;
}

std::string StringOf(libusb_device_handle* handle, uint8_t index) {
  if (index == 0) return {};
  unsigned char text[128] = {};
  const int length = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text);
  return length > 0 ? std::string(reinterpret_cast<const char*>(text), length) : std::string();
}

UsbDeviceInfo InfoOf(libusb_device_handle* handle) {
  libusb_device_descriptor descriptor{};
  libusb_get_device_descriptor(libusb_get_device(handle), &descriptor);
  return {StringOf(handle, descriptor.iProduct), StringOf(handle, descriptor.iSerialNumber)};
}

UsbOpenResult ResultOf(int code) {
  switch (code) {
    case LIBUSB_ERROR_ACCESS:
      return UsbOpenResult::NoPermission;
    case LIBUSB_ERROR_BUSY:
      return UsbOpenResult::Busy;
    case LIBUSB_ERROR_NOT_SUPPORTED:  // Windows: no driver libusb can use
      return UsbOpenResult::WrongDriver;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
      return UsbOpenResult::NotFound;
    default:
      return UsbOpenResult::Failed;
  }
}

// The devices with the FT232R's IDs, in bus order; released when it goes.
class DeviceList {
 public:
  explicit DeviceList(libusb_context* context) {
    libusb_device** list = nullptr;
    const ssize_t count = context != nullptr ? libusb_get_device_list(context, &list) : 0;
    list_ = list;
    for (ssize_t i = 0; i < count; ++i) {
      if (IsCandidate(list[i])) devices_.push_back(list[i]);
    }
  }
  ~DeviceList() {
    if (list_ != nullptr) libusb_free_device_list(list_, 1);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  const std::vector<libusb_device*>& Devices() const { return devices_; }

 private:
  libusb_device** list_ = nullptr;
  std::vector<libusb_device*> devices_;
};

}  // namespace

Ft232rDriver::Ft232rDriver() {
  if (libusb_init(&context_) != 0) context_ = nullptr;
}

Ft232rDriver::~Ft232rDriver() {
  Close();
  if (context_ != nullptr) libusb_exit(context_);
}

std::vector<UsbDeviceInfo> Ft232rDriver::List() {
  std::vector<UsbDeviceInfo> cables;
  const DeviceList list(context_);
  libusb_device* open = handle_ != nullptr ? libusb_get_device(handle_) : nullptr;
  for (libusb_device* device : list.Devices()) {
    // The open cable is named from what it said when it was opened: a second handle would be
    // refused on Windows, and the open one must stay as it is.
    if (device == open) {
      cables.push_back(openInfo_);
      continue;
    }
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != 0) {
      cables.push_back({});  // one this user may not open is still listed
      continue;
    }
    cables.push_back(InfoOf(handle));
    libusb_close(handle);
  }
  return cables;
}

bool Ft232rDriver::Claim(libusb_device_handle* handle, UsbOpenResult& result) {
  // Linux binds its serial driver to the chip; the cable is not a serial port while in use.
  // Another program's claim is not a kernel driver: that one makes the claim fail as busy.
  if (libusb_kernel_driver_active(handle, 0) == 1) {
    if (const int code = libusb_detach_kernel_driver(handle, 0); code != 0) {
      result = UsbOpenResult::Failed;
      return Fail(code);
    }
  }
  const int code = libusb_claim_interface(handle, 0);
  if (code == 0) return true;
  result = ResultOf(code);
  return Fail(code);
}

UsbOpenResult Ft232rDriver::Open(const std::string& serial) {
  Close();
  if (context_ == nullptr) {
    error_ = "USB could not be used at all (libusb did not start)";
    return UsbOpenResult::Failed;
  }
  error_ = "no such device";
  UsbOpenResult result = UsbOpenResult::NotFound;
  const DeviceList list(context_);
  for (libusb_device* device : list.Devices()) {
    libusb_device_handle* handle = nullptr;
    if (const int code = libusb_open(device, &handle); code != 0) {
      // A device just listed is there: Windows says "not found" too of one whose driver libusb
      // cannot use.
      result = code == LIBUSB_ERROR_NOT_FOUND ? UsbOpenResult::WrongDriver : ResultOf(code);
      Fail(code);
      if (serial.empty()) return result;  // the first found, whatever it says
      continue;
    }
    // Its serial number is asked before anything is claimed: another cable stays as it was.
    const UsbDeviceInfo info = InfoOf(handle);
    if (!serial.empty() && info.serial != serial) {
      libusb_close(handle);
      continue;
    }
    if (!Claim(handle, result)) {
      libusb_close(handle);
      return result;
    }
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    handle_ = handle;
    openInfo_ = info;
    release_ = descriptor.bcdDevice;
    return Control(kReset, kResetChip, kInterfaceA) ? UsbOpenResult::Opened : UsbOpenResult::Failed;
  }
  // None with that serial number; one this user may not open, or whose driver libusb cannot use,
  // could have been it. One that another program holds is another bench's cable.
  const bool couldBeIt =
      result == UsbOpenResult::NoPermission || result == UsbOpenResult::WrongDriver;
  return couldBeIt ? result : UsbOpenResult::NotFound;
}

bool Ft232rDriver::IsFt232r() {
  return handle_ != nullptr && release_ == kFt232rRelease;
}

bool Ft232rDriver::Fail(int code) {
  error_ = libusb_strerror(code);
  return false;
}

bool Ft232rDriver::Control(uint8_t request, uint16_t value, uint16_t index) {
  if (handle_ == nullptr) return false;
  const int code = libusb_control_transfer(handle_, kRequestOut, request, value, index, nullptr, 0,
                                           kUsbTransferTimeoutMs);
  return code >= 0 || Fail(code);
}

bool Ft232rDriver::SetSyncBitBang(uint8_t outputMask) {
  return Control(kSetBitMode, static_cast<uint16_t>(kSyncBitBangMode << 8 | outputMask),
                 kInterfaceA);
}

bool Ft232rDriver::SetBaudRate(int baud) {
  const Ft232rDivisor divisor = EncodeFt232rBaud(baud);
  return Control(kSetBaudRate, divisor.value, divisor.index);
}

bool Ft232rDriver::SetLatencyTimer(int milliseconds) {
  return Control(kSetLatencyTimer, static_cast<uint16_t>(milliseconds), kInterfaceA);
}

bool Ft232rDriver::Purge() {
  return Control(kReset, kPurgeFromHost, kInterfaceA) && Control(kReset, kPurgeToHost, kInterfaceA);
}

int Ft232rDriver::WriteData(const uint8_t* data, int size) {
  if (handle_ == nullptr) return -1;
  int sent = 0;
  // libusb takes a mutable buffer for both directions; an OUT transfer does not write to it.
  const int code = libusb_bulk_transfer(handle_, kBulkOut, const_cast<uint8_t*>(data), size, &sent,
                                        kUsbTransferTimeoutMs);
  if (code == 0 || code == LIBUSB_ERROR_TIMEOUT) {
    if (code != 0) Fail(code);
    return sent;
  }
  Fail(code);
  return -1;
}

int Ft232rDriver::ReadData(uint8_t* data, int packets) {
  if (handle_ == nullptr) return -1;
  std::vector<uint8_t> raw(static_cast<std::size_t>(packets) * kUsbPacketBytes);
  int got = 0;
  const int code = libusb_bulk_transfer(handle_, kBulkIn, raw.data(), static_cast<int>(raw.size()),
                                        &got, kUsbTransferTimeoutMs);
  if (code != 0) {
    Fail(code);
    return -1;
  }
  return DropStatusBytes(raw.data(), got, data);
}

void Ft232rDriver::Close() {
  if (handle_ == nullptr) return;
  // Left in bit-bang mode with its lines as the last run left them (reset released): back in
  // serial mode DTR would idle high and hold the board in reset. So no serial driver is bound
  // to it again either.
  libusb_release_interface(handle_, 0);
  libusb_close(handle_);
  handle_ = nullptr;
  openInfo_ = {};
}
