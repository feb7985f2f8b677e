// The USB bit-bang seam on a real FT232R, through libftdi1.
#pragma once

#include "platform/UsbBitBang.h"

struct ftdi_context;

class FtdiBitBang final : public UsbBitBang {
 public:
  FtdiBitBang();
  ~FtdiBitBang() override;
  FtdiBitBang(const FtdiBitBang&) = delete;
  FtdiBitBang& operator=(const FtdiBitBang&) = delete;

  std::vector<UsbDeviceInfo> List() override;
  UsbOpenResult OpenFirst() override;
  bool IsFt232r() override;
  bool SetSyncBitBang(uint8_t outputMask) override;
  bool SetBaudRate(int baud) override;
  bool SetLatencyTimer(int milliseconds) override;
  bool Purge() override;
  int WriteData(const uint8_t* data, int size) override;
  int ReadData(uint8_t* data, int size) override;
  void Close() override;
  std::string ErrorText() override;

 private:
  ftdi_context* context_ = nullptr;
  bool open_ = false;
};
