#include "app/ConnectionSettings.h"

#include <cstdio>
#include <fstream>

#include "link/Communication.h"
#include "platform/Text.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<SavedChoice> unsavedPortChoice;

std::string ReadConnectionToken(std::istream& in) {
  std::string token;
  std::istream::int_type c = in.get();
  while (c != std::istream::traits_type::eof() && IsBlank(static_cast<char>(c))) c = in.get();
  while (c != std::istream::traits_type::eof() && !IsBlank(static_cast<char>(c))) {
    token.push_back(static_cast<char>(c));
    if (token.size() > kMaxTokenLength) return token;
    c = in.get();
  }
  if (token.empty()) return " ";
  // The word's text ends at a NUL, as a C string does.
  return token.substr(0, token.find('\0'));
}

std::optional<uint32_t> ParseConnectionToken(std::string_view token) {
  if (token.size() > kMaxTokenLength) return std::nullopt;
  std::size_t i = 0;
  while (i < token.size() && IsBlank(token[i])) ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  // "0x" counts as a prefix only when a digit follows; otherwise the 0 is the number.
  if (i + 2 < token.size() && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X') &&
      HexDigit(token[i + 2]) >= 0) {
    i += 2;
  }
  uint64_t value = 0;
  bool overflow = false;
  for (; i < token.size() && HexDigit(token[i]) >= 0; ++i) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(token[i]));
    if (value > UINT32_MAX) {
      overflow = true;
      value = UINT32_MAX;
    }
  }
  uint32_t address = static_cast<uint32_t>(value);
  // A minus sign negates as unsigned arithmetic does, so "-1" is the top value and is refused.
  if (negative && !overflow) address = static_cast<uint32_t>(0u - address);
  if (static_cast<int32_t>(address) <= 0) return std::nullopt;
  return address;
}

std::optional<std::string> ReadConnectionFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  return ReadConnectionToken(in);
}

void UseConnectionToken(const std::string& token) {
  bUsbCable = IsUsbToken(token) ? 1 : 0;
  usbCableSerial = UsbSerialOf(token);
  if (const std::optional<uint32_t> address = ParseConnectionToken(token)) base = *address;
}

std::string FormatPortToken(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", address);
  return text;
}

namespace {

constexpr std::string_view kUsbSerialPrefix = "usb:";

}  // namespace

bool IsUsbToken(std::string_view token) {
  return token == kUsbToken || (token.size() > kUsbSerialPrefix.size() &&
                                token.substr(0, kUsbSerialPrefix.size()) == kUsbSerialPrefix);
}

std::string UsbSerialOf(std::string_view token) {
  return IsUsbToken(token) && token != kUsbToken
             ? std::string(token.substr(kUsbSerialPrefix.size()))
             : std::string();
}

std::string UsbTokenFor(const std::string& serial) {
  return serial.empty() ? std::string(kUsbToken) : std::string(kUsbSerialPrefix) + serial;
}

SavedChoice ChoiceToSave(int choice, const std::string& customText, const std::string& usbSerial) {
  switch (choice) {
    case kChoiceUsb:
      return {UsbTokenFor(usbSerial), kLpt1Base, true, usbSerial};
    case kChoiceLpt1:
      return {FormatPortToken(kLpt1Base), kLpt1Base, false, {}};
    case kChoiceLpt2:
      return {FormatPortToken(kLpt2Base), kLpt2Base, false, {}};
    case kChoiceCustom:
      return {customText, ParseConnectionToken(customText).value_or(kLpt1Base), false, {}};
    default:
      return {std::string(), kLpt1Base, false, {}};
  }
}

int ChoiceForBase(uint32_t address) {
  if (address == kLpt2Base) return kChoiceLpt2;
  if (address == kLpt1Base) return kChoiceLpt1;
  return kChoiceCustom;
}
