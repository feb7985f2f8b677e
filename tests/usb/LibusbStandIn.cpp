#include "tests/usb/LibusbStandIn.h"

#include <libusb.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <list>
#include <map>

struct libusb_context {
  int unused;
};
struct libusb_device {
  std::size_t slot;
};
struct libusb_device_handle {
  libusb_device* device;
  bool claimed;
};

namespace {

libusb_context gContext{};
std::deque<libusb_device> gDevices;  // one per bus slot, at a stable address
std::map<libusb_device**, std::vector<libusb_device*>> gLists;
std::list<libusb_device_handle> gHandles;
bool gOneHandlePerDevice = false;

StandInDevice* Plugged(const libusb_device* device) {
  std::vector<StandInDevice>& bus = StandInBus();
  if (device->slot >= bus.size() || bus[device->slot].chip == nullptr) return nullptr;
  return bus[device->slot].chip->Unplugged() ? nullptr : &bus[device->slot];
}

int HandlesOn(const libusb_device* device) {
  return static_cast<int>(std::count_if(gHandles.begin(), gHandles.end(),
                                        [&](const auto& h) { return h.device == device; }));
}

bool ClaimedByAnother(const libusb_device_handle* handle) {
  return std::any_of(gHandles.begin(), gHandles.end(), [&](const auto& h) {
    return &h != handle && h.device == handle->device && h.claimed;
  });
}

int TransferCode(Ft232rChip::Transfer result) {
  switch (result) {
    case Ft232rChip::Transfer::Done:
      return 0;
    case Ft232rChip::Transfer::TimedOut:
      return LIBUSB_ERROR_TIMEOUT;
    case Ft232rChip::Transfer::Overflow:
      return LIBUSB_ERROR_OVERFLOW;
    case Ft232rChip::Transfer::Gone:
      return LIBUSB_ERROR_NO_DEVICE;
  }
  return LIBUSB_ERROR_OTHER;
}

}  // namespace

std::vector<StandInDevice>& StandInBus() {
  static std::vector<StandInDevice> bus;
  return bus;
}

void StandInOneHandlePerDevice(bool oneOnly) {
  gOneHandlePerDevice = oneOnly;
}

int StandInOpenHandles() {
  return static_cast<int>(gHandles.size());
}

extern "C" {

int LIBUSB_CALL libusb_init(libusb_context** context) {
  *context = &gContext;
  return 0;
}

void LIBUSB_CALL libusb_exit(libusb_context*) {}

ssize_t LIBUSB_CALL libusb_get_device_list(libusb_context*, libusb_device*** list) {
  while (gDevices.size() < StandInBus().size()) gDevices.push_back({gDevices.size()});
  std::vector<libusb_device*> devices;
  for (std::size_t slot = 0; slot < StandInBus().size(); ++slot) {
    if (Plugged(&gDevices[slot]) != nullptr) devices.push_back(&gDevices[slot]);
  }
  const ssize_t count = static_cast<ssize_t>(devices.size());
  devices.push_back(nullptr);
  auto data = devices.data();
  gLists.emplace(data, std::move(devices));
  *list = data;
  return count;
}

void LIBUSB_CALL libusb_free_device_list(libusb_device** list, int) {
  gLists.erase(list);
}

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* device,
                                             libusb_device_descriptor* descriptor) {
  const StandInDevice* plugged = Plugged(device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  *descriptor = {};
  descriptor->idVendor = plugged->vendor;
  descriptor->idProduct = plugged->productId;
  descriptor->bcdDevice = plugged->release;
  descriptor->iProduct = 2;
  descriptor->iSerialNumber = plugged->serial.empty() ? 0 : 3;
  return 0;
}

int LIBUSB_CALL libusb_open(libusb_device* device, libusb_device_handle** handle) {
  const StandInDevice* plugged = Plugged(device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (plugged->chipMakersDriver) {
    return plugged->saysNotFound ? LIBUSB_ERROR_NOT_FOUND : LIBUSB_ERROR_NOT_SUPPORTED;
  }
  if (!plugged->permitted) return LIBUSB_ERROR_ACCESS;
  if (gOneHandlePerDevice && HandlesOn(device) > 0) return LIBUSB_ERROR_ACCESS;
  gHandles.push_back({device, false});
  *handle = &gHandles.back();
  return 0;
}

void LIBUSB_CALL libusb_close(libusb_device_handle* handle) {
  gHandles.remove_if([&](const auto& h) { return &h == handle; });
}

libusb_device* LIBUSB_CALL libusb_get_device(libusb_device_handle* handle) {
  return handle->device;
}

int LIBUSB_CALL libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index,
                                                   unsigned char* data, int length) {
  const StandInDevice* plugged = Plugged(handle->device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  const std::string& text = index == 2 ? plugged->product : plugged->serial;
  if ((index != 2 && index != 3) || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
  const int count = std::min<int>(length - 1, static_cast<int>(text.size()));
  std::memcpy(data, text.data(), static_cast<std::size_t>(count));
  data[count] = 0;
  return count;
}

int LIBUSB_CALL libusb_kernel_driver_active(libusb_device_handle* handle, int) {
  const StandInDevice* plugged = Plugged(handle->device);
  return plugged != nullptr && plugged->serialDriverBound ? 1 : 0;
}

int LIBUSB_CALL libusb_detach_kernel_driver(libusb_device_handle* handle, int) {
  StandInDevice* plugged = Plugged(handle->device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (plugged->detachRefused) return LIBUSB_ERROR_OTHER;
  plugged->serialDriverBound = false;
  return 0;
}

int LIBUSB_CALL libusb_claim_interface(libusb_device_handle* handle, int interface) {
  const StandInDevice* plugged = Plugged(handle->device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (interface != 0) return LIBUSB_ERROR_NOT_FOUND;
  if (plugged->serialDriverBound || plugged->claimedElsewhere || ClaimedByAnother(handle)) {
    return LIBUSB_ERROR_BUSY;
  }
  handle->claimed = true;
  return 0;
}

int LIBUSB_CALL libusb_release_interface(libusb_device_handle* handle, int) {
  handle->claimed = false;
  return 0;
}

int LIBUSB_CALL libusb_control_transfer(libusb_device_handle* handle, uint8_t type, uint8_t request,
                                        uint16_t value, uint16_t index, unsigned char*, uint16_t,
                                        unsigned int) {
  StandInDevice* plugged = Plugged(handle->device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (type != 0x40 || !plugged->chip->Control(request, value, index)) return LIBUSB_ERROR_PIPE;
  return 0;
}

int LIBUSB_CALL libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint,
                                     unsigned char* data, int length, int* transferred,
                                     unsigned int timeout) {
  *transferred = 0;
  StandInDevice* plugged = Plugged(handle->device);
  if (plugged == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (!handle->claimed) return LIBUSB_ERROR_NOT_FOUND;
  // The FT232R's two bulk endpoints: 0x02 to the chip, 0x81 from it.
  if (endpoint == 0x02) {
    return TransferCode(plugged->chip->BulkOut(data, length, timeout, *transferred));
  }
  if (endpoint == 0x81) {
    return TransferCode(plugged->chip->BulkIn(data, length, timeout, *transferred));
  }
  return LIBUSB_ERROR_PIPE;
}

const char* LIBUSB_CALL libusb_strerror(int) {
  return "stand-in error";
}

}  // extern "C"
